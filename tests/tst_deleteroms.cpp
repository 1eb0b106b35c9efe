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
        QFile(root + u'/' + name).open(QIODevice::WriteOnly);
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
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
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
    void report_data();
    void report();
    void undeletablePathIsListed();
    void windowFollowsSystemChoice();
    void goWithoutDirectoryDoesNothing_data();
    void goWithoutDirectoryDoesNothing();
    void goDeletesReportsAndCloses();
    void failureIsWarnedAndReported();
    void openedFromMainWindow();
};

void tst_DeleteRoms::deletesFlaggedFiles_data()
{
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QStringList>("deleted");

    using L = QList<int>;
    QTest::newRow("bad dumps, top only")
        << false << L{1} << "" << QStringList{"A [b1].bin", "D [T+Eng][b2].bin"};
    QTest::newRow("bad dumps, whole tree")
        << true << L{1} << ""
        << QStringList{"A [b1].bin", "D [T+Eng][b2].bin", "sub/F [b1].bin",
                       "sub/deeper/G [b3].bin"};
    QTest::newRow("two flags, one file once")
        << false << L{1, 8} << "" << QStringList{"A [b1].bin", "D [T+Eng][b2].bin"};
    QTest::newRow("empty custom deletes nothing") << true << L{10} << "" << QStringList{};
    QTest::newRow("custom text") << true << L{10} << "(Hack)" << QStringList{"C (Hack).bin"};
}

void tst_DeleteRoms::deletesFlaggedFiles()
{
    QFETCH(bool, recursive);
    QFETCH(QList<int>, rows);
    QFETCH(QString, custom);
    QFETCH(QStringList, deleted);

    QTemporaryDir dir;
    makeTree(dir.path());
    const RomFlagFilter filter = filterOf(rows, custom);
    // A ROM path ends with "/"; the iterator's paths carry the directory text as given.
    const RomDeletionResult result = deleteFiles(flaggedRoms(dir.path() + u'/', recursive, filter));
    QStringList expectedPaths;
    for (const QString &name : deleted)
        expectedPaths << dir.path() + u'/' + name;
    QStringList paths = result.deleted;
    paths.sort();
    QCOMPARE(paths, expectedPaths);
    QVERIFY(result.failed.isEmpty());
    QStringList kept = Tree;
    for (const QString &name : deleted)
        kept.removeOne(name);
    QCOMPARE(remaining(dir.path()), kept);
}

void tst_DeleteRoms::report_data()
{
    QTest::addColumn<QStringList>("deleted");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{} << QStringList{} << false << "Deleted 0 roms\n\n";
    QTest::newRow("none, recursive")
        << QStringList{} << QStringList{} << true << "Deleted 0 roms \n\n";
    QTest::newRow("sorted by character code")
        << QStringList{"/r/b", "/r/B", "/r/a"} << QStringList{} << false
        << "Deleted 3 roms\n\n/r/B\n/r/a\n/r/b";
    QTest::newRow("failures first") << QStringList{"/r/a"} << QStringList{"/r/z", "/r/y"} << true
                                    << "FAILED to delete 2 roms\n\n/r/y\n/r/z\n\n"
                                       "Deleted 1 roms\n\n/r/a";
}

void tst_DeleteRoms::report()
{
    QFETCH(QStringList, deleted);
    QFETCH(QStringList, failed);
    QFETCH(bool, recursive);
    QFETCH(QString, expected);
    QCOMPARE(romDeletionReport({deleted, failed}, recursive), expected);
}

// A non-empty directory cannot be removed as a file, even by root.
void tst_DeleteRoms::undeletablePathIsListed()
{
    QTemporaryDir dir;
    makeTree(dir.path());
    const QStringList paths{dir.filePath("dir [b1]"), dir.filePath("A [b1].bin")};
    const RomDeletionResult result = deleteFiles(paths);
    QCOMPARE(result.failed, QStringList{paths.at(0)});
    QCOMPARE(result.deleted, QStringList{paths.at(1)});
    QVERIFY(QFile::exists(dir.filePath("dir [b1]/plain.bin")));
}

