#pragma once

#include <QList>

class QAction;
class QString;
class QWidget;

// The windows that the main window's menus open, each with the picture of it in the user's
// guide. The screenshot tool photographs them; the HiDPI test checks their labels.
struct TourStop
{
    const char *action;  // the menu action's object name
    const char *window;  // the object name of the window it opens
    const char *picture; // the file name in docs/images
};

const QList<TourStop> &windowTour();

// The main window's action of that object name as a user reaches it: an item with a text in a
// menu of the menu bar. nullptr when no menu offers it.
QAction *menuItem(QWidget *mainWindow, const QString &action);

// Picks the main window's menu item and gives the window it opened, shown and laid out; nullptr
// when no new window appeared.
QWidget *openFromMenu(QWidget *mainWindow, const char *action);

// Runs the event loop for `ms` milliseconds, so that windows are painted and timers fire.
void settle(int ms);
