#pragma once

#include "maintenance/romflagfilter.h"

#include <QFile>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#include <QWidget>
#endif

namespace MaintenanceTest {

// A filter with the given rows (1 to 10) checked.
inline RomFlagFilter filterOf(const QList<int> &rows, const QString &custom = {},
                              bool emptyCustomMatchesAll = false)
{
    RomFlagFilter filter;
    for (int row : rows)
        filter.checked[row - 1] = true;
    filter.customText = custom;
    filter.emptyCustomMatchesAll = emptyCustomMatchesAll;
    return filter;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#ifdef QT_WIDGETS_LIB
// The open top-level window of the given class, if any.
template<typename Window> Window *findTopLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<Window *>(widget))
            return found;
    }
    return nullptr;
}
#endif

} // namespace MaintenanceTest
