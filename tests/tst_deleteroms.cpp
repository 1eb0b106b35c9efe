#include "app/mainwindow.h"
#include "maintenance/deleteroms.h"
#include "maintenance/romdeletion.h"
#include "maintenancetest.h"
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
#include <QTextEdit>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace MaintenanceTest;
using namespace TestHelpers;

namespace {

const QStringList Tree{
    "A [b1].bin",        "B [!].bin",        "C (Hack).bin",   "D [T+Eng][b2].bin",
    "E [B1].bin",        ".hidden [b1].bin", "sub/F [b1].bin", "sub/deeper/G [b3].bin",
    "dir [b1]/plain.bin"};

void makeTree(const QString &root)
{
    for (const QString &name : Tree) {
        QDir().mkpath(QFileInfo(root + u'/' + name).path());
        writeAll(root + u'/' + name, "");
    }
}

QStringList remaining(const QString &root)
{
    QStringList names;
    for (const QString &name : Tree) {
        if (QFile::exists(root + u'/' + name))
            names << name;
    }
    return names;
}

// Sets or clears the immutable attribute, which even root cannot delete through. False where
// the file system or the process's privileges do not allow it.
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

} // namespace

class tst_DeleteRoms : public QObject
{
    Q_OBJECT

private slots:
    void deletesFlaggedFiles_data();
    void deletesFlaggedFiles();
    void report();
    void go_data();
    void go();
    void openedFromMainWindow();
};

void tst_DeleteRoms::deletesFlaggedFiles_data()
{
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QStringList>("deleted");
    const QStringList top{"A [b1].bin", "D [T+Eng][b2].bin"};
    QTest::newRow("bad dumps, top only") << false << QList<int>{1} << "" << top;
    QTest::newRow("bad dumps, whole tree")
        << true << QList<int>{1} << ""
        << top + QStringList{"sub/F [b1].bin", "sub/deeper/G [b3].bin"};
    QTest::newRow("two flags, one file once") << false << QList<int>{1, 8} << "" << top;
    QTest::newRow("empty custom deletes nothing") << true << QList<int>{10} << "" << QStringList{};
    QTest::newRow("custom text") << true << QList<int>{10} << "(Hack)"
                                 << QStringList{"C (Hack).bin"};
}

void tst_DeleteRoms::deletesFlaggedFiles()
{
    QFETCH(bool, recursive);
    QFETCH(QList<int>, rows);
    QFETCH(QString, custom);
    QFETCH(QStringList, deleted);
    QTemporaryDir dir;
    makeTree(dir.path());
    // A ROM path ends with "/"; the iterator's paths carry the directory text as given.
    RomDeletionResult result =
        deleteFiles(flaggedRoms(dir.path() + u'/', recursive, filterOf(rows, custom)));
    QStringList kept = Tree;
    for (QString &name : deleted) {
        kept.removeOne(name);
        name.prepend(dir.path() + u'/');
    }
    result.deleted.sort();
    QCOMPARE(result.deleted, deleted);
    QVERIFY(result.failed.isEmpty());
    QCOMPARE(remaining(dir.path()), kept);
}

// A non-empty directory cannot be removed as a file, even by root. Paths come sorted by
// character code, the failures first.
void tst_DeleteRoms::report()
{
    QCOMPARE(romDeletionReport({}, false), QStringLiteral("Deleted 0 roms\n\n"));
    QCOMPARE(romDeletionReport({{"/r/b", "/r/B", "/r/a"}, {}}, false),
             QStringLiteral("Deleted 3 roms\n\n/r/B\n/r/a\n/r/b"));
    QTemporaryDir dir;
    makeTree(dir.path());
    const QString stuck = dir.filePath("dir [b1]"), gone = dir.filePath("A [b1].bin");
    const RomDeletionResult result = deleteFiles({stuck + u'/', gone, stuck});
    QCOMPARE(romDeletionReport(result, true), "FAILED to delete 2 roms\n\n" + stuck + "\n" + stuck +
                                                  "/\n\nDeleted 1 roms\n\n" + gone);
    QVERIFY(QFile::exists(dir.filePath("dir [b1]/plain.bin")));
    QVERIFY(!QFile::exists(gone));
}

