#include "app/mainwindow.h"
#include "filetree.h"
#include "maintenance/romdeletion.h"
#include "tasks/fixnessteps.h"
#include "tasks/rentoroot.h"
#include "tasks/safetransfer.h"
#include "tessarytest.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>

#include <filesystem>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

#include <tlhelp32.h>
#else
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#endif

using namespace TessaryTest;

namespace {

// Longest name the file system takes: one more "_" in front and the move must fail.
const QString N = QString(255, u'N');
// What the current user may do: as root, writing a read-only file too.
const QFileDevice::Permissions UserBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
const QString CopyReport = QStringLiteral("Copy Files From *.txt to File Destination ");
const QString Counts = QStringLiteral("|%1 copied, %2 skipped (name taken), %3 not found");

#ifdef Q_OS_WIN

bool awaitsWriteback(const QString &)
{
    return false; // the copies flush each file: nothing to see from outside
}

bool readOnly(const QFileInfo &file)
{
    return !(file.permissions() & QFile::WriteOwner);
}

int threadCount()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

#else

bool readOnly(const QFileInfo &file)
{
    return (file.permissions() & ~UserBits) == QFile::ReadOwner;
}

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).count());
}

// Whether a file's data is still only in memory: ext4 gives it blocks at writeback, and FIEMAP
// shows its extents as delayed until then (no FIEMAP_FLAG_SYNC, which would write it back).
bool awaitsWriteback(const QString &path)
{
    alignas(fiemap) char buffer[sizeof(fiemap) + sizeof(fiemap_extent)] = {};
    auto *map = reinterpret_cast<fiemap *>(buffer);
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 1; // the files here are small
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const bool mapped = fd >= 0 && ::ioctl(fd, FS_IOC_FIEMAP, map) == 0;
    ::close(fd);
    return mapped && map->fm_mapped_extents && map->fm_extents[0].fe_flags & FIEMAP_EXTENT_DELALLOC;
}

#endif

// A report of "|"-separated lines, the chore's plain success when empty.
void row(const QByteArray &name, const char *chore, const QString &before, const QString &after,
         QString report = {}, const char *folder = nullptr)
{
    const bool move = chore[0] != 'c';
    if (report.isEmpty())
        report = chore[0] == 'f' ? QStringLiteral("done")
                 : move          ? QStringLiteral("Ren To Root Completed")
                                 : CopyReport + "Completed";
    QTest::newRow(name.constData())
        << QString(chore) << FileTree::list(before) << FileTree::list(after) << report
        << (folder ? QString(folder) : QString(move ? "" : "d/"));
}

} // namespace

