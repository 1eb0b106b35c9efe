#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Names the user's configuration folder of an installed Tessary: ~/.config/Tessary.
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    MainWindow window;
    window.show();
    return application.exec();
}
