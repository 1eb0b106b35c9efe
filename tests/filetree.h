#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

// Real file trees for the file task tests, written and read back as "path=content" lines.
namespace FileTree {

inline bool write(const QString &root, const QString &relative, const QByteArray &content)
{
    const QString path = root + u'/' + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Each "path=content" spec written; a spec ending in "/" makes a directory, "path->target" a
// symbolic link.
inline bool build(const QString &root, const QStringList &specs)
{
    for (const QString &spec : specs) {
        const qsizetype arrow = spec.indexOf(QLatin1String("->"));
        if (arrow > 0) {
            if (!QFile::link(spec.mid(arrow + 2), root + u'/' + spec.left(arrow)))
                return false;
            continue;
        }
        if (spec.endsWith(u'/')) {
            if (!QDir().mkpath(root + u'/' + spec))
                return false;
            continue;
        }
        const qsizetype equals = spec.indexOf(u'=');
        if (!write(root, spec.left(equals), spec.mid(equals + 1).toUtf8()))
            return false;
    }
    return true;
}

// Everything below root, hidden entries included, sorted: "dir/" for a directory,
// "path=content" for a file.
inline QStringList read(QString root)
{
    if (root.endsWith(u'/'))
        root.chop(1);
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        if (it.fileInfo().isDir()) {
            entries << relative + u'/';
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            entries << relative + u'=' + QString::fromUtf8(file.readAll());
        }
    }
    entries.sort();
    return entries;
}

inline QByteArray checksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result().toHex();
}

// The checksum of every file below root, sorted: what a task may move but never lose or double.
inline QList<QByteArray> checksums(const QString &root)
{
    QList<QByteArray> sums;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        sums << checksum(it.next());
    std::sort(sums.begin(), sums.end());
    return sums;
}

} // namespace FileTree