// Moving files to the ROM folder's root, copying by list, the NES repair's file steps, and both
// chores as the user starts them from the windows.
class tst_Tasks : public QObject
{
    Q_OBJECT

private slots:
    // Trees as "|"-separated entries. A move's `after` is the whole tree; a copy's, what it adds
    // below `folder`, its destination. The paths a report lists are sorted; <r> is the root. A
    // list's "%XX" is the byte XX. Every chore runs twice: the second finds nothing left to do.
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
        row("move: a taken name, by a folder or a link to nowhere too; no free name", "move",
            "a=0|_a=1|R/a=2|b/|c->none|s/b=3|s/c=4|" + N + "=0|s/" + N + "=1",
            N + "=0|R/|__a=2|_a=1|_b=3|_c=4|a=0|b/|c=|s/|s/" + N + "=1",
            "Ren To Root Completed|1 file could not be moved:|<r>/s/" + N);
        row("move: names in no valid encoding by their bytes; links to folders and nowhere stay",
            "move", "s/Pok%E9mon=1|s/%FF=2|s/l->/dev/null|s/d->..|s/n->x",
            "%FF=2|Pok%E9mon=1|l=|s/|s/d/|s/n=");
        row("move: ROM folder gone", "move", "s/a=1", "s/|s/a=1",
            "Ren To Root FAILED|The ROM folder is missing: <r>/gone/", "gone/");
        row("move: stopped", "move", "s/a=1", "s/|s/a=1", "Ren To Root Stopped");
        row("move: a folder that cannot be read is named", "move unreadable", "u/b=2", "u/|u/b=2",
            "Ren To Root FAILED|1 folder could not be read:|<r>/u/");
        row("copy: base name to the first dot, case counts, CR LF, flat, Windows-1252 lines",
            "copy flat",
            "l.txt=N (E)\r\nO 1.1\r\nPok%E9mon (U)\r\nO 1.1\nPokémon (J)|s/N (E).b=e|"
            "s/N (E) [b].b=b|s/n (e).b=l|s/N (E) .b=s|s/N (E)=n|s/O 1.1.b=o|s/sub/N (E).z=1|"
            "s/Pokémon (U).gba=u|s/Pokémon (J).gba=j",
            "N (E).b=e|N (E)=n|Pokémon (J).gba=j|Pokémon (U).gba=u",
            CopyReport + "Completed|1 line matched no file:|O 1.1" + Counts.arg(4).arg(0).arg(1));
        row("copy: first of a name, hidden skipped, targets never replaced", "copy",
            "l.txt=X\nY\n|s/X.b=t|s/a/X.b=t|s/a/X.z=z|s/.X.y=h|s/.h/X.y=h|s/Y.b=n|d/Y.b=o|s/Y.z=n|"
            "d/Y.z/",
            "X.b=t|X.z=z", CopyReport + "Completed" + Counts.arg(2).arg(3).arg(0));
        row("copy: destination inside the source", "copy",
            "l.txt=X\nY\n|s/X.b=x|s/in/Y.b=y|s/in/o/", "X.b=x|Y.b=y",
            CopyReport + "Completed" + Counts.arg(2).arg(0).arg(0), "s/in/o/");
        row("copy: stopped", "copy", "l.txt=X\n|s/X.b=x", "",
            CopyReport + "Stopped" + Counts.section(u',', 0, 1).arg(0).arg(0));
        row("copy: the first lines that matched nothing", "copy",
            "l.txt=a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\nq\nr\ns\nt\nu\nv|s/a.b=1",
            "a.b=1",
            CopyReport +
                "Completed|21 lines matched no file:|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t|u|"
                "and 1 more" +
                Counts.arg(1).arg(0).arg(21));
        row("copy: list unreadable", "copy", "s/X.b=x", "",
            CopyReport + "FAILED|Unable to open<r>/l.txt");
        row("copy: list fails to read", "copy", "l.txt->/proc/self/mem|s/X.b=x", "",
            CopyReport + "FAILED|Unable to open<r>/l.txt");
        // Unreadable half-way, a FIFO that would wait for a writer, a device that never ends.
        row("copy: failures reported, nothing left of them", "copy",
            "l.txt=X\nY\nZ\n|s/p<fifo>|s/X.b->p|s/Y.b->/dev/zero|s/Z->/proc/self/mem|s/X.z=x",
            "X.z=x",
            CopyReport + "Completed|3 files could not be copied:|<r>/s/X.b|<r>/s/Y.b|<r>/s/Z" +
                Counts.arg(1).arg(0).arg(0));
        // Whatever holds the name, a move or copy onto it leaves both sides as they were.
        for (const auto &[holder, read] :
             {std::pair{"b=old", "b=old"}, {"b/", "b/"}, {"b->x", "b="}}) {
            const QByteArray onto = QByteArray(" onto ") + holder;
            row("move" + onto, "move onto", "a=new|" + QString(holder), "a=new|" + QString(read),
                "taken");
            row("copy" + onto, "copy onto", "a=new|" + QString(holder), "", "taken");
        }
        // From the root to b in a folder on another file system (/dev/shm), whose entries
        // `after` lists last: a copy, then the source removed; a link goes as a link, a file with
        // its permissions and time. Should the source stay (nothing in /proc can be removed), no
        // copy is left.
        row("move across: a file", "move across", "a=data", "b=data", "done");
        row("move across: a link, as a link", "move across", "a->/dev", "b/", "done");
        row("move across: source not removable", "move across /proc/version", "", "", "failed");
        // The NES repair's file step after the tool's run of a stage, 1 to 3, where a whole run
        // does not show it.
        row("fixnes 1: parked, not hidden or deeper", "fixnes 1",
            "F.nes=r|F.new.nes=f|M.new.nes.bak=m|.h.new.nes=h|s/D.new.nes=d",
            ".h.new.nes=h|F.nes=r|NESNew/|NESNew/F.new.nes=f|NESNew/M.new.nes.bak=m|"
            "s/|s/D.new.nes=d");
        row("fixnes 2: back, the user's dupes aside", "fixnes 2",
            "NESNew/F.new.nes=f|NESDupes/M.nes=u",
            "F.new.nes=f|NESDupes.old/|NESDupes.old/M.nes=u");
        row("fixnes 2: nothing replaced", "fixnes 2",
            "NESNew/F.new.nes=f|F.new.nes=h|NESDupes/a=d|NESDupes.old/b=o",
            "F.new.nes=h|NESDupes.old/|NESDupes.old/b=o|NESDupes/|NESDupes/a=d|"
            "NESNew/|NESNew/F.new.nes=f");
        row("fixnes 3: a dupe without namesake stays", "fixnes 3",
            "NESRen/F.nes=r|NESDupes/F.nes=f|NESDupes/L.nes=l|NESDupes.old/M.nes=u",
            "NESDupes.old/|NESDupes.old/M.nes=u|NESDupes/|NESDupes/L.nes=l|NESRen/|NESRen/F.nes=f");
    }

    void chores()
    {
        QFETCH(QString, chore);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QString, report);
        QFETCH(QString, folder);
