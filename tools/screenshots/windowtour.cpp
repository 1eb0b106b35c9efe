#include "screenshots/windowtour.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QWidget>

const QList<TourStop> &windowTour()
{
    static const QList<TourStop> stops = {
        {"actionConfig", "TestConfig", "config-dialog.png"},
        {"actionCompare_Miss_Lists", "CompareMissLists", "compare-lists.png"},
        {"actionCopy_files_from_txt_to_Directory", "CopyTxtToFolder", "copy-window.png"},
        {"actionDelete_Lists_and_db_Files", "DeleteLists", "delete-lists.png"},
        {"actionDelete_Specified_Roms", "DeleteRoms", "delete-roms.png"},
        {"actionGoodinfo_cfg_Swipe", "GoodInfo", "goodinfo-swipe.png"},
        {"actionAbout", "About", "about-start.png"},
    };
    return stops;
}

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

QAction *menuItem(QWidget *mainWindow, const QString &action)
{
    const auto *menuBar = mainWindow->findChild<QMenuBar *>();
    for (const QAction *entry : menuBar ? menuBar->actions() : QList<QAction *>()) {
        const QList<QAction *> items =
            entry->menu() ? entry->menu()->actions() : QList<QAction *>();
        for (QAction *item : items) {
            if (item->objectName() == action && !item->text().isEmpty() && !entry->text().isEmpty())
                return item;
        }
    }
    return nullptr;
}

QWidget *openFromMenu(QWidget *mainWindow, const char *action)
{
    const QList<QWidget *> before = QApplication::topLevelWidgets();
    const QSet<QWidget *> known(before.cbegin(), before.cend());
    QAction *menuAction = menuItem(mainWindow, QLatin1String(action));
    if (!menuAction)
        return nullptr;
    menuAction->trigger();
    settle(300);
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!known.contains(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}
