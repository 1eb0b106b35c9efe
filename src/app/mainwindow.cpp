#include "app/mainwindow.h"

#include "app/mainwindowform.h"
#include "runner/auditoutput.h"
#include "runner/busyindicator.h"
#include "runner/commandpanel.h"
#include "runner/convertcommand.h"
#include "runner/process.h"
#include "settings/testconfig.h"
#include "tasks/copytxttofolder.h"
#include "tasks/threadedfunctions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextEdit>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
{
    ui->setupUi(this);
    // The output area only ever grows at its end; an undo history would hold every piece twice.
    ui->textEdit->setUndoRedoEnabled(false);

    // Only the command frame, the empty frame and the config frame show until a command is chosen.
    ui->convert->hide();
    for (QFrame *optionFrame :
         {ui->frame_3, ui->frame_4, ui->frame_5, ui->frame_6, ui->frame_8, ui->frame_9})
        optionFrame->hide();

    const int columnWidths[] = {60, 175, 38, 37, 62, 50, 75, 189};
    for (int column = 0; column < 8; ++column)
        ui->romSummary->setColumnWidth(column, columnWidths[column]);

    loadSettings(false);
    if (globalSettings.checkVersionAtStartup)
        on_actionCheck_For_Updates_triggered();

    const QList<QAbstractButton *> commands{ui->rename, ui->move,  ui->scan,     ui->scannew,
                                            ui->list,   ui->audit, ui->customRB, ui->convert};
    for (QAbstractButton *command : commands)
        connect(command, &QAbstractButton::toggled, this, &MainWindow::viewFrames);
    connect(ui->comboBox_2, &QComboBox::currentIndexChanged, this, &MainWindow::viewFrames);

    ui->setOptionToolTips();
    fixNesStage = 1;
}

MainWindow::~MainWindow()
{
    if (currentProcess) {
        // The window is going: a tool killed now must not run the finish handler on it.
        currentProcess->qprocess->disconnect(this);
        delete currentProcess;
    }
    delete worker;
    qDeleteAll(earlierMoveWorkers);
    delete fixNesWorker;
    delete gifMovie;
    delete ui;
}

SystemEntry MainWindow::selectedSystem() const
{
    const QString text = ui->selectSystemComboBox->currentText();
    return systemTable.value(text.left(text.indexOf(u' ')));
}

// Fills the system table, the selector and the config section list from Tessary.ini.
void MainWindow::loadSettings(bool reload)
{
    if (reload) {
        ui->selectSystemComboBox->clear();
        ui->selectSystemComboBox->setCurrentIndex(0);
        ui->configComboBox->clear();
        systemTable.clear();
    }

    QFile file(settingsFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        ui->textEdit->setPlainText(tr("Can not read ") + settingsFilePath());
        return;
    }
    const SettingsLoader::Result result = settingsLoader.load(&file, globalSettings, systemTable);
    file.close();

    ui->configComboBox->addItems(result.sectionKeys);
    ui->selectSystemComboBox->addItems(result.offeredSystems);

    if (globalSettings.loadSummaryAtStartup)
        on_actionRom_Collection_Summary_triggered();
}

void MainWindow::notAvailableYet(const QString &feature)
{
    ui->textEdit->setPlainText(tr("%1 is not available yet.").arg(feature));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Every closed configuration dialog, saved or not, makes the window read the file again.
    if (event->type() == QEvent::Close && watched->objectName() == QLatin1String("TestConfig"))
        loadSettings(true);
    return false;
}

// A right click on a blue command button focuses the button and passes on to the window,
// which switches that button's word to its other form.
void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->buttons().testFlag(Qt::RightButton))
        panel().toggleFocusedVariant();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QMainWindow::changeEvent(event);
}

void MainWindow::on_actionWebsite_triggered()
{
    notAvailableYet(tr("Website"));
}

void MainWindow::on_actionHelp_triggered()
{
    notAvailableYet(tr("Help"));
}

void MainWindow::on_actionCheck_For_Updates_triggered()
{
    notAvailableYet(tr("Check For Updates"));
}

// The convert button follows the system: Genesis and SNES convert, NES runs the fixnes script.
void MainWindow::on_selectSystemComboBox_currentIndexChanged(int)
{
    const ConvertCommand command = convertCommandFor(ui->selectSystemComboBox->currentText());
    if (!command.available) {
        ui->convert->hide();
        return;
    }
    ui->convert->setText(command.label);
    ui->convert->setToolTip(command.toolTip);
    ui->convert->show();
}

void MainWindow::on_actionRom_Collection_Summary_triggered()
{
    notAvailableYet(tr("Rom Collection Summary"));
}

