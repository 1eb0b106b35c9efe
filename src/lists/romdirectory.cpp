#include "lists/romdirectory.h"

#include "lists/listfiles.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void openRomDirectory(const QString &romPath)
{
#ifdef Q_OS_WIN
    // Explorer gets its command line as written: explorer "C:\Roms\Gen\".
    auto *explorer = new QProcess;
    explorer->setProgram(QStringLiteral("explorer"));
    explorer->setNativeArguments(explorerArguments(romPath));
    QObject::connect(explorer, &QProcess::finished, explorer, &QObject::deleteLater);
    QObject::connect(explorer, &QProcess::errorOccurred, explorer,
                     [explorer](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             explorer->deleteLater();
                     });
    explorer->start();
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(romPath));
#endif
}
