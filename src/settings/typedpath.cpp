#include "settings/typedpath.h"

#include "settings/settingsloader.h"

#include <QDir>

QString resolvedTypedPath(const QString &typed)
{
    if (typed.isEmpty() || !QDir::isRelativePath(typed))
        return typed;
    return QDir::cleanPath(settingsDirectory() + u'/' + typed);
}
