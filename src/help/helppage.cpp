#include "help/helppage.h"

QString helpPagePath(const QString &programDir)
{
    return programDir + QStringLiteral("/help.htm");
}

QUrl helpPageUrl(const QString &programDir)
{
#ifdef Q_OS_WIN
    // The Windows shell takes the quoted path with a backslash before the file name.
    return QUrl(u'"' + programDir + QStringLiteral("\\help.htm") + u'"');
#else
    return QUrl::fromLocalFile(helpPagePath(programDir));
#endif
}
