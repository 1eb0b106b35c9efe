#include "app/mainwindow.h"
#include "democollection.h"
#include "testhelpers.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

using namespace TestHelpers;

// Stands in for the desktop's file manager: records the folders it is asked to open.
class FolderOpener : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

// The collection summary and the View menu's viewers, reached the way a user reaches them: the
// menu actions of the main window, with real list files and the substitute tool.
class tst_ListViewers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void summaryFill();
    void demoListsFillTheSummary_data();
    void demoListsFillTheSummary();
    void viewers_data();
    void viewers();
    void settingsViewer();
    void openRomDirectory();
    void preview_data();
    void preview();
    void previewToolCannotStart();
    void previewList_data();
    void previewList();

private:
    QString root() const { return m_root->path() + u'/'; }
    QString toolDir() const { return root() + QLatin1String("tools/"); }
    QString romDir(const QString &key) const { return root() + key + QLatin1String(" roms/"); }
    QString tempDir() const { return root() + QLatin1String("tmp"); }
    void addSystem(const QString &key, const QString &name);
    void writeFile(const QString &path, const QByteArray &content);
    void startWindow(bool loadSummary = false, const QString &goodExeDir = QString());
    void trigger(const char *action) { child<QAction>(m_window.get(), action)->trigger(); }
    QString output() { return child<QTextEdit>(m_window.get(), "textEdit")->toPlainText(); }
    QTableWidget *summary() { return child<QTableWidget>(m_window.get(), "romSummary"); }

    std::unique_ptr<QTemporaryDir> m_root;
    QByteArray m_systems;
    bool m_sameAsRomPath = false;
    QByteArray m_oldTmpDir;
    std::unique_ptr<MainWindow> m_window;
};

void tst_ListViewers::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(toolDir()));
    QVERIFY(QDir().mkpath(tempDir()));
    // Previews write into the temporary directory: one of the test's own.
    m_oldTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", tempDir().toLocal8Bit());
    m_systems.clear();
    m_sameAsRomPath = false;
}

void tst_ListViewers::cleanup()
{
    m_window.reset();
    removeSettings();
    if (m_oldTmpDir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", m_oldTmpDir);
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
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
}

void tst_ListViewers::startWindow(bool loadSummary, const QString &goodExeDir)
{
    const QString globals =
        QStringLiteral("Good*.exe Directory=%1\nSame as Rom Path=%2\n"
                       "Check Version At Startup=false\n"
                       "Load Summary At Startup=%3\n\n")
            .arg(goodExeDir.isNull() ? toolDir() : goodExeDir, m_sameAsRomPath ? "true" : "false",
                 loadSummary ? "true" : "false");
    QVERIFY(writeSettings(globals.toUtf8() + m_systems));
    m_window = std::make_unique<MainWindow>();
}

void tst_ListViewers::summaryFill()
{
    for (const char *key : {"GBA", "Gen", "NES"})
        addSystem(QLatin1String(key), QLatin1String(key) + QLatin1String(" System"));
    writeFile(romDir("GBA") + "GBAMiss.txt", " You are missing 0 of 90 known GBA ROMS (V1)\r\n");
    writeFile(romDir("GBA") + "GBAHave.txt", " You have 90 of 100 known GBA ROMS (V1)\r\n");
    writeFile(romDir("Gen") + "GenMiss.txt", " You are missing 10 of 50 known Gen ROMS (V2)\r\n");
    writeFile(romDir("Gen") + "GenHave.txt", " You have 40 of 50 known Gen ROMS (V2)\r\n");
    writeFile(romDir("NES") + "NESMiss.txt", " You are missing 9 of 20 known NES ROMS (V3)\r\n");
    startWindow();
    QTableWidget *table = summary();
    QCOMPARE(table->rowCount(), 0); // "Load Summary At Startup=false": no fill at start

    // The user sorted by Miss, descending: the fill must keep each system's cells in one row.
    table->sortByColumn(2, Qt::DescendingOrder);
    trigger("actionRom_Collection_Summary");
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->columnCount(), 8);
    const auto rowTexts = [table](int row) {
        QStringList texts;
        for (int column = 0; column < 8; ++column)
            texts << (table->item(row, column) ? table->item(row, column)->text()
                                               : QStringLiteral("<no cell>"));
        return texts;
    };
    // Text order: "9" above "10".
    QCOMPARE(rowTexts(0), QStringList({"[NES", "NES System", "9", "", "", "", "", romDir("NES")}));
    QCOMPARE(rowTexts(1),
             QStringList({"[Gen", "Gen System", "10", "40", "0", "50", "(V2)", romDir("Gen")}));
    QCOMPARE(rowTexts(2),
             QStringList({"[GBA", "GBA System", "0", "90", "10", "100", "(V1)", romDir("GBA")}));
    QVERIFY(table->isSortingEnabled());

    for (int column = 0; column < 8; ++column) {
        const QBrush complete = table->item(2, column)->background();
        QCOMPARE(complete.color(), QColor(85, 255, 127, 255));
        QCOMPARE(complete.style(), Qt::SolidPattern);
        QCOMPARE(table->item(1, column)->background().style(), Qt::NoBrush);
    }
    QCOMPARE(output(), QString()); // the fill writes nothing into the output area

    // A second fill replaces every cell, and leaves only as many rows as there are systems.
    table->item(2, 1)->setText(QStringLiteral("edited"));
    auto *selector = child<QComboBox>(m_window.get(), "selectSystemComboBox");
    selector->removeItem(selector->findText(QStringLiteral("[Gen Gen System")));
    trigger("actionRom_Collection_Summary");
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(rowTexts(0).mid(0, 3), QStringList({"[NES", "NES System", "9"}));
    QCOMPARE(rowTexts(1).mid(0, 3), QStringList({"[GBA", "GBA System", "0"}));
    QCOMPARE(table->item(0, 0)->background().style(), Qt::NoBrush);
}

