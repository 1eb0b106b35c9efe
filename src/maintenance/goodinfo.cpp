#include "maintenance/goodinfo.h"

#include "maintenance/goodinfoswipe.h"
#include "maintenance/romflagboxes.h"
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
        checkBox_7 = createChild<QCheckBox>(flags.groupBox, "checkBox_7", 120, 120, 104, 24);
        checkBox_7->setText(GoodInfo::tr("Exclude None"));
        label = createChild<QLabel>(window, "label", 8, 192, 72, 16);
        label->setText(GoodInfo::tr("Goodinfo.cfg"));
        lineEdit_2 = createChild<QLineEdit>(window, "lineEdit_2", 8, 210, 221, 20);
        pushButton_2 = createChild<QPushButton>(window, "pushButton_2", 232, 210, 32, 20);
        pushButton_2->setText(GoodInfo::tr("...."));
        comboBox = createChild<QComboBox>(window, "comboBox", 8, 240, 121, 21);
        pushButton = createChild<QPushButton>(window, "pushButton", 194, 240, 71, 23);
        pushButton->setText(GoodInfo::tr("Go"));
        setGoButtonPalette(pushButton);
    }

    RomFlagBoxes flags;
    QCheckBox *checkBox_7;
    QLabel *label;
    QLineEdit *lineEdit_2;
    QPushButton *pushButton_2;
    QComboBox *comboBox;
    QPushButton *pushButton;
};

GoodInfo::GoodInfo(const QStringList &keys, const QString &initialPath, int x, int y, int width)
{
    prepareMaintenanceWindow(this, QStringLiteral("GoodInfo"), tr("Goodinfo.cfg Swipe"), 286, 286);
    ui = new Form(this);
    placeMaintenanceWindow(this, x, y, width);
    ui->lineEdit_2->setText(initialPath);
    ui->comboBox->addItem(swipeAllText());
    ui->comboBox->addItems(keys);
}

GoodInfo::~GoodInfo()
{
    delete ui;
}

void GoodInfo::on_pushButton_clicked()
{
    const QString path = ui->lineEdit_2->text();
    QStringList itemTexts;
    for (int i = 0; i < ui->comboBox->count(); ++i)
        itemTexts << ui->comboBox->itemText(i);
    const GoodinfoSwipe swipe(ui->comboBox->currentText(), itemTexts, ui->flags.filter(true),
                              ui->checkBox_7->isChecked());

    const SwipeOutcome outcome = swipeGoodinfoFile(path, swipe);
    switch (outcome.status) {
    case SwipeOutcome::Missing:
        warn(path + tr(" doesn't exist."));
        return;
    case SwipeOutcome::ReadFailed:
        warn(tr("Problem reading Goodinfo.cfg"));
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
        ui->lineEdit_2->setText(file);
}

void GoodInfo::on_checkBox_7_clicked()
{
    for (QCheckBox *box : ui->flags.boxes)
        box->setChecked(false);
}

void GoodInfo::uncheckExcludeNone()
{
    ui->checkBox_7->setChecked(false);
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
