#include "runner/toolcommand.h"

#include "lists/regularfile.h"

bool isWindowsExecutable(const QString &path)
{
    // A FIFO or a device at the tool's path must not hold up Go.
    return readRegularFile(path, 2).bytes == "MZ";
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