void tst_DeleteRoms::windowFollowsSystemChoice()
{
    auto *window =
        new DeleteRoms({"[Gen", "[NES"}, {"/roms/Gen/", "/roms/NES/"}, 100, 50, 736, nullptr);
    QScopedPointer<QWidget> guard(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Delete Roms"));
    QCOMPARE(window->pos(), QPoint(100 + 368 - 135, 150));
    auto *lineEdit_2 = child<QLineEdit>(window, "lineEdit_2");
    QCOMPARE(lineEdit_2->text(), QStringLiteral("/roms/Gen/"));
    lineEdit_2->setText("/typed");
    child<QComboBox>(window, "comboBox")->setCurrentIndex(1);
    QCOMPARE(lineEdit_2->text(), QStringLiteral("/roms/NES/"));
}

void tst_DeleteRoms::goWithoutDirectoryDoesNothing_data()
{
    QTest::addColumn<QString>("directory");
    QTest::newRow("missing") << "/no/such/directory";
    QTest::newRow("empty is not the current directory") << "";
}

void tst_DeleteRoms::goWithoutDirectoryDoesNothing()
{
    QFETCH(QString, directory);
    QTemporaryDir dir;
    makeTree(dir.path());
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QTextEdit output;
    output.setPlainText("before");
    QPointer<DeleteRoms> window = new DeleteRoms({}, {}, 0, 0, 736, &output);
    window->show();
    child<QCheckBox>(window, "checkBox")->setChecked(true);
    child<QLineEdit>(window, "lineEdit_2")->setText(directory);
    child<QPushButton>(window, "pushButton")->click();
    QDir::setCurrent(oldCurrent);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window && window->isVisible());
    QCOMPARE(output.toPlainText(), QStringLiteral("before"));
    QCOMPARE(remaining(dir.path()), Tree);
    delete window;
}

void tst_DeleteRoms::goDeletesReportsAndCloses()
{
    QTemporaryDir dir;
    makeTree(dir.path());
    QTextEdit output;
    QPointer<DeleteRoms> window = new DeleteRoms({"[Gen"}, {dir.path()}, 0, 0, 736, &output);
    window->show();
    child<QCheckBox>(window, "checkBox_9")->setChecked(true); // Translations
    child<QCheckBox>(window, "checkBox_7")->setChecked(true); // Scan Sub Directories
    child<QPushButton>(window, "pushButton")->click();
    QCOMPARE(output.toPlainText(), "Deleted 1 roms \n\n" + dir.path() + "/D [T+Eng][b2].bin");
    QTRY_VERIFY(!window);
}

void tst_DeleteRoms::failureIsWarnedAndReported()
{
    QTemporaryDir dir;
    makeTree(dir.path());
    const QString stuck = dir.filePath("A [b1].bin");
    if (!setImmutable(stuck, true))
        QSKIP("this file system cannot make a file undeletable");
    QTextEdit output;
    QPointer<DeleteRoms> window = new DeleteRoms({"[Gen"}, {dir.path()}, 0, 0, 736, &output);
    window->show();
    child<QCheckBox>(window, "checkBox")->setChecked(true);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    child<QPushButton>(window, "pushButton")->click();
    setImmutable(stuck, false);

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Warning"));
    QCOMPARE(seen.text, QStringLiteral("Some roms failed to delete."));
    QCOMPARE(output.toPlainText(), "FAILED to delete 1 roms\n\n" + stuck +
                                       "\n\nDeleted 1 roms\n\n" + dir.path() +
                                       "/D [T+Eng][b2].bin");
    QVERIFY(QFile::exists(stuck));
    QTRY_VERIFY(!window);
}

void tst_DeleteRoms::openedFromMainWindow()
{
    QTemporaryDir dir;
    QString settings = "Good*.exe Directory=\nSame as Rom Path=true\n"
                       "Check Version At Startup=false\nLoad Summary At Startup=false\n\n";
    for (const QString &system : {QStringLiteral("NES"), QStringLiteral("Gen")}) {
        QDir().mkpath(dir.filePath(system));
        QFile(dir.filePath(system + "/Good" + system + ".exe")).open(QIODevice::WriteOnly);
        settings += QStringLiteral("[%1=%1 System\nRom Path=%2/%1\nFile Name=Good%1.exe\n\n")
                        .arg(system, dir.path());
    }
    QVERIFY(writeSettings(settings.toUtf8()));
    MainWindow mainWindow;
    removeSettings();
    mainWindow.findChild<QAction *>("actionDelete_Specified_Roms")->trigger();
    DeleteRoms *window = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<DeleteRoms *>(widget))
            window = found;
    }
    QVERIFY(window && window->isVisible());
    QScopedPointer<QWidget> guard(window);
    auto *comboBox = child<QComboBox>(window, "comboBox");
    QCOMPARE(comboBox->count(), 2);
    for (int i = 0; i < 2; ++i) {
        comboBox->setCurrentIndex(i);
        const QString key = comboBox->currentText();
        QCOMPARE(child<QLineEdit>(window, "lineEdit_2")->text(),
                 mainWindow.systems().value(key).romPath);
        QVERIFY(key == "[Gen" || key == "[NES");
    }
}

QTEST_MAIN(tst_DeleteRoms)
#include "tst_deleteroms.moc"
