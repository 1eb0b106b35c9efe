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
    void fileThatCanNotBeRemovedIsReported();
};

namespace {

// "[Sega" runs GoodMD.exe, so naming a database after the key or the tool gives other files.
const QStringList Tree =
    QStringLiteral("gen/GenMiss.txt gen/GenHave.txt gen/GenMiss.txt.bak "
                   "gen/GenHave.txt.bak gen/genmiss.txt gen/GoodGen.db gen/GoodGen.exe "
                   "gen/.GenHave.txt gen/Ren/GenMiss.txt gen/Ren/GenHave.txt "
                   "gen/Ren/GoodGen.db snes/SNESMiss.txt snes/SNESHave.txt "
                   "snes/GoodSNES.db sega/MDMiss.txt sega/GoodMD.db sega/GoodSega.db "
                   "tools/GoodGen.db tools/GoodSNES.db tools/GoodSega.db tools/GoodMD.db "
                   "tools/Goodinfo.cfg tools/other.db tools/GoodGen.db.old")
        .split(u' ');

bool makeTree(const QString &root, const QStringList &files)
{
    for (const QString &file : files) {
        QFile out(root + u'/' + file);
        if (!QDir(root).mkpath(QFileInfo(file).path()) || !out.open(QIODevice::WriteOnly))
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

} // namespace

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
    QTest::newRow("one Miss: exact name") << 0 << "miss" << false << "gen/GenMiss.txt";
    QTest::newRow("one, lists after the tool") << 2 << "miss have" << false << "sega/MDMiss.txt";
    QTest::newRow("one db: tools' directory, after the key")
        << 2 << "db" << false << "tools/GoodSega.db";
    QTest::newRow("one db: beside the ROMs, after the tool")
        << 2 << "db" << true << "sega/GoodMD.db";
    QTest::newRow("one, every kind")
        << 1 << "miss have db" << false << "snes/SNESMiss.txt snes/SNESHave.txt tools/GoodSNES.db";
}

// Sub-directories, hidden files and other systems' files always stay.
void tst_ListDeletion::deletes()
{
    QFETCH(int, system);
    QFETCH(QString, kinds);
    QFETCH(bool, sameAsRomPath);
    QFETCH(QString, removed);

    QTemporaryDir dir;
    QVERIFY(makeTree(dir.path(), Tree));
    const QString root = dir.path() + u'/';
    const ListDeletion deletion(
        {{QStringLiteral("[Gen"), root + QStringLiteral("gen/"), QStringLiteral("GoodGen.exe")},
         {QStringLiteral("[SNES"), root + QStringLiteral("snes/"), QStringLiteral("GoodSNES.exe")},
         {QStringLiteral("[Sega"), root + QStringLiteral("sega/"), QStringLiteral("GoodMD.exe")}},
        root + QStringLiteral("tools/"), sameAsRomPath);
    const QStringList chosen = deletion.chooseFiles(system, kinds.contains(QLatin1String("miss")),
                                                    kinds.contains(QLatin1String("have")),
                                                    kinds.contains(QLatin1String("db")));
    QCOMPARE(ListDeletion::removeFiles(chosen), QStringList());

    QSet<QString> expected(Tree.begin(), Tree.end());
    for (const QString &file : removed.split(u' ', Qt::SkipEmptyParts))
        expected.remove(file);
    QCOMPARE(filesUnder(dir.path()), expected);
}

// Root may remove any file, so a directory stands in for a file that can not be removed; a
// file already gone (chosen twice) is no failure.
void tst_ListDeletion::fileThatCanNotBeRemovedIsReported()
{
    QTemporaryDir dir;
    QVERIFY(makeTree(dir.path(), {QStringLiteral("SNESMiss.txt")}));
    const QString stuck = dir.filePath(QStringLiteral("GenMiss.txt"));
    QVERIFY(QDir().mkdir(stuck));
    const QString gone = dir.filePath(QStringLiteral("SNESMiss.txt"));
    QCOMPARE(ListDeletion::removeFiles({stuck, gone, gone}), QStringList{stuck});
    QVERIFY(!QFile::exists(gone));
}

QTEST_GUILESS_MAIN(tst_ListDeletion)
#include "tst_listdeletion.moc"
