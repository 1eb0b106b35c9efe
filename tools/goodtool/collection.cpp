#include "goodtool/collection.h"

#include "goodtool/romdatabase.h"

QStringList romFiles(const QDir &root, const QString &subdir, bool recursive)
{
    QStringList files;
    QStringList subdirs;
    const QDir dir(subdir.isEmpty() ? root.path() : root.filePath(subdir));
    const QString prefix = subdir.isEmpty() ? QString() : subdir + u'/';
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir())
            subdirs << prefix + entry.fileName();
        else if (isRomFileName(entry.fileName()))
            files << prefix + entry.fileName();
    }
    if (recursive) {
        for (const QString &path : std::as_const(subdirs))
            files += romFiles(root, path, true);
    }
    return files;
}

Checksums::Checksums(const QDir &root)
    : m_root(root)
{
}

QString Checksums::of(const QString &path)
{
    auto it = m_sums.constFind(path);
    if (it != m_sums.constEnd())
        return *it;
    const QString sum = fileChecksum(m_root.filePath(path));
    if (!sum.isEmpty())
        m_sums.insert(path, sum);
    return sum;
}

void Checksums::moved(const QString &from, const QString &to)
{
    const QString sum = m_sums.take(from);
    if (!sum.isEmpty())
        m_sums.insert(to, sum);
}

QByteArray Checksums::cacheText(const QStringList &paths)
{
    QByteArray text;
    for (const QString &path : paths) {
        const QString sum = of(path);
        if (!sum.isEmpty())
            text += (sum + u'\t' + path).toUtf8() + "\r\n";
    }
    return text;
}