void tst_ListViewers::demoListsFillTheSummary_data()
{
    QTest::addColumn<QString>("key");
    for (const DemoSystem &system : demoSystems())
        QTest::newRow(qPrintable(system.key)) << system.key;
}

// The demo set-up's lists, written by the substitute tool, read as counts of the demo data.
void tst_ListViewers::demoListsFillTheSummary()
{
    QFETCH(QString, key);
    const DemoSystem system = demoSystem(key);
    QString error;
    QVERIFY2(installDemoTool(system, QStringLiteral(GOODTOOL_PATH), toolDir(), &error),
             qPrintable(error));
    QVERIFY2(!writeMissingRoms(system, romDir(key), &error).isEmpty(), qPrintable(error));
    QVERIFY2(writeDemoLists(system, toolDir(), romDir(key), &error), qPrintable(error));
    addSystem(key, system.title);
    startWindow(true); // "Load Summary At Startup=true" fills at start

    QSet<QString> have;
    for (const DemoRom &rom : system.roms) {
        if (!rom.goodName.isEmpty())
            have.insert(rom.goodName);
    }
    const qsizetype known = system.database().entries().size();
    QTableWidget *table = summary();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 2)->text(), QString::number(known - have.size()));
    QCOMPARE(table->item(0, 3)->text(), QString::number(have.size()));
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("0")); // no Goodinfo.cfg: none excluded
    QCOMPARE(table->item(0, 5)->text(), QString::number(known));
    QVERIFY(table->item(0, 6)->text().startsWith(u'('));
}

void tst_ListViewers::viewers_data()
{
    QTest::addColumn<bool>("withSystem");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file"); // below the test's root, written before the window starts
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // "<root>" stands for the test's root

    const QByteArray list(" You are missing 1 of 2\r\n\r\nJeu \xe9t\xe9 (F)\r\n");
    QTest::newRow("Miss list, Latin-1")
        << true << "action_Miss_List"
        << "Gen roms/GenMiss.txt" << list << " You are missing 1 of 2\n\nJeu \u00e9t\u00e9 (F)\n";
    QTest::newRow("Have list") << true << "action_Have_List"
                               << "Gen roms/GenHave.txt" << QByteArray("have\n") << "have\n";
    QTest::newRow("cut at NUL") << true << "action_Miss_List"
                                << "Gen roms/GenMiss.txt" << QByteArray("before\0after", 12)
                                << "before";
    QTest::newRow("Miss list absent") << true << "action_Miss_List"
                                      << "Gen roms/GenHave.txt" << QByteArray("have\n")
                                      << "Can not read <root>Gen roms/GenMiss.txt";
    QTest::newRow("Have list absent")
        << true << "action_Have_List"
        << "" << QByteArray() << "Can not read <root>Gen roms/GenHave.txt";
    QTest::newRow("Miss list, no systems") << false << "action_Miss_List"
                                           << "" << QByteArray() << "No systems found.";
    QTest::newRow("Have list, no systems") << false << "action_Have_List"
                                           << "" << QByteArray() << "No systems found.";
    QTest::newRow("Goodinfo.cfg") << false << "actionGoodinfo_cfg"
                                  << "tools/Goodinfo.cfg" << QByteArray("[Gen\r\n;b\0junk", 13)
                                  << "[Gen\n;b";
    QTest::newRow("Goodinfo.cfg absent")
        << false << "actionGoodinfo_cfg"
        << "" << QByteArray() << "Can not read Goodinfo.cfg. Have you set the Good*.exe Directory?";
    QTest::newRow("preview, no systems") << false << "actionPreview_Available_Roms"
                                         << "" << QByteArray() << "No systems to preview.";
    QTest::newRow("rom dir, no systems")
        << false << "actionOpen_Rom_Dir"
        << "" << QByteArray() << "Can not open rom dir. No systems found.";
}

