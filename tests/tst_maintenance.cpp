#include "filetree.h"
#include "lockedfolder.h"
#include "maintenance/goodinfo.h"
#include "maintenance/goodinfoswipe.h"
#include "maintenance/romdeletion.h"
#include "tessarytest.h"

#include <QCheckBox>
#include <QTest>

using namespace TessaryTest;

// The ROM flags, the Goodinfo.cfg swipe and Delete Roms: rules on text, and the windows reached
// through the menu.
class tst_Maintenance : public QObject
{
    Q_OBJECT

private slots:
    void swipe_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QList<int>>("boxes"); // 1 to 10 of the flag table, 0 for Exclude None
        QTest::addColumn<QString>("custom");
        QTest::addColumn<QByteArray>("output");
        const auto row = [](const char *name, const QByteArray &input, const char *section,
                            QList<int> boxes, const QByteArray &output, const char *custom = "") {
            QTest::newRow(name) << input << QString(section) << boxes << QString(custom) << output;
        };
        const char *all = "Swipe All";
        // Each box's text, case-sensitive; the custom text is no pattern and keeps its spaces.
        const QByteArray flags = "[b\n[o\n[h\n[t\nHack)\n[p\n(PD)\n[T\n[f\n[B\nhack)\nPD\n(pd)\n";
        row("odd boxes", flags, all, {1, 3, 5, 7, 9},
            "[b;;n\n[o\n[h;;n\n[t\nHack);;n\n[p\n(PD);;n\n[T\n[f;;n\n[B\nhack)\nPD\n(pd)\n");
        row("even boxes", flags, all, {2, 4, 6, 8},
            "[b\n[o;;n\n[h\n[t;;n\nHack)\n[p;;n\n(PD)\n[T;;n\n[f\n[B\nhack)\nPD\n(pd)\n");
        row("custom text", "a (E)\na(E)\n.*\n", all, {10}, "a (E);;n\na(E)\n.*\n", " (E)");
        row("swipe all: every line", "[b top\n[Gen\n[b;x\n[NES\n[b;x;\n[b;N\n", all, {1},
            "[b top;;n\n[Gen\n[b;x;n\n[NES\n[b;x;n\n[b;N;n\n");
        row("section: an unknown header does not end it", "[b\n[Gen\n[b\n[GBA\n[b\n[NES\n[b\n",
            "[Gen", {1}, "[b\n[Gen\n[b;;n\n[GBA\n[b;;n\n[NES\n[b\n");
        row("exclude none", "[b;;n\n[b;x;n\nx;n\nx;;;n\n[b;N\nn\n", all, {0},
            "[b\n[b;x\nx\nx;\n[b;N\nn\n");
        row("empty custom marks all", "a\n\n[b;\n", all, {10}, "a;;n\n;;n\n[b;n\n");
        // A lone CR stays in its line; the CRs before a line end belong to it: written with LF
        // alone, "x\r" would read back as "x" and the next swipe would change it.
        row("CRs", "a\r[b\n[b\r\r\nx\r\r\r\ny\r\r", all, {1}, "a\r[b;;n\n[b;;n\nx\ny\n");
        row("byte order mark, non-UTF-8 bytes", "\xEF\xBB\xBF[Gen\n[b caf\xe9\n\xff\xfe;x\n",
            "[Gen", {1}, "\xEF\xBB\xBF[Gen\n[b caf\xe9;;n\n\xff\xfe;x\n");
    }

    // A second swipe with the same boxes changes nothing.
    void swipe()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, section);
        QFETCH(QList<int>, boxes);
        QFETCH(QString, custom);
        QFETCH(QByteArray, output);
        output.replace("\n", TextLineEnd); // Goodinfo.cfg as the system's programs write it
        const bool excludeNone = boxes.removeAll(0) > 0;
        RomFlagFilter filter{{}, custom, true};
        for (int box : boxes)
            filter.checked[box - 1] = true;
        const GoodinfoSwipe swipe(section, {"Swipe All", "[Gen", "[NES"}, filter, excludeNone);
        for (const QByteArray &text : {input, output})
            QCOMPARE(GoodinfoSwipe(swipe).swipe(text), output);
    }

    // The file stays whole, and nothing is left beside it, when the new text cannot replace it:
    // when its folder moves away once the new text is written, and when the folder admits no
    // new file (written in place, a crash would cut it). A file whose temporary neighbour cannot
    // be named shows in the windows table.
    void swipeFailures()
    {
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0701) == 0); // for "nobody"
        const QString folder = dir.path() + "/tools", path = folder + "/Goodinfo.cfg";
        QVERIFY(writeFile(path, "[b\r\n"));
        // No box: only the line ends change.
        const GoodinfoSwipe swipe("Swipe All", {"Swipe All"}, RomFlagFilter(), false);
#ifndef Q_OS_WIN // a folder with an open file in it cannot move on Windows
        QCOMPARE(
            swipeGoodinfoFile(path, swipe, [&] { QDir().rename(folder, folder + "2"); }).status,
            SwipeOutcome::WriteFailed);
        QVERIFY(QDir().rename(folder + "2", folder));
