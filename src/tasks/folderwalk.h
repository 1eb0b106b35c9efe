#pragma once

#include <QFileInfoList>
#include <QString>

// True for a folder that a walk must not enter: a link, or on Windows any reparse point (a
// junction, a mount point), which Qt does not count as a link. Entering one would take a walk
// outside the folder it was given, to act on files elsewhere.
bool leadsElsewhere(const QFileInfo &folder);

// The files in `directory` that are not hidden, and when `recursive` those in its sub-folders
// too, never entering one that leads elsewhere.
QFileInfoList filesBelow(const QString &directory, bool recursive);