void MainWindow::on_actionAbout_triggered()
{
    notAvailableYet(tr("About"));
}

void MainWindow::on_actionCompare_Miss_Lists_triggered()
{
    notAvailableYet(tr("Compare Miss Lists"));
}

void MainWindow::on_actionCopy_files_from_txt_to_Directory_triggered()
{
    auto *window = new CopyTxtToFolder(x(), y(), width());
    window->show();
    connect(window, &CopyTxtToFolder::StartGif, this, &MainWindow::startAnimatedGif);
    connect(window, &CopyTxtToFolder::StopGifSignal, this, &MainWindow::StopGif);
}

void MainWindow::on_actionDelete_Lists_and_db_Files_triggered()
{
    notAvailableYet(tr("Delete Lists and db Files"));
}

void MainWindow::on_actionDelete_Specified_Roms_triggered()
{
    notAvailableYet(tr("Delete Specified Roms"));
}

void MainWindow::on_actionGoodinfo_cfg_Swipe_triggered()
{
    notAvailableYet(tr("Goodinfo.cfg Swipe"));
}

void MainWindow::on_actionMove_Files_From_Ren_to_Root_triggered()
{
    if (ui->selectSystemComboBox->currentText().isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("No system selected"));
        return;
    }
    const QString dir = selectedSystem().romPath;
    startAnimatedGif();

    // A move started earlier keeps its worker until it reports, so no thread outlives its task
    // and no report deletes a worker whose move still runs.
    if (worker)
        earlierMoveWorkers.append(worker);
    auto *task = new ThreadedFunctions;
    worker = task;
    connect(task, &ThreadedFunctions::taskCompleted, this,
            [this, task](const QString &message, bool deleteThreadedObject) {
                if (task != worker) {
                    earlierMoveWorkers.removeOne(task);
                    delete task;
                    deleteThreadedObject = false;
                }
                StopGif(message, deleteThreadedObject);
            });
    task->renToRootInvoke(dir);
}

void MainWindow::on_actionPreview_Available_Roms_triggered()
{
    notAvailableYet(tr("Preview Available Roms"));
}

void MainWindow::on_actionOpen_Rom_Dir_triggered()
{
    notAvailableYet(tr("Open Rom Directory"));
}

void MainWindow::on_actionGoodinfo_cfg_triggered()
{
    notAvailableYet(tr("Goodinfo.cfg viewer"));
}

void MainWindow::on_actionTessary_ini_triggered()
{
    notAvailableYet(tr("Tessary.ini viewer"));
}

void MainWindow::on_action_Miss_List_triggered()
{
    notAvailableYet(tr("*Miss List viewer"));
}

void MainWindow::on_action_Have_List_triggered()
{
    notAvailableYet(tr("*Have List viewer"));
}

void MainWindow::on_Clear_clicked(bool skipFrame2)
{
    panel().clear(skipFrame2);
}

// Opens a fresh configuration dialog; the event filter reloads the settings when it closes.
void MainWindow::on_actionConfig_triggered()
{
    const auto flag = [](bool value) {
        return value ? QStringLiteral("true") : QStringLiteral("false");
    };
    auto *dialog =
        new TestConfig(systemTable, globalSettings.goodExeDir, flag(globalSettings.sameAsRomPath),
                       flag(globalSettings.checkVersionAtStartup),
                       flag(globalSettings.loadSummaryAtStartup), x(), y(), width());
    dialog->installEventFilter(this);
    dialog->show();
}

CommandPanel MainWindow::panel() const
{
    return CommandPanel(ui);
}

QStringList MainWindow::buildArguments()
{
    return panel().arguments(fixNesStage);
}

// Go starts the checked command on the selected system; while it runs the button reads Stop.
void MainWindow::on_Go_clicked()
{
    if (ui->Go->text() != tr("Go")) {
        if (currentProcess && currentProcess->qprocess->isOpen())
            currentProcess->qprocess->close(); // its finish runs StopProcess
        return;
    }

    QStringList arguments = buildArguments();
    if (arguments.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("Error: No args selected"));
        return;
    }
    if (ui->selectSystemComboBox->count() == 0) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("No systems found. Configure Tessary under Main->Config."));
        return;
    }

    const SystemEntry system = selectedSystem();
    currentProcess = new Process(globalSettings.goodExeDir, system.toolFile, system.romPath,
                                 &arguments, ui->textEdit, globalSettings.sameAsRomPath);
    currentProcess->installEventFilter(this);
    ui->Go->setStyleSheet(QStringLiteral("* { background-color: rgb(255,0,0) }"));
    ui->Go->setText(tr("Stop"));
    connect(currentProcess->qprocess, &QProcess::finished, this, &MainWindow::StopProcess);
    connect(currentProcess, &Process::failedToStart, this, &MainWindow::toolFailedToStart);
    startAnimatedGif();
}

