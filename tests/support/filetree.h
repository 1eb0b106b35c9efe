#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Real file trees for the file task tests, written and read back as "path=content" entries.
namespace FileTree {

// "a|b|c" as a list, the empty text as the empty list: one table row fits on a line.
inline QStringList list(const QString &entries)
{
    return entries.isEmpty() ? QStringList() : entries.split(u'|');
}

// Writes a file and its folders. "%XX" in its name stands for the byte XX: the file system takes
// names that are no valid text.
inline bool write(const QString &root, const QString &relative, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(root + u'/' + relative).path());
#ifdef Q_OS_WIN // names are UTF-16 there: no "%XX"
    QFile file(root + u'/' + relative);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
#else
    const QByteArray path =
        QByteArray::fromPercentEncoding(QFile::encodeName(root + u'/' + relative));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
#endif
}

// Each "path=content" entry written (see write()); one ending in "/" makes a directory,
// "path->target" a symbolic link, "path<fifo>" a FIFO.
inline bool build(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const qsizetype arrow = entry.indexOf(QLatin1String("->"));
        const qsizetype equals = entry.indexOf(u'=');
        const QString path = root + u'/' + entry.left(arrow > 0 ? arrow : equals);
        QDir().mkpath(QFileInfo(path).path());
        bool made;
#ifdef Q_OS_WIN // QFile::link makes a shortcut there, and there are no FIFOs
        if (arrow > 0 || entry.endsWith(QLatin1String("<fifo>")))
            made = false;
#else
        if (arrow > 0)
            made = QFile::link(entry.mid(arrow + 2), path);
        else if (entry.endsWith(QLatin1String("<fifo>")))
            made = ::mkfifo(QFile::encodeName(path.chopped(6)).constData(), 0644) == 0;
#endif
        else if (entry.endsWith(u'/'))
            made = QDir().mkpath(root + u'/' + entry);
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
    return text.toUtf8() == name
               ? text
               : QString::fromLatin1(name.toPercentEncoding(" !\"#$&'()*+,/:;<=>?@[\\]^`{|}"));
}

#ifndef Q_OS_WIN
// What a regular file holds; anything else (a FIFO, a device) is never read nor waited on.
inline QString contentOf(const QByteArray &path, const struct stat &info)
{
    QFile file;
    return S_ISREG(info.st_mode) && file.open(::open(path.constData(), O_RDONLY | O_CLOEXEC),
                                              QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
               ? QString::fromUtf8(file.readAll())
               : QString();
}

inline void readBelow(const QByteArray &root, const QByteArray &relative, QStringList &entries)
{
    DIR *dir = ::opendir((root + relative).constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name), path = root + relative + name;
        struct stat link, target = {};
        if (name == "." || name == ".." || ::lstat(path.constData(), &link) != 0)
            continue;
        ::stat(path.constData(), &target); // a link to nowhere reads as an empty file
        if (S_ISDIR(target.st_mode))
            entries << shown(relative + name) + u'/';
        else
            entries << shown(relative + name) + u'=' + contentOf(path, target);
        if (S_ISDIR(target.st_mode) && !S_ISLNK(link.st_mode))
            readBelow(root, relative + name + '/', entries);
    }
    ::closedir(dir);
}

#endif

// Everything below root, hidden entries included, sorted: "dir/" for a directory, "path=content"
// for anything else (empty but for a regular file). Links to directories are not followed.
inline QStringList read(const QString &root)
{
    QStringList entries;
#ifdef Q_OS_WIN
    const QDir base(root);
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (QDirIterator it(root, all, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info = it.nextFileInfo();
        QFile file(info.filePath());
        const QString name = base.relativeFilePath(info.filePath());
        entries << (info.isDir()
                        ? name + u'/'
                        : name + u'=' + (file.open(QIODevice::ReadOnly) ? file.readAll() : ""));
    }
#else
    readBelow(QFile::encodeName(root) + '/', QByteArray(), entries);
#endif
    entries.sort();
    return entries;
}

// The checksum of every file below root, sorted: what a task may move but never lose or double.
inline QList<QByteArray> checksums(const QString &root)
{
    QList<QByteArray> sums;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
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
    for (const QString &entry : before + after)
        if (!before.contains(entry) || !after.contains(entry))
            changed << (after.contains(entry) ? u'+' : u'-') + entry;
    return changed;
}

} // namespace FileTree
