#include "lists/listdeletion.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_ListDeletion : public QObject
{
    Q_OBJECT

private slots:
    void deletes_data();
    void deletes();
    void fileThatCanNotBeRemovedIsReported();
};

// "[Sega" runs GoodMD.exe, so naming a database after the key or the tool gives other files.
// "[Path" and "[Win" name their tools by full paths, in the folders of "[Gen" and "[SNES".
static const QStringList Tree =
    QStringLiteral("gen/GenMiss.txt gen/GenHave.txt gen/GenMiss.txt.bak "
                   "gen/GenHave.txt.bak gen/genmiss.txt gen/GoodGen.db gen/GoodGen.exe "
                   "gen/.GenHave.txt gen/Ren/GenMiss.txt gen/Ren/GenHave.txt "
                   "gen/Ren/GoodGen.db snes/SNESMiss.txt snes/SNESHave.txt "
                   "snes/GoodSNES.db sega/MDMiss.txt sega/GoodMD.db sega/GoodSega.db "
                   "tools/GoodGen.db tools/GoodSNES.db tools/GoodSega.db tools/GoodMD.db "
                   "tools/Goodinfo.cfg tools/other.db tools/GoodGen.db.old")
        .split(u' ');

void tst_ListDeletion::deletes_data()
{
    QTest::addColumn<int>("system"); // -1: Clean All
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<bool>("sameAsRomPath");
    QTest::addColumn<QString>("removed");

    QTest::newRow("all Miss: name at the end")
        << -1 << "miss" << false << "gen/GenMiss.txt snes/SNESMiss.txt sega/MDMiss.txt";
    QTest::newRow("all Have: name anywhere")
        << -1 << "have" << true << "gen/GenHave.txt gen/GenHave.txt.bak snes/SNESHave.txt";
    QTest::newRow("all db: tools' directory")
        << -1 << "db" << false
        << "tools/GoodGen.db tools/GoodSNES.db tools/GoodSega.db tools/GoodMD.db";
    QTest::newRow("all db: beside the ROMs")
        << -1 << "db" << true << "gen/GoodGen.db snes/GoodSNES.db sega/GoodMD.db sega/GoodSega.db";
    QTest::newRow("one, exact names")
        << 0 << "miss have db" << false << "gen/GenMiss.txt gen/GenHave.txt tools/GoodGen.db";
    QTest::newRow("one, db in the tools' directory after the key")
        << 2 << "db" << false << "tools/GoodSega.db";
    QTest::newRow("one, beside the ROMs after the tool")
        << 2 << "miss have db" << true << "sega/MDMiss.txt sega/GoodMD.db";
    QTest::newRow("one, tool by its full path")
        << 3 << "miss have db" << true << "gen/GenMiss.txt gen/GenHave.txt gen/GoodGen.db";
    QTest::newRow("one, tool by its Windows path")
        << 4 << "miss have db" << true << "snes/SNESMiss.txt snes/SNESHave.txt snes/GoodSNES.db";
}

// Sub-directories, hidden files and other systems' files always stay.
void tst_ListDeletion::deletes()
{
    QFETCH(int, system);
    QFETCH(QString, kinds);
    QFETCH(bool, sameAsRomPath);
    QFETCH(QString, removed);

    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    for (const QString &file : Tree) {
        QVERIFY(QDir(root).mkpath(QFileInfo(file).path()));
        QVERIFY(QFile(root + file).open(QIODevice::WriteOnly));
    }
    const ListDeletion deletion(
        {{QStringLiteral("[Gen"), root + QStringLiteral("gen/"), QStringLiteral("GoodGen.exe")},
         {QStringLiteral("[SNES"), root + QStringLiteral("snes/"), QStringLiteral("GoodSNES.exe")},
         {QStringLiteral("[Sega"), root + QStringLiteral("sega/"), QStringLiteral("GoodMD.exe")},
         {QStringLiteral("[Path"), root + QStringLiteral("gen/"),
          root + QStringLiteral("tools/GoodGen.exe")},
         {QStringLiteral("[Win"), root + QStringLiteral("snes/"),
          QStringLiteral("C:\\Tools\\GoodSNES.exe")}},
        root + QStringLiteral("tools/"), sameAsRomPath);
    const QStringList chosen = deletion.chooseFiles(system, kinds.contains(QLatin1String("miss")),
                                                    kinds.contains(QLatin1String("have")),
                                                    kinds.contains(QLatin1String("db")));
    QCOMPARE(ListDeletion::removeFiles(chosen), QStringList());

    QSet<QString> expected(Tree.begin(), Tree.end()), left;
    for (const QString &file : removed.split(u' '))
        expected.remove(file);
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left.insert(it.next().mid(root.size()));
    QCOMPARE(left, expected);
}

// Root may remove any file, so a directory stands in for a file that can not be removed; a
// file already gone (chosen twice) is no failure.
void tst_ListDeletion::fileThatCanNotBeRemovedIsReported()
{
    QTemporaryDir dir;
    const QString stuck = dir.filePath(QStringLiteral("GenMiss.txt"));
    const QString gone = dir.filePath(QStringLiteral("SNESMiss.txt"));
    QVERIFY(QDir().mkdir(stuck) && QFile(gone).open(QIODevice::WriteOnly));
    QCOMPARE(ListDeletion::removeFiles({stuck, gone, gone}), QStringList{stuck});
    QVERIFY(!QFile::exists(gone));
}

QTEST_GUILESS_MAIN(tst_ListDeletion)
#include "tst_listdeletion.moc"
