#include "app/mainwindow.h"
#include "demo/democollection.h"
#include "lists/comparemisslists.h"
#include "lists/deletelists.h"
#include "testhelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

using namespace TestHelpers;

// The collection summary and the View menu's viewers, reached the way a user reaches them: the
// menu actions of the main window, with real list files and the substitute tool.
class tst_ListViewers : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the desktop's file manager.
    void openFolder(const QUrl &url) { m_opened << url; }

private slots:
    void init();
    void cleanup();

    void summaryAndDeleteLists();
    void viewers_data();
    void viewers();
    void settingsViewer();
    void openRomDirectory();
    void demoSummaryAndPreview_data();
    void demoSummaryAndPreview();
    void previewToolCannotStart();
    void deleteListsWithoutSystems();

private:
    QString root() const { return m_root->path() + u'/'; }
    QString toolDir() const { return root() + QLatin1String("tools/"); }
    QString romDir(const QString &key) const { return root() + key + QLatin1String(" roms/"); }
    QString tempDir() const { return root() + QLatin1String("tmp"); }
    void addSystem(const QString &key, const QString &name);
    void writeFile(const QString &path, const QByteArray &content);
    void startWindow(const QByteArray &settings = {});
    void trigger(const QString &action) { child<QAction>(m_window.get(), action)->trigger(); }
    QString cell(int row, int column)
    {
        const QTableWidgetItem *item = summary()->item(row, column);
        return item ? item->text() : QStringLiteral("<no cell>");
    }
    QString output() { return child<QTextEdit>(m_window.get(), "textEdit")->toPlainText(); }
    QTableWidget *summary() { return child<QTableWidget>(m_window.get(), "romSummary"); }

    std::unique_ptr<QTemporaryDir> m_root;
    QByteArray m_systems;
    QByteArray m_oldTmpDir;
    QList<QUrl> m_opened;
    std::unique_ptr<MainWindow> m_window;
};

void tst_ListViewers::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_systems.clear();
    // Previews write into the temporary directory: one of the test's own.
    m_oldTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", tempDir().toLocal8Bit());
    QVERIFY(QDir().mkpath(toolDir()) && QDir().mkpath(tempDir()));
}

void tst_ListViewers::cleanup()
{
    m_window.reset();
    removeSettings();
    qputenv("TMPDIR", m_oldTmpDir); // empty is as good as unset
}

// A system with a ROM directory and a tool file that is only there to be found.
void tst_ListViewers::addSystem(const QString &key, const QString &name)
{
    QVERIFY(QDir().mkpath(romDir(key)));
    const QString tool = QStringLiteral("Good%1.exe").arg(key);
    if (!QFile::exists(toolDir() + tool))
        writeFile(toolDir() + tool, "not a tool\n");
    m_systems += QStringLiteral("[%1=%2\nRom Path=%3\nFile Name=%4\n\n")
                     .arg(key, name, romDir(key), tool)
                     .toUtf8();
}

void tst_ListViewers::writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(content) == content.size(),
             qPrintable(path));
}

// Every setting not given is false; later lines win.
void tst_ListViewers::startWindow(const QByteArray &settings)
{
    QVERIFY(writeSettings("Good*.exe Directory=" + toolDir().toUtf8() + '\n' + settings + '\n' +
                          m_systems));
    m_window = std::make_unique<MainWindow>();
}

