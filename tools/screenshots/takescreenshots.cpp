// Takes the pictures of the user's guide: the main window on the demo collection and every window
// its menus open. It reads the Tessary.ini beside it, so the build puts it beside tessary, where
// the demo collection is; scripts/screenshot.sh runs it under a virtual X server.
//
//   take-screenshots OUTPUT_FOLDER
#include "app/mainwindow.h"
#include "screenshots/windowtour.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

bool save(QWidget *window, const QDir &folder, const QString &name)
{
    const bool saved = window->grab().save(folder.filePath(name));
    std::printf("%s %s\n", saved ? "Wrote" : "Could not write", qPrintable(folder.filePath(name)));
    return saved;
}

// The Genesis Miss list in the output area, over the collection summary.
void showMissList(MainWindow &window)
{
    auto *selector = window.findChild<QComboBox *>(QStringLiteral("selectSystemComboBox"));
    const int genesis =
        selector ? selector->findText(QStringLiteral("[Gen"), Qt::MatchStartsWith) : -1;
    if (genesis >= 0)
        selector->setCurrentIndex(genesis);
    if (auto *missList = window.findChild<QAction *>(QStringLiteral("action_Miss_List")))
        missList->trigger();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: take-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    MainWindow window;
    window.show();
    showMissList(window);
    settle(500);
    bool allSaved = save(&window, folder, QStringLiteral("main-window.png"));

    for (const TourStop &stop : windowTour()) {
        QWidget *opened = openFromMenu(&window, stop.action);
        if (!opened || opened->objectName() != QLatin1String(stop.window)) {
            std::fprintf(stderr, "%s did not open %s\n", stop.action, stop.window);
            allSaved = false;
            continue;
        }
        allSaved = save(opened, folder, QLatin1String(stop.picture)) && allSaved;
        opened->close();
        settle(100);
    }
    return allSaved ? 0 : 1;
}
