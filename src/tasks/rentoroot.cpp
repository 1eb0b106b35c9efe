#include "tasks/rentoroot.h"

#include "tasks/safetransfer.h"

#include <QDir>
#include <QDirIterator>

QString uniqueTargetName(const QString &dir, const QString &name)
{
    QString candidate = name;
    while (nameTaken(dir + candidate))
        candidate.prepend(u'_');
    return dir + candidate;
}

QStringList moveFilesToRoot(const QString &dir)
{
    QStringList failed;
    if (dir.isEmpty()) // would be the current directory, whatever that is
        return failed;

    QDirIterator files(dir, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = files.fileName();
        QString target = dir + name;
        if (nameTaken(target)) {
            // Also the case for a file met again after its move into dir.
            if (QDir::cleanPath(path) == QDir::cleanPath(target))
                continue;
            target = uniqueTargetName(dir, name);
        }
        // A name taken between the look and the move: look again, a bounded number of times.
        TransferResult result = moveWithoutReplacing(path, target);
        for (int retry = 0; result == TransferResult::TargetTaken && retry < 100; ++retry) {
            target = uniqueTargetName(dir, name);
            result = moveWithoutReplacing(path, target);
        }
        // One that has gone meanwhile (another move took it) is no longer anything to report.
        if (result != TransferResult::Done && nameTaken(path))
            failed.append(path);
    }
    return failed;
}
