#pragma once

#include <QLatin1String>
#include <QWidget>

// The windows are built in code, each widget placed at fixed coordinates under its object name.
template<typename Widget>
Widget *createChild(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}
