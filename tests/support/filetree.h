#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Real file trees for the file task tests, written and read back as "path=content" entries.
namespace FileTree {

// "a|b|c" as a list, the empty text as the empty list: one table row fits on a line.
inline QStringList list(const QString &entries)
{
    return entries.isEmpty() ? QStringList() : entries.split(u'|');
}

// For a name that is no valid text: the file system takes any bytes.
inline bool writeBytes(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

inline bool write(const QString &root, const QString &relative, const QByteArray &content)
{
    const QString path = root + u'/' + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Each "path=content" entry written; one ending in "/" makes a directory, "path->target" a
// symbolic link, "path<fifo>" a FIFO. "%XX" in a file's name stands for the byte XX.
inline bool build(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const qsizetype arrow = entry.indexOf(QLatin1String("->"));
        const qsizetype equals = entry.indexOf(u'=');
        const QString path = root + u'/' + entry.left(arrow > 0 ? arrow : equals);
        QDir().mkpath(QFileInfo(path).path());
        bool made;
        if (arrow > 0)
            made = QFile::link(entry.mid(arrow + 2), path);
        else if (entry.endsWith(u'/'))
            made = QDir().mkpath(root + u'/' + entry);
        else if (entry.endsWith(QLatin1String("<fifo>")))
            made = ::mkfifo(QFile::encodeName(path.chopped(6)).constData(), 0644) == 0;
        else if (entry.contains(u'%'))
            made = writeBytes(QByteArray::fromPercentEncoding(QFile::encodeName(path)),
                              entry.mid(equals + 1).toUtf8());
        else
            made = write(root, entry.left(equals), entry.mid(equals + 1).toUtf8());
        if (!made)
            return false;
    }
    return true;
}

// A name as the file system spells it: UTF-8 as it is, anything else with "%XX" for each byte
// above 0x7f.
inline QString shown(const QByteArray &name)
{
    const QString text = QString::fromUtf8(name);
    if (text.toUtf8() == name)
        return text;
    QString escaped;
    for (const char byte : name)
        escaped += uchar(byte) < 0x80
                       ? QString(QLatin1Char(byte))
                       : u'%' + QString::number(uchar(byte), 16).toUpper().rightJustified(2, u'0');
    return escaped;
}

// What a regular file holds; empty for anything else, a FIFO or a device never waited on.
inline QString contentOf(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    QFile file;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

inline void readBelow(const QByteArray &root, const QByteArray &relative, QStringList &entries)
{
    DIR *dir = ::opendir((root + relative).constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = root + relative + name;
        struct stat link, target;
        ::lstat(path.constData(), &link);
        const bool isDir = ::stat(path.constData(), &target) == 0 && S_ISDIR(target.st_mode);
        if (S_ISFIFO(link.st_mode))
            entries << shown(relative + name) + QLatin1String("<fifo>");
        else if (isDir)
            entries << shown(relative + name) + u'/';
        else // a link to nowhere reads as empty
            entries << shown(relative + name) + u'=' + contentOf(path);
        if (isDir && !S_ISLNK(link.st_mode))
            readBelow(root, relative + name + '/', entries);
    }
    ::closedir(dir);
}

// Everything below root, hidden entries included, sorted: "dir/" for a directory, "path=content"
// for a file, "path<fifo>" for a FIFO. Links to directories are not followed.
inline QStringList read(const QString &root)
{
    QStringList entries;
    readBelow(QFile::encodeName(root) + '/', QByteArray(), entries);
    entries.sort();
    return entries;
}

// The checksum of every file below root, sorted: what a task may move but never lose or double.
inline QList<QByteArray> checksums(const QString &root)
{
    QList<QByteArray> sums;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QCryptographicHash hash(QCryptographicHash::Sha1);
        sums << (file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result().toHex()
                                                                       : "<unreadable>");
    }
    std::sort(sums.begin(), sums.end());
    return sums;
}

// What became of a tree between two reads: "-entry" for each entry gone, then "+entry" for each
// one new; a changed file shows as both.
inline QStringList changes(const QStringList &before, const QStringList &after)
{
    QStringList changed;
    for (const QString &entry : before) {
        if (!after.contains(entry))
            changed << u'-' + entry;
    }
    for (const QString &entry : after) {
        if (!before.contains(entry))
            changed << u'+' + entry;
    }
    return changed;
}

} // namespace FileTree
