#include "lists/deletelists.h"

#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace {

QList<ListDeletion::System> systemsFrom(const QStringList &keys, const QStringList &romPaths,
                                        const QStringList &toolFiles)
{
    QList<ListDeletion::System> systems;
    for (qsizetype i = 0; i < keys.size(); ++i)
        systems.append({keys.at(i), romPaths.value(i), toolFiles.value(i)});
    return systems;
}

} // namespace

DeleteLists::DeleteLists(const QStringList &keys, const QStringList &romPaths,
                         const QStringList &toolFiles, const QString &goodExeDir,
                         bool sameAsRomPath, int x, int y, int width)
    : m_deletion(systemsFrom(keys, romPaths, toolFiles), goodExeDir, sameAsRomPath)
{
    setupForm();
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(QRect(toolWindowPosition(this, x, y, width), size()));

    m_systemBox->addItem(QStringLiteral("Clean All"));
    // Each item remembers its own system, so a system without a key shifts no other.
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i).isEmpty())
            continue;
        m_systemBox->addItem(keys.at(i));
        m_systemOfItem.append(int(i));
    }
    QMetaObject::connectSlotsByName(this);

    if (!hasSystems()) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("No systems found. Configure Tessary under Main->Config."));
        close();
    }
}

bool DeleteLists::hasSystems() const
{
    return !m_systemOfItem.isEmpty();
}

void DeleteLists::setupForm()
{
    setObjectName(QStringLiteral("DeleteLists"));
    setFixedSize(238, 141);
    setWindowTitle(tr("Delete Lists"));
    useMainWindowFont(this);

    m_missListsBox = createChild<QCheckBox>(this, "checkBox", 16, 1, 70, 17);
    m_missListsBox->setText(tr("*Miss.txt"));
    m_haveListsBox = createChild<QCheckBox>(this, "checkBox_2", 16, 25, 70, 17);
    m_haveListsBox->setText(tr("*Have.txt"));
    m_databaseFilesBox = createChild<QCheckBox>(this, "checkBox_3", 16, 49, 70, 17);
    m_databaseFilesBox->setText(tr("Good*.db"));
    // The labels are a little wider than their 70 pixels in most desktop fonts.
    QFont narrow = font();
    narrow.setStretch(QFont::SemiCondensed);
    for (QCheckBox *box : {m_missListsBox, m_haveListsBox, m_databaseFilesBox})
        box->setFont(narrow);
    m_systemBox = createChild<QComboBox>(this, "comboBox", 16, 99, 81, 22);
    auto *goButton = createChild<QPushButton>(this, "pushButton", 150, 99, 75, 23);
    goButton->setText(tr("Go"));
}

void DeleteLists::on_pushButton_clicked()
{
    if (!hasSystems())
        return;
    const int item = m_systemBox->currentIndex();
    const int system = item >= 1 ? m_systemOfItem.at(item - 1) : -1; // -1: every system
    const QStringList files =
        m_deletion.chooseFiles(system, m_missListsBox->isChecked(), m_haveListsBox->isChecked(),
                               m_databaseFilesBox->isChecked());
    const QStringList failed = ListDeletion::removeFiles(files);
    if (!failed.isEmpty()) {
        QStringList shown;
        for (const QString &path : failed)
            shown.append(QDir::toNativeSeparators(path));
        QMessageBox::warning(this, tr("Warning"),
                             tr("Can not delete %1").arg(shown.join(QLatin1Char('\n'))));
        return;
    }
    QMessageBox::information(this, tr("Finished"), tr("Delete Lists Complete"));
    close();
}
