#include "app/mainwindow.h"
#include "lists/comparemisslists.h"
#include "lists/deletelists.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

class tst_ListWindows : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void compareReports_data();
    void compareReports();
    void deleteWithoutSystemsCloses();
    void mainWindowHandsOverSelectorSystems();
};

namespace {

// Answers every message box that comes up until destroyed, noting what each said.
class MessageBoxes : public QObject
{
public:
    MessageBoxes()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() + u'|' + box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    QStringList seen;

private:
    QTimer m_timer;
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) &&
           file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(child<QPushButton>(window, QLatin1String(button)), Qt::LeftButton);
}

QWidget *topLevel(const char *name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Lets a window that closed itself be deleted.
bool isDeleted(const QPointer<QWidget> &window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

} // namespace

void tst_ListWindows::cleanup()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        delete widget;
    removeSettings();
}

void tst_ListWindows::compareReports_data()
{
    QTest::addColumn<QString>("yourName");
    QTest::addColumn<QString>("blocked"); // a directory made at this name
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("closes");

    QTest::newRow("complete") << "Mine.txt"
                              << "" << QStringList{"|Compare Complete"} << true;
    QTest::newRow("list not found")
        << "Gone.txt"
        << "" << QStringList{"Warning|List not found. Check your file paths."} << false;
    QTest::newRow("your list unreadable")
        << "Mine.txt"
        << "Mine.txt" << QStringList{"Warning|Problem opening %1/Mine.txt", "|Compare Complete"}
        << true;
    QTest::newRow("write fails") << "Mine.txt"
                                 << "I_Need.txt"
                                 << QStringList{"Warning|Can not write %1/I_Need.txt\n"} << false;
}

void tst_ListWindows::compareReports()
{
    QFETCH(QString, yourName);
    QFETCH(QString, blocked);
    QFETCH(QStringList, boxes);
    QFETCH(bool, closes);

    QTemporaryDir dir;
    const QString root = dir.path();
    const QByteArray header = " You have 1 of 3\nGenesis\n";
    if (blocked != QLatin1String("Mine.txt"))
        QVERIFY(writeFile(root + QStringLiteral("/Mine.txt"), header + "Sonic (W)\n"));
    if (blocked != QLatin1String("friend/Theirs.txt"))
        QVERIFY(writeFile(root + QStringLiteral("/friend/Theirs.txt"), header + "Zool (E)\n"));
    if (!blocked.isEmpty())
        QVERIFY(QDir().mkpath(root + u'/' + blocked));

    QPointer<QWidget> window = new CompareMissLists(0, 0, 736);
    window->show();
    child<QLineEdit>(window, QStringLiteral("lineEdit"))->setText(root + u'/' + yourName);
    child<QLineEdit>(window, QStringLiteral("lineEdit_2"))
        ->setText(root + QStringLiteral("/friend/Theirs.txt"));
    {
        MessageBoxes answered;
        click(window, "pushButton_3");
        QCOMPARE(answered.seen.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(answered.seen.at(i).startsWith(
                         QString(boxes.at(i)).replace(QLatin1String("%1"), root)),
                     qPrintable(answered.seen.at(i)));
    }
    QCOMPARE(isDeleted(window), closes);
    const bool written = closes && !blocked.endsWith(QLatin1String("Need.txt"));
    QCOMPARE(QFileInfo(root + QStringLiteral("/I_Need.txt")).isFile(), written);
}

// A system without a key gets no item in the box.
void tst_ListWindows::deleteWithoutSystemsCloses()
{
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    const QStringList none{QString()};
    auto *window = new DeleteLists(none, none, none, QString(), true, 0, 0, 736);
    QPointer<QWidget> guard = window;
    QVERIFY(!window->hasSystems());
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QCOMPARE(seen.text, QStringLiteral("No systems found. Configure Tessary under Main->Config."));
    QVERIFY(isDeleted(guard));
}

// The menu entries open their windows over the main window; Delete Lists gets each selector
// system's ROM path and tool from the system table.
void tst_ListWindows::mainWindowHandsOverSelectorSystems()
{
    QTemporaryDir dir;
    QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                  "Check Version At Startup=false\n"
                                  "Load Summary At Startup=false\n\n");
    for (const char *system : {"Gen", "GBA"}) {
        const QString name = QLatin1String(system);
        const QString romPath = dir.path() + u'/' + name + QStringLiteral("Roms/");
        QVERIFY(writeFile(romPath + QStringLiteral("Good") + name + QStringLiteral(".exe"), "MZ"));
        QVERIFY(writeFile(romPath + name + QStringLiteral("Miss.txt"), "x\n"));
        text += QStringLiteral("[%1=%1 System\nRom Path=%2\nFile Name=Good%1.exe\n\n")
                    .arg(name, romPath);
    }
    QVERIFY(writeSettings(text.toUtf8()));
    MainWindow mainWindow;
    mainWindow.move(100, 40);

    child<QAction>(&mainWindow, QStringLiteral("actionCompare_Miss_Lists"))->trigger();
    QWidget *compare = topLevel("CompareMissLists");
    QVERIFY(compare);
    QCOMPARE(compare->geometry(), QRect(mainWindow.width() / 2 + (mainWindow.x() - 336 / 2),
                                        mainWindow.y() + 100, 336, 140));

    child<QAction>(&mainWindow, QStringLiteral("actionDelete_Lists_and_db_Files"))->trigger();
    QWidget *deleting = topLevel("DeleteLists");
    QVERIFY(deleting);
    auto *box = child<QComboBox>(deleting, QStringLiteral("comboBox"));
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->itemText(1), QStringLiteral("[Gen"));
    QCOMPARE(box->itemText(2), QStringLiteral("[GBA"));
    box->setCurrentIndex(1);
    child<QCheckBox>(deleting, QStringLiteral("checkBox"))->setChecked(true);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    click(deleting, "pushButton");
    QCOMPARE(seen.text, QStringLiteral("Delete Lists Complete"));
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/GenRoms/GenMiss.txt")));
    QVERIFY(QFile::exists(dir.path() + QStringLiteral("/GBARoms/GBAMiss.txt")));
}

QTEST_MAIN(tst_ListWindows)
#include "tst_listwindows.moc"
