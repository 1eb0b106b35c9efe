#include "maintenance/deleteroms.h"

#include "maintenance/romdeletion.h"
#include "maintenance/romflagboxes.h"
#include "settings/typedpath.h"
#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

struct DeleteRoms::Form
{
    explicit Form(DeleteRoms *window)
        : flags(window, DeleteRoms::tr("Select Roms to Delete"))
    {
        auto *romDirectoryLabel = createChild<QLabel>(window, "label", 8, 192, 72, 16);
        romDirectoryLabel->setText(DeleteRoms::tr("Rom Directory"));
        systemBox = createChild<QComboBox>(window, "comboBox", 183, 185, 81, 21);
        romDirectoryEdit = createChild<QLineEdit>(window, "lineEdit_2", 8, 210, 221, 20);
        romDirectoryLabel->setBuddy(romDirectoryEdit);
        auto *browseButton = createChild<QPushButton>(window, "pushButton_2", 232, 210, 32, 20);
        browseButton->setText(DeleteRoms::tr("...."));
        scanSubDirectoriesBox = createChild<QCheckBox>(window, "checkBox_7", 16, 234, 121, 23);
        scanSubDirectoriesBox->setText(DeleteRoms::tr("Scan Sub Directories"));
        auto *goButton = createChild<QPushButton>(window, "pushButton", 180, 234, 81, 23);
        goButton->setText(DeleteRoms::tr("Go"));
        setGoButtonPalette(goButton);
    }

    RomFlagBoxes flags;
    QComboBox *systemBox;
    QLineEdit *romDirectoryEdit;
    QCheckBox *scanSubDirectoriesBox;
};

DeleteRoms::DeleteRoms(const QStringList &names, const QStringList &paths, int x, int y, int width,
                       QTextEdit *output)
    : m_output(output)
{
    prepareMaintenanceWindow(this, QStringLiteral("DeleteRoms"), tr("Delete Roms"), 271, 269);
    m_ui = new Form(this);
    placeMaintenanceWindow(this, x, y, width);
    m_romPaths = paths;
    // The first item selects itself, which fills in its ROM directory.
    for (const QString &name : names)
        m_ui->systemBox->addItem(name);
}

DeleteRoms::~DeleteRoms()
{
    delete m_ui;
}

void DeleteRoms::on_comboBox_currentIndexChanged(int index)
{
    if (index >= 0 && index < m_romPaths.size())
        m_ui->romDirectoryEdit->setText(m_romPaths.at(index));
}

void DeleteRoms::on_pushButton_2_clicked()
{
    const QString directory = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), QDir::currentPath(), QFileDialog::ShowDirsOnly);
    if (!directory.isEmpty())
        m_ui->romDirectoryEdit->setText(directory);
}

void DeleteRoms::on_pushButton_clicked()
{
    // An empty text names no folder, though QDir would take it for the current one.
    const QString directory = resolvedTypedPath(m_ui->romDirectoryEdit->text());
    if (directory.isEmpty() || !QDir(directory).exists())
        return;
    deleteMatchingRoms(directory, m_ui->scanSubDirectoriesBox->isChecked());
}

void DeleteRoms::deleteMatchingRoms(const QString &directory, bool recursive)
{
    const RomDeletionResult result =
        deleteFiles(flaggedRoms(directory, recursive, m_ui->flags.filter(false)));
    if (!result.failed.isEmpty())
        QMessageBox::warning(this, tr("Warning"), tr("Some roms failed to delete."));
    if (m_output)
        m_output->setPlainText(romDeletionReport(result, recursive));
    close();
}
