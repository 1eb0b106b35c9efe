#pragma once

#include "goodtool/romdatabase.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The demo collection, as data: what the demo generator lays out beside tessary, and what a
// test can lay out in a temporary directory to get a realistic system in one call.

struct DemoRom
{
    QString fileName; // in the system's ROM directory, mostly not the good name
    QString goodName; // empty for a file the database does not know
    QByteArray content;
};

struct DemoSystem
{
    QString key;            // "NES": the "[NES" of Tessary.ini and Goodinfo.cfg, the tool's base
    QString title;          // the system's name in Tessary.ini
    QString directory;      // the ROM directory's name
    QString databaseSystem; // the database's System= line
    QList<DemoRom> roms;
    QStringList missingNames;  // in the database, in no ROM file
    QStringList goodinfoLines; // the lines of its Goodinfo.cfg section after the header

    QString toolName() const { return QLatin1String("Good") + key + QLatin1String(".exe"); }
    RomDatabase database() const;
};

// GBA (complete but for names its Goodinfo.cfg section excludes), Gen (a duplicate pair and
// .smd files), NES (iNES headers, some with junk in bytes 7..15) and SNES (.swc and .fig files).
QList<DemoSystem> demoSystems();
DemoSystem demoSystem(const QString &key); // empty key when there is none

// The content of a demo ROM, the same for the same arguments: a few hundred bytes to 2 KiB.
// For "NES" an iNES header comes first, with `junk` in bytes 7..15.
QByteArray demoRomContent(const QString &key, const QString &seed, const QByteArray &junk = {});

// Goodinfo.cfg with a section for each system, CR LF line ends.
QByteArray demoGoodinfo(const QList<DemoSystem> &systems);

// Copies the substitute tool into `toolDir` as the system's Good<Base>.exe, replacing what is
// there, and writes its database Good<Base>.dat.
bool installDemoTool(const DemoSystem &system, const QString &goodtoolPath, const QString &toolDir,
                     QString *error);

// Writes the system's ROM files that are gone from `romDir`. A ROM counts as present when a file
// with its checksum is anywhere below `romDir`, so a collection that was renamed, moved into
// <Base>Ren or converted is left alone. Returns the names written.
QStringList writeMissingRoms(const DemoSystem &system, const QString &romDir, QString *error);

// Runs the installed tool's "list" once in `romDir`, which writes the system's <Base>Have.txt
// and <Base>Miss.txt there, so that the summary has something to show from the first start.
bool writeDemoLists(const DemoSystem &system, const QString &toolDir, const QString &romDir,
                    QString *error);
