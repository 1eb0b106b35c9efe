#pragma once

#include <QString>
#include <QUrl>

// The help page ships beside the program as help.htm.
QString helpPagePath(const QString &programDir);

// The address the desktop is asked to open for the page in programDir.
QUrl helpPageUrl(const QString &programDir);
