#include "runner/commandpanelform.h"

#include "widgets/createchild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const char BlueText[] = "color: rgb(0, 0, 255);";

QFrame *createPanelFrame(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *frame = createChild<QFrame>(parent, name, x, y, width, height);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

} // namespace

void CommandPanelForm::setupPanel(QWidget *parent)
{
    frame = new QFrame(parent);
    frame->setObjectName(QLatin1String("frame"));
    frame->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    frame->setMinimumSize(272, 248);
    frame->setAutoFillBackground(false);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(1);
    frame->setMidLineWidth(0);

    frame_2 = createPanelFrame(frame, "frame_2", 0, 0, 96, 200);
    rename = createChild<QRadioButton>(frame_2, "rename", 8, 8, 81, 24);
    move = createChild<QRadioButton>(frame_2, "move", 8, 32, 81, 24);
    scan = createChild<QRadioButton>(frame_2, "scan", 8, 56, 81, 24);
    scan->setStyleSheet(QLatin1String(BlueText));
    scannew = createChild<QRadioButton>(frame_2, "scannew", 8, 80, 81, 24);
    scannew->setStyleSheet(QLatin1String(BlueText));
    list = createChild<QRadioButton>(frame_2, "list", 8, 104, 72, 24);
    list->setStyleSheet(QLatin1String(BlueText));
    audit = createChild<QRadioButton>(frame_2, "audit", 8, 128, 63, 24);
    customRB = createChild<QCheckBox>(frame_2, "customRB", 8, 152, 21, 24);
    convert = createChild<QRadioButton>(frame_2, "convert", 8, 176, 91, 24);
    custom = createChild<QLineEdit>(frame_2, "custom", 26, 154, 67, 20);
    custom->setCursor(QCursor(Qt::IBeamCursor));
    comboBox_2 = createChild<QComboBox>(frame_2, "comboBox_2", 63, 128, 32, 21);
    comboBox_2->addItems({QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("4"), QStringLiteral("5")});

    frame_3 = createPanelFrame(frame, "frame_3", 96, 0, 80, 56);
    dirs = createChild<QRadioButton>(frame_3, "dirs", 8, 8, 51, 24);
    inplace = createChild<QRadioButton>(frame_3, "inplace", 8, 32, 61, 24);

    frame_5 = createPanelFrame(frame, "frame_5", 96, 56, 80, 48);
    nosep = createChild<QRadioButton>(frame_5, "nosep", 8, 0, 61, 24);
    sepX = createChild<QRadioButton>(frame_5, "sepX", 8, 24, 41, 24);
    sepXchar = createChild<QLineEdit>(frame_5, "sepXchar", 56, 24, 16, 20);
    sepXchar->setCursor(QCursor(Qt::IBeamCursor));
    sepXchar->setMaxLength(1);

    frame_4 = createPanelFrame(frame, "frame_4", 96, 104, 80, 96);
    logmsgs = createChild<QCheckBox>(frame_4, "logmsgs", 8, 0, 70, 24);
    quiet = createChild<QCheckBox>(frame_4, "quiet", 8, 24, 70, 24);
    nodb = createChild<QCheckBox>(frame_4, "nodb", 8, 48, 70, 24);
    deep = createChild<QCheckBox>(frame_4, "deep", 8, 72, 70, 24);

    frame_6 = createPanelFrame(frame, "frame_6", 176, 0, 96, 56);
    changes = createChild<QRadioButton>(frame_6, "changes", 8, 8, 81, 24);
    changes->setStyleSheet(QLatin1String(BlueText));
    changesnew = createChild<QRadioButton>(frame_6, "changesnew", 8, 32, 91, 24);
    changesnew->setStyleSheet(QLatin1String(BlueText));

    frame_7 = createPanelFrame(frame, "frame_7", 0, 200, 96, 47);

    frame_8 = createPanelFrame(frame, "frame_8", 176, 56, 96, 73);
    force63 = createChild<QRadioButton>(frame_8, "force63", 8, 0, 61, 24);
    forcexbox = createChild<QRadioButton>(frame_8, "forcexbox", 8, 24, 91, 24);
    forceDC = createChild<QRadioButton>(frame_8, "forceDC", 8, 48, 71, 24);

    frame_9 = createPanelFrame(frame, "frame_9", 176, 129, 96, 71);
    sort = createChild<QCheckBox>(frame_9, "sort", 8, 24, 70, 24);
    uniq = createChild<QCheckBox>(frame_9, "uniq", 8, 0, 70, 24);

    frame_10 = createPanelFrame(frame, "frame_10", 96, 200, 176, 24);
    config = createChild<QCheckBox>(frame_10, "config", 8, 0, 70, 24);
    configComboBox = createChild<QComboBox>(frame_10, "configComboBox", 80, 0, 96, 21);

    Go = createChild<QPushButton>(frame, "Go", 176, 224, 96, 24);
    Go->setStyleSheet(QLatin1String("background-color: rgb(85, 255, 127);"));
    Clear = createChild<QPushButton>(frame, "Clear", 96, 224, 80, 24);
    Clear->setStyleSheet(QLatin1String("background-color: rgb(170, 170, 255);"));
}

