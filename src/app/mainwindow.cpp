#include "app/mainwindow.h"

#include "app/mainwindowform.h"
#include "help/about.h"
#include "help/helpcommands.h"
#include "help/versioncheck.h"
#include "lists/collectionsummary.h"
#include "lists/comparemisslists.h"
#include "lists/deletelists.h"
#include "lists/listfiles.h"
#include "lists/regularfile.h"
#include "lists/romdirectory.h"
#include "lists/summarytable.h"
#include "maintenance/deleteroms.h"
#include "maintenance/goodinfo.h"
#include "runner/auditoutput.h"
#include "runner/busyindicator.h"
#include "runner/commandpanel.h"
#include "runner/convertcommand.h"
#include "runner/fixnesscript.h"
#include "runner/process.h"
#include "settings/installlayout.h"
#include "settings/testconfig.h"
#include "tasks/copytxttofolder.h"
#include "tasks/movetorootruns.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextEdit>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_moveRuns(std::make_unique<MoveToRootRuns>())
    , m_fixNesScript(std::make_unique<FixNesScript>())
    , m_ui(std::make_unique<MainWindowForm>())
{
    m_ui->setupUi(this);
    // The output area only ever grows at its end; an undo history would hold every piece twice.
    m_ui->outputArea->setUndoRedoEnabled(false);

    // Only the command frame, the empty frame and the config frame show until a command is chosen.
    m_ui->convert->hide();
    for (QFrame *optionFrame : {m_ui->foldersFrame, m_ui->generalFrame, m_ui->separatorFrame,
                                m_ui->changesFrame, m_ui->forceFrame, m_ui->auditSortFrame})
        optionFrame->hide();

    const int columnWidths[] = {60, 175, 38, 37, 62, 50, 75, 189};
    for (int column = 0; column < 8; ++column)
        m_ui->romSummary->setColumnWidth(column, columnWidths[column]);

    connect(m_moveRuns.get(), &MoveToRootRuns::taskCompleted, this, &MainWindow::StopGif);
    connect(m_fixNesScript.get(), &FixNesScript::fileStepDone, this, &MainWindow::fixNESslot);
    connect(m_fixNesScript.get(), &FixNesScript::runRequested, this, &MainWindow::on_Go_clicked);
    connect(m_fixNesScript.get(), &FixNesScript::report, m_ui->outputArea,
            &QTextEdit::setPlainText);

    m_versionCheck = new VersionCheck(versionFileUrl(), this);
    connect(m_versionCheck->manager(), &QNetworkAccessManager::finished, this,
            &MainWindow::replyFinished);

    loadSettings(false);
    if (m_globalSettings.checkVersionAtStartup)
        on_actionCheck_For_Updates_triggered();

    const QList<QAbstractButton *> commands{m_ui->rename,   m_ui->move,   m_ui->scan,
                                            m_ui->scannew,  m_ui->list,   m_ui->audit,
                                            m_ui->customRB, m_ui->convert};
    for (QAbstractButton *command : commands)
        connect(command, &QAbstractButton::toggled, this, &MainWindow::viewFrames);
    connect(m_ui->auditLevelBox, &QComboBox::currentIndexChanged, this, &MainWindow::viewFrames);

    m_ui->setOptionToolTips();
    m_ui->Go->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    // The window is going: every tool it started is killed, without a finish handler on it.
    delete m_currentProcess.data();
    delete m_previewProcess.data();
    // Replies still outstanding go with the children, after the form: none may reach this window.
    m_versionCheck->manager()->disconnect(this);
    stopFileChores();
    m_fixNesScript.reset();
    delete m_gifMovie;
}

// Moves and copies still running end after the file in hand (a copy then syncs what it has
// written): the moves are all asked first, so they wind down together. A Copy window goes with
// its copy, reporting to no one.
void MainWindow::stopFileChores()
{
    m_moveRuns->requestStop();
    for (const QPointer<CopyTxtToFolder> &window : std::as_const(m_copyWindows)) {
        if (window) {
            window->disconnect(this);
            delete window.data();
        }
    }
    m_moveRuns.reset();
}

