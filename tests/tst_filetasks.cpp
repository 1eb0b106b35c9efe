#include "app/mainwindow.h"
#include "filetree.h"
#include "tasks/copytxttofolder.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
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
    void cleanup() { removeSettings(); }
    void copyFromTheMenu_data();
    void copyFromTheMenu();
    void moveFromTheMenu();
    void closingMidMoveStopsIt();

private:
    QString path(const char *relative) const { return m_root->filePath(QLatin1String(relative)); }
    std::unique_ptr<MainWindow> mainWindowWithGen();

    std::unique_ptr<QTemporaryDir> m_root;
};

namespace {

// Fills in the Copy window (list, folder, destination, sub-directories) and presses Go.
void go(CopyTxtToFolder *window, const QStringList &fields)
{
    const char *edits[] = {"lineEdit", "lineEdit_2", "lineEdit_3"};
    for (int i = 0; i < 3; ++i)
        child<QLineEdit>(window, edits[i])->setText(fields.at(i));
    child<QCheckBox>(window, "checkBox")->setChecked(true);
    child<QPushButton>(window, "pushButton_4")->click();
}

int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

} // namespace

void tst_FileTasks::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(FileTree::build(m_root->path(), {"l.txt=X\n", "s/", "d/", "roms/GoodGen.exe=tool"}));
}

// One ready system, [Gen, whose ROM directory is roms.
std::unique_ptr<MainWindow> tst_FileTasks::mainWindowWithGen()
{
    writeSettings(QStringLiteral("Good*.exe Directory=\nSame as Rom Path=true\n"
                                 "Check Version At Startup=false\nLoad Summary At Startup=false\n\n"
                                 "[Gen=Genesis\nRom Path=%1/\nFile Name=GoodGen.exe\n\n")
                      .arg(path("roms"))
                      .toUtf8());
    return std::make_unique<MainWindow>();
}

// Either a field (list, folder, destination) replaced by one that will not do, and the warning;
// or the copy closed after so many copies (-1: never, 2: the main window after the first ones),
// and the report's possible last words.
void tst_FileTasks::copyFromTheMenu_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("closeAfter");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, int field, const char *value, int closeAfter,
                        const char *expected) {
        QTest::newRow(name) << field << QString(value) << closeAfter << QString(expected);
    };
    row("list unreadable", 0, "none.txt", -1, "Problem reading txt file <r>/none.txt");
    row("folder empty", 1, "", -1, "File folder doesn't exist.");
    row("folder missing", 1, "gone", -1, "File folder doesn't exist.");
    row("destination missing", 2, "gone/", -1, "File destination doesn't exist.");
    row("runs to the end", -1, "", -1, "Completed");
    row("closed at once", -1, "", 0, "Stopped|Completed");
    row("closed after the first copies", -1, "", 1, "Stopped|Completed");
    row("main window closed after the first copies", -1, "", 2, "");
}

