#include "app/mainwindow.h"
#include "filetree.h"
#include "runner/fixnessteps.h"
#include "tasks/copytxttofolder.h"
#include "tasks/safetransfer.h"
#include "tessarytest.h"
#include "workerreports.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

#include <filesystem>

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

using TessaryTest::child;

namespace {

// Longest name the file system takes: one more "_" in front and the move must fail.
const QString N = QString(255, u'N');
const QString Moved = QStringLiteral("Ren To Root Completed");
// What the current user may do: as root, writing a read-only file too.
const QFileDevice::Permissions UserBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
const QString CopyReport = QStringLiteral("Copy Files From *.txt to File Destination ");

// Whether a file's data is still only in memory: ext4 gives it blocks at writeback, and FIEMAP
// shows its extents as delayed until then (no FIEMAP_FLAG_SYNC, which would write it back).
bool awaitsWriteback(const QString &path)
{
    alignas(fiemap) char buffer[sizeof(fiemap) + 8 * sizeof(fiemap_extent)] = {};
    auto *map = reinterpret_cast<fiemap *>(buffer);
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 8;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const bool mapped = fd >= 0 && ::ioctl(fd, FS_IOC_FIEMAP, map) == 0;
    ::close(fd);
    for (unsigned i = 0; mapped && i < map->fm_mapped_extents; ++i)
        if (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_DELALLOC)
            return true;
    return false;
}

int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

void row(const char *name, const char *chore, const QString &before, const QString &after,
         const QString &report, const QString &folder = QStringLiteral("d/"))
{
    QTest::newRow(name) << QString(chore) << FileTree::list(before) << FileTree::list(after)
                        << report << folder;
}

} // namespace

// Moving files to the ROM folder's root, copying by list, the NES repair's file steps, and both
// chores as the user starts them from the windows.
class tst_Tasks : public QObject
{
    Q_OBJECT

private slots:
    // Trees as "|"-separated entries. A move's `after` is the whole tree; a copy's, what it adds
    // below `folder`, its destination. The report's lines after the second are sorted; <r> is the
    // root. Every chore runs twice: the second run finds nothing left to do.
    void chores_data()
    {
        QTest::addColumn<QString>("chore");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("folder");
        row("move: nested, odd names, emptied folders kept", "move",
            "GenRen/a.gen=1|x/y/b.gen=2|Dir (odd) & [x]/c.gen=3|ünï cödé/d é.gen=4",
            "Dir (odd) & [x]/|GenRen/|a.gen=1|b.gen=2|c.gen=3|d é.gen=4|x/|x/y/|ünï cödé/", Moved,
            "");
        row("move: taken names get underscores", "move", "a.nes=0|_a.nes=1|R/a.nes=2",
            "R/|__a.nes=2|_a.nes=1|a.nes=0", Moved, "");
        row("move: a folder or a link to nowhere holds a name", "move",
            "a.nes/|b.nes->none|s/a.nes=1|s/b.nes=2", "_a.nes=1|_b.nes=2|a.nes/|b.nes=|s/", Moved,
            "");
        row("move: hidden left alone", "move", ".hdir/e.nes=2|s/.h.nes=1|s/f.nes=3",
            ".hdir/|.hdir/e.nes=2|f.nes=3|s/|s/.h.nes=1", Moved, "");
        row("move: no free name, two reported", "move", N + "=0|s/" + N + "=1|t/" + N + "=2|t/g=3",
            N + "=0|g=3|s/|s/" + N + "=1|t/|t/" + N + "=2",
            Moved + "|2 files could not be moved:|<r>/s/" + N + "|<r>/t/" + N, "");
        row("move: no free name, one reported", "move", N + "=0|s/" + N + "=1",
            N + "=0|s/|s/" + N + "=1", Moved + "|1 file could not be moved:|<r>/s/" + N, "");
        row("move: a name in no valid encoding, by its bytes", "move", "s/Pok%E9mon.gb=1|s/%FF=2",
            "%FF=2|Pok%E9mon.gb=1|s/", Moved, "");
        row("move: links to a folder or to nowhere stay", "move", "s/l->/dev/null|s/d->..|s/n->x",
            "l=|s/|s/d/|s/n=", Moved, "");
        row("move: ROM folder gone", "move", "s/a.gen=1", "s/|s/a.gen=1",
            "Ren To Root FAILED|The ROM folder is missing: <r>/gone/", "gone/");
        row("move: stopped", "move", "s/a.gen=1", "s/|s/a.gen=1", "Ren To Root Stopped", "");
        row("copy: whole base name, case counts", "copy",
            "l.txt=N (E)\n|s/N (E).bin=e|s/N (E) [b].bin=b|s/n (e).bin=l|s/N (E) .bin=s",
            "N (E).bin=e", CopyReport + "Completed");
        row("copy: base name ends at the first dot, CR LF lines", "copy",
            "l.txt=N 2\r\nO 1.1\r\n|s/N 2.1.bin=n|s/O 1.1.bin=o|s/N 2=3", "N 2.1.bin=n|N 2=3",
            CopyReport + "Completed");
        row("copy: sub-folders not searched", "copy flat", "l.txt=X\n|s/X.bin=top|s/sub/X.zip=1",
            "X.bin=top", CopyReport + "Completed");
        row("copy: first of a name, hidden skipped", "copy",
            "l.txt=X\n|s/X.bin=top|s/a/X.bin=top|s/a/X.zip=z|s/.X.z=h|s/.h/X.y=h",
            "X.bin=top|X.zip=z", CopyReport + "Completed");
        row("copy: targets never replaced", "copy",
            "l.txt=X\n|s/X.bin=new|s/X.z=new|d/X.bin=old|d/X.z/", "", CopyReport + "Completed");
        row("copy: destination inside the source", "copy",
            "l.txt=X\nY\n|s/X.b=x|s/in/Y.b=y|s/in/o/", "X.b=x|Y.b=y", CopyReport + "Completed",
            "s/in/o/");
        row("copy: stopped", "copy", "l.txt=X\n|s/X.bin=x", "", CopyReport + "Stopped");
        row("copy: list unreadable", "copy", "s/X.bin=x", "",
            CopyReport + "FAILED|Unable to open<r>/l.txt");
        // Unreadable half-way, a FIFO that would wait for a writer, a device that never ends.
        row("copy: failures reported, nothing left of them", "copy",
            "l.txt=X\nY\nZ\n|s/p<fifo>|s/X.bin->p|s/Y.bin->/dev/zero|s/Z->/proc/self/mem|s/X.z=x",
            "X.z=x",
            CopyReport + "Completed|3 files could not be copied:|<r>/s/X.bin|<r>/s/Y.bin|<r>/s/Z");
    }

