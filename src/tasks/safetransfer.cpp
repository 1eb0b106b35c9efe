#include "tasks/safetransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

TransferResult moveWithoutReplacing(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    // Without MOVEFILE_REPLACE_EXISTING the move fails on a taken name.
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                    reinterpret_cast<const wchar_t *>(target.utf16()), 0))
        return TransferResult::Done;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? TransferResult::TargetTaken
                                                                       : TransferResult::Failed;
#else
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return TransferResult::Done;
    if (errno == EEXIST)
        return TransferResult::TargetTaken;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return TransferResult::Failed;
#endif
    // Where the file system has no exclusive rename: a new hard link never replaces either.
    if (::link(source.constData(), target.constData()) != 0)
        return errno == EEXIST ? TransferResult::TargetTaken : TransferResult::Failed;
    if (::unlink(source.constData()) == 0)
        return TransferResult::Done;
    ::unlink(target.constData());
    return TransferResult::Failed;
#endif
}

TransferResult copyWithoutReplacing(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return TransferResult::Failed;

    // Removed again on every way out except the final rename.
    QTemporaryFile part(QFileInfo(to).path() + QLatin1String("/.tessary-copy-XXXXXX"));
    if (!part.open())
        return TransferResult::Failed;

    constexpr qint64 ChunkLimit = 1 << 20;
    QByteArray chunk(int(qBound<qint64>(4096, source.size(), ChunkLimit)), Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(chunk.data(), chunk.size());
        if (read < 0)
            return TransferResult::Failed;
        if (read == 0)
            break;
        if (part.write(chunk.constData(), read) != read)
            return TransferResult::Failed;
    }
    if (!part.flush() || !part.setPermissions(source.permissions()))
        return TransferResult::Failed;
    part.close();
    if (part.error() != QFileDevice::NoError)
        return TransferResult::Failed;

    const TransferResult result = moveWithoutReplacing(part.fileName(), to);
    if (result == TransferResult::Done)
        part.setAutoRemove(false);
    return result;
}
