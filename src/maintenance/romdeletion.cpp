#include "maintenance/romdeletion.h"

#include "tasks/folderwalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QStringList flaggedRoms(const QString &directory, bool recursive, const RomFlagFilter &filter)
{
    QStringList matches;
    for (const QFileInfo &file : filesBelow(directory, recursive)) {
        if (filter.matches(file.fileName()))
            matches << file.filePath();
    }
    return matches;
}

RomDeletionResult deleteFiles(const QStringList &paths)
{
    RomDeletionResult result;
    for (const QString &path : paths) {
        if (QFile::remove(path))
            result.deleted << path;
        else
            result.failed << path;
    }
    return result;
}

QString romDeletionReport(RomDeletionResult result, bool recursive)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("DeleteRoms", text);
    };
    result.deleted.sort();
    const QString deleted = QString::number(result.deleted.size());
    const QString deletedList = result.deleted.join(u'\n');
    if (result.failed.isEmpty()) {
        return (recursive ? tr("Deleted %1 roms \n\n%2") : tr("Deleted %1 roms\n\n%2"))
            .arg(deleted, deletedList);
    }
    result.failed.sort();
    return tr("FAILED to delete %1 roms\n\n%2\n\nDeleted %3 roms\n\n%4")
        .arg(QString::number(result.failed.size()), result.failed.join(u'\n'), deleted,
             deletedList);
}
