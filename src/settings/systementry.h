#pragma once

#include <QMap>
#include <QString>

// One configured game system: the key that names it everywhere ("[Gen"), the name shown
// beside the key, the directory holding its ROMs and the file name of its tool.
struct SystemEntry
{
    QString key;
    QString systemName;
    QString romPath;  // ends with "/" unless empty
    QString toolFile; // such as GoodGen.exe

    bool operator==(const SystemEntry &other) const
    {
        return key == other.key && systemName == other.systemName && romPath == other.romPath &&
               toolFile == other.toolFile;
    }
};

// Every system the settings file describes, ready to run or not, ordered by key.
using SystemTable = QMap<QString, SystemEntry>;

// The four settings that apply to all systems.
struct GlobalSettings
{
    QString goodExeDir; // ends with "/" unless empty
    bool sameAsRomPath = false;
    bool checkVersionAtStartup = false;
    bool loadSummaryAtStartup = false;

    bool operator==(const GlobalSettings &other) const
    {
        return goodExeDir == other.goodExeDir && sameAsRomPath == other.sameAsRomPath &&
               checkVersionAtStartup == other.checkVersionAtStartup &&
               loadSummaryAtStartup == other.loadSummaryAtStartup;
    }
};
