#include "app/mainwindow.h"
#include "filetree.h"
#include "tasks/copytxttofolder.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace TestHelpers;

// The two background file tasks as the user starts them: from the Tools menu and the Copy window.
class tst_FileTasks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void copyWarnings_data();
    void copyWarnings();
    void closingDuringCopyStopsAndReports_data();
    void closingDuringCopyStopsAndReports();
    void copyFromTheMenuReportsInOutputArea();
    void moveWithoutSystemWarns();
    void moveFromTheMenu();
    void overtakenMoveStillReports();

private:
    QString src() const { return m_root->path() + QStringLiteral("/src"); }
    QString dest() const { return m_root->path() + QStringLiteral("/dest"); }
    QString list() const { return m_root->filePath(QStringLiteral("list.txt")); }
    void fill(CopyTxtToFolder *window, const QString &txt, const QString &folder,
              const QString &destination, bool subDirs);
    std::unique_ptr<MainWindow> mainWindowWithGen(const QString &romDir);
    static CopyTxtToFolder *copyWindow();
    static int threadCount();

    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_FileTasks::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(src()) && QDir().mkpath(dest()));
    QVERIFY(FileTree::write(m_root->path(), QStringLiteral("list.txt"), "X\nY\n"));
}

void tst_FileTasks::cleanup()
{
    delete copyWindow();
    removeSettings();
}

void tst_FileTasks::fill(CopyTxtToFolder *window, const QString &txt, const QString &folder,
                         const QString &destination, bool subDirs)
{
    child<QLineEdit>(window, "lineEdit")->setText(txt);
    child<QLineEdit>(window, "lineEdit_2")->setText(folder);
    child<QLineEdit>(window, "lineEdit_3")->setText(destination);
    child<QCheckBox>(window, "checkBox")->setChecked(subDirs);
}

// One ready system, [Gen, whose ROM directory is romDir.
std::unique_ptr<MainWindow> tst_FileTasks::mainWindowWithGen(const QString &romDir)
{
    FileTree::write(romDir, QStringLiteral("GoodGen.exe"), "tool");
    writeSettings(QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                 "Check Version At Startup=false\nLoad Summary At Startup=false\n\n"
                                 "[Gen=Genesis\nRom Path=%1/\nFile Name=GoodGen.exe\n\n")
                      .arg(romDir)
                      .toUtf8());
    return std::make_unique<MainWindow>();
}

CopyTxtToFolder *tst_FileTasks::copyWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<CopyTxtToFolder *>(widget))
            return window;
    }
    return nullptr;
}

