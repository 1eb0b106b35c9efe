#pragma once

#include <QPoint>

class QPushButton;
class QWidget;

// Where a tool window opens: centred over the main window (mainX, mainY, mainWidth), 100 pixels
// below its top edge. Both halves are integer divisions, taken separately.
QPoint toolWindowPosition(const QWidget *window, int mainX, int mainY, int mainWidth);

// The main window's 8-point size, which the fixed widths of every window's labels are made for.
void useMainWindowFont(QWidget *window);

// Sets a label or check box whose text is wider than its fixed box a little smaller, so that
// fonts wider than the ones these windows were laid out for do not cut texts off.
void fitTextsToBoxes(QWidget *window);

// The green "Go" palette of the maintenance windows.
void setGoButtonPalette(QPushButton *button);
