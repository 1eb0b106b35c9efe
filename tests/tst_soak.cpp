#include "filetree.h"
#include "lists/listdeletion.h"
#include "maintenance/romdeletion.h"
#include "settings/settingsloader.h"
#include "tessarytest.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <atomic>
#include <filesystem>
#include <random>
#include <thread>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

const QStringList Keys{"GBA", "Gen", "NES", "SNES"};
const QStringList Flags = FileTree::list("[b1]|[o1]|[t1]|(Hack)|(PD)|[T+Fre]|(Beta)|(hack)|");
const QStringList Folders = FileTree::list("|||Sub A/|deep/er/|Ren/|.hidden/");
constexpr unsigned Nobody = 65534;
enum Fault { NoFault, FullDisk, ReadOnly, Vanishing };

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

// A chore as the windows run it, through the same core functions; its report.
QString runChore(const QString &chore, const QStringList &args)
{
    QString report;
    if (chore == QLatin1String("move")) {
        for (const QString &key : args)
            report += runOnWorker([&](ThreadedFunctions &w) {
                QMetaObject::invokeMethod(&w, chorePrelude); // before the task
                w.renToRootInvoke(g_root + key + " roms/");
            });
    } else if (chore == QLatin1String("copy")) {
        report = runOnWorker([&](ThreadedFunctions &w) {
            QMetaObject::invokeMethod(&w, chorePrelude);
            w.copyFromTxtInvoke(g_root + "copy.txt", g_root + args[1], g_root + args[0], true);
        });
    } else if (chore == QLatin1String("delete roms")) {
        RomFlagFilter filter; // bad dumps, trained, hacks, PD, and "(Beta)"
        for (int row : {0, 3, 4, 6, 9})
            filter.checked[row] = true;
        filter.customText = QStringLiteral("(Beta)");
        chorePrelude();
        for (const QString &key : args)
            report += romDeletionReport(
                deleteFiles(flaggedRoms(g_root + key + " roms/", true, filter)), true);
    } else {
        QList<ListDeletion::System> systems;
        for (const QString &key : Keys)
            systems.append({u'[' + key, g_root + key + " roms/", "Good" + key + ".exe"});
        chorePrelude(); // every system's lists
        ListDeletion lists(systems, g_root + "tools/", false);
        report = ListDeletion::removeFiles(lists.chooseFiles(-1, false, true, true)).join(u'\n');
    }
    return report;
}

// Four systems of 5,000 ROMs: in the ROM folder, in sub-folders and a hidden one, some hidden
// themselves, with every flag and look-alikes, names that clash, the lists of an earlier run.
bool build()
{
    std::mt19937 random(15);
    QStringList entries{"copies/clean/", "copies/full disk/", "copies/read-only/", "copies/gone/"};
    QString copyList = QStringLiteral("Device Link (U)\n\n");
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
    entries << "Gen roms/Sub A/Device Link (U).bin->/dev/null"
            << "Gen roms/Outside->" + g_root + "copies"
            << "copy.txt=" + copyList;
    if (!FileTree::build(g_root, entries))
        return false;
    // Chores run as nobody under the read-only fault must reach and change everything else.
    for (const auto &entry : std::filesystem::recursive_directory_iterator(g_root.toStdString()))
        if (::geteuid() == 0 && ::lchown(entry.path().c_str(), Nobody, Nobody) != 0)
            return false;
    return ::geteuid() != 0 || ::chown(QFile::encodeName(g_root).constData(), Nobody, Nobody) == 0;
}

} // namespace