int tst_FileTasks::threadCount()
{
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

void tst_FileTasks::copyWarnings_data()
{
    QTest::addColumn<QString>("txt");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("warning");
    const QString root = QStringLiteral("<root>");
    QTest::newRow("list unreadable") << "<root>/none.txt"
                                     << "<root>/src"
                                     << "<root>/dest"
                                     << "Problem reading txt file <root>/none.txt";
    QTest::newRow("list is a directory") << "<root>/src"
                                         << "<root>/src"
                                         << "<root>/dest"
                                         << "Problem reading txt file <root>/src";
    QTest::newRow("folder empty") << "<root>/list.txt"
                                  << ""
                                  << "<root>/dest"
                                  << "File folder doesn't exist.";
    QTest::newRow("folder missing") << "<root>/list.txt"
                                    << "<root>/gone"
                                    << "<root>/dest"
                                    << "File folder doesn't exist.";
    QTest::newRow("destination empty") << "<root>/list.txt"
                                       << "<root>/src"
                                       << ""
                                       << "File destination doesn't exist.";
    QTest::newRow("destination missing") << "<root>/list.txt"
                                         << "<root>/src"
                                         << "<root>/gone/"
                                         << "File destination doesn't exist.";
}

void tst_FileTasks::copyWarnings()
{
    QFETCH(QString, txt);
    QFETCH(QString, folder);
    QFETCH(QString, destination);
    QFETCH(QString, warning);
    for (QString *text : {&txt, &folder, &destination, &warning})
        text->replace(QLatin1String("<root>"), m_root->path());
    FileTree::write(src(), QStringLiteral("X.bin"), "x");
    QPointer<CopyTxtToFolder> window = new CopyTxtToFolder(0, 0, 736);
    window->show();
    fill(window, txt, folder, destination, true);
    QSignalSpy started(window.data(), &CopyTxtToFolder::StartGif);

    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton_4")->click();

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QCOMPARE(seen.text, warning);
    QVERIFY(window && window->isVisible());
    QCOMPARE(child<QLineEdit>(window, "lineEdit_2")->text(), folder);
    QCOMPARE(started.count(), 0);
    QCOMPARE(FileTree::read(dest()), QStringList{});
}

// The window goes at once; the copy stops after the file in hand, its thread with it, and the
// main window still hears how it ended. Every copy made is whole.
void tst_FileTasks::closingDuringCopyStopsAndReports_data()
{
    QTest::addColumn<bool>("afterFirstCopies");
    QTest::newRow("at once") << false;
    QTest::newRow("after the first copies") << true;
}

void tst_FileTasks::closingDuringCopyStopsAndReports()
{
    QFETCH(bool, afterFirstCopies);
    QByteArray lines;
    for (int i = 0; i < 1000; ++i) {
        lines += QByteArray::number(i) + '\n';
        QVERIFY(FileTree::write(src(), QStringLiteral("%1.bin").arg(i), QByteArray(2000, char(i))));
    }
    QVERIFY(FileTree::write(m_root->path(), QStringLiteral("list.txt"), lines));
    const int threadsBefore = threadCount();
    QPointer<CopyTxtToFolder> window = new CopyTxtToFolder(0, 0, 736);
    fill(window, list(), src(), dest(), false);
    QSignalSpy reported(window.data(), &CopyTxtToFolder::StopGifSignal);

    child<QPushButton>(window, "pushButton_4")->click();
    if (afterFirstCopies)
        QTRY_VERIFY(!QDir(dest()).isEmpty());
    window->close();

    QTRY_VERIFY(!window);
    QTRY_COMPARE(threadCount(), threadsBefore);
    QCOMPARE(reported.count(), 1);
    const QString firstLine = reported.at(0).at(0).toString();
    QVERIFY2(firstLine == QLatin1String("Copy Files From *.txt to File Destination Stopped") ||
                 firstLine == QLatin1String("Copy Files From *.txt to File Destination Completed"),
             qPrintable(firstLine));
    QApplication::processEvents();
    QCOMPARE(reported.count(), 1);
    for (const QString &name : QDir(dest()).entryList(QDir::Files | QDir::Hidden))
        QCOMPARE(FileTree::checksum(dest() + u'/' + name), FileTree::checksum(src() + u'/' + name));
}

void tst_FileTasks::copyFromTheMenuReportsInOutputArea()
{
    QVERIFY(FileTree::build(src(), {"X.bin=x", "deep/Y.zip=y", "W.bin=w"}));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen(m_root->path() + QStringLiteral("/roms"));
    mainWindow->move(40, 30);
    child<QAction>(mainWindow.get(), "actionCopy_files_from_txt_to_Directory")->trigger();
    QPointer<CopyTxtToFolder> window = copyWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->pos(), QPoint(40 + 736 / 2 - 384 / 2, 130));

    fill(window, list(), src(), dest() + u'/', true);
    child<QPushButton>(window, "pushButton_4")->click();
    QVERIFY(!window->isVisible());

    auto *textEdit = child<QTextEdit>(mainWindow.get(), "textEdit");
    QTRY_COMPARE(textEdit->toPlainText(),
                 QStringLiteral("Copy Files From *.txt to File Destination Completed"));
    QTRY_VERIFY(!window);
    QTRY_COMPARE(threadCount(), threadsBefore);
    for (QLabel *label : mainWindow->findChildren<QLabel *>())
        QVERIFY(!label->movie());
    QCOMPARE(FileTree::read(dest()), (QStringList{"X.bin=x", "Y.zip=y"}));
}

void tst_FileTasks::moveWithoutSystemWarns()
{
    writeSettings("Good*.exe Directory=\nSame as Rom Path=true\n");
    MainWindow mainWindow;
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QAction>(&mainWindow, "actionMove_Files_From_Ren_to_Root")->trigger();
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QCOMPARE(seen.text, QStringLiteral("No system selected"));
}

void tst_FileTasks::moveFromTheMenu()
{
    const QString roms = m_root->path() + QStringLiteral("/roms");
    QVERIFY(FileTree::build(roms, {"a.gen=root", "GenRen/a.gen=ren", "Other/x/b.gen=b"}));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen(roms);
    child<QAction>(mainWindow.get(), "actionMove_Files_From_Ren_to_Root")->trigger();

    auto *textEdit = child<QTextEdit>(mainWindow.get(), "textEdit");
    QTRY_COMPARE(textEdit->toPlainText(), QStringLiteral("Ren To Root Completed"));
    QCOMPARE(FileTree::read(roms), (QStringList{"GenRen/", "GoodGen.exe=tool", "Other/", "Other/x/",
                                                "_a.gen=ren", "a.gen=root", "b.gen=b"}));
    QTRY_COMPARE(threadCount(), threadsBefore);
}

// A second move before the first has reported: each worker goes with its own report.
void tst_FileTasks::overtakenMoveStillReports()
{
    const QString roms = m_root->path() + QStringLiteral("/roms");
    QVERIFY(FileTree::build(roms, {"GenRen/a.gen=ren"}));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen(roms);
    auto *move = child<QAction>(mainWindow.get(), "actionMove_Files_From_Ren_to_Root");
    move->trigger();
    move->trigger();

    auto *textEdit = child<QTextEdit>(mainWindow.get(), "textEdit");
    QTRY_COMPARE(textEdit->toPlainText(), QStringLiteral("Ren To Root Completed"));
    QTRY_COMPARE(threadCount(), threadsBefore);
    QCOMPARE(FileTree::read(roms), (QStringList{"GenRen/", "GoodGen.exe=tool", "a.gen=ren"}));
}

QTEST_MAIN(tst_FileTasks)
#include "tst_filetasks.moc"
