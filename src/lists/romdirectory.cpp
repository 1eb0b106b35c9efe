#include "lists/romdirectory.h"

#include "lists/listfiles.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#ifdef Q_OS_WIN
QProcess *explorerProcess(const QString &romPath)
{
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
    return explorer;
}
#endif

void openRomDirectory(const QString &romPath)
{
#ifdef Q_OS_WIN
    explorerProcess(romPath)->start();
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(romPath));
#endif
}
