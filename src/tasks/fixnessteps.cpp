#include "tasks/fixnessteps.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

const QLatin1String FixedMark(".new.nes");

// The files directly inside a directory, hidden ones skipped.
QStringList fileNamesIn(const QString &directory)
{
    QStringList names;
    QDirIterator files(directory, QDir::Files);
    while (files.hasNext()) {
        files.next();
        names.append(files.fileName());
    }
    return names;
}

void moveFixedCopies(const QString &from, const QString &to)
{
    for (const QString &name : fileNamesIn(from)) {
        if (name.contains(FixedMark))
            QFile::rename(from + name, to + name);
    }
}

void parkFixedCopies(const QString &dir)
{
    QDir(dir).mkdir(QStringLiteral("NESNew"));
    moveFixedCopies(dir, dir + QLatin1String("NESNew/"));
}

void bringBackFixedCopies(const QString &dir)
{
    moveFixedCopies(dir + QLatin1String("NESNew/"), dir);
    QDir(dir).rmdir(QStringLiteral("NESNew"));
    QDir(dir).rename(QStringLiteral("NESDupes"), QStringLiteral("NESDupes.old"));
}

// A duplicate replaces its namesake in NESRen; one without a namesake stays where it is.
void replaceOriginals(const QString &dir)
{
    const QString dupes = dir + QLatin1String("NESDupes/");
    const QString renamed = dir + QLatin1String("NESRen/");
    for (const QString &name : fileNamesIn(dupes)) {
        if (QFile::remove(renamed + name))
            QFile::rename(dupes + name, renamed + name);
    }
    QDir(dir).rmdir(QStringLiteral("NESDupes"));
    QDir(dir).rename(QStringLiteral("NESDupes.old"), QStringLiteral("NESDupes"));
}

} // namespace

bool runFixNesStep(const QString &dir, int stage)
{
    switch (stage) {
    case 1:
        parkFixedCopies(dir);
        return true;
    case 2:
        bringBackFixedCopies(dir);
        return true;
    case 3:
        replaceOriginals(dir);
        return true;
    default:
        return false;
    }
}
