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
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
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
    QTest::addColumn<QString>("blocked");    // a directory made at this name
    QTest::addColumn<QStringList>("boxes");  // "%1": the lists' directory
    QTest::addColumn<QByteArray>("outputs"); // I_Need.txt|They_Need.txt, "-": no file

    const QString done = QStringLiteral("|Compare Complete");
    QTest::newRow("complete") << "Mine.txt"
                              << "" << QStringList{done} << QByteArray("Sonic (W)\n|Zool (E)\n");
    QTest::newRow("list not found")
        << "Gone.txt"
        << "" << QStringList{"Warning|List not found. Check your file paths."} << QByteArray("-|-");
    QTest::newRow("your list unreadable")
        << "Mine.txt"
        << "Mine.txt" << QStringList{"Warning|Problem opening %1/Mine.txt", done}
        << QByteArray("|Zool (E)\n");
    QTest::newRow("their list unreadable")
        << "Mine.txt"
        << "friend/Theirs.txt" << QStringList{"Warning|Problem opening %1/friend/Theirs.txt", done}
        << QByteArray("Sonic (W)\n|");
    QTest::newRow("They_Need.txt fails")
        << "Mine.txt"
        << "They_Need.txt" << QStringList{"Warning|Can not write %1/They_Need.txt\n"}
        << QByteArray("-|-");
    QTest::newRow("I_Need.txt fails")
        << "Mine.txt"
        << "I_Need.txt" << QStringList{"Warning|Can not write %1/I_Need.txt\n"}
        << QByteArray("-|Zool (E)\n");
}

// Root reads and writes any file, so a directory stands in for one that can not be opened.
void tst_ListWindows::compareReports()
{
    QFETCH(QString, yourName);
    QFETCH(QString, blocked);
    QFETCH(QStringList, boxes);
    QFETCH(QByteArray, outputs);

    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QVERIFY(writeFile(root + QStringLiteral("friend/Theirs.txt"), "h\nh\nZool (E)\n"));
    QVERIFY(writeFile(root + QStringLiteral("Mine.txt"), "h\nh\nSonic (W)\n"));
    if (!blocked.isEmpty()) {
        QFile::remove(root + blocked);
        QVERIFY(QDir().mkpath(root + blocked));
    }

    QPointer<QWidget> window = new CompareMissLists(0, 0, 736);
    window->show();
    child<QLineEdit>(window, QStringLiteral("lineEdit"))->setText(root + yourName);
    child<QLineEdit>(window, QStringLiteral("lineEdit_2"))->setText(root + "friend/Theirs.txt");
    {
        MessageBoxes answered;
        QTest::mouseClick(child<QPushButton>(window, QStringLiteral("pushButton_3")),
                          Qt::LeftButton);
        QCOMPARE(answered.seen.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(answered.seen.at(i).startsWith(QString(boxes.at(i)).replace("%1", dir.path())),
                     qPrintable(answered.seen.at(i)));
    }
    QCOMPARE(isDeleted(window), boxes.last().endsWith(QLatin1String("Complete")));
    QCOMPARE(readFile(root + "I_Need.txt") + '|' + readFile(root + "They_Need.txt"), outputs);
}

void tst_ListWindows::deleteWithoutSystemsCloses()
{
    MessageBoxes answered;
    const QStringList none{QString()}; // a system without a key gets no item
    QPointer<QWidget> window = new DeleteLists(none, none, none, QString(), true, 0, 0, 736);
    QCOMPARE(answered.seen,
             QStringList{"Warning|No systems found. Configure Tessary under Main->Config."});
    QVERIFY(isDeleted(window));
}

// The menu entries open their windows; Delete Lists gets each selector system's ROM path and
// tool from the system table.
void tst_ListWindows::mainWindowHandsOverSelectorSystems()
{
    QTemporaryDir dir;
    QString text = QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                  "Check Version At Startup=false\n\n");
    for (const QString name : {"Gen", "GBA"}) {
        const QString romPath = dir.path() + u'/' + name + QStringLiteral("Roms/");
        QVERIFY(writeFile(romPath + QStringLiteral("Good") + name + QStringLiteral(".exe"), "MZ"));
        QVERIFY(writeFile(romPath + name + QStringLiteral("Miss.txt"), "x\n"));
        text += QStringLiteral("[%1=%1 System\nRom Path=%2\nFile Name=Good%1.exe\n\n")
                    .arg(name, romPath);
    }
    QVERIFY(writeSettings(text.toUtf8()));
    MainWindow mainWindow;
    child<QAction>(&mainWindow, QStringLiteral("actionCompare_Miss_Lists"))->trigger();
    child<QAction>(&mainWindow, QStringLiteral("actionDelete_Lists_and_db_Files"))->trigger();
    const auto shown = [](const char *name) -> QWidget * {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String(name) && widget->isVisible())
                return widget;
        }
        return nullptr;
    };
    QVERIFY(shown("CompareMissLists"));
    QWidget *deleting = shown("DeleteLists");
    QVERIFY(deleting);
    auto *box = child<QComboBox>(deleting, QStringLiteral("comboBox"));
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->itemText(1), QStringLiteral("[Gen"));
    QCOMPARE(box->itemText(2), QStringLiteral("[GBA"));
    box->setCurrentIndex(1);
    child<QCheckBox>(deleting, QStringLiteral("checkBox"))->setChecked(true);
    MessageBoxes answered;
    QTest::mouseClick(child<QPushButton>(deleting, QStringLiteral("pushButton")), Qt::LeftButton);
    QCOMPARE(answered.seen, QStringList{"Finished|Delete Lists Complete"});
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/GenRoms/GenMiss.txt")));
    QVERIFY(QFile::exists(dir.path() + QStringLiteral("/GBARoms/GBAMiss.txt")));
}

QTEST_MAIN(tst_ListWindows)
#include "tst_listwindows.moc"
