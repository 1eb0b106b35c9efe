#include "help/helppage.h"

QString helpPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help.htm");
}

// A local-file URL on every platform: Qt 6 percent-encodes a quoted path with backslashes, and no
// desktop then finds the file.
QUrl helpPageUrl(const QString &programDir)
{
    return QUrl::fromLocalFile(helpPagePath(programDir));
}