    void chores()
    {
        QFETCH(QString, chore);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QString, report);
        QFETCH(QString, folder);
        QTemporaryDir root;
        const auto removeAll = qScopeGuard([&root] { // Qt stops at a name it cannot decode
            std::filesystem::remove_all(QFile::encodeName(root.path()).toStdString());
        });
        const QString r = root.path() + u'/';
        const bool move = chore == QLatin1String("move");
        QVERIFY(FileTree::build(root.path(), move ? before
                                                  : before << "s/"
                                                           << "d/"));
        // Read-only sources: each copy must take its source's permissions.
        for (QDirIterator it(r + "s", QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            if (!it.nextFileInfo().isSymLink() && !move)
                QVERIFY(QFile::setPermissions(it.filePath(), QFile::ReadOwner | QFile::ReadUser));
        const QStringList added = move ? QStringList() : after;
        if (!move) {
            for (QString &entry : after)
                entry.prepend(folder);
            after += FileTree::read(root.path());
            after.sort();
        }
        const QStringList lines = report.replace(QLatin1String("<r>"), root.path()).split(u'|');
        for (int run = 0; run < 2; ++run) {
            const WorkerReport done = runOnWorker([&](ThreadedFunctions &worker) {
                if (report.endsWith(QLatin1String("Stopped")))
                    worker.requestStop();
                if (move)
                    worker.renToRootInvoke(r + folder);
                else
                    worker.copyFromTxtInvoke(r + "l.txt", r + folder, r + "s/", chore == "copy");
            });
            QStringList seen = done.text.split(u'\n');
            std::sort(seen.begin() + qMin(2, seen.size()), seen.end());
            QCOMPARE(seen, lines);
            QCOMPARE(done.count, 1);
            QCOMPARE(done.deleteThreadedObject, move);
            QCOMPARE(FileTree::read(root.path()), after);
        }
        for (const QString &entry : std::as_const(added)) {
            const QFileInfo copy(r + folder + entry.section(u'=', 0, 0));
            QVERIFY2((copy.permissions() & ~UserBits) == QFile::ReadOwner &&
                         !awaitsWriteback(copy.filePath()),
                     qPrintable(copy.fileName()));
        }
    }

    // A move or copy onto a taken name leaves both sides as they were. Across file systems
    // (/dev/shm into the build folder) a move is a copy and a removal, the file's kind, permissions
    // and time kept; a source that cannot be removed leaves no copy behind.
    void transfers_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("across");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("sourceStays");
        QTest::addColumn<TransferResult>("result");
        for (const char *holder : {"t.nes=old", "t.nes/", "t.nes->nowhere"}) {
            QTest::addRow("move onto %s", holder)
                << false << false << "s.nes=new" << holder << false << TransferResult::TargetTaken;
            QTest::addRow("copy onto %s", holder)
                << true << false << "s.nes=new" << holder << false << TransferResult::TargetTaken;
        }
        const auto across = [](const char *name, const char *source, const char *holder, bool stays,
                               TransferResult result) {
            QTest::newRow(name) << false << true << source << holder << stays << result;
        };
        across("across: a file", "s.nes=data", "", false, TransferResult::Done);
        across("across: a link, as a link", "s.nes->/dev/null", "", false, TransferResult::Done);
        across("across: onto a taken name", "s.nes=data", "t.nes=old", false,
               TransferResult::TargetTaken);
        across("across: a FIFO", "s.nes<fifo>", "", false, TransferResult::Failed);
        across("across: source not removable", "s.nes=data", "", true, TransferResult::Failed);
    }

