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
    return QDir(QStringLiteral("/proc/self/task")).count(); // "." and ".." included
}

// A report of "|"-separated lines, the chore's plain success when empty.
void row(const QByteArray &name, const char *chore, const QString &before, const QString &after,
         QString report = {}, const char *folder = nullptr)
{
    const bool move = chore[0] != 'c';
    if (report.isEmpty())
        report = move ? QStringLiteral("Ren To Root Completed") : CopyReport + "Completed";
    QTest::newRow(name.constData())
        << QString(chore) << FileTree::list(before) << FileTree::list(after) << report
        << QString(folder ? folder
                   : move ? ""
                          : "d/");
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
        row("move: nested, odd names, hidden left alone", "move",
            "R/a=1|x/y/b=2|D (o) & [x]/c=3|ünï/d é=4|.h/e=5|s/.f=6",
            ".h/|.h/e=5|D (o) & [x]/|R/|a=1|b=2|c=3|d é=4|s/|s/.f=6|x/|x/y/|ünï/");
        row("move: a taken name, by a folder or a link to nowhere too", "move",
            "a=0|_a=1|R/a=2|b/|c->none|s/b=3|s/c=4", "R/|__a=2|_a=1|_b=3|_c=4|a=0|b/|c=|s/");
        row("move: names in no valid encoding by their bytes; links to folders and nowhere stay",
            "move", "s/Pok%E9mon=1|s/%FF=2|s/l->/dev/null|s/d->..|s/n->x",
            "%FF=2|Pok%E9mon=1|l=|s/|s/d/|s/n=");
        row("move: no free name", "move", N + "=0|s/" + N + "=1", N + "=0|s/|s/" + N + "=1",
            "Ren To Root Completed|1 file could not be moved:|<r>/s/" + N);
        row("move: ROM folder gone", "move", "s/a=1", "s/|s/a=1",
            "Ren To Root FAILED|The ROM folder is missing: <r>/gone/", "gone/");
        row("move: stopped", "move", "s/a=1", "s/|s/a=1", "Ren To Root Stopped");
        row("copy: whole base name up to the first dot, case counts, CR LF", "copy",
            "l.txt=N (E)\r\nO 1.1\r\n|s/N (E).b=e|s/N (E) [b].b=b|s/n (e).b=l|s/N (E) .b=s|"
            "s/N (E)=n|s/O 1.1.b=o",
            "N (E).b=e|N (E)=n");
        row("copy: sub-folders not searched", "copy flat", "l.txt=X\n|s/X.b=t|s/sub/X.z=1",
            "X.b=t");
        row("copy: first of a name, hidden skipped, targets never replaced", "copy",
            "l.txt=X\nY\n|s/X.b=t|s/a/X.b=t|s/a/X.z=z|s/.X.y=h|s/.h/X.y=h|s/Y.b=n|d/Y.b=o|s/Y.z=n|"
            "d/Y.z/",
            "X.b=t|X.z=z");
        row("copy: destination inside the source", "copy",
            "l.txt=X\nY\n|s/X.b=x|s/in/Y.b=y|s/in/o/", "X.b=x|Y.b=y", {}, "s/in/o/");
        row("copy: stopped", "copy", "l.txt=X\n|s/X.b=x", "", CopyReport + "Stopped");
        row("copy: list unreadable", "copy", "s/X.b=x", "",
            CopyReport + "FAILED|Unable to open<r>/l.txt");
        // Unreadable half-way, a FIFO that would wait for a writer, a device that never ends.
        row("copy: failures reported, nothing left of them", "copy",
            "l.txt=X\nY\nZ\n|s/p<fifo>|s/X.b->p|s/Y.b->/dev/zero|s/Z->/proc/self/mem|s/X.z=x",
            "X.z=x",
            CopyReport + "Completed|3 files could not be copied:|<r>/s/X.b|<r>/s/Y.b|<r>/s/Z");
        // Whatever holds the name, a move or copy onto it leaves both sides as they were.
        for (const auto &[holder, read] :
             {std::pair{"b=old", "b=old"}, {"b/", "b/"}, {"b->x", "b="}}) {
            const QByteArray onto = QByteArray(" onto ") + holder;
            row("move" + onto, "move onto", "a=new|" + QString(holder), "a=new|" + QString(read),
                "taken");
            row("copy" + onto, "copy onto", "a=new|" + QString(holder), "", "taken");
        }
        // The NES repair's file step after the tool's run of a stage, 1 to 3.
        row("fixnes 1: fixed copies parked, hidden and deeper ones not", "fixnes 1",
            "F.nes=r|F.new.nes=f|M.new.nes.bak=m|.h.new.nes=h|sub/D.new.nes=d",
            ".h.new.nes=h|F.nes=r|NESNew/|NESNew/F.new.nes=f|NESNew/M.new.nes.bak=m|sub/|sub/"
            "D.new.nes=d",
            "done");
        row("fixnes 2: back, the user's dupes aside", "fixnes 2",
            "NESNew/F.new.nes=f|NESDupes/Mine.nes=u",
            "F.new.nes=f|NESDupes.old/|NESDupes.old/Mine.nes=u", "done");
        row("fixnes 2: nothing replaced", "fixnes 2",
            "NESNew/F.new.nes=f|F.new.nes=here|NESDupes/a=d|NESDupes.old/b=o",
            "F.new.nes=here|NESDupes.old/|NESDupes.old/b=o|NESDupes/|NESDupes/a=d|NESNew/|NESNew/"
            "F.new.nes=f",
            "done");
        row("fixnes 3: originals replaced, the user's dupes back", "fixnes 3",
            "NESRen/F [!].nes=r|NESRen/M.nes=m|NESDupes/F [!].nes=f|NESDupes.old/Mine.nes=u",
            "NESDupes/|NESDupes/Mine.nes=u|NESRen/|NESRen/F [!].nes=f|NESRen/M.nes=m", "done");
        row("fixnes 3: a dupe without namesake stays", "fixnes 3",
            "NESRen/F.nes=r|NESDupes/F.nes=f|NESDupes/L.nes=l|NESDupes.old/Mine.nes=u",
            "NESDupes.old/|NESDupes.old/Mine.nes=u|NESDupes/|NESDupes/L.nes=l|NESRen/|NESRen/"
            "F.nes=f",
            "done");
        row("fixnes 4", "fixnes 4", "F.new.nes=f", "F.new.nes=f", "nothing");
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
        const bool move = !chore.startsWith(u'c');
        QVERIFY(FileTree::build(root.path(), before + FileTree::list(move ? "" : "s/|d/")));
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
            QString text;
            if (chore.endsWith(QLatin1String(" onto"))) {
                const QString source = r + "a", target = r + "b";
                text = (move ? moveWithoutReplacing(source, target)
                             : copyWithoutReplacing(source, target)) == TransferResult::TargetTaken
                           ? "taken"
                           : "replaced";
            } else if (chore.startsWith(QLatin1String("fixnes"))) {
                text = runFixNesStep(r, chore.back().digitValue()) ? "done" : "nothing";
            } else {
                const WorkerReport done = runOnWorker([&](ThreadedFunctions &worker) {
                    if (report.endsWith(QLatin1String("Stopped")))
                        worker.requestStop();
                    if (move)
                        worker.renToRootInvoke(r + folder);
                    else
                        worker.copyFromTxtInvoke(r + "l.txt", r + folder, r + "s/",
                                                 chore == "copy");
                });
                QVERIFY(done.count == 1 && done.deleteThreadedObject == move);
                text = done.text;
            }
            QStringList seen = text.split(u'\n');
            std::sort(seen.begin() + qMin(2, seen.size()), seen.end());
            QCOMPARE(seen, lines);
            QCOMPARE(FileTree::read(root.path()), after);
        }
        for (const QString &entry : std::as_const(added)) {
            const QFileInfo copy(r + folder + entry.section(u'=', 0, 0));
            QVERIFY2((copy.permissions() & ~UserBits) == QFile::ReadOwner &&
                         !awaitsWriteback(copy.filePath()),
                     qPrintable(copy.fileName()));
        }
    }

    // From /dev/shm into the build folder, when they are two file systems: a copy and a removal,
    // the file's kind, permissions and time kept. A source that cannot be removed (its folder
    // append-only, for root too) leaves no copy behind.
    void movesAcross_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("sourceStays");
        QTest::addColumn<TransferResult>("result");
        QTest::newRow("a file") << "s=data" << false << TransferResult::Done;
        QTest::newRow("a link, as a link") << "s->/dev/null" << false << TransferResult::Done;
        QTest::newRow("a FIFO") << "s<fifo>" << false << TransferResult::Failed;
        QTest::newRow("source not removable") << "s=data" << true << TransferResult::Failed;
    }

    void movesAcross()
    {
        QFETCH(QString, source);
        QFETCH(bool, sourceStays);
        QFETCH(TransferResult, result);
        QTemporaryDir from(QStringLiteral("/dev/shm/tst_tasks-XXXXXX"));
        QTemporaryDir to(QCoreApplication::applicationDirPath() + QLatin1String("/tmp-XXXXXX"));
        struct stat fromInfo, toInfo;
        if (::stat(QFile::encodeName(from.path()), &fromInfo) != 0 ||
            ::stat(QFile::encodeName(to.path()), &toInfo) != 0 || fromInfo.st_dev == toInfo.st_dev)
            QSKIP("needs /dev/shm on a file system of its own");
        QVERIFY(FileTree::build(from.path(), {source}));
        const QString sourcePath = from.filePath(QStringLiteral("s"));
        if (source.contains(u'=')) // a plain file, whose permissions must come along
            QVERIFY(QFile::setPermissions(sourcePath, QFile::ReadOwner | QFile::ReadGroup));
        const QFileInfo info(sourcePath);
        const auto kept =
            std::make_tuple(info.isSymLink(), info.permissions(), info.lastModified());
        const QStringList before = FileTree::read(from.path());
        const int folder = ::open(QFile::encodeName(from.path()).constData(), O_RDONLY);
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
        const QString target = to.filePath(QStringLiteral("t"));
        QCOMPARE(moveWithoutReplacing(sourcePath, target), result);
        const bool done = result == TransferResult::Done;
        QCOMPARE(FileTree::read(from.path()), done ? QStringList() : before);
        QCOMPARE(FileTree::read(to.path()),
                 done ? QStringList{QString(before[0]).replace(0, 1, u't')} : QStringList());
        const QFileInfo moved(target);
        QVERIFY(!done || std::make_tuple(moved.isSymLink(), moved.permissions(),
                                         moved.lastModified()) == kept);
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
