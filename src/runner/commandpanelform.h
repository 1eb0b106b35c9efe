#pragma once

#include <QCoreApplication>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The command panel's widgets: the frame "frame" with its option frames and their buttons, and
// Go and Clear. Object names and creation order are part of the behaviour: the panel walks its
// frames in this order to build a tool's argument list. The panel is part of the main window's
// form, so its texts translate in the main window's context.
class CommandPanelForm
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // Creates `panelFrame` in `parent` and everything inside it; the caller lays it out.
    void setupPanel(QWidget *parent);
    void retranslatePanel();
    void setOptionToolTips();

    QFrame *panelFrame;
    QFrame *commandFrame;
    QRadioButton *rename;
    QRadioButton *move;
    QRadioButton *scan;
    QRadioButton *scannew;
    QRadioButton *list;
    QRadioButton *audit;
    QCheckBox *customRB;
    QRadioButton *convert;
    QLineEdit *custom;
    QComboBox *auditLevelBox;
    QFrame *foldersFrame;
    QRadioButton *dirs;
    QRadioButton *inplace;
    QFrame *separatorFrame;
    QRadioButton *nosep;
    QRadioButton *sepX;
    QLineEdit *sepXchar;
    QFrame *generalFrame;
    QCheckBox *logmsgs;
    QCheckBox *quiet;
    QCheckBox *nodb;
    QCheckBox *deep;
    QFrame *changesFrame;
    QRadioButton *changes;
    QRadioButton *changesnew;
    QFrame *emptyFrame;
    QFrame *forceFrame;
    QRadioButton *force63;
    QRadioButton *forcexbox;
    QRadioButton *forceDC;
    QFrame *auditSortFrame;
    QCheckBox *sort;
    QCheckBox *uniq;
    QFrame *configFrame;
    QCheckBox *config;
    QComboBox *configComboBox;
    QPushButton *Go;
    QPushButton *Clear;
};