// The Go button end to end; "%1" stands for the ROM directory. An empty output: the window
// stays open and deletes nothing.
void tst_DeleteRoms::go_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("stuck");
    QTest::addColumn<QString>("output");
    QTest::newRow("missing directory")
        << "/no/such/directory" << QStringList{"checkBox"} << false << "";
    QTest::newRow("empty is not the current directory")
        << "" << QStringList{"checkBox"} << false << "";
    QTest::newRow("translations, sub directories")
        << "%1" << QStringList{"checkBox_9", "checkBox_7"} << false
        << "Deleted 1 roms \n\n%1/D [T+Eng][b2].bin";
    QTest::newRow("a file that cannot go")
        << "%1" << QStringList{"checkBox"} << true
        << "FAILED to delete 1 roms\n\n%1/A [b1].bin\n\nDeleted 1 roms\n\n%1/D [T+Eng][b2].bin";
}

void tst_DeleteRoms::go()
{
    QFETCH(QString, directory);
    QFETCH(QStringList, boxes);
    QFETCH(bool, stuck);
    QFETCH(QString, output);
    QTemporaryDir dir;
    makeTree(dir.path());
    if (stuck && !setImmutable(dir.filePath("A [b1].bin"), true))
        QSKIP("this file system cannot make a file undeletable");
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QTextEdit textEdit;
    QPointer<DeleteRoms> window = new DeleteRoms({"[Gen"}, {"/x/"}, 0, 0, 736, &textEdit);
    window->show();
    for (const QString &box : boxes)
        child<QCheckBox>(window, box)->setChecked(true);
    child<QLineEdit>(window, "lineEdit_2")->setText(QString(directory).replace("%1", dir.path()));
    MessageSeen seen;
    if (stuck)
        acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();
    QDir::setCurrent(oldCurrent);
    if (stuck)
        setImmutable(dir.filePath("A [b1].bin"), false);

    QCOMPARE(textEdit.toPlainText(), QString(output).replace("%1", dir.path()));
    QCOMPARE(seen.text, stuck ? QStringLiteral("Some roms failed to delete.") : QString());
    QCOMPARE(seen.title, stuck ? QStringLiteral("Warning") : QString());
    QVERIFY(QFile::exists(dir.filePath("A [b1].bin")));
    if (output.isEmpty()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window && window->isVisible());
        QCOMPARE(remaining(dir.path()), Tree);
        delete window;
    }
    QTRY_VERIFY(!window);
}

// The menu command opens the window on the configured systems, centred under the main window's
// top edge; the system choice fills in its ROM path.
void tst_DeleteRoms::openedFromMainWindow()
{
    QTemporaryDir dir;
    QString settings = "Good*.exe Directory=\nSame as Rom Path=true\n"
                       "Check Version At Startup=false\nLoad Summary At Startup=false\n\n";
    for (const QString &system : {QStringLiteral("NES"), QStringLiteral("Gen")}) {
        QVERIFY(QDir().mkpath(dir.filePath(system)));
        QVERIFY(writeAll(dir.filePath(system + "/Good" + system + ".exe"), ""));
        settings += QStringLiteral("[%1=%1\nRom Path=%2/%1\nFile Name=Good%1.exe\n\n")
                        .arg(system, dir.path());
    }
    QVERIFY(writeSettings(settings.toUtf8()));
    MainWindow mainWindow;
    removeSettings();
    mainWindow.move(100, 50);
    mainWindow.findChild<QAction *>("actionDelete_Specified_Roms")->trigger();
    QScopedPointer<DeleteRoms> window(findTopLevel<DeleteRoms>());
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->pos(), mainWindow.pos() + QPoint(mainWindow.width() / 2 - 135, 100));
    auto *comboBox = child<QComboBox>(window.get(), "comboBox");
    auto *lineEdit_2 = child<QLineEdit>(window.get(), "lineEdit_2");
    QCOMPARE(comboBox->count(), 2);
    for (int n = 0; n < 2; ++n) {
        lineEdit_2->setText("/typed");
        comboBox->setCurrentIndex(1 - comboBox->currentIndex());
        QCOMPARE(lineEdit_2->text(), dir.filePath(comboBox->currentText().mid(1)) + u'/');
    }
}

QTEST_MAIN(tst_DeleteRoms)
#include "tst_deleteroms.moc"
