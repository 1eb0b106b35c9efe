#include "tasks/safetransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed == 0)
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

namespace {

// A copy in the making, under a hidden name of its own beside its target; removed unless kept.
struct PartFile
{
    QFile file;
    bool keep = false;
    ~PartFile()
    {
        if (!keep && !file.fileName().isEmpty())
            file.remove();
    }

    bool create(const QString &folder)
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name = folder + QLatin1String("/.tessary-copy-") +
                                 QString::number(QRandomGenerator::global()->generate64(), 36);
            file.setFileName(name);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                return true;
            if (!nameTaken(name)) {
                file.setFileName(QString());
                return false;
            }
        }
        file.setFileName(QString());
        return false;
    }
};

} // namespace

TransferResult copyWithoutReplacing(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return TransferResult::Failed;
    PartFile part;
    if (!part.create(QFileInfo(to).path()))
        return TransferResult::Failed;

    constexpr qint64 ChunkLimit = 1 << 20;
    QByteArray chunk(int(qBound<qint64>(4096, source.size(), ChunkLimit)), Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(chunk.data(), chunk.size());
        if (read < 0)
            return TransferResult::Failed;
        if (read == 0)
            break;
        if (part.file.write(chunk.constData(), read) != read)
            return TransferResult::Failed;
    }
    // The *User flags say what this process may do (root may write anything); set, they would
    // add to the owner's bits.
    const QFileDevice::Permissions sourceBits =
        source.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    if (!part.file.setPermissions(sourceBits) || !part.file.flush())
        return TransferResult::Failed;
    part.file.close();
    if (part.file.error() != QFileDevice::NoError)
        return TransferResult::Failed;

    const TransferResult result = moveWithoutReplacing(part.file.fileName(), to);
    part.keep = result == TransferResult::Done;
    return result;
}
