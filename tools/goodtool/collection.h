#pragma once

#include <QDir>
#include <QHash>
#include <QString>
#include <QStringList>

// The ROM files below `root` + `subdir` (empty: root itself), as paths relative to `root` with
// "/" between parts. Order is fixed: a directory's files by name, then its subdirectories by name.
// Symbolic links are not followed, so a link loop cannot trap the walk.
QStringList romFiles(const QDir &root, const QString &subdir, bool recursive);

// Checksums by path relative to the working directory, each file read once per run.
class Checksums
{
public:
    explicit Checksums(const QDir &root);

    QString of(const QString &path); // empty when the file cannot be read
    void moved(const QString &from, const QString &to);

    // The Good<Base>.db text: "<SHA-1><TAB><path>" per file, CR LF line ends.
    QByteArray cacheText(const QStringList &paths);

private:
    QDir m_root;
    QHash<QString, QString> m_sums;
};
