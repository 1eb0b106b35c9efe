#include "filetree.h"
#include "tasks/rentoroot.h"
#include "tasks/safetransfer.h"
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
};

namespace {

// Longest name the file system takes: one more "_" in front and the move must fail.
const QString N = QString(255, u'N');
const QString Completed = QStringLiteral("Ren To Root Completed");

// Trees as "|"-separated entries; the report's lines too, the paths after its second line
// sorted, with <r> for the root.
void row(const char *name, const QString &before, const QString &after,
         const QString &report = Completed)
{
    QTest::newRow(name) << FileTree::list(before) << FileTree::list(after) << report;
}

} // namespace

void tst_RenToRoot::moves_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("report");
    row("empty tree", "", "");
    row("nested and oddly named directories emptied, kept",
        "GenRen/a.gen=1|x/y/z/b.gen=2|Dir (with) [odd] & names/c.gen=3|ünï cödé/d é.gen=4",
        "Dir (with) [odd] & names/|GenRen/|a.gen=1|b.gen=2|c.gen=3|d é.gen=4|x/|x/y/|x/y/z/|ünï "
        "cödé/");
    row("root files stay, taken names get underscores", "a.nes=0|_a.nes=1|NESRen/a.nes=2",
        "NESRen/|__a.nes=2|_a.nes=1|a.nes=0");
    row("a directory or a link to nowhere holds a name", "a.nes/|b.nes->none|s/a.nes=1|s/b.nes=2",
        "_a.nes=1|_b.nes=2|a.nes/|b.nes=|s/");
    row("hidden files and directories untouched", ".top=0|s/.hid.nes=1|.hdir/e.nes=2|s/f.nes=3",
        ".hdir/|.hdir/e.nes=2|.top=0|f.nes=3|s/|s/.hid.nes=1");
    row("no free name: reported, still there", N + "=0|s/" + N + "=1|s/g.nes=2",
        N + "=0|g.nes=2|s/|s/" + N + "=1", Completed + "|1 file could not be moved:|<r>/s/" + N);
    row("two reported", N + "=0|s/" + N + "=1|t/" + N + "=2",
        N + "=0|s/|s/" + N + "=1|t/|t/" + N + "=2",
        Completed + "|2 files could not be moved:|<r>/s/" + N + "|<r>/t/" + N);
}

void tst_RenToRoot::moves()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, report);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), before));

    const WorkerReport done =
        runOnWorker([&](ThreadedFunctions &worker) { worker.renToRootInvoke(root.path() + u'/'); });

    QCOMPARE(FileTree::read(root.path()), after);
    QCOMPARE(done.count, 1);
    QVERIFY(done.deleteThreadedObject);
    QStringList lines = done.text.split(u'\n');
    if (lines.size() > 2)
        std::sort(lines.begin() + 2, lines.end());
    QCOMPARE(lines, report.replace(QLatin1String("<r>"), root.path()).split(u'|'));
}

// Many name clashes: afterwards every file but the hidden ones is in the root, each content as
// often as before.
void tst_RenToRoot::noFileIsLostOrDoubled()
{
    QTemporaryDir root;
    QRandomGenerator random(9);
    const QStringList dirs{"", "GenRen/", "GenRen/deep/", "Other/", "Other/x y/", ".hidden/"};
    for (int i = 0; i < 400; ++i) {
        const QString relative = dirs.at(random.bounded(dirs.size())) +
                                 QStringLiteral("rom%1.gen").arg(random.bounded(60));
        if (!QFile::exists(root.filePath(relative)))
            QVERIFY(FileTree::write(root.path(), relative, QByteArray::number(i)));
    }
    const QList<QByteArray> sums = FileTree::checksums(root.path());
    const QDir hidden(root.filePath(QStringLiteral(".hidden")));
    const QStringList hiddenBefore = hidden.entryList(QDir::Files);

    QVERIFY(moveFilesToRoot(root.path() + u'/').isEmpty());

    QCOMPARE(FileTree::checksums(root.path()), sums);
    QCOMPARE(hidden.entryList(QDir::Files), hiddenBefore);
    QCOMPARE(QDir(root.path()).entryList(QDir::Files).size() + hiddenBefore.size(), sums.size());
}

// Whatever holds the target name, a move or copy onto it leaves both sides as they were.
void tst_RenToRoot::transfersNeverReplace_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("holder");
    for (const QString holder : {"t.nes=target", "t.nes/", "t.nes->nowhere"}) {
        QTest::addRow("move onto %s", qPrintable(holder)) << false << holder;
        QTest::addRow("copy onto %s", qPrintable(holder)) << true << holder;
    }
}

void tst_RenToRoot::transfersNeverReplace()
{
    QFETCH(bool, copy);
    QFETCH(QString, holder);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), {"s.nes=source", holder}));
    const QStringList before = FileTree::read(root.path());
    const QString source = root.filePath(QStringLiteral("s.nes"));
    const QString target = root.filePath(QStringLiteral("t.nes"));

    QVERIFY((copy ? copyWithoutReplacing(source, target) : moveWithoutReplacing(source, target)) !=
            TransferResult::Done);
    QCOMPARE(FileTree::read(root.path()), before);
}

QTEST_GUILESS_MAIN(tst_RenToRoot)
#include "tst_rentoroot.moc"
