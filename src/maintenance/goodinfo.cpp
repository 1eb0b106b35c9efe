#include "maintenance/goodinfo.h"

#include "maintenance/goodinfoswipe.h"
#include "maintenance/romflagboxes.h"
#include "settings/typedpath.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

struct GoodInfo::Form
{
    explicit Form(GoodInfo *window)
        : flags(window, GoodInfo::tr("Select Dumps to Exclude"))
    {
        excludeNoneBox = createChild<QCheckBox>(flags.flagGroup, "checkBox_7", 120, 120, 104, 24);
        excludeNoneBox->setText(GoodInfo::tr("Exclude None"));
        auto *pathLabel = createChild<QLabel>(window, "label", 8, 192, 72, 16);
        pathLabel->setText(GoodInfo::tr("Goodinfo.cfg"));
        pathEdit = createChild<QLineEdit>(window, "lineEdit_2", 8, 210, 221, 20);
        pathLabel->setBuddy(pathEdit);
        auto *browseButton = createChild<QPushButton>(window, "pushButton_2", 232, 210, 32, 20);
        browseButton->setText(GoodInfo::tr("...."));
        sectionBox = createChild<QComboBox>(window, "comboBox", 8, 240, 121, 21);
        auto *goButton = createChild<QPushButton>(window, "pushButton", 194, 240, 71, 23);
        goButton->setText(GoodInfo::tr("Go"));
        setGoButtonPalette(goButton);
    }

    RomFlagBoxes flags;
    QCheckBox *excludeNoneBox;
    QLineEdit *pathEdit;
    QComboBox *sectionBox;
};

GoodInfo::GoodInfo(const QStringList &keys, const QString &initialPath, int x, int y, int width)
{
    prepareMaintenanceWindow(this, QStringLiteral("GoodInfo"), tr("Goodinfo.cfg Swipe"), 286, 286);
    m_ui = new Form(this);
    placeMaintenanceWindow(this, x, y, width);
    m_ui->pathEdit->setText(initialPath);
    m_ui->sectionBox->addItem(swipeAllText());
    m_ui->sectionBox->addItems(keys);
}

GoodInfo::~GoodInfo()
{
    delete m_ui;
}

void GoodInfo::on_pushButton_clicked()
{
    const QString path = resolvedTypedPath(m_ui->pathEdit->text());
    QStringList itemTexts;
    for (int i = 0; i < m_ui->sectionBox->count(); ++i)
        itemTexts << m_ui->sectionBox->itemText(i);
    const GoodinfoSwipe swipe(m_ui->sectionBox->currentText(), itemTexts, m_ui->flags.filter(true),
                              m_ui->excludeNoneBox->isChecked());

    const SwipeOutcome outcome = swipeGoodinfoFile(path, swipe);
    switch (outcome.status) {
    case SwipeOutcome::Missing:
        warn(tr("%1 doesn't exist.").arg(path));
        return;
    case SwipeOutcome::ReadFailed:
        warn(tr("Problem reading Goodinfo.cfg\n%1\n%2")
                 .arg(QDir::toNativeSeparators(path), outcome.error));
        return;
    case SwipeOutcome::WriteFailed:
        warn(tr("Can not write %1\n%2\nThe file is unchanged.")
                 .arg(QDir::toNativeSeparators(path), outcome.error));
        return;
    case SwipeOutcome::Swiped:
        break;
    }
    QMessageBox::information(this, tr("Finished"), tr("Goodinfo.cfg Swipe Complete"));
    close();
}

void GoodInfo::warn(const QString &text)
{
    QMessageBox::warning(this, tr("Warning"), text);
}

void GoodInfo::on_pushButton_2_clicked()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Set Goodinfo.cfg"), QString(),
                                                      tr("Goodinfo.cfg (Goodinfo.cfg)"));
    if (!file.isEmpty())
        m_ui->pathEdit->setText(file);
}

void GoodInfo::on_checkBox_7_clicked()
{
    for (QCheckBox *box : m_ui->flags.boxes)
        box->setChecked(false);
}

void GoodInfo::uncheckExcludeNone()
{
    m_ui->excludeNoneBox->setChecked(false);
}

void GoodInfo::on_checkBox_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_2_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_3_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_4_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_5_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_6_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_8_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_9_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_10_clicked()
{
    uncheckExcludeNone();
}

void GoodInfo::on_checkBox_11_clicked()
{
    uncheckExcludeNone();
}
