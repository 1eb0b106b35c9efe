#pragma once

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableWidget;
class QTextEdit;
class QWidget;

// The main window's widget tree. Object names and creation order are part of the behaviour:
// the command panel walks its frames in this order to build a tool's argument list.
class MainWindowForm
{
public:
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
    void setOptionToolTips();

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
    QGridLayout *gridLayout;
    QTextEdit *textEdit;
    QComboBox *selectSystemComboBox;
    QFrame *frame;
    QLabel *label;
    QTableWidget *romSummary;

    QFrame *frame_2;
    QRadioButton *rename;
    QRadioButton *move;
    QRadioButton *scan;
    QRadioButton *scannew;
    QRadioButton *list;
    QRadioButton *audit;
    QCheckBox *customRB;
    QRadioButton *convert;
    QLineEdit *custom;
    QComboBox *comboBox_2;
    QFrame *frame_3;
    QRadioButton *dirs;
    QRadioButton *inplace;
    QFrame *frame_5;
    QRadioButton *nosep;
    QRadioButton *sepX;
    QLineEdit *sepXchar;
    QFrame *frame_4;
    QCheckBox *logmsgs;
    QCheckBox *quiet;
    QCheckBox *nodb;
    QCheckBox *deep;
    QFrame *frame_6;
    QRadioButton *changes;
    QRadioButton *changesnew;
    QFrame *frame_7;
    QFrame *frame_8;
    QRadioButton *force63;
    QRadioButton *forcexbox;
    QRadioButton *forceDC;
    QFrame *frame_9;
    QCheckBox *sort;
    QCheckBox *uniq;
    QFrame *frame_10;
    QCheckBox *config;
    QComboBox *configComboBox;
    QPushButton *Go;
    QPushButton *Clear;

    QMenuBar *menuBar;
    QMenu *menuMain;
    QMenu *menuView;
    QMenu *menuTools;
    QMenu *menuMode;
    QMenu *menuHelp;
    QStatusBar *statusBar;
};
