#pragma once

#include <QDir>
#include <QSet>
#include <QString>
#include <QStringList>

class RomDatabase;

struct ListCounts
{
    int have = 0;
    int known = 0; // every database entry
    int missing = 0;
    int wanted = 0;           // entries left after the Goodinfo.cfg exclusions
    QStringList missingNames; // in database order
};

ListCounts countLists(const RomDatabase &database, const QSet<QString> &haveNames,
                      const QStringList &unwantedFlags);

// Writes <base>Have.txt and <base>Miss.txt into `dir`, CR LF line ends as the Windows tools
// write them:
//    You have <H> of <T> known <System> ROMS (V<Version>)
//   <empty line>
//   <names, sorted without regard to case>
// False with `error` set when a file cannot be written.
bool writeLists(const QDir &dir, const QString &base, const RomDatabase &database,
                const QSet<QString> &haveNames, const ListCounts &counts, QString *error);