// Fill, delete one system's Miss list with Delete Lists, fill again with fewer systems.
void tst_ListViewers::summaryAndDeleteLists()
{
    for (const char *key : {"NES", "Gen", "GBA"}) // selector order: not the sort order
        addSystem(QLatin1String(key), QLatin1String(key) + QLatin1String(" System"));
    writeFile(romDir("GBA") + "GBAMiss.txt", " You are missing 0 of 90 known GBA ROMS (V1)\r\n");
    writeFile(romDir("GBA") + "GBAHave.txt", " You have 90 of 100 known GBA ROMS (V1)\r\n");
    writeFile(romDir("Gen") + "GenMiss.txt", " You are missing 10 of 50 known Gen ROMS (V2)\r\n");
    writeFile(romDir("Gen") + "GenHave.txt", " You have 40 of 50 known Gen ROMS (V2)\r\n");
    writeFile(romDir("NES") + "NESMiss.txt", " You are missing 9 of 20 known NES ROMS (V3)\r\n");
    startWindow();
    QTableWidget *table = summary();
    QCOMPARE(table->rowCount(), 0); // "Load Summary At Startup=false": no fill at start

    // The user sorted by Miss: the fill must keep each system's cells in one row.
    table->sortByColumn(2, Qt::AscendingOrder);
    trigger("actionRom_Collection_Summary");
    const auto rowTexts = [this](int row) {
        QStringList texts;
        for (int column = 0; column < 8; ++column)
            texts << cell(row, column);
        return texts;
    };
    const QBrush green(QColor(85, 255, 127, 255));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(rowTexts(0),
             QStringList({"[GBA", "GBA System", "0", "90", "10", "100", "(V1)", romDir("GBA")}));
    QCOMPARE(rowTexts(1),
             QStringList({"[Gen", "Gen System", "10", "40", "0", "50", "(V2)", romDir("Gen")}));
    QCOMPARE(rowTexts(2), QStringList({"[NES", "NES System", "9", "", "", "", "", romDir("NES")}));
    QVERIFY(table->isSortingEnabled());
    for (int column = 0; column < 8; ++column) {
        QCOMPARE(table->item(0, column)->background(), green);
        QCOMPARE(table->item(1, column)->background().style(), Qt::NoBrush);
    }

    // The menu opens both windows; Delete Lists offers the selector's systems by key.
    trigger("actionCompare_Miss_Lists");
    trigger("actionDelete_Lists_and_db_Files");
    std::unique_ptr<CompareMissLists> compare;
    DeleteLists *deleting = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<CompareMissLists *>(widget))
            compare.reset(window);
        deleting = deleting ? deleting : qobject_cast<DeleteLists *>(widget);
    }
    QVERIFY(compare && deleting);
    auto *box = child<QComboBox>(deleting, "comboBox");
    QCOMPARE(box->count(), 4);
    QCOMPARE(box->itemText(3), QStringLiteral("[GBA"));
    box->setCurrentIndex(3);
    child<QCheckBox>(deleting, "checkBox")->setChecked(true);
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    QTest::mouseClick(child<QPushButton>(deleting, "pushButton"), Qt::LeftButton);
    QCOMPARE(seen.text, QStringLiteral("Delete Lists Complete"));

    // A second fill replaces every cell, and leaves only as many rows as there are systems.
    table->item(0, 1)->setText(QStringLiteral("edited"));
    auto *selector = child<QComboBox>(m_window.get(), "selectSystemComboBox");
    selector->removeItem(selector->findText(QStringLiteral("[NES NES System")));
    trigger("actionRom_Collection_Summary");
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(rowTexts(0),
             QStringList({"[GBA", "GBA System", "", "90", "100", "100", "(V1)", romDir("GBA")}));
    QCOMPARE(rowTexts(1).mid(0, 3), QStringList({"[Gen", "Gen System", "10"}));
    for (int row = 0; row < 2; ++row)
        QCOMPARE(table->item(row, 0)->background().style(), Qt::NoBrush); // none complete now
}

void tst_ListViewers::viewers_data()
{
    QTest::addColumn<QString>("action"); // or the slot that ends a preview
    QTest::addColumn<QString>("file");   // below the test's root, written before the window starts
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // "<root>" stands for the test's root

    using B = QByteArray;
    QTest::newRow("Miss list: Latin-1, cut at NUL")
        << "action_Miss_List"
        << "Gen roms/GenMiss.txt"
        << B(" You are missing 1 of 2\r\n\r\nJeu \xe9t\xe9\r\n") + B("\0x", 2)
        << " You are missing 1 of 2\n\nJeu \u00e9t\u00e9\n";
    QTest::newRow("Have list") << "action_Have_List"
                               << "Gen roms/GenHave.txt" << B("have\n") << "have\n";
    QTest::newRow("Miss list absent")
        << "action_Miss_List"
        << "Gen roms/GenHave.txt" << B("have\n") << "Can not read <root>Gen roms/GenMiss.txt";
    QTest::newRow("Miss list, no systems") << "action_Miss_List"
                                           << "" << B() << "No systems found.";
    QTest::newRow("Goodinfo.cfg") << "actionGoodinfo_cfg"
                                  << "tools/Goodinfo.cfg" << B("[Gen\r\n;b\0junk", 13)
                                  << "[Gen\n;b";
    QTest::newRow("Goodinfo.cfg absent")
        << "actionGoodinfo_cfg"
        << "" << B() << "Can not read Goodinfo.cfg. Have you set the Good*.exe Directory?";
    QTest::newRow("preview, no systems") << "actionPreview_Available_Roms"
                                         << "" << B() << "No systems to preview.";
    QTest::newRow("rom dir, no systems") << "actionOpen_Rom_Dir"
                                         << "" << B() << "Can not open rom dir. No systems found.";
    QTest::newRow("preview list: names after header and blank line")
        << "ShowAvailableTxt"
        << "tmp/GenMiss.txt" << B(" You are missing 2 of 2\r\n\r\nA (U)\r\nB (E)\r\n")
        << "A (U)\nB (E)\n";
    QTest::newRow("preview list absent") << "ShowAvailableTxt"
                                         << "" << B() << "Can not read <root>tmp/GenMiss.txt";
}

void tst_ListViewers::viewers()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    if (!QByteArray(QTest::currentDataTag()).endsWith("no systems"))
        addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis"));
    if (!file.isEmpty())
        writeFile(root() + file, content);
    startWindow();
    if (action == QLatin1String("ShowAvailableTxt"))
        m_window->ShowAvailableTxt();
    else
        trigger(action);
    QCOMPARE(output(), expected.replace(QLatin1String("<root>"), root()));
}

