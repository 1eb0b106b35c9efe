#pragma once

#include <QLatin1String>
#include <QString>
#include <QWidget>

// The windows are built in code, each widget under its object name: tests and the command
// panel find widgets by it.
template<typename Widget> Widget *createNamed(QWidget *parent, const QString &name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(name);
    return widget;
}

// A widget placed at fixed coordinates, as most windows lay theirs out.
template<typename Widget>
Widget *createChild(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *widget = createNamed<Widget>(parent, QLatin1String(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}
