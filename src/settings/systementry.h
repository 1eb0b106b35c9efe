#pragma once

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