// A warning keeps the window, with nothing started. A copy reports once in the output area, the
// animation stops, the window and its thread go, and every copy made is whole.
void tst_FileTasks::copyFromTheMenu()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(int, closeAfter);
    QFETCH(QString, expected);
    const int files = closeAfter < 0 ? 100 : 1000; // enough to close on, few to wait for
    QByteArray lines;
    for (int i = 0; i < files; ++i) {
        lines += QByteArray::number(i) + '\n';
        const QString dir = i % 10 ? QString() : QStringLiteral("deep/");
        QVERIFY(FileTree::write(path("s"), dir + QString::number(i) + ".bin",
                                QByteArray::number(i).repeated(500)));
    }
    QVERIFY(FileTree::write(m_root->path(), QStringLiteral("l.txt"), lines));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen();
    child<QAction>(mainWindow.get(), "actionCopy_files_from_txt_to_Directory")->trigger();
    QPointer<CopyTxtToFolder> window;
    for (QWidget *widget : QApplication::topLevelWidgets())
        window = window ? window.data() : qobject_cast<CopyTxtToFolder *>(widget);
    QVERIFY(window && window->isVisible());
    QStringList fields{path("l.txt"), path("s"), path("d")};
    if (field >= 0) {
        fields[field] = value.isEmpty() ? value : m_root->filePath(value);
        MessageSeen seen;
        acceptNextMessageBox(&seen);
        go(window, fields);
        const bool kept = window->isVisible();
        delete window;
        QCOMPARE((QStringList{seen.title, seen.text}),
                 (QStringList{"Warning", expected.replace(QLatin1String("<r>"), m_root->path())}));
        QVERIFY(kept && QDir(path("d")).isEmpty());
        return;
    }
    QSignalSpy reported(window.data(), &CopyTxtToFolder::StopGifSignal);

    go(window, fields);
    QVERIFY(!window->isVisible());
    if (closeAfter > 0)
        QTRY_VERIFY(QDir(path("d")).count() > 2);
    if (closeAfter == 2)
        mainWindow.reset(); // waits for the file in hand, and the Copy window goes too
    else if (closeAfter >= 0)
        window->close();

    QTRY_VERIFY(!window);
    QTRY_COMPARE(threadCount(), threadsBefore);
    const QList<QByteArray> copies = FileTree::checksums(path("d"));
    const QList<QByteArray> sources = FileTree::checksums(path("s"));
    QVERIFY(closeAfter < 0
                ? copies == sources
                : std::includes(sources.begin(), sources.end(), copies.begin(), copies.end()));
    if (!mainWindow) {
        QVERIFY(copies.size() < files);
        return;
    }
    QApplication::processEvents();
    QCOMPARE(reported.count(), 1);
    QString text = child<QTextEdit>(mainWindow.get(), "textEdit")->toPlainText();
    text.remove(QLatin1String("Copy Files From *.txt to File Destination "));
    QVERIFY2(expected.split(u'|').contains(text), qPrintable(text));
    for (QLabel *label : mainWindow->findChildren<QLabel *>())
        QVERIFY(!label->movie());
}

// Without a system the move only warns; a second move before the first has reported: each
// worker goes with its own report.
void tst_FileTasks::moveFromTheMenu()
{
    QVERIFY(FileTree::build(path("roms"), {"a.gen=root", "GenRen/a.gen=ren", "Other/x/b.gen=b"}));
    const QStringList before = FileTree::read(path("roms"));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen();
    auto *move = child<QAction>(mainWindow.get(), "actionMove_Files_From_Ren_to_Root");
    child<QComboBox>(mainWindow.get(), "selectSystemComboBox")->setCurrentIndex(-1);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    move->trigger();
    QCOMPARE((QStringList{seen.title, seen.text}), (QStringList{"Warning", "No system selected"}));
    QCOMPARE(FileTree::read(path("roms")), before);

    child<QComboBox>(mainWindow.get(), "selectSystemComboBox")->setCurrentIndex(0);
    move->trigger();
    move->trigger();
    QTRY_COMPARE(child<QTextEdit>(mainWindow.get(), "textEdit")->toPlainText(),
                 QStringLiteral("Ren To Root Completed"));
    QTRY_COMPARE(threadCount(), threadsBefore);
    QCOMPARE(
        FileTree::read(path("roms")),
        FileTree::list("GenRen/|GoodGen.exe=tool|Other/|Other/x/|_a.gen=ren|a.gen=root|b.gen=b"));
}

// Closed mid-move, the main window waits for the file in hand only: the rest stays, none is lost.
void tst_FileTasks::closingMidMoveStopsIt()
{
    constexpr int Files = 5000;
    for (int i = 0; i < Files; ++i)
        QVERIFY(FileTree::write(path("roms"), QStringLiteral("GenRen/%1.gen").arg(i),
                                QByteArray::number(i)));
    const QList<QByteArray> sums = FileTree::checksums(path("roms"));
    const int threadsBefore = threadCount();
    auto mainWindow = mainWindowWithGen();
    const QDir root(path("roms"));

    child<QAction>(mainWindow.get(), "actionMove_Files_From_Ren_to_Root")->trigger();
    // Polled without a pause: the whole move takes a fraction of a second.
    const QDeadlineTimer deadline(30000);
    while (root.entryList(QDir::Files).size() < 2 && !deadline.hasExpired()) {
    }
    mainWindow.reset();

    const qsizetype inRoot = root.entryList(QDir::Files).size();
    QVERIFY2(inRoot > 1 && inRoot < Files, qPrintable(QString::number(inRoot)));
    QCOMPARE(FileTree::checksums(path("roms")), sums);
    QTRY_COMPARE(threadCount(), threadsBefore);
}

QTEST_MAIN(tst_FileTasks)
#include "tst_filetasks.moc"
