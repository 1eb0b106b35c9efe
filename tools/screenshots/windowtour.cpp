#include "screenshots/windowtour.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QWidget>

const QList<TourStop> &windowTour()
{
    static const QList<TourStop> stops = {
        {"actionConfig", "config-dialog.png"},
        {"actionCompare_Miss_Lists", "compare-lists.png"},
        {"actionCopy_files_from_txt_to_Directory", "copy-window.png"},
        {"actionDelete_Lists_and_db_Files", "delete-lists.png"},
        {"actionDelete_Specified_Roms", "delete-roms.png"},
        {"actionGoodinfo_cfg_Swipe", "goodinfo-swipe.png"},
        {"actionAbout", "about-start.png"},
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

QWidget *openFromMenu(QWidget *mainWindow, const char *action)
{
    const QList<QWidget *> before = QApplication::topLevelWidgets();
    const QSet<QWidget *> known(before.cbegin(), before.cend());
    auto *menuAction = mainWindow->findChild<QAction *>(QLatin1String(action));
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
