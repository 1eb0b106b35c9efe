#include "filetree.h"
#include "lists/collectionsummary.h"
#include "lists/listdeletion.h"
#include "lists/listfiles.h"
#include "lists/misslistcomparison.h"
#include "lockedfolder.h"
#include "tessarytest.h"

#include <QTest>

using namespace TessaryTest;

// The lists' rules on real files, and the windows and viewers reached through the menus.
class tst_Lists : public QObject
{
    Q_OBJECT

private slots:
    void summaryRow_data()
    {
        QTest::addColumn<QByteArray>("miss"); // null: absent
        QTest::addColumn<QByteArray>("have");
        QTest::addColumn<QString>("cells"); // Miss|Have|Excluded|Total|Version #
        const auto row = [](const char *name, const QByteArray &miss, const QByteArray &have,
                            const QString &cells) {
            QTest::newRow(name) << miss << have << cells;
        };
        const QByteArray have = " You have 22094 of 22096 known Genesis ROMS (V3.23b)\r\nA (U)\r\n";
        const QByteArray miss = " You are missing 2 of 22090 known Genesis ROMS (V3.23b)\r\nB\r\n";
        row("as the tools write", miss, have, "2|22094|6|22096|(V3.23b)");
        row("Miss list absent", {}, have, "|22094|22096|22096|(V3.23b)");
        row("short headers, no bracket", " You are missing", " You have 7", "|7|0|| You have 7");
        // At most 4 KiB of the header are read.
        const QByteArray huge = " You have 1 of 2 (" + QByteArray(4 << 20, 'x');
        row("huge list without a line end", " You are missing 1 of 2", huge,
            "1|1|0|2|" + huge.mid(17, 4096 - 17));
    }

    void summaryRow()
    {
        QFETCH(QByteArray, miss);
        QFETCH(QByteArray, have);
        QFETCH(QString, cells);
        QTemporaryDir dir;
        QVERIFY(miss.isNull() || writeFile(dir.filePath("GenMiss.txt"), miss));
        QVERIFY(have.isNull() || writeFile(dir.filePath("GenHave.txt"), have));
        // The ROM path gets its slash.
        const SystemTable table{{"[Gen", {"[Gen", "Genesis", dir.path(), "GoodGen.exe"}}};
        QCOMPARE(::summaryRow("[Gen Sega Genesis", table).cells.join(u'|'),
                 "[Gen|Genesis|" + cells + u'|' + dir.path() + u'/');
    }

    void listDeletion_data()
    {
        QTest::addColumn<int>("system"); // -1: Clean All
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QString>("removed");
        const auto row = [](const char *name, int system, const char *kinds, const char *removed) {
            QTest::newRow(name) << system << QString(kinds) << QString(removed);
        };
        row("all Miss: name at the end", -1, "miss",
            "gen/GenMiss.txt snes/SNESMiss.txt sega/MDMiss.txt");
        row("all Have, name anywhere; all db in the tools' directory", -1, "have db",
            "gen/GenHave.txt gen/GenHave.txt.bak snes/SNESHave.txt tools/GoodGen.db "
            "tools/GoodSNES.db tools/GoodSega.db tools/GoodMD.db tools/Good.db");
        row("one: lists after the tool, db in the tools' directory after the key", 0,
            "miss have db", "sega/MDMiss.txt tools/GoodSega.db");
        row("one: beside the ROMs after the tool", 0, "miss have db, beside the ROMs",
            "sega/MDMiss.txt sega/GoodMD.db");
        row("one: tool by its full path", 3, "miss have db, beside the ROMs",
            "gen/GenMiss.txt gen/GenHave.txt gen/GoodGen.db");
        row("no such system", 5, "miss have db", "");
    }

    // "[Sega" runs GoodMD.exe, so naming a database after the key or the tool gives other files;
    // "[Path" and "[Win" name their tools by full paths, and "[Path" shares the folder of "[Gen".
    // Sub-directories, hidden files and other systems' files always stay.
    void listDeletion()
    {
        QFETCH(int, system);
        QFETCH(QString, kinds);
        QFETCH(QString, removed);
        const QString names =
            "gen/GenMiss.txt gen/GenHave.txt gen/GenMiss.txt.bak gen/.GenHave.txt "
            "gen/GenHave.txt.bak gen/GoodGen.db gen/Ren/GenMiss.txt snes/SNESMiss.txt "
            "snes/SNESHave.txt snes/GoodSNES.db sega/MDMiss.txt sega/GoodMD.db "
            "sega/GoodSega.db tools/GoodGen.db tools/GoodSNES.db tools/GoodSega.db "
            "tools/GoodMD.db tools/Good.db tools/other.db tools/GoodGen.db.old";
        const QStringList tree = names.split(u' ');
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        QVERIFY(FileTree::build(root, FileTree::list(tree.join("=|") + u'=')));
        const ListDeletion deletion({{"[Sega", root + "sega/", "GoodMD.exe"},
                                     {"[Gen", root + "gen/", "GoodGen.exe"},
                                     {"[SNES", root + "snes/", "GoodSNES.exe"},
                                     {"[Path", root + "gen/", root + "tools/GoodGen.exe"},
                                     {"[Win", root + "snes/", "C:\\Tools\\GoodSNES.exe"}},
                                    root + "tools/", kinds.contains("beside the ROMs"));
        QCOMPARE(ListDeletion::removeFiles(deletion.chooseFiles(
                     system, kinds.contains("miss"), kinds.contains("have"), kinds.contains("db"))),
                 QStringList());
        QStringList gone = tree;
        gone.removeIf([&root](const QString &file) { return QFile::exists(root + file); });
        QCOMPARE(gone.join(u' '), removed);
    }

