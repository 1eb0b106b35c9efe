#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <algorithm>

// Real file trees for the file task tests, written and read back as "path=content" entries.
namespace FileTree {

// "a|b|c" as a list, the empty text as the empty list: one table row fits on a line.
inline QStringList list(const QString &entries)
{
    return entries.isEmpty() ? QStringList() : entries.split(u'|');
}

inline bool write(const QString &root, const QString &relative, const QByteArray &content)
{
    const QString path = root + u'/' + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Each "path=content" entry written; one ending in "/" makes a directory, "path->target" a
// symbolic link.
inline bool build(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const qsizetype arrow = entry.indexOf(QLatin1String("->"));
        const qsizetype equals = entry.indexOf(u'=');
        const bool made = arrow > 0
                              ? QFile::link(entry.mid(arrow + 2), root + u'/' + entry.left(arrow))
                          : entry.endsWith(u'/')
                              ? QDir().mkpath(root + u'/' + entry)
                              : write(root, entry.left(equals), entry.mid(equals + 1).toUtf8());
        if (!made)
            return false;
    }
    return true;
}

// Everything below root, hidden entries included, sorted: "dir/" for a directory,
// "path=content" for a file.
inline QStringList read(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(root.size() + 1);
        if (it.fileInfo().isDir()) {
            entries << relative + u'/';
            continue;
        }
        QFile file(it.filePath()); // a link to nowhere reads as empty
        entries << relative + u'=' +
                       (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                       : QString());
    }
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

} // namespace FileTree
