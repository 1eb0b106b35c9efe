#include "tasks/safetransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>

#ifdef Q_OS_WIN
#include <QDir>
#include <io.h>
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#endif

namespace {

constexpr char PartPrefix[] = ".tessary-copy-";

// A name no one else picks: a copy in the making lives under it until it is complete.
QString partName()
{
    return QLatin1String(PartPrefix) +
           QString::number(QRandomGenerator::global()->generate64(), 36);
}

// Whether a chore still has to look for part files left in `folder` by copies cut short (a kill,
// a power cut, in an earlier run of the program): once per folder is enough, and a long walk pays
// for it once. Chores run on several threads at once, hence the lock. (No thread_local set: its
// destructor at a thread's end corrupts the heap of a MinGW build.)
template<typename Path> bool firstLookIn(const Path &folder)
{
    static QMutex lock;
    static QSet<Path> seen;
    const QMutexLocker locker(&lock);
    if (seen.contains(folder))
        return false;
    seen.insert(folder);
    return true;
}

} // namespace

#ifdef Q_OS_WIN

bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

TransferResult moveWithoutReplacing(const QString &from, const QString &to)
{
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    // Without MOVEFILE_REPLACE_EXISTING the move fails on a taken name; onto another volume it
    // copies, and returns once the copy is on the disk.
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                    reinterpret_cast<const wchar_t *>(target.utf16()),
                    MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return TransferResult::Done;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? TransferResult::TargetTaken
                                                                       : TransferResult::Failed;
}

namespace {

// A copy in the making, under a hidden name of its own beside its target; removed unless kept.
struct PartFile
{
    QFile file;
    bool keep = false;
    ~PartFile()
    {
        if (keep || file.fileName().isEmpty())
            return;
        // A copy of a read-only file is read-only too, which Windows will not remove.
        file.setPermissions(file.permissions() | QFile::WriteOwner);
        file.remove();
    }

    bool create(const QString &folder)
    {
        // A part file still being written is open, and an open file is not removed here.
        if (firstLookIn(folder)) {
            const QDir::Filters parts = QDir::Files | QDir::Hidden | QDir::System;
            for (const QString &name :
                 QDir(folder).entryList({QLatin1String(PartPrefix) + u'*'}, parts))
                QFile::remove(folder + u'/' + name);
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name = folder + u'/' + partName();
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
    if (!part.file.setPermissions(sourceBits) || !part.file.flush() ||
        !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(part.file.handle()))))
        return TransferResult::Failed;
    part.file.close();
    if (part.file.error() != QFileDevice::NoError)
        return TransferResult::Failed;