    void missListComparison_data()
    {
        QTest::addColumn<QByteArray>("yours");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<QByteArray>("outputs"); // I_Need.txt|They_Need.txt
        using B = QByteArray;
        const auto row = [](const char *name, const B &yours, const B &theirs, const B &outputs) {
            QTest::newRow(name) << yours << theirs << outputs;
        };
        const B h = " You have 3 of 9\nGenesis (V3.23b)\n";
        row("duplicates, case and spaces count", h + "A\nB\nA\nEcco\nC \n", h + "C\nC\necco\n",
            "A\nB\nA\nEcco\nC \n|C\nC\necco\n");
        // As UTF-8 both would decode to the same replacement character.
        row("code page bytes", h + "Caf\xe9\nZ\n", h + "Z\nCaf\xe8\n", "Caf\xe9\n|Caf\xe8\n");
        row("NUL byte", h + B("A\0B\n", 4), h, B("A\0B\n|", 5));
        row("lone CR kept", h + "A\rB\nC\r\r\n", h + "A\nB\nC\n", "A\rB\nC\r\n|A\nB\nC\n");
        row("empty file", "", h + "\n", "|\n");
        // Outputs that may be written are replaced in place where no new file can be made.
        row("locked folder", h + "A\nB\n", h + "B\nC\n", "A\n|C\n");
        // Read as empty, it would give wrong results in place of the last good ones.
        row("their list unreadable", h + "A\n", h, "old\nold\n|old\nold\n");
    }