#ifdef Q_OS_WIN // no /dev/shm, folder permission bits, links, FIFOs, names as bytes, names that
                // differ in case alone or hidden by a leading dot there
        static const QRegularExpression posixOnly(
            "across|unreadable|->|<fifo>|%|N \\(E\\).*n \\(e\\)|[|/]\\.");
        if (posixOnly.match(chore + u'|' + before.join(u'|')).hasMatch())
            QSKIP("the row is about what only POSIX file systems have");
        QTemporaryDir root, away;
#else
        QTemporaryDir root, away(QStringLiteral("/dev/shm/tst_tasks-XXXXXX"));
        const auto removeAll = qScopeGuard([&root] { // Qt stops at a name it cannot decode
            std::filesystem::remove_all(QFile::encodeName(root.path()).toStdString());
        });
#endif
        const QString r = root.path() + u'/';
        const bool move = !chore.startsWith(u'c'), across = chore.contains(QLatin1String("across"));
        QVERIFY(FileTree::build(root.path(), before + FileTree::list(move ? "" : "s/|d/")));
        const QString list = r + "l.txt";
        QVERIFY(QFileInfo(list).size() == 0 ||
                writeFile(list, QByteArray::fromPercentEncoding(readFile(list))));
        // Read-only sources from long ago: each file a copy or a move across makes must take its
        // source's permissions and reach the disk, the move's keeps the time too.
        for (QDirIterator it(r, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            if (it.nextFileInfo().isSymLink() || (move && !across))
                continue;
#ifndef Q_OS_WIN
            const timespec old[2] = {{1000000000, 0}, { 1000000000, 0 }};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(it.filePath()), old, 0) == 0);