    const TransferResult result = moveWithoutReplacing(part.file.fileName(), to);
    part.keep = result == TransferResult::Done;
    return result;
}

CopyBatch::CopyBatch(const QString &) {}

CopyBatch::~CopyBatch() = default;

// Each copy is flushed on its own here.
bool CopyBatch::add(const QString &from, const QString &to)
{
    const TransferResult result = copyWithoutReplacing(from, to);
    if (result == TransferResult::Failed)
        return false;
    m_staged.append({from, result});
    return true;
}

QList<std::pair<QString, TransferResult>> CopyBatch::publish()
{
    return std::exchange(m_staged, {});
}

#else

namespace {

// A file descriptor, closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor() { close(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Makes the names in a folder durable, as a file's data is with fdatasync.
bool syncFolder(const QByteArray &folder)
{
    const Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.valid() && ::fsync(dir.fd()) == 0;
}

// 0, or why the rename failed: EEXIST when the name is taken, EXDEV onto another file system.
int renameWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    // Where the file system has no exclusive rename: a new hard link never replaces either.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) == 0)
        return 0;
    const int error = errno;
    ::unlink(to.constData());
    return error;
}

TransferResult transferResult(int error)
{
    return error == 0        ? TransferResult::Done
           : error == EEXIST ? TransferResult::TargetTaken
                             : TransferResult::Failed;
}

// Removes the part files that copies cut short left in `folder`: those no copy holds locked.
void removeStaleParts(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        if (!QByteArrayView(entry->d_name).startsWith(PartPrefix))
            continue;
        const QByteArray path = folder + '/' + entry->d_name;
        const Descriptor part(
            ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat info;
        if (part.valid() && ::fstat(part.fd(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::flock(part.fd(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

// Gives an unnamed file a name, never replacing one (EEXIST); 0 or why not.
int linkUnnamed(int fd, const QByteArray &to)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    // Without /proc: by the descriptor itself, where this process may.
    return ::linkat(fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// A copy in the making. Where the file system has them it is an unnamed file, so a copy cut
// short (a kill, a power cut) leaves nothing behind; elsewhere a hidden file beside its target,
// locked while it is written, which the next copy into that folder removes should it be left.
// Either way it is gone unless it has taken its target name.
class PartFile
{
public:
    ~PartFile()
    {
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }

    int fd() const { return m_file.fd(); }

    bool create(const QByteArray &folder)
    {
        if (firstLookIn(folder))
            removeStaleParts(folder);
#ifdef O_TMPFILE
        m_file.reset(::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (m_file.valid())
            return true;
        // EISDIR from a kernel that does not know the flag.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
#endif
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QByteArray path = folder + '/' + partName().toLatin1();
            m_file.reset(
                ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
            if (!m_file.valid()) {
                if (errno != EEXIST)
                    return false;
                continue;
            }
            // Another copy's look for stale files may have come between the open and the lock:
            // then it holds the file or has removed it, and a new one is made. Where nothing
            // can be locked, no look removes anything.
            struct stat info;
            const bool locked = ::flock(m_file.fd(), LOCK_EX | LOCK_NB) == 0;
            if ((locked || errno != EWOULDBLOCK) && ::fstat(m_file.fd(), &info) == 0 &&
                info.st_nlink > 0) {
                m_path = path;
                return true;
            }
            m_file.close();
        }
        return false;
    }

    // The data on the disk first, then the name: a power cut never leaves a short file under it.
    TransferResult publish(const QByteArray &to)
    {
        return ::fdatasync(m_file.fd()) == 0 ? takeName(to) : TransferResult::Failed;
    }

    // Gives the copy, whose data is on the disk, its target name, and closes it. A copy whose
    // close fails gives the name up again.
    TransferResult takeName(const QByteArray &to)
    {
        const int error =
            m_path.isEmpty() ? linkUnnamed(m_file.fd(), to) : renameWithoutReplacing(m_path, to);
        if (error == 0)
            m_path.clear();
        if (m_file.close())
            return transferResult(error);
        if (error == 0)
            ::unlink(to.constData());
        return TransferResult::Failed;
    }

private:
    Descriptor m_file;
    QByteArray m_path; // empty while unnamed, and once it has its target name
};

bool copyData(int in, int out, qint64 sizeHint)
{
    const size_t size = size_t(std::clamp<qint64>(sizeHint, 4096, 1 << 20));
    const std::unique_ptr<char[]> buffer(new char[size]);
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.get() + done, size_t(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            done += qMax<ssize_t>(put, 0);
        }
    }
}

// Writes the copy of a regular file into `part`. Regular files only: a FIFO would wait for a
// writer for ever and a device may never end. The look before the open spares a device its
// open; the one after it catches a swap in between. With `asMove` the copy keeps the owner
// (where allowed) and the times too.
bool writeCopy(const QByteArray &from, PartFile &part, const QByteArray &folder, bool asMove)
{
    struct stat source;
    if (::stat(from.constData(), &source) != 0 || !S_ISREG(source.st_mode))
        return false;
    const Descriptor in(::open(from.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in.valid() || ::fstat(in.fd(), &source) != 0 || !S_ISREG(source.st_mode) ||
        ::fcntl(in.fd(), F_SETFL, 0) != 0)
        return false;

    if (!part.create(folder) || !copyData(in.fd(), part.fd(), source.st_size))
        return false;
    if (asMove) {
        [[maybe_unused]] const int owned = ::fchown(part.fd(), source.st_uid, source.st_gid);
        const timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(part.fd(), times);
    }
    return ::fchmod(part.fd(), source.st_mode & 0777) == 0;
}

TransferResult copyRegularFile(const QByteArray &from, const QByteArray &to, bool asMove)
{
    PartFile part;
    return writeCopy(from, part, folderOf(to), asMove) ? part.publish(to) : TransferResult::Failed;
}

TransferResult copyLink(const QByteArray &from, const QByteArray &to)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t size = ::readlink(from.constData(), target.data(), size_t(target.size()));
    if (size <= 0 || size >= target.size())
        return TransferResult::Failed;
    target.truncate(size);
    return transferResult(::symlink(target.constData(), to.constData()) == 0 ? 0 : errno);
}

// Onto another file system: copy, make the copy's name durable, and only then remove the
// source. Should the source stay, the copy goes again.
TransferResult moveAcross(const QByteArray &from, const QByteArray &to)
{
    struct stat source;
    if (::lstat(from.constData(), &source) != 0)
        return TransferResult::Failed;
    const TransferResult copied =
        S_ISLNK(source.st_mode) ? copyLink(from, to) : copyRegularFile(from, to, true);
    if (copied != TransferResult::Done)
        return copied;
    if (syncFolder(folderOf(to)) && ::unlink(from.constData()) == 0)
        return TransferResult::Done;
    ::unlink(to.constData());
    return TransferResult::Failed;
}

} // namespace

bool nameTaken(const QByteArray &path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

bool nameTaken(const QString &path)
{
    return nameTaken(QFile::encodeName(path));
}

TransferResult moveWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    const int error = renameWithoutReplacing(from, to);
    return error == EXDEV ? moveAcross(from, to) : transferResult(error);
}

TransferResult moveWithoutReplacing(const QString &from, const QString &to)
{
    return moveWithoutReplacing(QFile::encodeName(from), QFile::encodeName(to));
}

TransferResult copyWithoutReplacing(const QString &from, const QString &to)
{
    return copyRegularFile(QFile::encodeName(from), QFile::encodeName(to), false);
}

struct CopyBatch::Staged
{
    QString source;
    PartFile part;
    QByteArray target;
};

// Opened before the first copy: syncfs reports a failed writeback that happened since.
CopyBatch::CopyBatch(const QString &folder)
    : m_folder(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

CopyBatch::~CopyBatch()
{
    m_staged.clear(); // the copies not published go
    if (m_folder >= 0)
        ::close(m_folder);
}

bool CopyBatch::add(const QString &from, const QString &to)
{
    auto copy = std::make_unique<Staged>();
    copy->source = from;
    copy->target = QFile::encodeName(to);
    if (!writeCopy(QFile::encodeName(from), copy->part, folderOf(copy->target), false))
        return false;
    m_staged.push_back(std::move(copy));
    return true;
}

QList<std::pair<QString, TransferResult>> CopyBatch::publish()
{
    QList<std::pair<QString, TransferResult>> results;
    if (m_staged.empty())
        return results;
    // One sync for the data of the whole batch, before any copy takes its name.
    const bool synced = m_folder >= 0 && ::syncfs(m_folder) == 0;
    for (const std::unique_ptr<Staged> &copy : m_staged)
        results.append(
            {copy->source, synced ? copy->part.takeName(copy->target) : TransferResult::Failed});
    m_staged.clear(); // the copies that took no name go
    // The names on the disk too, before anyone is told the copies are done.
    if (m_folder >= 0 && ::fsync(m_folder) != 0) {
        for (auto &[source, result] : results)
            if (result == TransferResult::Done)
                result = TransferResult::Failed; // written and named, but not known to be durable
    }
    return results;
}

#endif