#endif
        // Nothing to see where such a folder cannot be made.
        QVERIFY(LockedFolder::runInLockedFolder(folder, [&] {
                    return swipeGoodinfoFile(path, swipe).status == SwipeOutcome::WriteFailed;
                }).value_or(true));
#ifndef Q_OS_WIN // no file size limit to fill the disk with
        QCOMPARE(onFullDisk([&] { return swipeGoodinfoFile(path, swipe).status; }),
                 SwipeOutcome::WriteFailed);
#endif
        QCOMPARE(FileTree::read(dir.path()), QStringList({"tools/", "tools/Goodinfo.cfg=[b\r\n"}));
    }

    // Sorted by character code, failures first.
    void deletionReport()
    {
        QCOMPARE(deleteFiles({"/no/such/rom"}).failed, QStringList{"/no/such/rom"});
        QCOMPARE(romDeletionReport({{"/r/b", "/r/B"}, {"/r/y", "/r/x"}}, true),
                 "FAILED to delete 2 roms\n\n/r/x\n/r/y\n\nDeleted 2 roms\n\n/r/B\n/r/b");
    }

    // Each flag box takes "Exclude None" off, and "Exclude None" takes each flag box off.
    void excludeNone()
    {
        GoodInfo window({}, {}, 0, 0, 736);
        auto *excludeNone = window.findChild<QCheckBox *>("checkBox_7");
        for (const RomFlag &flag : RomFlags) {
            auto *box = window.findChild<QCheckBox *>(flag.objectName);
            excludeNone->setChecked(true);
            box->click();
            QVERIFY2(box->isChecked() && !excludeNone->isChecked(), flag.objectName);
            excludeNone->click();
            QVERIFY2(!box->isChecked(), flag.objectName);
        }
    }

    void windows_data()
    {
        QTest::addColumn<WindowScenario>("row");
        const auto row = [](const char *name, const WindowScenario &scenario) {
            QTest::newRow(name) << scenario;
        };
        const QString roms =
            "NES roms/|A [b1].bin=|Gen roms/A [b1].bin=|Gen roms/B [!].bin=|Gen "
            "roms/.E [b1].bin=|Gen roms/sub/F [b1].bin=|Gen roms/G [b1]/plain.bin=";
        const Steps deleteRoms{menu("Tools > Delete Specified Roms"), select("[Gen"),
                               check("Bad Dumps")};
        row("Delete Roms",
            {"NES|Gen", roms, deleteRoms + Steps{click("Go")}, false,
             "Deleted 1 roms\n\n<root>Gen roms/A [b1].bin", "-Gen roms/A [b1].bin="});
        row("Delete Roms, sub directories",
            {"NES|Gen", roms, deleteRoms + Steps{check("Scan Sub Directories"), click("Go")}, false,
             "Deleted 2 roms \n\n<root>Gen roms/A [b1].bin\n<root>Gen roms/sub/F [b1].bin",
             "-Gen roms/A [b1].bin=|-Gen roms/sub/F [b1].bin="});
        // An empty name is no directory either: as the current one it would be the root here.
        row("Delete Roms, missing or empty directory",
            {"NES|Gen", roms,
             deleteRoms + Steps{type("Rom Directory", "/no/such/directory"), click("Go"),
                                type("Rom Directory", ""), click("Go")},
             true, "", ""});
        const Steps swipe{menu("Tools > Goodinfo.cfg Swipe"), select("[NES"), check("Bad Dumps"),
                          click("Go")};
        const QString swiped = QString("[Gen\n[b\n[NES\n[b;;n\n").replace("\n", TextLineEnd);
        row("swipe", {"NES|Gen", "tools/Goodinfo.cfg=[Gen\r\n[b\r\n[NES\r\n[b\r\n",
                      swipe + Steps{answer("Finished: Goodinfo.cfg Swipe Complete")}, false, "",
                      "-tools/Goodinfo.cfg=[Gen\r\n[b\r\n[NES\r\n[b\r\n|"
                      "+tools/Goodinfo.cfg=" +
                          swiped});
        // No file with a name this long can have a temporary neighbour with a longer one. A FIFO
        // would keep the window waiting for a writer.
        const QString name = "tools/" + QString(250, u'g');
        row("swipe, file missing, no room beside it, a FIFO",
            {"NES|Gen", name + "=[b\r\n|tools/pipe<fifo>",
             swipe + Steps{answer("Warning: <root>tools/Goodinfo.cfg doesn't exist."),
                           type("Goodinfo.cfg", "<root>" + name), click("Go"),
                           answer("Warning: Can not write <root>" + name +
                                  "\nUnknown error\nThe file is unchanged."),
                           type("Goodinfo.cfg", "<root>tools/pipe"), click("Go"),
                           answer("Warning: Problem reading Goodinfo.cfg\n<root>tools/pipe\n"
                                  "Not a regular file")},
             true, "", ""});
    }

    void windows()
    {
        runScenario();
    }
};

QTEST_MAIN(tst_Maintenance)
#include "tst_maintenance.moc"