#endif
            QVERIFY(QFile::setPermissions(it.filePath(), QFile::ReadOwner | QFile::ReadUser));
        }
        const QStringList added = move && !across ? QStringList() : after.filter(u"=");
        if (!move) {
            for (QString &entry : after)
                entry.prepend(folder);
            after += FileTree::read(root.path());
            after.sort();
        }
        QStringList lines = report.replace(QLatin1String("<r>"), root.path()).split(u'|');
        for (int run = 0; run < (across ? 1 : 2); ++run) {
            QString text;
            if (chore.contains(QLatin1String(" onto")) || across) {
                const QString source = chore.contains(u'/') ? chore.section(u' ', 2) : r + "a";
                const QString target = across ? away.filePath(QStringLiteral("b")) : r + "b";
                const char *results[] = {"done", "taken", "failed"};
                text = results[int(move ? moveWithoutReplacing(source, target)
                                        : copyWithoutReplacing(source, target))];
            } else if (chore.startsWith(QLatin1String("fixnes"))) {
                text = runFixNesStep(r, chore.back().digitValue()) ? "done" : "nothing";
            } else {
                const QByteArray unreadable = QFile::encodeName(r + "u");
                QVERIFY(chore != "move unreadable" || (::chmod(unreadable.constData(), 0) == 0 &&
                                                       ::chmod(QFile::encodeName(r), 0755) == 0));
                text = runOnWorker([&](ThreadedFunctions &worker) {
                    if (report.contains(QLatin1String("Stopped")))
                        worker.requestStop();
#ifndef Q_OS_WIN                                    // the row is left out there
                    if (chore == "move unreadable") // as a user whom permission bits bind
                        QMetaObject::invokeMethod(&worker, [] { ::setfsuid(65534); });
#endif
                    move ? worker.renToRootInvoke(r + folder)
                         : worker.copyFromTxtInvoke(r + "l.txt", r + folder, r + "s/",
                                                    chore == "copy");
                });
                ::chmod(unreadable.constData(), 0755);
            }
            QStringList seen = text.split(u'\n');
            const auto paths = seen.begin() + qMin(2, seen.size());
            std::sort(paths, std::find_if(paths, seen.end(), [](auto &l) { return l[0] != u'/'; }));
            QCOMPARE(seen, lines);
            // The next copy finds each name taken.
            static const QRegularExpression counted(QStringLiteral("^(\\d+) copied, (\\d+)"));
            if (const auto count = counted.match(lines.last()); count.hasMatch())
                lines.last() = QStringLiteral("0 copied, %1")
                                   .arg(count.captured(1).toInt() + count.captured(2).toInt()) +
                               lines.last().mid(count.capturedEnd());
            QCOMPARE(FileTree::read(root.path()) + FileTree::read(away.path()), after);
        }
        for (const QString &entry : std::as_const(added)) {
            const QFileInfo made((across ? away.path() + u'/' : r + folder) +
                                 entry.section(u'=', 0, 0));
            QVERIFY2(readOnly(made) && !awaitsWriteback(made.filePath()) &&
                         (!across || made.lastModified().toSecsSinceEpoch() == 1000000000),
                     qPrintable(entry));
        }
    }

    // Neither Move to Root nor Delete Roms in sub-folders enters a folder that leads outside the
    // ROM folder: a link, or on Windows a junction, which Qt does not count as a link.
    void walksStayInside()
    {
        QTemporaryDir root, outside;
        QVERIFY(FileTree::build(outside.path(), {"x.gen=1"}) &&
                FileTree::build(root.path(), {"s/a.gen=2"}));
        const QString link = root.path() + "/j";
#ifdef Q_OS_WIN
        const auto junction = qScopeGuard([&link] { QDir().rmdir(link); });
        if (QProcess::execute("cmd", {"/c", "mklink", "/J", QDir::toNativeSeparators(link),
                                      QDir::toNativeSeparators(outside.path())}) != 0 ||
            !QFile::exists(link + "/x.gen"))
            QSKIP("mklink /J makes no junction here (Wine 8)");
#else
        QVERIFY(QFile::link(outside.path(), link));
#endif
        RomFlagFilter gen;
        gen.checked.back() = true;
        gen.customText = ".gen";
        QCOMPARE(flaggedRoms(root.path(), true, gen), QStringList{root.path() + "/s/a.gen"});
        QCOMPARE(moveFilesToRoot(root.path() + u'/').failed, QStringList());
        QCOMPARE(FileTree::read(outside.path()), QStringList{"x.gen=1"});
        QVERIFY(QFile::exists(root.path() + "/a.gen"));
    }

    // A part file left by a copy cut short goes when the next copy into its folder starts; one
    // still being written (locked) stays. Where the file system has unnamed files, a copy in the
    // making has no name at all.
    void partFiles()
    {
#ifdef Q_OS_WIN
        QSKIP("locks by flock() and unnamed files");
#else
        QTemporaryDir dir;
        const QString d = dir.path() + u'/';
        QVERIFY(FileTree::build(d, FileTree::list("a=1|.tessary-copy-cut=c|.tessary-copy-live=l")));
        QFile live(d + ".tessary-copy-live");
        QVERIFY(live.open(QIODevice::ReadOnly) && ::flock(live.handle(), LOCK_EX) == 0);
        const int unnamed = ::open(QFile::encodeName(d).constData(), O_TMPFILE | O_WRONLY, 0600);
        CopyBatch batch(d);
        QVERIFY(batch.add(d + "a", d + "b"));
        QCOMPARE(QDir(d).entryList({".tessary-copy-*"}, QDir::Files | QDir::Hidden).size(),
                 unnamed >= 0 ? 1 : 2);
        ::close(unnamed);
        QCOMPARE(batch.publish().value(0).second, TransferResult::Done);
        QCOMPARE(FileTree::read(d), FileTree::list(".tessary-copy-live=l|a=1|b=1"));
#endif
    }

    // What the Copy window and a move check before they start, as the user meets it.
    void warnings_data()
    {
        QTest::addColumn<WindowScenario>("row");
        const auto copy = [](const QString &list, const QString &folder, const char *destination,
                             const char *box) {
            return Steps{menu("Tools > Copy files from *.txt to Directory"),
                         type("Select *.txt", list),
                         type("File Folder", "<root>" + folder),
                         type("File Destination", QString("<root>") + destination),
                         click("Go"),
                         answer(box)};
        };
        const auto row = [](const char *name, const Steps &steps, bool stays,
                            const char *tree = "l.txt=X\n|s/X.b=x|d/") {
            QTest::newRow(name) << WindowScenario{"", tree, steps, stays, "", ""};
        };
        // A relative name is taken from beside Tessary.ini, not from the current folder (the root).
        row("copy: list unreadable, by a relative name",
            copy("l.txt", "s", "d", "Warning: Problem reading txt file <ini>/l.txt"), true);
        row("copy: list a FIFO",
            copy("<root>f", "s", "d", "Warning: Problem reading txt file <root>f"), true,
            "f<fifo>|s/X.b=x|d/");
        row("copy: folder missing",
            copy("<root>l.txt", "gone", "d", "Warning: File folder doesn't exist."), true);
        row("copy: destination missing",
            copy("<root>l.txt", "s", "gone", "Warning: File destination doesn't exist."), true);
        row("move: no system",
            Steps{menu("Tools > Move Files From *Ren to Root"),
                  answer("Warning: No system selected")},
            false);
    }

    void warnings()
    {
        runScenario();
    }

    // Each chore on many files from its menu action, a move started twice: to the end, or the
    // main window closed after the first files. Nothing is lost or doubled, a closed chore stops
    // early, the busy indicator and every thread go.
    void windows_data()
    {
        QTest::addColumn<bool>("closeHalfWay");
        QTest::newRow("copy: to the end") << false;
        QTest::newRow("copy: main window closed half-way") << true;
        QTest::newRow("move: twice at once") << false;
        QTest::newRow("move: main window closed half-way") << true;
    }

    void windows()
    {
        QFETCH(bool, closeHalfWay);
        const bool move = QTest::currentDataTag()[0] == 'm';
        Collection c;
        c.addSystem(QStringLiteral("Gen"));
        const QString from = move ? c.romDir(QStringLiteral("Gen")) : c.root() + "s/";
        const QString to = move ? from : c.root() + "d/";
        const int files = closeHalfWay ? 5000 : 100; // enough to close on, few to wait for
        QByteArray lines;
        for (int i = 0; i < files; ++i) {
            lines += QByteArray::number(i) + '\n';
            const QString name = move ? "GenRen/%1.gen" : i % 10 ? "%1.bin" : "deep/%1.bin";
            QVERIFY(FileTree::write(from, name.arg(i), QByteArray::number(i).repeated(500)));
        }
        QVERIFY(writeFile(c.root() + "l.txt", lines) && QDir().mkpath(to));
        const QList<QByteArray> sums = FileTree::checksums(from);
        QVERIFY(c.startWindow()); // which may start Qt's pool threads, ending when idle a while
        const int threads = threadCount();
        const Steps steps = move ? Steps{menu("Tools > Move Files From *Ren to Root")}
                                 : Steps{menu("Tools > Copy files from *.txt to Directory"),
                                         type("Select *.txt", c.root() + "l.txt"),
                                         type("File Folder", from),
                                         type("File Destination", to),
                                         check("Search Sub Dirs"),
                                         click("Go")};
        QPointer<QWidget> window;
        for (int i = 0; i < 1 + move; ++i) // a second move before the first has reported
            QVERIFY(take(steps, c.window(), &window));
        // Polled without a pause: a move takes a fraction of a second.
        const QDeadlineTimer deadline(30000);
        while (closeHalfWay && QDir(to).entryList(QDir::Files).size() < 2 &&
               !deadline.hasExpired()) {
        }
        if (closeHalfWay)
            c.closeWindow(); // waits for the file in hand; a Copy window goes with it
        QTRY_VERIFY(!window);
        if (c.window()) {
            QTRY_COMPARE(c.output(),
                         move ? QStringLiteral("Ren To Root Completed")
                              : CopyReport + "Completed" +
                                    Counts.arg(files).arg(0).arg(0).replace(u'|', u'\n'));
            for (QLabel *label : c.window()->findChildren<QLabel *>())
                QVERIFY(!label->movie());
        }
        // No thread of the chore's is left; an idle pool thread may have ended meanwhile.
        QTRY_VERIFY(threadCount() <= threads);
        const QList<QByteArray> after = FileTree::checksums(to);
        QVERIFY(!move && closeHalfWay
                    ? std::includes(sums.begin(), sums.end(), after.begin(), after.end())
                    : after == sums);
        const qsizetype landed = QDir(to).entryList(QDir::Files).size();
        QVERIFY(!closeHalfWay || (landed > 1 && landed < files));
    }
};

QTEST_MAIN(tst_Tasks)
#include "tst_tasks.moc"
