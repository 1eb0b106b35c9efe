#include "maintenance/romflagboxes.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RomFlagBoxes::RomFlagBoxes(QWidget *window, const QString &title)
{
    groupBox = new QGroupBox(window);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setGeometry(8, 8, 256, 171);
    groupBox->setTitle(title);
    for (int row = 0; row < RomFlagCount; ++row) {
        const RomFlag &flag = RomFlags[row];
        auto *box = new QCheckBox(groupBox);
        box->setObjectName(QLatin1String(flag.objectName));
        box->setGeometry(flag.x, flag.y, 104, 24);
        box->setText(QCoreApplication::translate("RomFlagFilter", flag.label));
        boxes[row] = box;
    }
    lineEdit = new QLineEdit(groupBox);
    lineEdit->setObjectName(QStringLiteral("lineEdit"));
    lineEdit->setGeometry(120, 144, 113, 20);
}

RomFlagFilter RomFlagBoxes::filter(bool emptyCustomMatchesAll) const
{
    RomFlagFilter result;
    for (int row = 0; row < RomFlagCount; ++row)
        result.checked[row] = boxes[row]->isChecked();
    result.customText = lineEdit->text();
    result.emptyCustomMatchesAll = emptyCustomMatchesAll;
    return result;
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

void prepareMaintenanceWindow(QWidget *window, const QString &name, const QString &title, int width,
                              int height)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setFixedSize(width, height);
    QFont windowFont = window->font();
    windowFont.setPointSize(8);
    window->setFont(windowFont);
}

void placeMaintenanceWindow(QWidget *window, int mainX, int mainY, int mainWidth)
{
    fitTextsToBoxes(window);
    QMetaObject::connectSlotsByName(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->move(mainX + mainWidth / 2 - window->width() / 2, mainY + 100);
}
