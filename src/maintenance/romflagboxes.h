#pragma once

#include "maintenance/romflagfilter.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QWidget;

// The flag group box that Delete Roms and the Goodinfo.cfg swipe share: one check box per row
// of the flag table, placed where the table says, and a line edit for the custom filter text.
struct RomFlagBoxes
{
    // Creates the group box at 8, 8 in `window` with the given title and everything inside it.
    RomFlagBoxes(QWidget *window, const QString &title);

    // The filter as the boxes stand now.
    RomFlagFilter filter(bool emptyCustomMatchesAll) const;

    QGroupBox *flagGroup;
    std::array<QCheckBox *, RomFlagCount> boxes;
    QLineEdit *customTextEdit;
};

// Before a maintenance window's widgets are made: its name, title, fixed size, and the main
// window's 8-point font, which the fixed label and box widths are made for.
void prepareMaintenanceWindow(QWidget *window, const QString &name, const QString &title, int width,
                              int height);

// Once its widgets stand: texts fitted, slots connected by name, deleted on close, and placed
// centred on the main window at mainX, mainY of width mainWidth, 100 pixels below its top.
void placeMaintenanceWindow(QWidget *window, int mainX, int mainY, int mainWidth);
