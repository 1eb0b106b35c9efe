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

    // The copies reach the disk in batches, one sync for each: a sync per file would cost many
    // times the copying itself. The first batches are small, so the first copies show soon; the
    // limits keep a stop from waiting long for the sync of the batch in hand.
    constexpr qsizetype MaxBatchFiles = 1024;
    constexpr qint64 BatchBytes = 64 << 20;
    qsizetype batchFiles = 16;
    CopyBatch batch(destDir);
    QSet<QString> staged; // names taken by copies of the batch, not yet in destDir
    qint64 stagedBytes = 0;
    const auto publish = [&] {
        for (const auto &[source, outcome] : batch.publish()) {
            if (outcome == TransferResult::Done)
                ++result.copied;
            else if (outcome == TransferResult::Failed)
                result.failed.append(source);
        }
        staged.clear();
        stagedBytes = 0;
        batchFiles = qMin(batchFiles * 2, MaxBatchFiles);
    };

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
        if (staged.contains(fileName) || nameTaken(destDir + fileName))
            continue;
        if (!batch.add(path, destDir + fileName)) {
            result.failed.append(path);
            continue;
        }
        staged.insert(fileName);
        stagedBytes += files.fileInfo().size();
        if (batch.size() >= batchFiles || stagedBytes >= BatchBytes)
            publish();
    }
    publish();
    return result;
}
