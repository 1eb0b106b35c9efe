#include "tasks/copyfromlist.h"

#include "tasks/safetransfer.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTextStream>

CopyFromListResult copyFilesFromList(const QString &txtName, const QString &destDir,
                                     const QString &dir, bool subDirs, const std::atomic_bool *stop)
{
    CopyFromListResult result;
    QFile list(txtName);
    if (!list.open(QIODevice::ReadOnly))
        return result;
    result.listRead = true;

    // A set, so a long list costs one lookup per file, not one comparison per line.
    QSet<QString> names;
    QTextStream stream(&list);
    stream.setEncoding(QStringConverter::System);
    QString line;
    while (stream.readLineInto(&line))
        names.insert(line);
    list.close();
    if (names.isEmpty() || dir.isEmpty())
        return result;

    QDirIterator files(dir, QDir::Files,
                       subDirs ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (files.hasNext()) {
        if (stop && stop->load()) {
            result.stopped = true;
            break;
        }
        const QString path = files.next();
        const QString fileName = files.fileName();
        if (!names.contains(fileName.left(fileName.indexOf(u'.'))))
            continue;
        // Also a copy made earlier in this walk, when destDir lies inside dir.
        const QString target = destDir + fileName;
        if (nameTaken(target))
            continue;
        switch (copyWithoutReplacing(path, target)) {
        case TransferResult::Done:
            ++result.copied;
            break;
        case TransferResult::TargetTaken:
            break;
        case TransferResult::Failed:
            result.failed.append(path);
            break;
        }
    }
    return result;
}
