#include "filetree.h"
#include "tasks/rentoroot.h"
#include "tasks/safetransfer.h"
#include "tasks/threadedfunctions.h"
#include "workerreports.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// Moving every file below a ROM directory back into it.
class tst_RenToRoot : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void noFileIsLostOrDoubled();
    void transfersNeverReplace_data();
    void transfersNeverReplace();
    void workerReports_data();
    void workerReports();
};

namespace {

// Longest name the file system takes: one more "_" in front and the move must fail.
const QString LongName = QString(255, u'N');

} // namespace

void tst_RenToRoot::moves_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("failed");

    QTest::newRow("root file stays")
        << QStringList{"a.nes=root"} << QStringList{"a.nes=root"} << QStringList{};
    QTest::newRow("any directory, any depth, emptied ones stay")
        << QStringList{"GenRen/a.gen=1", "x/y/z/b.gen=2", "Dir (with) [odd] & names/c.gen=3",
                       "ünï cödé/d é.gen=4"}
        << QStringList{"Dir (with) [odd] & names/",
                       "GenRen/",
                       "a.gen=1",
                       "b.gen=2",
                       "c.gen=3",
                       "d é.gen=4",
                       "x/",
                       "x/y/",
                       "x/y/z/",
                       "ünï cödé/"}
        << QStringList{};
    QTest::newRow("taken names get underscores in front")
        << QStringList{"a.nes=root", "_a.nes=second", "NESRen/a.nes=third"}
        << QStringList{"NESRen/", "__a.nes=third", "_a.nes=second", "a.nes=root"} << QStringList{};
    QTest::newRow("a directory standing at the name")
        << QStringList{"a.nes/", "sub/a.nes=file"} << QStringList{"_a.nes=file", "a.nes/", "sub/"}
        << QStringList{};
    QTest::newRow("a link to nowhere standing at the name")
        << QStringList{"a.nes->nowhere", "sub/a.nes=file"}
        << QStringList{"_a.nes=file", "a.nes=", "sub/"} << QStringList{};
    QTest::newRow("hidden files and directories untouched")
        << QStringList{".top=0", "sub/.hidden.nes=1", ".hdir/e.nes=2", "sub/f.nes=3"}
        << QStringList{".hdir/", ".hdir/e.nes=2", ".top=0", "f.nes=3", "sub/", "sub/.hidden.nes=1"}
        << QStringList{};
    QTest::newRow("empty tree") << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("no free name: reported, still there")
        << QStringList{LongName + "=root", "sub/" + LongName + "=sub", "sub/g.nes=g"}
        << QStringList{LongName + "=root", "g.nes=g", "sub/", "sub/" + LongName + "=sub"}
        << QStringList{"sub/" + LongName};
}

void tst_RenToRoot::moves()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QStringList, failed);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), before));

    const QStringList reported = moveFilesToRoot(root.path() + u'/');

    QCOMPARE(FileTree::read(root.path()), after);
    QStringList expectedPaths;
    for (const QString &relative : failed)
        expectedPaths << root.path() + u'/' + relative;
    QCOMPARE(reported, expectedPaths);
}

// A tree with many name clashes: afterwards every file is in the root, each content as often
// as before.
void tst_RenToRoot::noFileIsLostOrDoubled()
{
    QTemporaryDir root;
    QRandomGenerator random(9);
    const QStringList dirs{"", "GenRen/", "GenRen/deep/", "Other/", "Other/x y/", ".hidden/"};
    for (int i = 0; i < 400; ++i) {
        const QString name = QStringLiteral("rom%1.gen").arg(random.bounded(60));
        const QString relative = dirs.at(random.bounded(dirs.size())) + name;
        if (!QFile::exists(root.filePath(relative)))
            QVERIFY(FileTree::write(root.path(), relative, QByteArray::number(i)));
    }
    const QList<QByteArray> sumsBefore = FileTree::checksums(root.path());
    const auto hiddenFiles = [&root] {
        return QDir(root.filePath(QStringLiteral(".hidden"))).entryList(QDir::Files);
    };
    const QStringList hiddenBefore = hiddenFiles();

    QVERIFY(moveFilesToRoot(root.path() + u'/').isEmpty());

    QCOMPARE(FileTree::checksums(root.path()), sumsBefore);
    QCOMPARE(hiddenFiles(), hiddenBefore);
    const int inRoot = QDir(root.path()).entryList(QDir::Files).size();
    QCOMPARE(inRoot + hiddenBefore.size(), sumsBefore.size());
}

// Whatever holds the target name, a move or copy onto it leaves both sides as they were.
void tst_RenToRoot::transfersNeverReplace_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("holder");
    for (bool copy : {false, true}) {
        const char *task = copy ? "copy onto " : "move onto ";
        QTest::addRow("%sfile", task) << copy << "target.nes=target";
        QTest::addRow("%sdirectory", task) << copy << "target.nes/";
        QTest::addRow("%slink to nowhere", task) << copy << "target.nes->nowhere";
    }
}

void tst_RenToRoot::transfersNeverReplace()
{
    QFETCH(bool, copy);
    QFETCH(QString, holder);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), {"source.nes=source", holder}));
    const QStringList before = FileTree::read(root.path());
    const QString source = root.filePath(QStringLiteral("source.nes"));
    const QString target = root.filePath(QStringLiteral("target.nes"));

    const TransferResult result =
        copy ? copyWithoutReplacing(source, target) : moveWithoutReplacing(source, target);

    QVERIFY(result != TransferResult::Done);
    QCOMPARE(FileTree::read(root.path()), before);
}

void tst_RenToRoot::workerReports_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("message");
    QTest::newRow("one failed") << QStringList{LongName + "=1", "sub/" + LongName + "=2"}
                                << "Ren To Root Completed\n1 file could not be moved:\n%1/sub/" +
                                       LongName;
    QTest::newRow("two failed") << QStringList{LongName + "=1", "s/" + LongName + "=2",
                                               "t/" + LongName + "=3"}
                                << "Ren To Root Completed\n2 files could not be moved:\n";
}

void tst_RenToRoot::workerReports()
{
    QFETCH(QStringList, before);
    QFETCH(QString, message);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), before));

    ThreadedFunctions worker;
    WorkerReports done(&worker);
    worker.renToRootInvoke(root.path() + u'/');
    QTRY_COMPARE(done.reports.size(), 1);

    const QString text = done.reports.at(0).text;
    if (message.endsWith(u'\n'))
        QVERIFY2(text.startsWith(message) && text.count(u'\n') == 3, qPrintable(text));
    else
        QCOMPARE(text, message.replace(QLatin1String("%1"), root.path()));
    QCOMPARE(done.reports.at(0).deleteThreadedObject, true);
}

QTEST_GUILESS_MAIN(tst_RenToRoot)
#include "tst_rentoroot.moc"
