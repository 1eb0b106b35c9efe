#pragma once

#include <QString>

// Opens a ROM directory in the desktop's file manager without waiting for it: Windows Explorer
// on Windows, the handler for local folders elsewhere. A failure is silent.
void openRomDirectory(const QString &romPath);
