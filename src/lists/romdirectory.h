#pragma once

#include <QString>

// Opens a ROM directory in the desktop's file manager without waiting for it: Windows Explorer
// on Windows, the handler for local folders elsewhere. A failure is silent.
void openRomDirectory(const QString &romPath);

#ifdef Q_OS_WIN
class QProcess;
// The Explorer that openRomDirectory() starts, not yet started; it deletes itself once it ends.
QProcess *explorerProcess(const QString &romPath);
#endif
