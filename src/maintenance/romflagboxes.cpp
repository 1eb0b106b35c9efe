#include "maintenance/romflagboxes.h"

#include "widgets/createchild.h"
#include "widgets/toolwindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>

RomFlagBoxes::RomFlagBoxes(QWidget *window, const QString &title)
{
    flagGroup = createChild<QGroupBox>(window, "groupBox", 8, 8, 256, 171);
    flagGroup->setTitle(title);
    for (int row = 0; row < RomFlagCount; ++row) {
        const RomFlag &flag = RomFlags[row];
        auto *box = createChild<QCheckBox>(flagGroup, flag.objectName, flag.x, flag.y, 104, 24);
        box->setText(QCoreApplication::translate("RomFlagFilter", flag.label));
        boxes[row] = box;
    }
    customTextEdit = createChild<QLineEdit>(flagGroup, "lineEdit", 120, 144, 113, 20);
}

RomFlagFilter RomFlagBoxes::filter(bool emptyCustomMatchesAll) const
{
    RomFlagFilter result;
    for (int row = 0; row < RomFlagCount; ++row)
        result.checked[row] = boxes[row]->isChecked();
    result.customText = customTextEdit->text();
    result.emptyCustomMatchesAll = emptyCustomMatchesAll;
    return result;
}

void prepareMaintenanceWindow(QWidget *window, const QString &name, const QString &title, int width,
                              int height)
{
    window->setObjectName(name);
    window->setWindowTitle(title);
    window->setFixedSize(width, height);
    useMainWindowFont(window);
}

void placeMaintenanceWindow(QWidget *window, int mainX, int mainY, int mainWidth)
{
    fitTextsToBoxes(window);
    QMetaObject::connectSlotsByName(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->move(toolWindowPosition(window, mainX, mainY, mainWidth));
}
