#pragma once

#include <QCoreApplication>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The command panel's widgets: the frame `frame` with its option frames and their buttons, and
// Go and Clear. Object names and creation order are part of the behaviour: the panel walks its
// frames in this order to build a tool's argument list. The panel is part of the main window's
// form, so its texts translate in the main window's context.
class CommandPanelForm
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // Creates `frame` in `parent` and everything inside it; the caller lays `frame` out.
    void setupPanel(QWidget *parent);
    void retranslatePanel();
    void setOptionToolTips();

    QFrame *frame;
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
};
