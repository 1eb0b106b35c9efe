#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// What a copy by list did.
struct CopyFromListResult
{
    bool listRead = false; // false: the list could not be opened and nothing was looked at
    bool stopped = false;  // the walk ended early on request
    int copied = 0;
    int skipped = 0;      // matching files whose target name was taken
    QStringList failed;   // sources whose copy failed; nothing was left under their target names
    QStringList notFound; // lines that named no file, each once, in list order; not when stopped
};

// Copies every file of dir (ending in "/"), and of its sub-directories when subDirs is true,
// whose base name (the file name up to its first dot) is a line of the text file txtName,
// into destDir (ending in "/") under its own file name. Lines count as written: case, spaces
// and empty lines included; each is UTF-8 where valid and Windows-1252 where not, as a list
// written by a Windows tool may be. A file whose target name is taken is not copied. When `stop`
// becomes true the walk ends after the file in hand.
CopyFromListResult copyFilesFromList(const QString &txtName, const QString &destDir,
                                     const QString &dir, bool subDirs,
                                     const std::atomic_bool *stop = nullptr);