SystemEntry MainWindow::selectedSystem() const
{
    return m_systemTable.value(selectorKey(m_ui->selectSystemComboBox->currentText()));
}

// The keys of the systems the selector offers, in its order.
QStringList MainWindow::offeredSystemKeys() const
{
    QStringList keys;
    for (int i = 0; i < m_ui->selectSystemComboBox->count(); ++i)
        keys << selectorKey(m_ui->selectSystemComboBox->itemText(i));
    return keys;
}

// Fills the system table, the selector and the config section list from Tessary.ini.
void MainWindow::loadSettings(bool reload)
{
    if (reload) {
        m_ui->selectSystemComboBox->clear();
        m_ui->selectSystemComboBox->setCurrentIndex(0);
        m_ui->configComboBox->clear();
        m_systemTable.clear();
    }

    qCInfo(lcSettings, "reading %s", qUtf8Printable(settingsFilePath()));
    // Read as any file the window reads: a regular file only, so that nothing at its path can
    // hold up the window.
    const RegularFileContents contents = readRegularFile(settingsFilePath(), WholeFileLimit);
    if (!contents.complete()) {
        m_ui->outputArea->setPlainText(tr("Can not read %1").arg(settingsFilePath()));
        return;
    }
    QBuffer file;
    file.setData(contents.bytes);
    file.open(QIODevice::ReadOnly);
    const SettingsLoader::Result result =
        m_settingsLoader.load(&file, m_globalSettings, m_systemTable);

    m_ui->configComboBox->addItems(result.sectionKeys);
    m_ui->selectSystemComboBox->addItems(result.offeredSystems);

    if (m_globalSettings.loadSummaryAtStartup)
        on_actionRom_Collection_Summary_triggered();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Qt delivers a double click as two clicks: its second press must not stop the run that its
    // first one started. The release after it then finds Go not pressed and clicks nothing.
    if (watched == m_ui->Go && event->type() == QEvent::MouseButtonDblClick)
        return true;
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
        m_ui->retranslateUi(this);
    QMainWindow::changeEvent(event);
}

void MainWindow::on_actionWebsite_triggered()
{
    openWebsite();
}

void MainWindow::on_actionHelp_triggered()
{
    if (!openHelpPage(currentInstallLayout().helpDirectory))
        m_ui->outputArea->setPlainText(QStringLiteral("Help file not found."));
}

// Returns at once; the answer arrives in replyFinished.
void MainWindow::on_actionCheck_For_Updates_triggered()
{
    m_versionCheck->request();
}

// The convert button follows the system: Genesis and SNES convert, NES runs the fixnes script.
void MainWindow::on_selectSystemComboBox_currentIndexChanged(int)
{
    const ConvertCommand command = convertCommandFor(m_ui->selectSystemComboBox->currentText());
    if (!command.available) {
        m_ui->convert->hide();
        return;
    }
    m_ui->convert->setText(command.label);
    m_ui->convert->setToolTip(command.toolTip);
    m_ui->convert->show();
}

// One row per offered system, read from the first lines of its Have and Miss lists.
void MainWindow::on_actionRom_Collection_Summary_triggered()
{
    QStringList items;
    for (int i = 0; i < m_ui->selectSystemComboBox->count(); ++i)
        items << m_ui->selectSystemComboBox->itemText(i);
    fillSummaryTable(m_ui->romSummary, collectionSummary(items, m_systemTable));
}

void MainWindow::on_actionAbout_triggered()
{
    auto *about = new About(x(), y(), width()); // deletes itself when closed
    about->show();
}

void MainWindow::on_actionCompare_Miss_Lists_triggered()
{
    auto *window = new CompareMissLists(x(), y(), width());
    window->show();
}

void MainWindow::on_actionCopy_files_from_txt_to_Directory_triggered()
{
    auto *window = new CopyTxtToFolder(x(), y(), width());
    m_copyWindows.removeAll(QPointer<CopyTxtToFolder>());
    m_copyWindows.append(window);
    window->show();
    connect(window, &CopyTxtToFolder::StartGif, this, &MainWindow::startAnimatedGif);
    connect(window, &CopyTxtToFolder::StopGifSignal, this, &MainWindow::StopGif);
}

