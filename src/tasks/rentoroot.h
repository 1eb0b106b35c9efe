#pragma once

#include <QString>
#include <QStringList>

// A free path in dir (ending in "/") for a file called name: name itself, or name with as many
// "_" in front as it takes. Anything standing under a name, a directory too, makes it taken.
QString uniqueTargetName(const QString &dir, const QString &name);

// Moves every file below dir, at any depth, into dir itself, under a free name. Files directly
// in dir stay as they are; hidden files and hidden directories are left alone, and emptied
// directories stay. Returns the paths of the files that could not be moved, which are still
// where they were.
QStringList moveFilesToRoot(const QString &dir);