    void transfers()
    {
        QFETCH(bool, copy);
        QFETCH(bool, across);
        QFETCH(QString, source);
        QFETCH(QString, holder);
        QFETCH(bool, sourceStays);
        QFETCH(TransferResult, result);
        QTemporaryDir shm(QStringLiteral("/dev/shm/tst_tasks-XXXXXX"));
        QTemporaryDir to(QCoreApplication::applicationDirPath() + QLatin1String("/tmp-XXXXXX"));
        const QString from = across ? shm.path() : to.path();
        struct stat fromInfo, toInfo;
        if (across && (!shm.isValid() || ::stat(QFile::encodeName(from), &fromInfo) != 0 ||
                       ::stat(QFile::encodeName(to.path()), &toInfo) != 0 ||
                       fromInfo.st_dev == toInfo.st_dev))
            QSKIP("needs /dev/shm on a file system of its own");
        QVERIFY(FileTree::build(from, {source}) &&
                FileTree::build(to.path(), FileTree::list(holder)));
        const QString sourcePath = from + QLatin1String("/s.nes");
        if (source.contains(u'=')) // a plain file, whose permissions must come along
            QVERIFY(QFile::setPermissions(sourcePath, QFile::ReadOwner | QFile::ReadGroup));
        const QFileInfo info(sourcePath);
        const auto kept =
            std::make_tuple(info.isSymLink(), info.permissions(), info.lastModified());
        const QStringList fromBefore = FileTree::read(from), toBefore = FileTree::read(to.path());
        // Append-only: no entry of the folder can be removed, by root neither.
        const int folder = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        const bool locked = sourceStays && ::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 &&
                            ::ioctl(folder, FS_IOC_SETFLAGS, &(flags |= FS_APPEND_FL)) == 0;
        const auto unlock = qScopeGuard([&] {
            flags &= ~FS_APPEND_FL;
            if (locked)
                ::ioctl(folder, FS_IOC_SETFLAGS, &flags);
            ::close(folder);
        });
        if (sourceStays && !locked)
            QSKIP("needs the append-only attribute");

        const QString target = to.filePath(QStringLiteral("t.nes"));
        QCOMPARE(copy ? copyWithoutReplacing(sourcePath, target)
                      : moveWithoutReplacing(sourcePath, target),
                 result);
        if (result != TransferResult::Done) {
            QCOMPARE(FileTree::read(from), fromBefore);
            QCOMPARE(FileTree::read(to.path()), toBefore);
            return;
        }
        QCOMPARE(FileTree::read(from), QStringList());
        QCOMPARE(FileTree::read(to.path()),
                 QStringList{QString(fromBefore[0]).replace(0, 1, u't')});
        const QFileInfo moved(target);
        QVERIFY(std::make_tuple(moved.isSymLink(), moved.permissions(), moved.lastModified()) ==
                kept);
    }

