#pragma once

#include <QString>

// A path typed into a chore's field, as the chore uses it: made absolute once, when the chore
// starts, so that nothing the program does meanwhile can move it. A relative path is taken from
// the folder of Tessary.ini, never from the program's current folder. An empty text stays empty:
// it names no file or folder, and the chore refuses it as before.
QString resolvedTypedPath(const QString &typed);