// Tessary.ini beside the program, never in the current directory; Goodinfo.cfg with an empty
// Good*.exe directory in the current directory.
void tst_ListViewers::settingsViewer()
{
    const QString elsewhere = root() + QLatin1String("elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    writeFile(elsewhere + QLatin1String("/Tessary.ini"), "not this one\n");
    writeFile(elsewhere + QLatin1String("/Goodinfo.cfg"), "[NES\r\n");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere));

    startWindow("Good*.exe Directory=\n");
    trigger("actionTessary_ini");
    QCOMPARE(output().toUtf8(), readSettings());
    trigger("actionGoodinfo_cfg");
    QCOMPARE(output(), QStringLiteral("[NES\n"));
    removeSettings();
    trigger("actionTessary_ini");
    QCOMPARE(output(), QStringLiteral("Can not read Tessary.ini"));
    QVERIFY(QDir::setCurrent(before));
}

// Outside Windows the folder goes to the desktop's handler for local files, as a file URL.
void tst_ListViewers::openRomDirectory()
{
    addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis"));
    startWindow();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFolder");
    trigger("actionOpen_Rom_Dir");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(romDir(QStringLiteral("Gen")))});
}

void tst_ListViewers::demoSummaryAndPreview_data()
{
    QTest::addColumn<bool>("sameAsRomPath");
    QTest::newRow("tool in the Good*.exe directory") << false;
    QTest::newRow("tool in the ROM directory") << true;
}

// The demo set-up's lists, written by the substitute tool, fill the summary at start with the
// counts of the demo data. A preview runs the tool with "list nodb" in the temporary directory:
// its Miss list there names every ROM the tool knows, and is shown without its header.
void tst_ListViewers::demoSummaryAndPreview()
{
    QFETCH(bool, sameAsRomPath);
    const DemoSystem system = demoSystem(QStringLiteral("Gen"));
    const QString roms = romDir(system.key);
    const QString tools = sameAsRomPath ? roms : toolDir();
    QString error;
    QVERIFY(QDir().mkpath(roms));
    QVERIFY2(installDemoTool(system, QStringLiteral(GOODTOOL_PATH), tools, &error),
             qPrintable(error));
    QVERIFY2(!writeMissingRoms(system, roms, &error).isEmpty(), qPrintable(error));
    QVERIFY2(writeDemoLists(system, tools, roms, &error), qPrintable(error));
    addSystem(system.key, QStringLiteral("Genesis"));
    startWindow(sameAsRomPath ? "Load Summary At Startup=true\nSame as Rom Path=true"
                              : "Load Summary At Startup=true"); // fills at start

    QStringList known;
    const RomDatabase database = system.database(); // entries() refers into it
    for (const RomEntry &entry : database.entries())
        known << entry.name;
    const qsizetype missing = system.missingNames.size();
    const QStringList counts{QString::number(missing), QString::number(known.size() - missing), "0",
                             QString::number(known.size())};
    QCOMPARE(summary()->rowCount(), 1);
    QCOMPARE(QStringList({cell(0, 2), cell(0, 3), cell(0, 4), cell(0, 5)}), counts);
    QVERIFY(cell(0, 6).startsWith(u'('));

    child<QTextEdit>(m_window.get(), "textEdit")->setPlainText(QStringLiteral("old"));
    trigger("actionPreview_Available_Roms");
    QCOMPARE(output(), QString()); // cleared, and nothing streamed
    QTRY_VERIFY_WITH_TIMEOUT(!output().isEmpty(), 20000);
    QStringList shown = output().split(u'\n');
    QCOMPARE(shown.takeLast(), QString()); // the last name ends its line
    known.sort();
    shown.sort();
    QCOMPARE(shown, known);
    QCOMPARE(child<QPushButton>(m_window.get(), "Go")->text(), QStringLiteral("Go"));
    // The system's own lists are untouched.
    trigger("actionRom_Collection_Summary");
    QCOMPARE(cell(0, 2), counts.first());
}

void tst_ListViewers::previewToolCannotStart()
{
    addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis")); // its tool is a text file
    startWindow();
    trigger("actionPreview_Available_Roms");
    QTRY_VERIFY(output().startsWith(QStringLiteral("Can not start ")));
    QVERIFY(output().contains(QStringLiteral("GoodGen.exe")));
}

// A system without a key gets no item; with no item the window warns and closes.
void tst_ListViewers::deleteListsWithoutSystems()
{
    MessageSeen seen;
    acceptNextMessageBox(&seen);
    const QStringList none{QString()};
    QPointer<QWidget> window = new DeleteLists(none, none, none, QString(), true, 0, 0, 736);
    QCOMPARE(seen.title + u'|' + seen.text,
             QStringLiteral("Warning|No systems found. Configure Tessary under Main->Config."));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
}

QTEST_MAIN(tst_ListViewers)
#include "tst_listviewers.moc"
