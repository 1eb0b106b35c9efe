#include "lists/listdeletion.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_ListDeletion : public QObject
{
    Q_OBJECT

private slots:
    void deletes_data();
    void deletes();
    void sharedDirectoryIsNoFailure();
    void fileThatCanNotBeRemovedIsReported();
    void emptyPathIsNotTheCurrentDirectory();
};

namespace {

// Two systems whose files follow their tool, and one whose key and tool differ ("[Sega" runs
// GoodMD.exe), so the two ways of naming a database give different files.
const QStringList Tree = {
    QStringLiteral("gen/GenMiss.txt"),      QStringLiteral("gen/GenHave.txt"),
    QStringLiteral("gen/GenMiss.txt.bak"),  QStringLiteral("gen/GenHave.txt.bak"),
    QStringLiteral("gen/genmiss.txt"),      QStringLiteral("gen/GoodGen.db"),
    QStringLiteral("gen/GoodGen.exe"),      QStringLiteral("gen/Sonic (W) [!].bin"),
    QStringLiteral("gen/.GenHave.txt"),     QStringLiteral("gen/Ren/GenMiss.txt"),
    QStringLiteral("gen/Ren/GenHave.txt"),  QStringLiteral("gen/Ren/GoodGen.db"),
    QStringLiteral("snes/SNESMiss.txt"),    QStringLiteral("snes/SNESHave.txt"),
    QStringLiteral("snes/GoodSNES.db"),     QStringLiteral("sega/MDMiss.txt"),
    QStringLiteral("sega/GoodMD.db"),       QStringLiteral("sega/GoodSega.db"),
    QStringLiteral("tools/GoodGen.db"),     QStringLiteral("tools/GoodSNES.db"),
    QStringLiteral("tools/GoodSega.db"),    QStringLiteral("tools/GoodMD.db"),
    QStringLiteral("tools/Goodinfo.cfg"),   QStringLiteral("tools/other.db"),
    QStringLiteral("tools/GoodGen.db.old"),
};

bool makeTree(const QString &root, const QStringList &files)
{
    for (const QString &file : files) {
        const QString path = root + u'/' + file;
        QFile out(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !out.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

QSet<QString> filesUnder(const QString &root)
{
    QSet<QString> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(QDir(root).relativeFilePath(it.next()));
    return files;
}

QList<ListDeletion::System> systemsIn(const QString &root)
{
    return {
        {QStringLiteral("[Gen"), root + QStringLiteral("/gen/"), QStringLiteral("GoodGen.exe")},
        {QStringLiteral("[SNES"), root + QStringLiteral("/snes/"), QStringLiteral("GoodSNES.exe")},
        {QStringLiteral("[Sega"), root + QStringLiteral("/sega/"), QStringLiteral("GoodMD.exe")}};
}

} // namespace

void tst_ListDeletion::deletes_data()
{
    QTest::addColumn<int>("system"); // -1: Clean All
    QTest::addColumn<bool>("miss");
    QTest::addColumn<bool>("have");
    QTest::addColumn<bool>("db");
    QTest::addColumn<bool>("sameAsRomPath");
    QTest::addColumn<QStringList>("removed");

    QTest::newRow("all: Miss lists end with the name")
        << -1 << true << false << false << false
        << QStringList{"gen/GenMiss.txt", "snes/SNESMiss.txt", "sega/MDMiss.txt"};
    QTest::newRow("all: Have lists carry the name anywhere")
        << -1 << false << true << false << false
        << QStringList{"gen/GenHave.txt", "gen/GenHave.txt.bak", "snes/SNESHave.txt"};
    QTest::newRow("all: databases in the tools' directory")
        << -1 << false << false << true << false
        << QStringList{"tools/GoodGen.db", "tools/GoodSNES.db", "tools/GoodSega.db",
                       "tools/GoodMD.db"};
    QTest::newRow("all: databases beside the ROMs")
        << -1 << false << false << true << true
        << QStringList{"gen/GoodGen.db", "snes/GoodSNES.db", "sega/GoodMD.db", "sega/GoodSega.db"};
    QTest::newRow("all: every kind")
        << -1 << true << true << true << true
        << QStringList{"gen/GenMiss.txt", "snes/SNESMiss.txt",   "sega/MDMiss.txt",
                       "gen/GenHave.txt", "gen/GenHave.txt.bak", "snes/SNESHave.txt",
                       "gen/GoodGen.db",  "snes/GoodSNES.db",    "sega/GoodMD.db",
                       "sega/GoodSega.db"};
    QTest::newRow("all: nothing checked") << -1 << false << false << false << true << QStringList();
    QTest::newRow("one: Miss list by exact name")
        << 0 << true << false << false << false << QStringList{"gen/GenMiss.txt"};
    QTest::newRow("one: Have list by exact name")
        << 0 << false << true << false << true << QStringList{"gen/GenHave.txt"};
    QTest::newRow("one: list named after the tool")
        << 2 << true << true << false << false << QStringList{"sega/MDMiss.txt"};
    QTest::newRow("one: database in the tools' directory, named after the key")
        << 2 << false << false << true << false << QStringList{"tools/GoodSega.db"};
    QTest::newRow("one: database beside the ROMs, named after the tool")
        << 2 << false << false << true << true << QStringList{"sega/GoodMD.db"};
    QTest::newRow("one: every kind, tools' directory")
        << 1 << true << true << true << false
        << QStringList{"snes/SNESMiss.txt", "snes/SNESHave.txt", "tools/GoodSNES.db"};
    QTest::newRow("one: every kind, beside the ROMs")
        << 0 << true << true << true << true
        << QStringList{"gen/GenMiss.txt", "gen/GenHave.txt", "gen/GoodGen.db"};
}

// Sub-directories, hidden files and other systems' files always stay.
void tst_ListDeletion::deletes()
{
    QFETCH(int, system);
    QFETCH(bool, miss);
    QFETCH(bool, have);
    QFETCH(bool, db);
    QFETCH(bool, sameAsRomPath);
    QFETCH(QStringList, removed);

    QTemporaryDir dir;
    QVERIFY(makeTree(dir.path(), Tree));
    const ListDeletion deletion(systemsIn(dir.path()), dir.path() + QStringLiteral("/tools/"),
                                sameAsRomPath);

    const QStringList chosen = deletion.chooseFiles(system, miss, have, db);
    QCOMPARE(ListDeletion::removeFiles(chosen), QStringList());

    QSet<QString> expected(Tree.begin(), Tree.end());
    for (const QString &file : removed)
        expected.remove(file);
    QCOMPARE(filesUnder(dir.path()), expected);
    QCOMPARE(chosen.size(), removed.size());
}

void tst_ListDeletion::sharedDirectoryIsNoFailure()
{
    QTemporaryDir dir;
    QVERIFY(makeTree(dir.path(),
                     {QStringLiteral("roms/GenMiss.txt"), QStringLiteral("roms/SNESMiss.txt")}));
    const QString roms = dir.path() + QStringLiteral("/roms/");
    const ListDeletion deletion({{QStringLiteral("[Gen"), roms, QStringLiteral("GoodGen.exe")},
                                 {QStringLiteral("[SNES"), roms, QStringLiteral("GoodSNES.exe")}},
                                QString(), false);

    const QStringList chosen = deletion.chooseFiles(-1, true, false, false);
    QCOMPARE(chosen.size(), 4);
    QCOMPARE(ListDeletion::removeFiles(chosen), QStringList());
    QVERIFY(filesUnder(roms).isEmpty());
}

// Root may remove any file, so a directory stands in for a file that can not be removed.
void tst_ListDeletion::fileThatCanNotBeRemovedIsReported()
{
    QTemporaryDir dir;
    const QString stuck = dir.filePath(QStringLiteral("GenMiss.txt"));
    QVERIFY(QDir().mkdir(stuck));
    QVERIFY(makeTree(dir.path(), {QStringLiteral("SNESMiss.txt")}));
    const QString gone = dir.filePath(QStringLiteral("SNESMiss.txt"));

    QCOMPARE(ListDeletion::removeFiles({stuck, gone, dir.filePath(QStringLiteral("none.txt"))}),
             QStringList{stuck});
    QVERIFY(!QFile::exists(gone));
}

// An unresolved system has an empty ROM path, and the tools' directory may be empty: neither
// may stand for the working directory, which is whatever ROM directory a tool last ran in.
void tst_ListDeletion::emptyPathIsNotTheCurrentDirectory()
{
    QTemporaryDir dir;
    QVERIFY(makeTree(dir.path(), {QStringLiteral("GenMiss.txt"), QStringLiteral("GoodGen.db")}));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const ListDeletion deletion(
        {{QStringLiteral("[Gen"), QString(), QStringLiteral("GoodGen.exe")}}, QString(), false);
    const QStringList chosen =
        deletion.chooseFiles(-1, true, true, true) + deletion.chooseFiles(0, true, true, true);
    QDir::setCurrent(previous);
    QCOMPARE(chosen, QStringList());
}

QTEST_GUILESS_MAIN(tst_ListDeletion)
#include "tst_listdeletion.moc"
