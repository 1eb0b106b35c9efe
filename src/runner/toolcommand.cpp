#include "runner/toolcommand.h"

#include <QFile>

bool isWindowsExecutable(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

ToolCommand toolCommand(const QString &path, const QStringList &arguments)
{
#ifdef Q_OS_WIN
    return {path, arguments};
#else
    if (isWindowsExecutable(path))
        return {QStringLiteral("wine"), QStringList{path} + arguments};
    return {path, arguments};
#endif
}