// The window gets the systems of the selector as they are now, in selector order.
void MainWindow::on_actionDelete_Lists_and_db_Files_triggered()
{
    const QStringList keys = offeredSystemKeys();
    QStringList romPaths, toolFiles;
    for (const QString &key : keys) {
        romPaths.append(m_systemTable.value(key).romPath);
        toolFiles.append(m_systemTable.value(key).toolFile);
    }
    auto *window = new DeleteLists(keys, romPaths, toolFiles, m_globalSettings.goodExeDir,
                                   m_globalSettings.sameAsRomPath, x(), y(), width());
    if (window->hasSystems())
        window->show();
}

// Offers the selector's systems by key, each with its ROM directory.
void MainWindow::on_actionDelete_Specified_Roms_triggered()
{
    const QStringList keys = offeredSystemKeys();
    QStringList paths;
    for (const QString &key : keys)
        paths << m_systemTable.value(key).romPath;
    (new DeleteRoms(keys, paths, x(), y(), width(), m_ui->outputArea))->show();
}

// Offers every section of Tessary.ini; Goodinfo.cfg always lives in the Good*.exe directory.
void MainWindow::on_actionGoodinfo_cfg_Swipe_triggered()
{
    QStringList keys;
    for (int i = 0; i < m_ui->configComboBox->count(); ++i)
        keys << m_ui->configComboBox->itemText(i);
    const QString path = goodinfoPath(m_globalSettings.goodExeDir);
    (new GoodInfo(keys, path, x(), y(), width()))->show();
}

void MainWindow::on_actionMove_Files_From_Ren_to_Root_triggered()
{
    if (m_ui->selectSystemComboBox->currentText().isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("No system selected"));
        return;
    }
    const QString dir = selectedSystem().romPath;
    startAnimatedGif();
    m_moveRuns->start(dir); // its report reaches StopGif
}

// Runs the selected system's tool with "list nodb" in the temporary directory; the Miss list
// it writes there names every ROM the tool knows, and ShowAvailableTxt shows it.
void MainWindow::on_actionPreview_Available_Roms_triggered()
{
    if (m_ui->selectSystemComboBox->count() == 0) {
        m_ui->outputArea->setPlainText(tr("No systems to preview."));
        return;
    }
    // The output area belongs to the run until it ends.
    if (m_runState != RunState::Idle) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("A tool is running. Preview Available Roms once it has ended."));
        return;
    }
    delete m_previewProcess.data(); // a new preview takes the place of one still running
    const SystemEntry system = selectedSystem();
    // Only this run's own list may show: none left by an earlier preview passes for it.
    m_previewList = previewListPath(system.toolFile);
    QFile::remove(m_previewList);
    QString toolDir =
        toolDirectory(system.romPath, m_globalSettings.goodExeDir, m_globalSettings.sameAsRomPath);
    if (toolDir.isEmpty())
        toolDir = system.romPath; // where a run from Go finds a tool given without a folder
    const QStringList arguments{QStringLiteral("list"), QStringLiteral("nodb")};
    m_previewProcess =
        new Process(toolDir, system.toolFile, QDir::tempPath(), arguments, m_ui->outputArea, false);
    // A tool that failed may have left a list cut short, or none: only a clean end shows one.
    connect(m_previewProcess, &Process::finished, this, [this](int exitCode) {
        if (exitCode == 0)
            return ShowAvailableTxt();
        m_ui->outputArea->setPlainText(
            tr("Preview Available Roms failed: the tool ended with exit code %1.").arg(exitCode));
    });
    // Without this the output area would stay empty, as if the tool knew no ROMs.
    connect(m_previewProcess, &Process::failedToStart, this,
            [this](const QString &message) { m_ui->outputArea->setPlainText(message); });
}

