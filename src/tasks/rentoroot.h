#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// A free path in dir (ending in "/") for a file called name: name itself, or name with as many
// "_" in front as it takes. Anything standing under a name, a directory too, makes it taken.
QString uniqueTargetName(const QString &dir, const QString &name);

// What a move to the root did.
struct MoveToRootResult
{
    bool folderMissing = false; // dir was not there, or went during the walk (an unplugged drive)
    bool stopped = false;       // the walk ended early on request
    QStringList failed;         // files that could not be moved, still where they were
    QStringList unreadFolders;  // folders not read in full (no permission, a read error)
};

// Moves every file below dir, at any depth, into dir itself, under a free name. Files directly
// in dir stay as they are; hidden files and hidden directories are left alone, links to
// directories are not followed, and emptied directories stay. Names are taken as the file system
// spells them, valid in the locale's encoding or not. A folder that cannot be read in full is
// named in the result, and what was read of it is moved. When `stop` becomes true the walk ends
// after the file in hand.
MoveToRootResult moveFilesToRoot(const QString &dir, const std::atomic_bool *stop = nullptr);
