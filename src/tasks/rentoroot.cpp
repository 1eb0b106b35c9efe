#include "tasks/rentoroot.h"

#include "tasks/safetransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include "tasks/folderwalk.h"

#include <QDirIterator>
#else
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

void prependUnderscore(QString &name)
{
    name.prepend(u'_');
}

void prependUnderscore(QByteArray &name)
{
    name.prepend('_');
}

// Paths as QString or, where names are bytes, as QByteArray.
template<typename Path> Path freeName(const Path &dir, const Path &name)
{
    Path candidate = name;
    while (nameTaken(Path(dir + candidate)))
        prependUnderscore(candidate);
    return Path(dir + candidate);
}

// The move of one file into root. A name taken between the look and the move is looked for
// again, a bounded number of times.
template<typename Path>
TransferResult moveIntoRoot(const Path &path, const Path &root, const Path &name)
{
    TransferResult result = moveWithoutReplacing(path, freeName(root, name));
    for (int retry = 0; result == TransferResult::TargetTaken && retry < 100; ++retry)
        result = moveWithoutReplacing(path, freeName(root, name));
    return result;
}

#ifdef Q_OS_WIN

void moveBelow(const QString &root, const std::atomic_bool *stop, MoveToRootResult &result)
{
    // The iterator passes over a folder it cannot open as if it were empty: each is looked at.
    if (!QDir(root).isReadable())
        result.unreadFolders.append(root);
    QDirIterator folders(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                         QDirIterator::Subdirectories);
    while (folders.hasNext()) {
        const QString folder = folders.next();
        if (!QDir(folder).isReadable())
            result.unreadFolders.append(folder + u'/');
    }
    for (const QFileInfo &file : filesBelow(root, true)) {
        if (stop && stop->load()) {
            result.stopped = true;
            return;
        }
        const QString path = file.filePath();
        // Files in root itself stay.
        if (QDir::cleanPath(file.path()) == QDir::cleanPath(root))
            continue;
        if (moveIntoRoot(path, root, file.fileName()) != TransferResult::Done && nameTaken(path))
            result.failed.append(path);
    }
}

#else

// The walk reads names as bytes: QDirIterator decodes them, and a name not valid in the
// locale's encoding would come back as another name that no file has.
struct Folder
{
    QList<QByteArray> files;   // regular files, and links to anything but a directory
    QList<QByteArray> folders; // not links
    bool readInFull = true;    // false when it could not be opened or a read failed
};

// Hidden entries are left out, as are links to nowhere, FIFOs, sockets and devices; so are the
// files unless `withFiles`.
Folder readFolder(const QByteArray &path, bool withFiles)
{
    Folder folder;
    DIR *dir = ::opendir(path.constData());
    if (!dir) {
        folder.readInFull = false;
        return folder;
    }
    for (;;) {
        errno = 0; // readdir tells its end from a failure only by errno
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            folder.readInFull = errno == 0;
            break;
        }
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        unsigned char type = entry->d_type;
        if (!withFiles && type != DT_DIR && type != DT_UNKNOWN)
            continue;
        struct stat info;
        if (type == DT_UNKNOWN)
            type = ::lstat(QByteArray(path + name).constData(), &info) != 0 ? DT_UNKNOWN
                   : S_ISDIR(info.st_mode)                                  ? DT_DIR
                   : S_ISREG(info.st_mode)                                  ? DT_REG
                   : S_ISLNK(info.st_mode)                                  ? DT_LNK
                                                                            : DT_UNKNOWN;
        if (type == DT_LNK && ::stat(QByteArray(path + name).constData(), &info) == 0 &&
            !S_ISDIR(info.st_mode))
            type = DT_REG;
        if (type == DT_REG && withFiles)
            folder.files.append(name);
        else if (type == DT_DIR)
            folder.folders.append(name);
    }
    ::closedir(dir);
    return folder;
}

// A folder's files, then its sub-folders; each folder is read whole before anything moves, so
// files moved into root are never met again.
void moveBelow(const QByteArray &root, const QByteArray &path, const std::atomic_bool *stop,
               MoveToRootResult &result)
{
    const Folder folder = readFolder(path, path != root);
    if (!folder.readInFull)
        result.unreadFolders.append(QFile::decodeName(path));
    for (const QByteArray &name : folder.files) {
        if (stop && stop->load()) {
            result.stopped = true;
            return;
        }
        if (moveIntoRoot(QByteArray(path + name), root, name) != TransferResult::Done &&
            nameTaken(QByteArray(path + name)))
            result.failed.append(QFile::decodeName(path + name));
    }
    for (const QByteArray &name : folder.folders) {
        moveBelow(root, path + name + '/', stop, result);
        if (result.stopped)
            return;
    }
}

void moveBelow(const QString &root, const std::atomic_bool *stop, MoveToRootResult &result)
{
    const QByteArray encoded = QFile::encodeName(root);
    moveBelow(encoded, encoded, stop, result);
}

#endif

} // namespace

QString uniqueTargetName(const QString &dir, const QString &name)
{
    return freeName(dir, name);
}

MoveToRootResult moveFilesToRoot(const QString &dir, const std::atomic_bool *stop)
{
    MoveToRootResult result;
    if (dir.isEmpty()) // would be the current directory, whatever that is
        return result;
    if (!QFileInfo(dir).isDir()) {
        result.folderMissing = true;
        return result;
    }
    moveBelow(dir, stop, result);
    // A drive unplugged half-way ends the walk as if it were done.
    result.folderMissing = !QFileInfo(dir).isDir();
    return result;
}
