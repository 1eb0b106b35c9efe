#include "app/mainwindowform.h"

#include "version.h"
#include "widgets/toolwindow.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>

namespace {

QAction *createAction(QMainWindow *window, const char *name)
{
    auto *action = new QAction(window);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu *createMenu(QMenuBar *menuBar, const char *name)
{
    auto *menu = new QMenu(menuBar);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

} // namespace

void MainWindowForm::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QLatin1String("MainWindow"));
    window->resize(736, 558);
    window->setMinimumSize(736, 558);
    QSizePolicy windowPolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    windowPolicy.setHorizontalStretch(1);
    windowPolicy.setVerticalStretch(1);
    window->setSizePolicy(windowPolicy);
    useMainWindowFont(window);
    window->setWindowIcon(QIcon(QLatin1String(":/animatedGif/images/Button.png")));

    actionConfig = createAction(window, "actionConfig");
    actionExit = createAction(window, "actionExit");
    action_Have_List = createAction(window, "action_Have_List");
    action_Miss_List = createAction(window, "action_Miss_List");
    actionTessary_ini = createAction(window, "actionTessary_ini");
    actionGoodinfo_cfg = createAction(window, "actionGoodinfo_cfg");
    actionOpen_Rom_Dir = createAction(window, "actionOpen_Rom_Dir");
    actionPreview_Available_Roms = createAction(window, "actionPreview_Available_Roms");
    actionRom_Collection_Summary = createAction(window, "actionRom_Collection_Summary");
    actionCompare_Miss_Lists = createAction(window, "actionCompare_Miss_Lists");
    actionCopy_files_from_txt_to_Directory =
        createAction(window, "actionCopy_files_from_txt_to_Directory");
    actionDelete_Lists_and_db_Files = createAction(window, "actionDelete_Lists_and_db_Files");
    actionDelete_Specified_Roms = createAction(window, "actionDelete_Specified_Roms");
    actionGoodinfo_cfg_Swipe = createAction(window, "actionGoodinfo_cfg_Swipe");
    actionMove_Files_From_Ren_to_Root = createAction(window, "actionMove_Files_From_Ren_to_Root");
    actionAbout = createAction(window, "actionAbout");
    actionCheck_For_Updates = createAction(window, "actionCheck_For_Updates");
    actionHelp = createAction(window, "actionHelp");
    actionWebsite = createAction(window, "actionWebsite");

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QLatin1String("centralWidget"));
    QSizePolicy centralPolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    centralPolicy.setHorizontalStretch(1);
    centralPolicy.setVerticalStretch(1);
    centralWidget->setSizePolicy(centralPolicy);
    centralLayout = new QGridLayout(centralWidget);
    centralLayout->setObjectName(QLatin1String("gridLayout"));
    centralLayout->setSpacing(6);
    centralLayout->setContentsMargins(11, 11, 11, 11);

    outputArea = new QTextEdit(centralWidget);
    outputArea->setObjectName(QLatin1String("textEdit"));
    QSizePolicy expanding(QSizePolicy::Expanding, QSizePolicy::Expanding);
    expanding.setHorizontalStretch(1);
    expanding.setVerticalStretch(1);
    outputArea->setSizePolicy(expanding);
    outputArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    outputArea->setReadOnly(true);
    centralLayout->addWidget(outputArea, 0, 0, 3, 2);

    selectSystemComboBox = new QComboBox(centralWidget);
    selectSystemComboBox->setObjectName(QLatin1String("selectSystemComboBox"));
    centralLayout->addWidget(selectSystemComboBox, 0, 2, 1, 1);

    // The panel goes here in the creation order, between the selector and the corner label: the
    // tab order and the order in which findChild meets widgets follow it.
    setupPanel(centralWidget);
    centralLayout->addWidget(panelFrame, 1, 2, 2, 1);

    cornerLabel = new QLabel(centralWidget);
    cornerLabel->setObjectName(QLatin1String("label"));
    centralLayout->addWidget(cornerLabel, 2, 1, 1, 1);

    romSummary = new QTableWidget(centralWidget);
    romSummary->setObjectName(QLatin1String("romSummary"));
    romSummary->setColumnCount(8);
    for (int column = 0; column < 8; ++column)
        romSummary->setHorizontalHeaderItem(column, new QTableWidgetItem);
    QSizePolicy summaryPolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    summaryPolicy.setVerticalStretch(2);
    romSummary->setSizePolicy(summaryPolicy);
    romSummary->setAlternatingRowColors(false);
    romSummary->setSortingEnabled(true);
    romSummary->verticalHeader()->setStretchLastSection(false);
    centralLayout->addWidget(romSummary, 3, 0, 1, 3);

    window->setCentralWidget(centralWidget);

    menuBar = new QMenuBar(window);
    menuBar->setObjectName(QLatin1String("menuBar"));
    menuBar->setGeometry(0, 0, 736, 21);
    menuMain = createMenu(menuBar, "menuMain");
    menuView = createMenu(menuBar, "menuView");
    menuTools = createMenu(menuBar, "menuTools");
    menuMode = createMenu(menuBar, "menuMode");
    menuHelp = createMenu(menuBar, "menuHelp");
    window->setMenuBar(menuBar);

    statusBar = new QStatusBar(window);
    statusBar->setObjectName(QLatin1String("statusBar"));
    window->setStatusBar(statusBar);

    menuBar->addAction(menuMain->menuAction());
    menuBar->addAction(menuView->menuAction());
    menuBar->addAction(menuTools->menuAction());
    menuBar->addAction(menuMode->menuAction());
    menuBar->addAction(menuHelp->menuAction());
    menuMain->addActions({actionConfig, actionExit});
    menuView->addActions({action_Have_List, action_Miss_List, actionTessary_ini, actionGoodinfo_cfg,
                          actionOpen_Rom_Dir, actionPreview_Available_Roms,
                          actionRom_Collection_Summary});
    menuTools->addActions({actionCompare_Miss_Lists, actionCopy_files_from_txt_to_Directory,
                           actionDelete_Lists_and_db_Files, actionDelete_Specified_Roms,
                           actionGoodinfo_cfg_Swipe, actionMove_Files_From_Ren_to_Root});
    menuHelp->addActions({actionAbout, actionCheck_For_Updates, actionHelp, actionWebsite});

    retranslateUi(window);
    QObject::connect(actionExit, &QAction::triggered, window, &QMainWindow::close);
    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(tr("Tessary " TESSARY_VERSION_TEXT));
    actionConfig->setText(tr("Config"));
    actionExit->setText(tr("Exit"));
    action_Have_List->setText(tr("*Have List"));
    action_Miss_List->setText(tr("*Miss List"));
    actionTessary_ini->setText(tr("Tessary.ini"));
    actionGoodinfo_cfg->setText(tr("Goodinfo.cfg"));
    actionOpen_Rom_Dir->setText(tr("Open Rom Directory"));
    actionPreview_Available_Roms->setText(tr("Preview Available Roms"));
    actionRom_Collection_Summary->setText(tr("Rom Collection Summary"));
    actionCompare_Miss_Lists->setText(tr("Compare Miss Lists"));
    actionCopy_files_from_txt_to_Directory->setText(tr("Copy files from *.txt to Directory"));
    actionDelete_Lists_and_db_Files->setText(tr("Delete Lists and db Files"));
    actionDelete_Specified_Roms->setText(tr("Delete Specified Roms"));
    actionGoodinfo_cfg_Swipe->setText(tr("Goodinfo.cfg Swipe"));
    actionMove_Files_From_Ren_to_Root->setText(tr("Move Files From *Ren to Root"));
    actionAbout->setText(tr("About"));
    actionCheck_For_Updates->setText(tr("Check For Updates"));
    actionHelp->setText(tr("Help"));
    actionWebsite->setText(tr("Website"));

    retranslatePanel();
    cornerLabel->setText(QString());

    const char *headers[] = {"Key",      "System Name", "Miss",      "Have",
                             "Excluded", "Total",       "Version #", "Rom Path"};
    for (int column = 0; column < 8; ++column)
        romSummary->horizontalHeaderItem(column)->setText(tr(headers[column]));

    menuMain->setTitle(tr("Main"));
    menuView->setTitle(tr("View"));
    menuTools->setTitle(tr("Tools"));
    menuMode->setTitle(tr("Mode"));
    menuHelp->setTitle(tr("Help"));
}
