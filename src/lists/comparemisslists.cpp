#include "lists/comparemisslists.h"

#include "lists/misslistcomparison.h"
#include "settings/typedpath.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

CompareMissLists::CompareMissLists(int x, int y, int width)
{
    setupForm();
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(QRect(toolWindowPosition(this, x, y, width), size()));
    QMetaObject::connectSlotsByName(this);
}

void CompareMissLists::setupForm()
{
    setObjectName(QStringLiteral("CompareMissLists"));
    setFixedSize(336, 140);
    setWindowTitle(tr("Compare Lists"));
    useMainWindowFont(this);

    auto *yourListLabel = createChild<QLabel>(this, "label_2", 16, 24, 56, 23);
    yourListLabel->setText(tr("Your List"));
    m_yourListEdit = createChild<QLineEdit>(this, "lineEdit", 88, 24, 176, 20);
    auto *yourListButton = createChild<QPushButton>(this, "pushButton", 288, 24, 32, 23);
    yourListButton->setText(QStringLiteral("...."));
    auto *theirListLabel = createChild<QLabel>(this, "label", 16, 64, 56, 23);
    theirListLabel->setText(tr("Their List"));
    m_theirListEdit = createChild<QLineEdit>(this, "lineEdit_2", 88, 64, 176, 20);
    auto *theirListButton = createChild<QPushButton>(this, "pushButton_2", 288, 64, 32, 23);
    theirListButton->setText(QStringLiteral("...."));
    auto *goButton = createChild<QPushButton>(this, "pushButton_3", 270, 100, 51, 23);
    yourListLabel->setBuddy(m_yourListEdit);
    theirListLabel->setBuddy(m_theirListEdit);
    goButton->setText(tr("Go"));
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
    askForList(m_yourListEdit);
}

void CompareMissLists::on_pushButton_2_clicked()
{
    askForList(m_theirListEdit);
}

void CompareMissLists::on_pushButton_3_clicked()
{
    MissListComparison comparison(resolvedTypedPath(m_yourListEdit->text()),
                                  resolvedTypedPath(m_theirListEdit->text()));
    const MissListComparison::Outcome outcome = comparison.run();
    if (outcome == MissListComparison::Outcome::ListNotFound) {
        QMessageBox::warning(this, tr("Warning"), tr("List not found. Check your file paths."));
        return;
    }
    if (outcome == MissListComparison::Outcome::ReadFailed) {
        QMessageBox::warning(
            this, tr("Warning"),
            tr("Problem opening %1\n%2").arg(comparison.failedList(), comparison.error()));
        return;
    }
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