void CommandPanelForm::retranslatePanel()
{
    rename->setText(tr("rename"));
    move->setText(tr("move"));
    scan->setText(tr("scan"));
    scannew->setText(tr("scannew"));
    list->setText(tr("list"));
    audit->setText(tr("audit"));
    customRB->setText(QString());
    convert->setText(tr("convert"));
    dirs->setText(tr("dirs"));
    inplace->setText(tr("inplace"));
    nosep->setText(tr("nosep"));
    sepX->setText(tr("sepX"));
    logmsgs->setText(tr("logmsgs"));
    quiet->setText(tr("quiet"));
    nodb->setText(tr("nodb"));
    deep->setText(tr("deep"));
    changes->setText(tr("changes"));
    changesnew->setText(tr("changesnew"));
    force63->setText(tr("force63"));
    forcexbox->setText(tr("forcexbox"));
    forceDC->setText(tr("forceDC"));
    sort->setText(tr("sort"));
    uniq->setText(tr("uniq"));
    config->setText(tr("config"));
    Go->setText(tr("Go"));
    Clear->setText(tr("Clear"));
}

void CommandPanelForm::setOptionToolTips()
{
    rename->setToolTip(tr("Rename images"));
    move->setToolTip(tr("Move images"));
    scan->setToolTip(tr("Make detailed listing all files [w/dirs]"));
    scannew->setToolTip(tr("Make detailed listing of unknown images [w/dirs]"));
    list->setToolTip(tr("Lists images you have/need without renaming [w/dirs]"));
    audit->setToolTip(tr("Various reports (audit1 audit2 etc)"));
    custom->setToolTip(tr("Use custom command"));
    dirs->setToolTip(tr("Rename/move to dirs using Goodinfo.cfg info"));
    inplace->setToolTip(tr("Renames images in same dir, not into 'xxxxRen' dir"));
    nosep->setToolTip(tr("Removes spaces in filenames"));
    sepX->setToolTip(tr("Replaces space in filenames with char X"));
    logmsgs->setToolTip(tr("Log all msgs to file"));
    quiet->setToolTip(tr("Suppress most non-error messages"));
    nodb->setToolTip(tr("Don't use or update the db file"));
    deep->setToolTip(tr("Adds more detail to SCAN command"));
    changes->setToolTip(tr("Log rename/move operations (- reverses)"));
    changesnew->setToolTip(tr("Log rename/move operations that change a filename"));
    force63->setToolTip(tr("Force all filenames into Joliet CD format"));
    forcexbox->setToolTip(tr("Force all filenames into XBOX FATX format"));
    forceDC->setToolTip(tr("Force all filenames into Dreamcast format"));
    config->setToolTip(tr("Use section [xxx] from Goodinfo.cfg (cAsE counts)"));
}
