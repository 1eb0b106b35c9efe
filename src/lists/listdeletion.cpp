#include "lists/listdeletion.h"

#include "lists/listfiles.h"
#include "settings/systementry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

// The files directly inside `dir` (no sub-directories, no hidden files) whose names pass
// `matches`. An empty path names no directory, never the current one.
template<typename Match>
void addMatchingFiles(const QString &dir, Match matches, QStringList *files)
{
    if (dir.isEmpty())
        return;
    QDirIterator it(dir, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (matches(it.fileName()))
            files->append(it.filePath());
    }
}

bool isDatabaseName(const QString &name)
{
    return name.contains(QLatin1String("Good")) && name.endsWith(QLatin1String(".db"));
}

} // namespace

ListDeletion::ListDeletion(const QList<System> &systems, const QString &goodExeDir,
                           bool sameAsRomPath)
    : m_systems(systems)
    , m_goodExeDir(goodExeDir)
    , m_sameAsRomPath(sameAsRomPath)
{
}

// The name the viewers read, so a tool given by its full path loses its lists here as well.
QString ListDeletion::listName(const QString &toolFile, const QString &suffix)
{
    return listBaseName(toolFile) + suffix;
}

QString ListDeletion::databaseName(const System &system, bool sameAsRomPath)
{
    // Beside the ROMs the database is named after the tool; in the tools' own directory,
    // which all systems share, after the key.
    if (sameAsRomPath) {
        QString name = toolFileName(system.toolFile);
        name.remove(QLatin1String(".exe"));
        return name + QLatin1String(".db");
    }
    return QLatin1String("Good") + keyWithoutBrackets(system.key) + QLatin1String(".db");
}

QStringList ListDeletion::chooseFiles(int system, bool missLists, bool haveLists,
                                      bool databases) const
{
    QStringList files;
    if (system >= m_systems.size())
        return files;
    // A Miss list must end with the name; a Have list may carry it anywhere (GenHave.txt.bak).
    if (missLists)
        addListFiles(system, QStringLiteral("Miss.txt"), false, &files);
    if (haveLists)
        addListFiles(system, QStringLiteral("Have.txt"), true, &files);
    if (databases)
        addDatabaseFiles(system, &files);
    return files;
}

void ListDeletion::addListFiles(int system, const QString &suffix, bool anywhereInName,
                                QStringList *files) const
{
    if (system >= 0) {
        const QString name = listName(m_systems.at(system).toolFile, suffix);
        addMatchingFiles(
            m_systems.at(system).romPath, [&](const QString &file) { return file == name; }, files);
        return;
    }
    for (const System &each : m_systems) {
        addMatchingFiles(
            each.romPath,
            [&](const QString &file) {
                return anywhereInName ? file.contains(suffix) : file.endsWith(suffix);
            },
            files);
    }
}

void ListDeletion::addDatabaseFiles(int system, QStringList *files) const
{
    if (system >= 0) {
        const QString name = databaseName(m_systems.at(system), m_sameAsRomPath);
        const QString dir =
            toolDirectory(m_systems.at(system).romPath, m_goodExeDir, m_sameAsRomPath);
        addMatchingFiles(
            dir, [&](const QString &file) { return file == name; }, files);
        return;
    }
    if (!m_sameAsRomPath) {
        addMatchingFiles(m_goodExeDir, isDatabaseName, files);
        return;
    }
    for (const System &each : m_systems)
        addMatchingFiles(each.romPath, isDatabaseName, files);
}

QStringList ListDeletion::removeFiles(const QStringList &paths)
{
    QStringList failed;
    for (const QString &path : paths) {
        // A file chosen twice (two systems sharing a directory) is gone the second time.
        if (QFile::exists(path) && !QFile::remove(path))
            failed.append(path);
    }
    return failed;
}
