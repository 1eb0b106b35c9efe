#include "settings/installlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

InstallLayout installLayout(const QString &programDir, const QString &userConfigDirectory)
{
    // bin/tessary and share/tessary/ under one prefix, as the install rules lay them out.
    const QString dataDirectory = QDir::cleanPath(programDir + QLatin1String("/../share/tessary"));
    if (QFileInfo(dataDirectory + QLatin1String("/installed")).isFile())
        return {true, userConfigDirectory, dataDirectory};
    return {false, programDir, programDir};
}

InstallLayout currentInstallLayout()
{
    return installLayout(QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
