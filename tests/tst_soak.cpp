#include "filetree.h"
#include "lists/listdeletion.h"
#include "lists/misslistcomparison.h"
#include "maintenance/goodinfoswipe.h"
#include "maintenance/romdeletion.h"
#include "workerreports.h"

#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <random>
#include <thread>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QStringList Keys{"GBA", "Gen", "NES", "SNES"};
const QStringList Flags = FileTree::list("[b1]|[o1]|[t1]|(Hack)|(PD)|[T+Fre]|(Beta)|(hack)|");
const QStringList Folders = FileTree::list("|||Sub A/|deep/er/|Ren/|.hidden/");
constexpr unsigned Nobody = 65534;
enum Fault { NoFault, FullDisk, ReadOnly, Vanishing, Unplugged };

QString g_root;
std::atomic_bool g_asNobody{false}, g_started{false};

// First in the thread that does a chore. The file-system user id holds for that thread alone and
// takes root's power over permission bits from it, so a read-only folder stops the chore as root.
void chorePrelude()
{
    if (g_asNobody) {
        ::setfsgid(Nobody);
        ::setfsuid(Nobody);
    }
    g_started = true;
}

template<typename Work> void inChoreThread(Work work)
{
    std::thread([&] {
        chorePrelude();
        work();
    }).join();
}

QString onWorker(const std::function<void(ThreadedFunctions &)> &start)
{
    return runOnWorker([&](ThreadedFunctions &worker) {
               QMetaObject::invokeMethod(&worker, [] { chorePrelude(); }); // before the task
               start(worker);
           })
        .text;
}

QString path(const QString &relative)
{
    return g_root + relative;
}

// A chore as the windows run it, through the same core functions; its report.
QString runChore(const QString &chore, const QStringList &args)
{
    QString report;
    if (chore == QLatin1String("move")) {
        for (const QString &key : args)
            report +=
                onWorker([&](ThreadedFunctions &w) { w.renToRootInvoke(path(key + " roms/")); });
    } else if (chore == QLatin1String("copy")) {
        report = onWorker([&](ThreadedFunctions &w) {
            w.copyFromTxtInvoke(path("copy.txt"), path(args[1]), path(args[0]), true);
        });
    } else if (chore == QLatin1String("delete roms")) {
        RomFlagFilter filter; // bad dumps, trained, hacks, PD, and "(Beta)"
        for (int row : {0, 3, 4, 6, 9})
            filter.checked[row] = true;
        filter.customText = QStringLiteral("(Beta)");
        RomDeletionResult all;
        inChoreThread([&] {
            for (const QString &key : args) {
                const RomDeletionResult one =
                    deleteFiles(flaggedRoms(path(key + " roms/"), true, filter));
                all.deleted += one.deleted;
                all.failed += one.failed;
            }
        });
        report = romDeletionReport(all, true);
    } else if (chore == QLatin1String("delete lists")) {
        QList<ListDeletion::System> systems;
        for (const QString &key : Keys)
            systems.append({u'[' + key, path(key + " roms/"), "Good" + key + ".exe"});
        const int one = Keys.indexOf(args.value(0));
        inChoreThread([&] {
            report = ListDeletion::removeFiles(ListDeletion(systems, path("tools/"), false)
                                                   .chooseFiles(one, one >= 0, one < 0, true))
                         .join(u'\n');
        });
    } else if (chore == QLatin1String("swipe")) {
        RomFlagFilter filter;
        filter.checked[0] = filter.checked[1] = filter.emptyCustomMatchesAll = true;
        const QStringList items{swipeAllText(), "[GBA", "[Gen", "[NES", "[SNES"};
        inChoreThread([&] {
            const SwipeOutcome done = swipeGoodinfoFile(
                path("tools/Goodinfo.cfg"), GoodinfoSwipe("[Gen", items, filter, false));
            report = done.status == SwipeOutcome::Swiped ? "swiped" : "not swiped: " + done.error;
        });
    } else {
        MissListComparison comparison(path("Gen roms/GenMiss.txt"), path("TheirMiss.txt"));
        inChoreThread([&] {
            report = comparison.run() == MissListComparison::Outcome::Complete
                         ? QStringLiteral("compared")
                         : comparison.failedOutput() + ": " + comparison.error();
        });
    }
    return report;
}

