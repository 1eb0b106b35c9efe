#pragma once

#include "runner/commandpanelform.h"

class QAction;
class QComboBox;
class QGridLayout;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTableWidget;
class QTextEdit;
class QWidget;

// The main window's widget tree. The command panel's widgets are its own form's (runner/), built
// in their place in the creation order. Object names and creation order are part of the behaviour.
class MainWindowForm : public CommandPanelForm
{
public:
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);

    QAction *actionConfig;
    QAction *actionExit;
    QAction *action_Have_List;
    QAction *action_Miss_List;
    QAction *actionTessary_ini;
    QAction *actionGoodinfo_cfg;
    QAction *actionOpen_Rom_Dir;
    QAction *actionPreview_Available_Roms;
    QAction *actionRom_Collection_Summary;
    QAction *actionCompare_Miss_Lists;
    QAction *actionCopy_files_from_txt_to_Directory;
    QAction *actionDelete_Lists_and_db_Files;
    QAction *actionDelete_Specified_Roms;
    QAction *actionGoodinfo_cfg_Swipe;
    QAction *actionMove_Files_From_Ren_to_Root;
    QAction *actionAbout;
    QAction *actionCheck_For_Updates;
    QAction *actionHelp;
    QAction *actionWebsite;

    QWidget *centralWidget;
    QGridLayout *centralLayout;
    QTextEdit *outputArea;
    QComboBox *selectSystemComboBox;
    QLabel *cornerLabel;
    QTableWidget *romSummary;

    QMenuBar *menuBar;
    QMenu *menuMain;
    QMenu *menuView;
    QMenu *menuTools;
    QMenu *menuMode;
    QMenu *menuHelp;
    QStatusBar *statusBar;
};
