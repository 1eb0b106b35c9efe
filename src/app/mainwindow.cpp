#include "app/mainwindow.h"

#include "app/mainwindowform.h"
#include "runner/convertcommand.h"
#include "settings/testconfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMovie>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextEdit>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
{
    ui->setupUi(this);

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

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    QMainWindow::mousePressEvent(event);
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
    notAvailableYet(tr("Copy files from *.txt to Directory"));
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
    notAvailableYet(tr("Move Files From *Ren to Root"));
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

void MainWindow::on_Clear_clicked(bool)
{
    notAvailableYet(tr("Clear"));
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

void MainWindow::on_Go_clicked()
{
    notAvailableYet(tr("Running a GoodTool"));
}

void MainWindow::StopProcess()
{
    notAvailableYet(tr("StopProcess"));
}

void MainWindow::StopGif(QString, bool)
{
    notAvailableYet(tr("StopGif"));
}

void MainWindow::DeleteThreadedObject()
{
    notAvailableYet(tr("DeleteThreadedObject"));
}

void MainWindow::ShowAvailableTxt()
{
    notAvailableYet(tr("ShowAvailableTxt"));
}

void MainWindow::startAnimatedGif()
{
    notAvailableYet(tr("The busy indicator"));
}

void MainWindow::viewFrames()
{
    notAvailableYet(tr("Showing the options of a command"));
}

void MainWindow::replyFinished(QNetworkReply *)
{
    notAvailableYet(tr("The update check"));
}

void MainWindow::fixNESslot(int)
{
    notAvailableYet(tr("The fixnes script"));
}