// Four systems of 5,000 ROMs: in the ROM folder, in sub-folders and a hidden one, some hidden
// themselves, with every flag and look-alikes, names that clash, the lists of an earlier run.
bool build()
{
    std::mt19937 random(15);
    QStringList entries{
        "copies/clean/", "copies/full disk/", "copies/read-only/", "copies/gone/",
        "tools/Goodinfo.cfg=; soak\r\n[GBA\r\n[b;Bad;\r\n[Gen\r\n[b;Bad dumps;\r\n[o\r\n[h;x;n\r\n"
        "(Hack);\r\ncaf\xc3\xa9 [b\r\n[NES\r\n[b;\r\n[SNES\r\n[o;x\r\n[Gen\r\n[b;x\r\n[b last"};
    QString copyList = QStringLiteral("Device Link (U)\n\n");
    QString theirs = QStringLiteral("Their header\r\n\r\n");
    for (const QString &key : Keys) {
        const QString dir = key + " roms/";
        for (int i = 0; i < 5000; ++i) {
            const QString name = QStringLiteral("%1%2 %3 (U) %4.%5")
                                     .arg(i % 61 ? QString() : QStringLiteral("."), key)
                                     .arg(i)
                                     .arg(Flags[i % Flags.size()], i % 5 ? key.toLower() : "zip");
            QByteArray content(40 + random() % 1960, Qt::Uninitialized);
            for (char &byte : content)
                byte = char(random());
            if (!FileTree::write(g_root, dir + Folders[i % Folders.size()] + name, content))
                return false;
            if (i % 12 == 0)
                copyList += name.section(u'.', 0, 0) + u'\n';
        }
        entries << dir + key + "Have.txt=h" << dir + key + "Miss.txt=m\r\n\r\nGen 1 (U)\r\n"
                << "tools/Good" + key + ".db=d" << dir + "Clash.bin=1" << dir + "_Clash.bin=2"
                << dir + "Sub A/Clash.bin=3" << dir + "Sub A/Caf%E9 (F).bin=old";
    }
    for (int j = 0; j < 300; ++j)
        theirs += QStringLiteral("Gen %1 (U)\r\n").arg(j);
    entries << "Gen roms/Sub A/Device Link (U).bin->/dev/null"
            << "Gen roms/Outside->" + path("copies") << "copy.txt=" + copyList
            << "TheirMiss.txt=" + theirs;
    if (!FileTree::build(g_root, entries))
        return false;
    // Chores run as nobody under the read-only fault must reach and change everything else.
    for (const auto &entry : std::filesystem::recursive_directory_iterator(g_root.toStdString()))
        if (::geteuid() == 0 && ::lchown(entry.path().c_str(), Nobody, Nobody) != 0)
            return false;
    return ::geteuid() != 0 || ::chown(QFile::encodeName(g_root).constData(), Nobody, Nobody) == 0;
}

bool includes(const QList<QByteArray> &all, const QList<QByteArray> &some)
{
    return std::includes(all.begin(), all.end(), some.begin(), some.end());
}

} // namespace

