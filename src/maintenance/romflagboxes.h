#pragma once

#include "maintenance/romflagfilter.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The flag group box that Delete Roms and the Goodinfo.cfg swipe share: one check box per row
// of the flag table, placed where the table says, and `lineEdit` for the custom filter text.
struct RomFlagBoxes
{
    // Creates `groupBox` at 8, 8 in `window` with the given title and everything inside it.
    RomFlagBoxes(QWidget *window, const QString &title);

    // The filter as the boxes stand now.
    RomFlagFilter filter(bool emptyCustomMatchesAll) const;

    QGroupBox *groupBox;
    std::array<QCheckBox *, RomFlagCount> boxes;
    QLineEdit *lineEdit;
};

// Sets a label or check box whose text is wider than its fixed box a little smaller, so that
// fonts wider than the ones these windows were laid out for do not cut texts off.
void fitTextsToBoxes(QWidget *window);

// The green "Go" palette of both maintenance windows.
void setGoButtonPalette(QPushButton *button);
