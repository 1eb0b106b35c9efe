#pragma once

#include <QDir>
#include <QMap>
#include <QString>

// One configured game system: the key that names it everywhere ("[Gen"), the name shown
// beside the key, the directory holding its ROMs and the file name of its tool.
struct SystemEntry
{
    QString key;
    QString systemName;
    QString romPath;  // ends with "/" unless empty; never relative once read from the file
    QString toolFile; // such as GoodGen.exe
    // The ROM path as the file gives it, normalised but relative where it was: what the
    // configuration dialog shows and saves. Entries made in code may leave it out.
    QString configuredRomPath = {};

    bool operator==(const SystemEntry &other) const
    {
        return key == other.key && systemName == other.systemName && romPath == other.romPath &&
               toolFile == other.toolFile && configuredRomPath == other.configuredRomPath;
    }
};

// Every system the settings file describes, ready to run or not, ordered by key.
using SystemTable = QMap<QString, SystemEntry>;

// The four settings that apply to all systems.
struct GlobalSettings
{
    QString goodExeDir; // ends with "/" unless empty; never relative once read from the file
    bool sameAsRomPath = false;
    bool checkVersionAtStartup = false;
    bool loadSummaryAtStartup = false;
    QString configuredGoodExeDir; // as the file gives it, like SystemEntry::configuredRomPath

    bool operator==(const GlobalSettings &other) const
    {
        return goodExeDir == other.goodExeDir && sameAsRomPath == other.sameAsRomPath &&
               checkVersionAtStartup == other.checkVersionAtStartup &&
               loadSummaryAtStartup == other.loadSummaryAtStartup &&
               configuredGoodExeDir == other.configuredGoodExeDir;
    }
};

// Directories are kept with a "/" at the end, so that a file name is simply appended.
inline QString withTrailingSlash(const QString &directory)
{
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// A tool lives beside the system's ROMs when the settings say so, otherwise in the Good*.exe
// directory.
inline QString toolDirectory(const QString &romPath, const QString &goodExeDir, bool sameAsRomPath)
{
    return sameAsRomPath ? romPath : goodExeDir;
}

// The tool of a system, the one file that the selector checks and Go runs: a tool file that does
// not begin with "Good" is a complete path of its own, any other lies in the tool directory. A
// relative path (no Good*.exe Directory, or a relative tool file) is taken from the ROM directory,
// the folder the tool runs in.
inline QString toolPath(const QString &goodExeDir, const QString &toolFile, const QString &romPath,
                        bool sameAsRomPath)
{
    const QString path = toolFile.startsWith(QLatin1String("Good"))
                             ? toolDirectory(romPath, goodExeDir, sameAsRomPath) + toolFile
                             : toolFile;
    return path.isEmpty() ? path : QDir(romPath).absoluteFilePath(path);
}

// All tools share one Goodinfo.cfg, in the Good*.exe directory wherever the tools live.
inline QString goodinfoPath(const QString &goodExeDir)
{
    return goodExeDir + QLatin1String("Goodinfo.cfg");
}

// A key without its brackets: "[Gen" gives "Gen", as the tools name their config sections.
inline QString keyWithoutBrackets(const QString &key)
{
    return QString(key).remove(u'[').remove(u']');
}