    // The step after the tool's run of each stage, in the worker's thread; any other stage does
    // nothing and reports nothing.
    void fixNesSteps_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        const auto step = [](const char *name, int stage, const char *before, const char *after) {
            QTest::newRow(name) << stage << FileTree::list(before) << FileTree::list(after);
        };
        step("1: fixed copies parked, hidden and deeper ones not", 1,
             "F.nes=r|F.new.nes=f|M.new.nes.bak=m|.h.new.nes=h|sub/D.new.nes=d",
             ".h.new.nes=h|F.nes=r|NESNew/|NESNew/F.new.nes=f|NESNew/M.new.nes.bak=m|sub/|sub/"
             "D.new.nes=d");
        step("2: back, the user's dupes aside", 2, "NESNew/F.new.nes=f|NESDupes/Mine.nes=u",
             "F.new.nes=f|NESDupes.old/|NESDupes.old/Mine.nes=u");
        step("2: nothing replaced", 2,
             "NESNew/F.new.nes=f|F.new.nes=here|NESDupes/a=d|NESDupes.old/b=o",
             "F.new.nes=here|NESDupes.old/|NESDupes.old/b=o|NESDupes/|NESDupes/a=d|NESNew/|NESNew/"
             "F.new.nes=f");
        step("3: originals replaced, the user's dupes back", 3,
             "NESRen/F [!].nes=r|NESRen/M.nes=m|NESDupes/F [!].nes=f|NESDupes.old/Mine.nes=u",
             "NESDupes/|NESDupes/Mine.nes=u|NESRen/|NESRen/F [!].nes=f|NESRen/M.nes=m");
        step("3: a dupe without namesake stays", 3,
             "NESRen/F.nes=r|NESDupes/F.nes=f|NESDupes/L.nes=l|NESDupes.old/Mine.nes=u",
             "NESDupes.old/|NESDupes.old/Mine.nes=u|NESDupes/|NESDupes/L.nes=l|NESRen/|NESRen/"
             "F.nes=f");
        step("0", 0, "F.new.nes=f", "F.new.nes=f");
        step("4", 4, "F.new.nes=f", "F.new.nes=f");
    }

    void fixNesSteps()
    {
        QFETCH(int, stage);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QTemporaryDir root;
        QVERIFY(FileTree::build(root.path(), before));
        QList<int> next;
        std::atomic_bool inWorker{true};
        QThread *const testThread = QThread::currentThread();
        ThreadedFunctions worker;
        connect(&worker, &ThreadedFunctions::fixNESCompleted, this, [&next](int n) { next << n; });
        connect(
            &worker, &ThreadedFunctions::fixNESCompleted, &worker,
            [&] { inWorker = inWorker && QThread::currentThread() != testThread; },
            Qt::DirectConnection);
        worker.fixNESInvoke(root.path() + u'/', stage);
        worker.fixNESInvoke(root.path() + QLatin1String("/none/"), 3); // answered after the first
        QTRY_VERIFY(next.contains(4));
        QCOMPARE(next, stage >= 1 && stage <= 3 ? QList<int>({stage + 1, 4}) : QList<int>({4}));
        QVERIFY(inWorker);
        QCOMPARE(FileTree::read(root.path()), after);
    }

    // Each chore from its menu action: `fields` are the Copy window's list, folder and destination
    // below the root, or the system a move is asked for. The window closes -1: never, 0: at once,
    // 1 or 2 (the main window) after the first files. `expected` is the warning, or what the output
    // may say. Nothing is lost or doubled, a closed chore stops early, every thread goes.
    void windows_data()
    {
        QTest::addColumn<QString>("chore");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("closeAfter");
        QTest::addColumn<QString>("expected");
        const auto scene = [](const char *name, const char *chore, const char *fields,
                              int closeAfter, const char *expected) {
            QTest::newRow(name) << QString(chore) << FileTree::list(fields) << closeAfter
                                << QString(expected);
        };
        scene("copy: list unreadable", "copy", "none.txt|s|d", -1,
              "Warning: Problem reading txt file <r>none.txt");
        scene("copy: folder empty", "copy", "l.txt||d", -1, "Warning: File folder doesn't exist.");
        scene("copy: folder missing", "copy", "l.txt|gone|d", -1,
              "Warning: File folder doesn't exist.");
        scene("copy: destination missing", "copy", "l.txt|s|gone", -1,
              "Warning: File destination doesn't exist.");
        scene("copy: to the end", "copy", "l.txt|s|d", -1, "Completed");
        scene("copy: closed at once", "copy", "l.txt|s|d", 0, "Stopped|Completed");
        scene("copy: closed half-way", "copy", "l.txt|s|d", 1, "Stopped|Completed");
        scene("copy: main window closed half-way", "copy", "l.txt|s|d", 2, "");
        scene("move: no system", "move", "", -1, "Warning: No system selected");
        scene("move: twice at once", "move", "Gen", -1, "Ren To Root Completed");
        scene("move: main window closed half-way", "move", "Gen", 2, "");
    }

    void windows()
    {
        QFETCH(QString, chore);
        QFETCH(QStringList, fields);
        QFETCH(int, closeAfter);
        QFETCH(QString, expected);
        TessaryTest::Collection c;
        c.addSystem(QStringLiteral("Gen"));
        const bool move = chore == QLatin1String("move");
        const QString from = move ? c.romDir(QStringLiteral("Gen")) : c.root() + "s/";
        const QString to = move ? from : c.root() + "d/";
        const int files = closeAfter < 0 ? 100 : 5000; // enough to close on, few to wait for
        QByteArray lines;
        for (int i = 0; i < files; ++i) {
            lines += QByteArray::number(i) + '\n';
            const QString name = move ? "GenRen/%1.gen" : i % 10 ? "%1.bin" : "deep/%1.bin";
            QVERIFY(FileTree::write(from, name.arg(i), QByteArray::number(i).repeated(500)));
        }
        QVERIFY(TessaryTest::writeFile(c.root() + "l.txt", lines) && QDir().mkpath(to));
        const QList<QByteArray> sums = FileTree::checksums(from);
        const int threads = threadCount();
        QVERIFY(c.startWindow());
        TessaryTest::MessageBoxAnswerer boxes;
        QPointer<CopyTxtToFolder> window;
        if (move) {
            child<QComboBox>(c.window(), "selectSystemComboBox")
                ->setCurrentIndex(fields.isEmpty() ? -1 : 0);
            c.trigger(QStringLiteral("actionMove_Files_From_Ren_to_Root"));
            if (closeAfter < 0 && !fields.isEmpty()) // a second move before the first has reported
                c.trigger(QStringLiteral("actionMove_Files_From_Ren_to_Root"));
        } else {
            c.trigger(QStringLiteral("actionCopy_files_from_txt_to_Directory"));
            for (QWidget *widget : QApplication::topLevelWidgets())
                window = window ? window.data() : qobject_cast<CopyTxtToFolder *>(widget);
            QVERIFY(window && window->isVisible());
            const char *edits[] = {"lineEdit", "lineEdit_2", "lineEdit_3"};
            for (int i = 0; i < 3; ++i)
                child<QLineEdit>(window, edits[i])
                    ->setText(fields[i].isEmpty() ? QString() : c.root() + fields[i]);
            child<QCheckBox>(window, "checkBox")->setChecked(true);
            child<QPushButton>(window, "pushButton_4")->click();
        }
        const auto landed = [&to] {
            return QDir(to).entryList(QDir::Files).size();
        };
        if (expected.startsWith(QLatin1String("Warning: "))) {
            QCOMPARE(boxes.seen, QStringList{expected.replace(QLatin1String("<r>"), c.root())});
            QVERIFY(move || window->isVisible());
            delete window;
            QCOMPARE(landed(), 0);
            return;
        }
        // Polled without a pause: a move takes a fraction of a second.
        for (const QDeadlineTimer deadline(30000);
             closeAfter > 0 && landed() < 2 && !deadline.hasExpired();) {
        }
        if (closeAfter == 2)
            c.closeWindow(); // waits for the file in hand; a Copy window goes with it
        else if (closeAfter >= 0)
            window->close();
        QTRY_VERIFY(!window);
        if (c.window()) {
            QTRY_VERIFY2(expected.split(u'|').contains(c.output().remove(CopyReport)),
                         qPrintable(c.output()));
            for (QLabel *label : c.window()->findChildren<QLabel *>())
                QVERIFY(!label->movie());
        }
        QTRY_COMPARE(threadCount(), threads);
        const QList<QByteArray> after = FileTree::checksums(to);
        QVERIFY(!move && closeAfter >= 0
                    ? std::includes(sums.begin(), sums.end(), after.begin(), after.end())
                    : after == sums);
        QVERIFY(closeAfter <= 0 || (landed() > 1 && landed() < files));
    }
};

QTEST_MAIN(tst_Tasks)
#include "tst_tasks.moc"