    void missListComparison()
    {
        QFETCH(QByteArray, yours);
        QFETCH(QByteArray, theirs);
        QFETCH(QByteArray, outputs);
        outputs.replace("\n", TextLineEnd);
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0701) == 0); // for "nobody"
        const QString folder = dir.path() + "/lists/";
        // Permission bits stop root only as another user, whom the locked folder runs as.
        const bool unreadable = QTest::currentDataTag() == QByteArray("their list unreadable");
        const QString theirPath = (unreadable ? dir.path() + u'/' : folder) + "Theirs.txt";
        QVERIFY(writeFile(folder + "I_Need.txt", "old\nold\n") &&
                writeFile(folder + "They_Need.txt", "old\nold\n") &&
                writeFile(folder + "Mine.txt", yours) && writeFile(theirPath, theirs) &&
                ::chmod(QFile::encodeName(theirPath).constData(), unreadable ? 0 : 0644) == 0);
        const auto compare = [&] {
            MissListComparison comparison(folder + "Mine.txt", theirPath);
            return comparison.run() == MissListComparison::Outcome::Complete;
        };
        const std::optional<bool> complete =
            unreadable || QTest::currentDataTag() == QByteArray("locked folder")
                ? LockedFolder::runInLockedFolder(folder, compare)
                : compare();
        if (!complete)
            QSKIP("no folder that admits no new files can be made here");
        QCOMPARE(*complete, !unreadable);
        QCOMPARE(readFile(folder + "I_Need.txt") + '|' + readFile(folder + "They_Need.txt"),
                 outputs);
    }

    // A viewer shows a long file in part, and says so.
    void viewerLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("GenMiss.txt");
        QVERIFY(writeFile(path, "h\r\n\r\nA\r\nB"));
        const QString note = "\n\n[Only the first 6 bytes of the file are shown.]";
        QCOMPARE(*readWholeFileText(path, 6), "h\r\n\r\nA" + note);
        QCOMPARE(*readPreviewListText(path, 6), 'A' + note);
        QCOMPARE(*readWholeFileText(path, 9), "h\r\n\r\nA\r\nB");
    }

    void windows_data()
    {
        QTest::addColumn<WindowScenario>("row");
        const auto row = [](const char *name, const WindowScenario &scenario) {
            QTest::newRow(name) << scenario;
        };
        const QString lists = "Gen roms/GenMiss.txt=h\nh\nSonic\n|friend/Theirs.txt=h\nh\nZool\n";
        const Steps compare{menu("Tools > Compare Miss Lists"),
                            type("Your List", "<root>Gen roms/GenMiss.txt"),
                            type("Their List", "<root>friend/Theirs.txt")};
        const QString eol = TextLineEnd;
        row("compare", {"Gen", lists + "|Gen roms/I_Need.txt=old",
                        compare + Steps{click("Go"), answer(": Compare Complete")}, false, "",
                        "-Gen roms/I_Need.txt=old|+Gen roms/I_Need.txt=Sonic" + eol +
                            "|+Gen roms/They_Need.txt=Zool" + eol});
        // An output that cannot be written, then a list that is not there: the window stays.
        row("compare, an output fails, a list not found",
            {"Gen", lists + "|Gen roms/They_Need.txt/",
             compare + Steps{click("Go"),
                             answer("Warning: Can not write <root>Gen roms/They_Need.txt\n"
                                    "Filename refers to a directory"),
                             type("Their List", "<root>friend/Gone.txt"), click("Go"),
                             answer("Warning: List not found. Check your file paths.")},
             true, "", ""});
        // Nothing is written unless both lists are read in full; a FIFO never answers.
        row("compare, a list that cannot be read",
            {"Gen",
             lists + "|Gen roms/I_Need.txt=old|Gen roms/They_Need.txt=old|Gen roms/Folder.txt/|"
                     "friend/Pipe.txt<fifo>",
             compare + Steps{type("Their List", "/proc/self/mem"), click("Go"),
                             answer("Warning: Problem opening /proc/self/mem\nInput/output error"),
                             type("Their List", "<root>friend/Pipe.txt"), click("Go"),
                             answer("Warning: Problem opening <root>friend/Pipe.txt\nNot a "
                                    "regular file"),
                             type("Their List", "<root>friend/Theirs.txt"),
                             type("Your List", "<root>Gen roms/Folder.txt"), click("Go"),
                             answer("Warning: Problem opening <root>Gen roms/Folder.txt\nNot a "
                                    "regular file")},
             true, "", ""});
        row("Delete Lists, one system of the selector",
            {"NES|Gen", "Gen roms/GenMiss.txt=m|Gen roms/GenHave.txt=h|NES roms/NESMiss.txt=n",
             Steps{menu("Tools > Delete Lists and db Files"), select("[Gen"), check("*Miss.txt"),
                   click("Go"), answer("Finished: Delete Lists Complete")},
             false, "", "-Gen roms/GenMiss.txt=m"});
        row("Delete Lists, no systems",
            {"", "",
             Steps{menu("Tools > Delete Lists and db Files"),
                   answer("Warning: No systems found. Configure Tessary under Main->Config.")},
             false, "", ""});
        // Sorted by Miss while it fills, each system's cells still stay in one row. A FIFO would
        // keep the window waiting for a writer.
        row("summary",
            {"NES|Gen",
             "Gen roms/GenMiss.txt= You are missing 0 of 50\n|Gen roms/GenHave.txt= You have 40 of "
             "50 (V2)\n|NES roms/NESMiss.txt= You are missing 9 of 20\n|NES roms/NESHave.txt<fifo>",
             Steps{menu("View > Rom Collection Summary")}, false,
             "\n[Gen|Gen System|0|40|0|50|(V2)|<root>Gen roms/|#55ff7f"
             "\n[NES|NES System|9|||||<root>NES roms/|#000000",
             ""});
        row("Miss list: Latin-1, cut at NUL",
            {"Gen",
             QString("Gen roms/GenMiss.txt= Miss\r\n\r\nJeu \u00e9t\u00e9\r\n") + QChar(0) + "x",
             Steps{menu("View > *Miss List")}, false, " Miss\n\nJeu \u00c3\u00a9t\u00c3\u00a9\n",
             ""});
        row("Miss list a FIFO",
            {"Gen", "Gen roms/GenMiss.txt<fifo>", Steps{menu("View > *Miss List")}, false,
             "Can not read <root>Gen roms/GenMiss.txt", ""});
        row("Goodinfo.cfg", {"", "tools/Goodinfo.cfg=[Gen\r\n;b",
                             Steps{menu("View > Goodinfo.cfg")}, false, "[Gen\n;b", ""});
        // A real run: the tool writes its Miss list into the temporary directory, never beside
        // the ROMs, and the names show without its header.
        row("preview", {"*GBA", "", Steps{menu("View > Preview Available Roms")}, false,
                        "Comet Courier (E) [b1]\nComet Courier (U) [!]\nComet Courier (U) [o1]\n"
                        "Lantern Keep (J) [!]\nLantern Keep (J) [h1]\nLantern Keep (J) [T+Eng1.1]\n"
                        "Tiny Tactics Demo (PD)\nTiny Tactics Demo (PD) [t1]\n",
                        ""});
    }

    void windows() { runScenario(); }
};

QTEST_MAIN(tst_Lists)
#include "tst_lists.moc"