// A collection of 20,000 ROM files through every file chore, under faults and then cleanly. No
// content may be lost or gain copies: the checksums below `scope` stay ("="), only lose some
// ("-") or only gain some ("+"); a copy's destination holds only what its source held.
class tst_Soak : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the size limit fails instead
        g_root = m_dir.path() + u'/';
        QVERIFY(build() && ::chmod(QFile::encodeName(g_root).constData(), 0755) == 0);
    }
    void cleanupTestCase() { std::filesystem::remove_all(g_root.toStdString()); }

    void chores_data()
    {
        QTest::addColumn<QString>("chore");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("faulty"); // the folder made read-only, removed from, unplugged
        QTest::addColumn<QString>("scope");  // "=", "-", "+" or "~" (rewritten), then the folder
        QTest::addColumn<QString>("report"); // a text the report holds
        const auto row = [](const char *chore, const char *args, Fault fault, const char *faulty,
                            const char *scope, const char *report) {
            const char *faults[] = {"", ", full disk", ", read-only", ", vanishing", ", unplugged"};
            QTest::addRow("%s %s%s", chore, args, faults[fault])
                << QString(chore) << FileTree::list(args) << int(fault) << QString(faulty)
                << QString(scope) << QString(report);
        };
        const char *copied =
            "Copy Files From *.txt to File Destination Completed\n1 file could not be copied:";
        row("copy", "NES roms/|copies/full disk/", FullDisk, "", "=NES roms",
            "could not be copied");
        row("swipe", "", FullDisk, "", "=tools", "not swiped");
        row("compare", "", FullDisk, "", "=Gen roms", "Need.txt");
        row("move", "NES", ReadOnly, "NES roms/Sub A", "=NES roms", "could not be moved");
        row("copy", "NES roms/|copies/read-only/", ReadOnly, "copies/read-only", "=NES roms",
            "could not be copied");
        row("delete roms", "NES", ReadOnly, "NES roms/Sub A", "-NES roms", "FAILED to delete");
        row("delete lists", "", ReadOnly, "SNES roms", "-", "SNES roms/SNESHave.txt");
        row("swipe", "", ReadOnly, "tools", "=tools", "not swiped");
        row("compare", "", ReadOnly, "Gen roms", "=Gen roms", "Need.txt");
        row("move", "SNES", Vanishing, "SNES roms", "=SNES roms", "");
        row("copy", "GBA roms/|copies/gone/", Vanishing, "GBA roms", "=GBA roms", "");
        row("move", "GBA", Unplugged, "GBA roms", "=GBA roms (unplugged)",
            "The ROM folder is missing: ");
        row("move", "GBA|Gen|NES|SNES", NoFault, "", "=", "Ren To Root Completed");
        row("copy", "Gen roms/|copies/clean/", NoFault, "", "=Gen roms", copied);
        row("delete roms", "GBA|Gen|NES|SNES", NoFault, "", "-", "Deleted ");
        row("delete lists", "NES", NoFault, "", "-", "");
        row("delete lists", "", NoFault, "", "-", "");
        row("swipe", "", NoFault, "", "~tools", "swiped");
        row("compare", "", NoFault, "", "+Gen roms", "compared");
    }

    void chores()
    {
        QFETCH(QString, chore);
        QFETCH(QStringList, args);
        QFETCH(int, fault);
        QFETCH(QString, faulty);
        QFETCH(QString, scope);
        const QChar kept = scope.front();
        scope.remove(0, 1);
        QFETCH(QString, report);
        const QByteArray target = QFile::encodeName(path(faulty));
        const QByteArray unplugged = target + " (unplugged)";
        QVERIFY(fault != ReadOnly || ::chmod(target.constData(), 0555) == 0);
        QVERIFY(fault != Unplugged || ::rename(target.constData(), unplugged.constData()) == 0);
        const QList<QByteArray> before = FileTree::checksums(path(scope));
        const QList<QByteArray> source =
            chore == "copy" ? FileTree::checksums(path(args[0])) : before;
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{100, limit.rlim_max}; // no file grows past 100 bytes: the disk is full
        QVERIFY(fault != FullDisk || ::setrlimit(RLIMIT_FSIZE, &full) == 0);
        g_asNobody = fault == ReadOnly;
        g_started = false;
        QStringList doomed; // every third file, removed once the chore has begun
        for (QDirIterator it(path(faulty), QDir::Files, QDirIterator::Subdirectories);
             fault == Vanishing && it.hasNext();)
            doomed << it.next();
        QList<QByteArray> vanished;
        std::thread remover([&] {
            for (int wait = 0; !doomed.isEmpty() && !g_started && wait < 10000; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            for (qsizetype i = doomed.size() - 1; i >= 0; i -= 3) {
                QFile file(doomed[i]);
                const QByteArray sum =
                    QCryptographicHash::hash(file.open(QIODevice::ReadOnly) ? file.readAll() : "",
                                             QCryptographicHash::Sha1)
                        .toHex();
                if (::unlink(QFile::encodeName(doomed[i]).constData()) == 0)
                    vanished << sum;
            }
        });
        const QString text = runChore(chore, args);
        remover.join();
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::chmod(target.constData(), 0755);
        const QList<QByteArray> after = FileTree::checksums(path(scope));
        ::rename(unplugged.constData(), target.constData());

        QVERIFY2(text.contains(report), qPrintable(text.left(2000)));
        QVERIFY(fault != Vanishing || !vanished.isEmpty());
        QList<QByteArray> wanted = before;
        for (const QByteArray &sum : std::as_const(vanished))
            QVERIFY(wanted.removeOne(sum));
        if (kept == u'=')
            QCOMPARE(after, wanted);
        else // "~": rewritten in place
            QVERIFY(kept == u'-'   ? includes(wanted, after)
                    : kept == u'+' ? includes(after, wanted)
                                   : after.size() == wanted.size());
        // Cleanly every chore does something: what it leaves differs from what it found.
        QVERIFY(fault != NoFault || kept == u'=' || after != before);
        const QList<QByteArray> copies = FileTree::checksums(path(args.value(1)));
        QVERIFY(chore != "copy" || (includes(source, copies) && (fault || !copies.isEmpty())));
        QVERIFY(fault != NoFault || chore != "move" ||
                QDir(path("NES roms/Sub A")).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_soak.moc"