// The end of a tool run: tidy audit output, back to Go, and the NES script's next file step.
void MainWindow::StopProcess()
{
    if (ui->uniq->isChecked() || ui->sort->isChecked()) {
        const QString text = processAuditOutput(ui->textEdit->toPlainText(),
                                                auditMarker(ui->comboBox_2->currentIndex()),
                                                ui->uniq->isChecked(), ui->sort->isChecked());
        ui->textEdit->setPlainText(text);
    }

    showGoButton();
    if (currentProcess)
        currentProcess->qprocess->close();
    removeBusyIndicator();

    if (ui->convert->isChecked() &&
        ui->selectSystemComboBox->currentText().startsWith(QLatin1String("[NES")) &&
        fixNesStage < 4)
        startFixNesStep();
}

// A tool that never started sends no finish, so the run ends here, with the reason shown.
void MainWindow::toolFailedToStart(const QString &message)
{
    ui->textEdit->setPlainText(message);
    showGoButton();
    removeBusyIndicator();
}

void MainWindow::showGoButton()
{
    ui->Go->setStyleSheet(QStringLiteral("* { background-color: rgb(85, 255, 127) }"));
    ui->Go->setText(tr("Go"));
}

void MainWindow::StopGif(QString textEditMsg, bool deleteThreadedObject)
{
    ui->textEdit->clear();
    ui->textEdit->setPlainText(textEditMsg);
    removeBusyIndicator();
    if (deleteThreadedObject)
        DeleteThreadedObject();
}

void MainWindow::DeleteThreadedObject()
{
    delete worker; // waits for a task that is still running
    worker = nullptr;
}

void MainWindow::ShowAvailableTxt()
{
    notAvailableYet(tr("ShowAvailableTxt"));
}

// Shows a randomly chosen animated picture over the top right of the output area. Only one
// is shown at a time: a new one replaces the last.
void MainWindow::startAnimatedGif()
{
    removeBusyIndicator();
    const QString path = busyIndicatorPath(busyIndicatorNumber(QTime::currentTime()));
    const QSize size = QImageReader(path).size();

    gifLabel = new QLabel(this);
    gifMovie = new QMovie(path);
    gifLabel->setMovie(gifMovie);
    gifMovie->start();
    const int x = ui->textEdit->width() - ui->textEdit->verticalScrollBar()->width() - size.width();
    gifLabel->setGeometry(x, 40, size.width(), size.height());
    gifLabel->show();
}

void MainWindow::removeBusyIndicator()
{
    delete gifLabel;
    gifLabel = nullptr;
    delete gifMovie;
    gifMovie = nullptr;
}

// Shows the option groups of the checked command, on a panel cleared of the last options.
void MainWindow::viewFrames()
{
    on_Clear_clicked(true);
    CommandPanel commandPanel = panel();
    commandPanel.showOptionsOf(commandPanel.checkedCommand());
}

void MainWindow::replyFinished(QNetworkReply *)
{
    notAvailableYet(tr("The update check"));
}

// The file step after the NES script's current tool run, in a worker thread of its own. The
// worker goes as soon as its step has been answered, so no thread outlives its stage.
void MainWindow::startFixNesStep()
{
    auto *stepWorker = new ThreadedFunctions;
    delete fixNesWorker;
    fixNesWorker = stepWorker;
    connect(stepWorker, &ThreadedFunctions::fixNESCompleted, this, &MainWindow::fixNESslot);
    connect(stepWorker, &ThreadedFunctions::fixNESCompleted, this, [this, stepWorker] {
        if (fixNesWorker == stepWorker)
            fixNesWorker = nullptr;
        delete stepWorker;
    });
    stepWorker->fixNESInvoke(selectedSystem().romPath, fixNesStage);
}

// A file step has ended: run the next stage's tool, or finish the script after the third.
void MainWindow::fixNESslot(int stage)
{
    if (stage > 3) {
        fixNesStage = 1;
        ui->textEdit->setPlainText(tr("fixnes script complete"));
        return;
    }
    ++fixNesStage;
    on_Go_clicked();
    ui->textEdit->setPlainText(tr("fixnes script stage %1 complete\nStarting stage %2")
                                   .arg(fixNesStage - 1)
                                   .arg(fixNesStage));
}