void tst_ListViewers::viewers()
{
    QFETCH(bool, withSystem);
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    if (withSystem)
        addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis"));
    if (!file.isEmpty())
        writeFile(root() + file, content);
    startWindow();
    trigger(action.toLatin1().constData());
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

    startWindow(false, QStringLiteral(""));
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
    FolderOpener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    trigger("actionOpen_Rom_Dir");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(romDir(QStringLiteral("Gen")))});
    QCOMPARE(output(), QString());
}

void tst_ListViewers::preview_data()
{
    QTest::addColumn<bool>("sameAsRomPath");
    QTest::newRow("tool in the Good*.exe directory") << false;
    QTest::newRow("tool in the ROM directory") << true;
}

// The substitute tool runs "list nodb" in the temporary directory; its Miss list there names
// every ROM it knows, and is shown without its header.
void tst_ListViewers::preview()
{
    QFETCH(bool, sameAsRomPath);
    m_sameAsRomPath = sameAsRomPath;
    const DemoSystem system = demoSystem(QStringLiteral("Gen"));
    const QString key = system.key;
    QVERIFY(QDir().mkpath(romDir(key)));
    QString error;
    QVERIFY2(installDemoTool(system, QStringLiteral(GOODTOOL_PATH),
                             sameAsRomPath ? romDir(key) : toolDir(), &error),
             qPrintable(error));
    QVERIFY2(!writeMissingRoms(system, romDir(key), &error).isEmpty(), qPrintable(error));
    addSystem(key, QStringLiteral("Genesis"));
    startWindow();
    child<QTextEdit>(m_window.get(), "textEdit")->setPlainText(QStringLiteral("old"));

    trigger("actionPreview_Available_Roms");
    QCOMPARE(output(), QString()); // cleared, and nothing streamed
    QTRY_VERIFY_WITH_TIMEOUT(!output().isEmpty(), 20000);

    QStringList known;
    const RomDatabase database = system.database();
    for (const RomEntry &entry : database.entries())
        known << entry.name;
    QStringList shown = output().split(u'\n');
    QCOMPARE(shown.takeLast(), QString()); // the last name ends its line
    known.sort();
    shown.sort();
    QCOMPARE(shown, known);
    QVERIFY(QFile::exists(tempDir() + QLatin1String("/GenMiss.txt")));
    QVERIFY(!QFile::exists(romDir(key) + QLatin1String("GenMiss.txt")));
    QCOMPARE(child<QPushButton>(m_window.get(), "Go")->text(), QStringLiteral("Go"));
}

void tst_ListViewers::previewToolCannotStart()
{
    addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis")); // its tool is a text file
    startWindow();
    trigger("actionPreview_Available_Roms");
    QTRY_VERIFY(output().startsWith(QStringLiteral("Can not start ")));
    QVERIFY(output().contains(QStringLiteral("GoodGen.exe")));
}

void tst_ListViewers::previewList_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no list
    QTest::addColumn<QString>("expected");
    QTest::newRow("names after header and blank line")
        << QByteArray(" You are missing 2 of 2\r\n\r\nA (U)\r\nB (E)\r\n") << "A (U)\nB (E)\n";
    QTest::newRow("header only") << QByteArray(" You are missing 0 of 0\r\n") << "";
    QTest::newRow("two lines") << QByteArray(" You are missing 0 of 0\r\nA\r\n") << "";
    QTest::newRow("absent") << QByteArray() << "Can not read <tmp>/GenMiss.txt";
}

void tst_ListViewers::previewList()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    addSystem(QStringLiteral("Gen"), QStringLiteral("Genesis"));
    if (!content.isNull())
        writeFile(tempDir() + QLatin1String("/GenMiss.txt"), content);
    startWindow();
    m_window->ShowAvailableTxt();
    QCOMPARE(output(), expected.replace(QLatin1String("<tmp>"), tempDir()));
}

QTEST_MAIN(tst_ListViewers)
#include "tst_listviewers.moc"
