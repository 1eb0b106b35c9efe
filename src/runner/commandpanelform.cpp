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
    panelFrame = new QFrame(parent);
    panelFrame->setObjectName(QLatin1String("frame"));
    panelFrame->setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    panelFrame->setMinimumSize(272, 248);
    panelFrame->setAutoFillBackground(false);
    panelFrame->setFrameShape(QFrame::Panel);
    panelFrame->setFrameShadow(QFrame::Raised);
    panelFrame->setLineWidth(1);
    panelFrame->setMidLineWidth(0);

    commandFrame = createPanelFrame(panelFrame, "frame_2", 0, 0, 96, 200);
    rename = createChild<QRadioButton>(commandFrame, "rename", 8, 8, 81, 24);
    move = createChild<QRadioButton>(commandFrame, "move", 8, 32, 81, 24);
    scan = createChild<QRadioButton>(commandFrame, "scan", 8, 56, 81, 24);
    scan->setStyleSheet(QLatin1String(BlueText));
    scannew = createChild<QRadioButton>(commandFrame, "scannew", 8, 80, 81, 24);
    scannew->setStyleSheet(QLatin1String(BlueText));
    list = createChild<QRadioButton>(commandFrame, "list", 8, 104, 72, 24);
    list->setStyleSheet(QLatin1String(BlueText));
    audit = createChild<QRadioButton>(commandFrame, "audit", 8, 128, 63, 24);
    customRB = createChild<QCheckBox>(commandFrame, "customRB", 8, 152, 21, 24);
    convert = createChild<QRadioButton>(commandFrame, "convert", 8, 176, 91, 24);
    custom = createChild<QLineEdit>(commandFrame, "custom", 26, 154, 67, 20);
    custom->setCursor(QCursor(Qt::IBeamCursor));
    auditLevelBox = createChild<QComboBox>(commandFrame, "comboBox_2", 63, 128, 32, 21);
    auditLevelBox->addItems({QString(), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")});

    foldersFrame = createPanelFrame(panelFrame, "frame_3", 96, 0, 80, 56);
    dirs = createChild<QRadioButton>(foldersFrame, "dirs", 8, 8, 51, 24);
    inplace = createChild<QRadioButton>(foldersFrame, "inplace", 8, 32, 61, 24);

    separatorFrame = createPanelFrame(panelFrame, "frame_5", 96, 56, 80, 48);
    nosep = createChild<QRadioButton>(separatorFrame, "nosep", 8, 0, 61, 24);
    sepX = createChild<QRadioButton>(separatorFrame, "sepX", 8, 24, 41, 24);
    sepXchar = createChild<QLineEdit>(separatorFrame, "sepXchar", 56, 24, 16, 20);
    sepXchar->setCursor(QCursor(Qt::IBeamCursor));
    sepXchar->setMaxLength(1);

    generalFrame = createPanelFrame(panelFrame, "frame_4", 96, 104, 80, 96);
    logmsgs = createChild<QCheckBox>(generalFrame, "logmsgs", 8, 0, 70, 24);
    quiet = createChild<QCheckBox>(generalFrame, "quiet", 8, 24, 70, 24);
    nodb = createChild<QCheckBox>(generalFrame, "nodb", 8, 48, 70, 24);
    deep = createChild<QCheckBox>(generalFrame, "deep", 8, 72, 70, 24);

    changesFrame = createPanelFrame(panelFrame, "frame_6", 176, 0, 96, 56);
    changes = createChild<QRadioButton>(changesFrame, "changes", 8, 8, 81, 24);
    changes->setStyleSheet(QLatin1String(BlueText));
    changesnew = createChild<QRadioButton>(changesFrame, "changesnew", 8, 32, 91, 24);
    changesnew->setStyleSheet(QLatin1String(BlueText));

    emptyFrame = createPanelFrame(panelFrame, "frame_7", 0, 200, 96, 47);

    forceFrame = createPanelFrame(panelFrame, "frame_8", 176, 56, 96, 73);
    force63 = createChild<QRadioButton>(forceFrame, "force63", 8, 0, 61, 24);
    forcexbox = createChild<QRadioButton>(forceFrame, "forcexbox", 8, 24, 91, 24);
    forceDC = createChild<QRadioButton>(forceFrame, "forceDC", 8, 48, 71, 24);

    auditSortFrame = createPanelFrame(panelFrame, "frame_9", 176, 129, 96, 71);
    sort = createChild<QCheckBox>(auditSortFrame, "sort", 8, 24, 70, 24);
    uniq = createChild<QCheckBox>(auditSortFrame, "uniq", 8, 0, 70, 24);

    configFrame = createPanelFrame(panelFrame, "frame_10", 96, 200, 176, 24);
    config = createChild<QCheckBox>(configFrame, "config", 8, 0, 70, 24);
    configComboBox = createChild<QComboBox>(configFrame, "configComboBox", 80, 0, 96, 21);

    Go = createChild<QPushButton>(panelFrame, "Go", 176, 224, 96, 24);
    Go->setStyleSheet(QLatin1String("background-color: rgb(85, 255, 127);"));
    Clear = createChild<QPushButton>(panelFrame, "Clear", 96, 224, 80, 24);
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