// A collection of 20,000 ROM files through every chore on ROM files, under faults and then
// cleanly. No content may be lost or gain copies: the checksums below `scope` stay, or only lose
// some by a deletion or a file that vanished; a copy's destination holds only what its source
// held.
class tst_Soak : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        g_root = m_dir.path() + u'/';
        QVERIFY(build() && ::chmod(QFile::encodeName(g_root).constData(), 0755) == 0);
    }
    void cleanupTestCase() { std::filesystem::remove_all(g_root.toStdString()); }

    // Twenty systems and, amid them, a block whose key lost its "[": each system moves the files
    // of its own folder only.
    void brokenSettingsBlock()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        QByteArray text = "Good*.exe Directory=.\nSame as Rom Path=true\n\n";
        QStringList entries{"b/Ren/b.bin=b", "b/GoodB.exe=t"};
        for (int i = 0; i < 20; ++i) {
            if (i == 10)
                text += "Broken=b\nRom Path=b\nFile Name=GoodB.exe\n\n";
            text += QString("[%1=s\nRom Path=%1\nFile Name=Good.exe\n\n").arg(i).toUtf8();
            entries << QString("%1/Ren/%1.bin=%1|%1/Good.exe=t").arg(i).split(u'|');
        }
        QBuffer buffer(&text);
        QVERIFY(FileTree::build(root, entries) && buffer.open(QIODevice::ReadOnly));
        GlobalSettings settings;
        SystemTable table;
        const QStringList offered =
            SettingsLoader(root).load(&buffer, settings, table).offeredSystems;
        QCOMPARE(offered.size(), 20);
        for (const QString &item : offered) {
            const QString n = selectorKey(item).mid(1);
            runOnWorker([&](ThreadedFunctions &w) { w.renToRootInvoke(table['[' + n].romPath); });
            QVERIFY2(QFile::exists(root + n + u'/' + n + ".bin"), qPrintable(item));
        }
        QVERIFY(QFile::exists(root + "b/Ren/b.bin"));
    }

    void chores_data()
    {
        QTest::addColumn<QString>("chore");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("faulty"); // the folder made read-only or removed from
        QTest::addColumn<QString>("scope");  // whose files are checked
        QTest::addColumn<QString>("report"); // a text the report holds
        const auto row = [](const char *chore, const char *args, Fault fault, const char *faulty,
                            const char *scope, const char *report) {
            const char *faults[] = {"", ", full disk", ", read-only", ", vanishing"};
            QTest::addRow("%s %s%s", chore, args, faults[fault])
                << QString(chore) << FileTree::list(args) << int(fault) << QString(faulty)
                << QString(scope) << QString(report);
        };
        row("copy", "NES roms/|copies/full disk/", FullDisk, "", "NES roms", "could not be copied");
        row("move", "NES", ReadOnly, "NES roms/Sub A", "NES roms", "could not be moved");
        row("copy", "NES roms/|copies/read-only/", ReadOnly, "copies/read-only", "NES roms",
            "could not be copied");
        row("delete roms", "NES", ReadOnly, "NES roms/Sub A", "NES roms", "FAILED to delete");
        row("delete lists", "", ReadOnly, "SNES roms", "", "SNES roms/SNESHave.txt");
        row("move", "SNES", Vanishing, "SNES roms", "SNES roms", "");
        row("copy", "GBA roms/|copies/gone/", Vanishing, "GBA roms", "GBA roms", "");
        row("move", "GBA|Gen|NES|SNES", NoFault, "", "", "Ren To Root Completed");
        row("copy", "Gen roms/|copies/clean/", NoFault, "", "Gen roms",
            "Destination Completed\n1 file could not be copied:");
        row("delete roms", "GBA|Gen|NES|SNES", NoFault, "", "", "Deleted ");
        row("delete lists", "", NoFault, "", "", "");
    }

    void chores()
    {
        QFETCH(QString, chore);
        QFETCH(QStringList, args);
        QFETCH(int, fault);
        QFETCH(QString, faulty);
        QFETCH(QString, scope);
        const bool onlyLoses = chore.startsWith(QLatin1String("delete")) || fault == Vanishing;
        QFETCH(QString, report);
        const QByteArray target = QFile::encodeName(g_root + faulty);
        QVERIFY(fault != ReadOnly || ::chmod(target.constData(), 0555) == 0);
        const QList<QByteArray> before = FileTree::checksums(g_root + scope);
        g_asNobody = fault == ReadOnly;
        g_started = false;
        QStringList doomed; // every third file, removed once the chore has begun
        for (QDirIterator it(g_root + faulty, QDir::Files, QDirIterator::Subdirectories);
             fault == Vanishing && it.hasNext();)
            doomed << it.next();
        std::thread remover([&] {
            for (int wait = 0; !doomed.isEmpty() && !g_started && wait < 10000; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            for (qsizetype i = doomed.size() - 1; i >= 0; i -= 3)
                QFile::remove(doomed[i]);
        });
        const auto run = std::bind(runChore, chore, args);
        const QString text = fault == FullDisk ? TessaryTest::onFullDisk(run) : run();
        ::setfsuid(::getuid()); // the deletions ran in this thread
        ::setfsgid(::getgid());
        remover.join();
        ::chmod(target.constData(), 0755);
        const QList<QByteArray> after = FileTree::checksums(g_root + scope);

        QVERIFY2(text.contains(report), qPrintable(text.left(2000)));
        if (onlyLoses)
            QVERIFY(std::includes(before.begin(), before.end(), after.begin(), after.end()));
        else
            QCOMPARE(after, before);
        // Cleanly every chore does something: what it leaves differs from what it found.
        QVERIFY(fault != NoFault || !onlyLoses || after != before);
        const QList<QByteArray> copies = FileTree::checksums(g_root + args.value(1));
        QVERIFY(chore != "copy" ||
                (std::includes(before.begin(), before.end(), copies.begin(), copies.end()) &&
                 (fault || !copies.isEmpty())));
        QVERIFY(fault != NoFault || chore != "move" ||
                QDir(g_root + "NES roms/Sub A").entryList(QDir::Files).isEmpty());
    }

    // A tool that starts a chain of two more, stopped again and again, every other time deaf to
    // the polite request: Go comes back only once nothing of it runs.
    void stoppedTool()
    {
        TessaryTest::Collection c;
        const QString tool = c.toolDir() + "GoodFork.exe";
        QVERIFY(TessaryTest::writeFile(tool,
                                       "#!/bin/sh\n[ -e deaf ] && trap '' TERM\n"
                                       "case $1 in list) \"$0\" 1 & ;; 1) \"$0\" 2 & ;; esac\n"
                                       "while sleep 1; do :; done",
                                       true));
        // Each of the three has arguments of its own. A fork that is about to become `sleep`
        // shows its parent's for a moment, and is not counted again.
        const auto running = [command = QFile::encodeName(tool)] {
            QSet<QByteArray> lines;
            for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
                const QByteArray line = TessaryTest::readFile("/proc/" + pid + "/cmdline");
                if (line.contains(command))
                    lines.insert(line);
            }
            return lines.size();
        };
        c.addSystem("Fork", {}, "GoodFork.exe");
        QVERIFY(c.startWindow());
        TessaryTest::fillIn(c.window(), "list");
        for (int round = 0; round < 6; ++round) {
            QVERIFY(round % 2 == 0 || TessaryTest::writeFile(c.romDir("Fork") + "deaf", ""));
            c.clickGo();
            QTRY_COMPARE_WITH_TIMEOUT(running(), 3, 20000);
            c.clickGo();
            QVERIFY(c.waitForGo());
            QCOMPARE(running(), 0);
            QFile::remove(c.romDir("Fork") + "deaf");
        }
    }
};

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