void MainWindow::on_actionOpen_Rom_Dir_triggered()
{
    if (m_ui->selectSystemComboBox->count() == 0) {
        m_ui->outputArea->setPlainText(tr("Can not open rom dir. No systems found."));
        return;
    }
    openRomDirectory(selectedSystem().romPath);
}

void MainWindow::on_actionGoodinfo_cfg_triggered()
{
    const QString path = goodinfoPath(m_globalSettings.goodExeDir);
    const std::optional<QString> text = readWholeFileText(path);
    m_ui->outputArea->setPlainText(
        text ? *text : tr("Can not read Goodinfo.cfg. Have you set the Good*.exe Directory?"));
}

void MainWindow::on_actionTessary_ini_triggered()
{
    const std::optional<QString> text = readWholeFileText(settingsFilePath());
    m_ui->outputArea->setPlainText(text ? *text : tr("Can not read Tessary.ini"));
}

void MainWindow::on_action_Miss_List_triggered()
{
    showSelectedList(QStringLiteral("Miss.txt"));
}

void MainWindow::on_action_Have_List_triggered()
{
    showSelectedList(QStringLiteral("Have.txt"));
}

void MainWindow::showSelectedList(const QString &suffix)
{
    if (m_ui->selectSystemComboBox->count() == 0) {
        m_ui->outputArea->setPlainText(tr("No systems found."));
        return;
    }
    const SystemEntry system = selectedSystem();
    const QString path = listPath(system.romPath, system.toolFile, suffix);
    const std::optional<QString> text = readWholeFileText(path);
    m_ui->outputArea->setPlainText(text ? *text : tr("Can not read %1").arg(path));
}

void MainWindow::on_Clear_clicked(bool skipFrame2)
{
    panel().clear(skipFrame2);
    m_ui->outputArea->clear();
}

// Opens a fresh configuration dialog. Every one that closes, saved or not, makes the window read
// the file again.
void MainWindow::on_actionConfig_triggered()
{
    const auto flag = [](bool value) {
        return value ? QStringLiteral("true") : QStringLiteral("false");
    };
    auto *dialog = new TestConfig(m_systemTable, m_globalSettings.configuredGoodExeDir,
                                  flag(m_globalSettings.sameAsRomPath),
                                  flag(m_globalSettings.checkVersionAtStartup),
                                  flag(m_globalSettings.loadSummaryAtStartup), x(), y(), width());
    connect(dialog, &TestConfig::closed, this, [this] { loadSettings(true); });
    dialog->show();
}

CommandPanel MainWindow::panel() const
{
    return CommandPanel(m_ui.get());
}

QStringList MainWindow::buildArguments()
{
    return panel()
        .arguments(m_ui->selectSystemComboBox->currentText(), m_fixNesScript->stage())
        .list();
}

// Go starts the checked command on the selected system; while it runs the button reads Stop.
void MainWindow::on_Go_clicked()
{
    if (m_runState != RunState::Idle) {
        if (m_currentProcess) {
            setRunState(RunState::Stopping);
            m_currentProcess->stop(); // its finish runs StopProcess
        }
        return;
    }
    // The output area belongs to the preview until it ends.
    if (m_previewProcess) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("Preview Available Roms is running. Press Go once it has ended."));
        return;
    }

    const QStringList arguments = buildArguments();
    if (arguments.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("Error: No args selected"));
        return;
    }
    if (m_ui->selectSystemComboBox->count() == 0) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("No systems found. Configure Tessary under Main->Config."));
        return;
    }

    const SystemEntry system = selectedSystem();
    m_currentProcess = new Process(m_globalSettings.goodExeDir, system.toolFile, system.romPath,
                                   arguments, m_ui->outputArea, m_globalSettings.sameAsRomPath);
    m_currentProcess->installEventFilter(this);
    setRunState(RunState::Running);
    // The process's own finish: the tool has ended and its output is all on show.
    connect(m_currentProcess, &Process::finished, this, &MainWindow::StopProcess);
    connect(m_currentProcess, &Process::failedToStart, this, &MainWindow::toolFailedToStart);
    startAnimatedGif();
}

