#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

QPoint toolWindowPosition(const QWidget *window, int mainX, int mainY, int mainWidth)
{
    return {mainX + mainWidth / 2 - window->width() / 2, mainY + 100};
}

void useMainWindowFont(QWidget *window)
{
    QFont font = window->font();
    font.setPointSize(8);
    window->setFont(font);
}

void fitTextsToBoxes(QWidget *window)
{
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!qobject_cast<QLabel *>(widget) && !qobject_cast<QCheckBox *>(widget))
            continue;
        QFont smaller = widget->font();
        while (widget->sizeHint().width() > widget->width() && smaller.pointSizeF() > 6) {
            smaller.setPointSizeF(smaller.pointSizeF() - 0.5);
            widget->setFont(smaller);
        }
    }
}

void setGoButtonPalette(QPushButton *button)
{
    const QColor green(0, 255, 127);
    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        palette.setBrush(group, QPalette::Base, disabled ? green : QColor(Qt::white));
        palette.setBrush(group, QPalette::Window, green);
        palette.setBrush(group, QPalette::Shadow, QColor(Qt::black));
        palette.setBrush(group, QPalette::AlternateBase, disabled ? green : QColor(127, 255, 191));
        palette.setBrush(group, QPalette::ToolTipBase, QColor(255, 255, 220));
        palette.setBrush(group, QPalette::ToolTipText, QColor(Qt::black));
    }
    button->setPalette(palette);
}
