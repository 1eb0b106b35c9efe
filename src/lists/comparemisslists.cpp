#include "lists/comparemisslists.h"

#include "lists/misslistcompare.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

template<typename Widget> Widget *createNamed(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

CompareMissLists::CompareMissLists(int x, int y, int width)
{
    setupForm();
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(width / 2 + (x - this->width() / 2), y + 100, this->width(), this->height());
    QMetaObject::connectSlotsByName(this);
}

void CompareMissLists::setupForm()
{
    setObjectName(QStringLiteral("CompareMissLists"));
    setFixedSize(336, 140);
    setWindowTitle(tr("Compare Lists"));
    // The main window's 8-point size, so the labels fit their fixed widths.
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);

    label_2 = createNamed<QLabel>(this, "label_2");
    label_2->setGeometry(16, 24, 56, 23);
    label_2->setText(tr("Your List"));
    lineEdit = createNamed<QLineEdit>(this, "lineEdit");
    lineEdit->setGeometry(88, 24, 176, 20);
    pushButton = createNamed<QPushButton>(this, "pushButton");
    pushButton->setGeometry(288, 24, 32, 23);
    pushButton->setText(QStringLiteral("...."));
    label = createNamed<QLabel>(this, "label");
    label->setGeometry(16, 64, 56, 23);
    label->setText(tr("Their List"));
    lineEdit_2 = createNamed<QLineEdit>(this, "lineEdit_2");
    lineEdit_2->setGeometry(88, 64, 176, 20);
    pushButton_2 = createNamed<QPushButton>(this, "pushButton_2");
    pushButton_2->setGeometry(288, 64, 32, 23);
    pushButton_2->setText(QStringLiteral("...."));
    pushButton_3 = createNamed<QPushButton>(this, "pushButton_3");
    pushButton_3->setGeometry(270, 100, 51, 23);
    pushButton_3->setText(tr("Go"));
}

void CompareMissLists::askForList(QLineEdit *field)
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Set Text File"), QString(), tr("Text File (*.txt)"));
    if (!path.isEmpty())
        field->setText(path);
}

void CompareMissLists::on_pushButton_clicked()
{
    askForList(lineEdit);
}

void CompareMissLists::on_pushButton_2_clicked()
{
    askForList(lineEdit_2);
}

void CompareMissLists::on_pushButton_3_clicked()
{
    MissListComparison comparison(lineEdit->text(), lineEdit_2->text());
    const MissListComparison::Outcome outcome = comparison.run();
    if (outcome == MissListComparison::Outcome::ListNotFound) {
        QMessageBox::warning(this, tr("Warning"), tr("List not found. Check your file paths."));
        return;
    }
    // A list that could not be opened was compared as empty.
    if (!comparison.yourListOpened())
        QMessageBox::warning(this, tr("Warning"), tr("Problem opening ") + comparison.yourPath());
    if (!comparison.theirListOpened())
        QMessageBox::warning(this, tr("Warning"), tr("Problem opening ") + comparison.theirPath());
    if (outcome == MissListComparison::Outcome::WriteFailed) {
        QMessageBox::warning(
            this, tr("Warning"),
            tr("Can not write %1\n%2")
                .arg(QDir::toNativeSeparators(comparison.failedOutput()), comparison.error()));
        return;
    }
    QMessageBox::information(this, QString(), tr("Compare Complete"));
    close();
}