// The end of a tool run: tidy audit output, back to Go, and the NES script's next file step.
void MainWindow::StopProcess()
{
    if (m_ui->uniq->isChecked() || m_ui->sort->isChecked()) {
        const QString text = processAuditOutput(m_ui->outputArea->toPlainText(),
                                                auditMarker(m_ui->auditLevelBox->currentIndex()),
                                                m_ui->uniq->isChecked(), m_ui->sort->isChecked());
        m_ui->outputArea->setPlainText(text);
    }
    if (m_currentProcess)
        m_currentProcess->showEndNote(); // after the tidy-up, which is for the tool's own lines

    setRunState(RunState::Idle); // the Process releases its tool's channels as it goes
    removeBusyIndicator();

    m_fixNesScript->toolRunEnded(m_ui->convert->isChecked(),
                                 m_ui->selectSystemComboBox->currentText(),
                                 selectedSystem().romPath);
}

// A tool that never started sends no finish, so the run ends here, with the reason shown.
void MainWindow::toolFailedToStart(const QString &message)
{
    m_ui->outputArea->setPlainText(message);
    setRunState(RunState::Idle);
    removeBusyIndicator();
}

// Go while idle, a red Stop while a run lasts, until its tool has gone.
void MainWindow::setRunState(RunState state)
{
    m_runState = state;
    const bool idle = state == RunState::Idle;
    m_ui->Go->setStyleSheet(idle ? QStringLiteral("* { background-color: rgb(85, 255, 127) }")
                                 : QStringLiteral("* { background-color: rgb(255,0,0) }"));
    m_ui->Go->setText(idle ? tr("Go") : tr("Stop"));
}

void MainWindow::StopGif(QString textEditMsg, bool deleteThreadedObject)
{
    m_ui->outputArea->clear();
    m_ui->outputArea->setPlainText(textEditMsg);
    removeBusyIndicator();
    if (deleteThreadedObject)
        DeleteThreadedObject();
}

void MainWindow::DeleteThreadedObject()
{
    m_moveRuns->deleteCurrent(); // waits for a task that is still running
}

// The end of a preview: the list of the system it was started on, without its header.
void MainWindow::ShowAvailableTxt()
{
    if (m_previewList.isEmpty()) {
        m_ui->outputArea->setPlainText(tr("No systems to preview."));
        return;
    }
    const std::optional<QString> text = readPreviewListText(m_previewList);
    m_ui->outputArea->setPlainText(text ? *text : tr("Can not read %1").arg(m_previewList));
}

// Shows a randomly chosen animated picture over the top right of the output area. Only one
// is shown at a time: a new one replaces the last.
void MainWindow::startAnimatedGif()
{
    removeBusyIndicator();
    const QString path = busyIndicatorPath(busyIndicatorNumber(QTime::currentTime()));
    const QSize size = QImageReader(path).size();

    m_gifLabel = new QLabel(this);
    m_gifMovie = new QMovie(path);
    m_gifLabel->setMovie(m_gifMovie);
    m_gifMovie->start();
    const int x =
        m_ui->outputArea->width() - m_ui->outputArea->verticalScrollBar()->width() - size.width();
    m_gifLabel->setGeometry(x, 40, size.width(), size.height());
    m_gifLabel->show();
}

void MainWindow::removeBusyIndicator()
{
    delete m_gifLabel;
    m_gifLabel = nullptr;
    delete m_gifMovie;
    m_gifMovie = nullptr;
}

// Shows the option groups of the checked command, on a panel cleared of the last options.
void MainWindow::viewFrames()
{
    on_Clear_clicked(true);
    CommandPanel commandPanel = panel();
    commandPanel.showOptionsOf(commandPanel.checkedCommand());
}

void MainWindow::replyFinished(QNetworkReply *reply)
{
    const VersionVerdict verdict = compareVersion(VersionCheck::publishedVersion(reply));
    reply->deleteLater();
    showVersionReply(verdict, this, m_ui->outputArea);
}

// A file step of the NES script has ended: the next stage's run, or the end of the script.
void MainWindow::fixNESslot(int stage)
{
    m_fixNesScript->fileStepEnded(stage);
}
