#include "tasks/copyfromlist.h"

#include "tasks/safetransfer.h"
#include "text/textdecoding.h"

#include <QDirIterator>
#include <QFile>
#include <QSet>

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
    QStringList lines; // each once, in list order
    // Empty only at the end, or on a read error: a line of its own still has its line end.
    for (QByteArray bytes; !(bytes = list.readLine()).isEmpty();) {
        if (bytes.endsWith('\n'))
            bytes.chop(bytes.endsWith("\r\n") ? 2 : 1);
        const QString line = decodeUtf8OrWindows1252(bytes);
        if (!names.contains(line)) {
            names.insert(line);
            lines.append(line);
        }
    }
    if (list.error() != QFileDevice::NoError) { // a list read in part would name too few files
        result.listRead = false;
        return result;
    }
    list.close();
    if (names.isEmpty() || dir.isEmpty())
        return result;

    // The copies reach the disk in batches, one sync for each: a sync per file would cost many
    // times the copying itself. The first batches are small, so the first copies show soon; the
    // limits keep a stop from waiting long for the sync of the batch in hand, and the copies of
    // a batch, each open until it is published, well within the descriptors a process may hold.
    constexpr qsizetype MaxBatchFiles = 256;
    constexpr qint64 BatchBytes = 64 << 20;
    qsizetype batchFiles = 16;
    CopyBatch batch(destDir);
    QSet<QString> staged; // names taken by copies of the batch, not yet in destDir
    QSet<QString> found;  // lines that named a file
    qint64 stagedBytes = 0;
    const auto publish = [&] {
        for (const auto &[source, outcome] : batch.publish()) {
            if (outcome == TransferResult::Done)
                ++result.copied;
            else if (outcome == TransferResult::Failed)
                result.failed.append(source);
            else
                ++result.skipped;
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
        const QString baseName = fileName.left(fileName.indexOf(u'.'));
        if (!names.contains(baseName))
            continue;
        found.insert(baseName);
        // Also a copy made earlier in this walk, when destDir lies inside dir; one met again
        // is no file skipped.
        if (staged.contains(fileName) || nameTaken(destDir + fileName)) {
            if (path != destDir + fileName)
                ++result.skipped;
            continue;
        }
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
    if (!result.stopped) {
        for (const QString &line : std::as_const(lines))
            if (!line.isEmpty() && !found.contains(line)) // an empty line names nothing
                result.notFound.append(line);
    }
    return result;
}
