#include "filetree.h"
#include "tasks/rentoroot.h"
#include "tasks/safetransfer.h"
#include "workerreports.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void movesAcrossFileSystems_data();
    void movesAcrossFileSystems();
};

namespace {

// Longest name the file system takes: one more "_" in front and the move must fail.
const QString N = QString(255, u'N');
const QString Completed = QStringLiteral("Ren To Root Completed");

// Trees as "|"-separated entries; the report's lines too, the paths after its second line
// sorted, with <r> for the root. The move is asked of `folder` below the root.
void row(const char *name, const QString &before, const QString &after,
         const QString &report = Completed, const QString &folder = QString())
{
    QTest::newRow(name) << FileTree::list(before) << FileTree::list(after) << report << folder;
}

} // namespace

void tst_RenToRoot::moves_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("folder");
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
    row("a name in no valid encoding, by its bytes", "s/Pok%E9mon.gb=1|s/t/%FF.gb=2",
        "%FF.gb=2|Pok%E9mon.gb=1|s/|s/t/");
    row("links: to a non-folder moved, to a folder or to nowhere not",
        "s/l->/dev/null|s/d->..|s/n->none", "l=|s/|s/d/|s/n=");
    row("ROM folder gone", "s/a.gen=1", "s/|s/a.gen=1",
        "Ren To Root FAILED|The ROM folder is missing: <r>/gone/", "gone/");
    row("stopped before the first file", "s/a.gen=1", "s/|s/a.gen=1", "Ren To Root Stopped");
}

void tst_RenToRoot::moves()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, report);
    QFETCH(QString, folder);
    QTemporaryDir root;
    QVERIFY(FileTree::build(root.path(), before));

    const WorkerReport done = runOnWorker([&](ThreadedFunctions &worker) {
        if (report.endsWith(QLatin1String("Stopped")))
            worker.requestStop();
        worker.renToRootInvoke(root.path() + u'/' + folder);
    });

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

    QVERIFY(moveFilesToRoot(root.path() + u'/').failed.isEmpty());

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

// From /dev/shm into the build folder, when they are two file systems: a copy and a removal.
void tst_RenToRoot::movesAcrossFileSystems_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("holder");   // what already stands at the target
    QTest::addColumn<bool>("sourceStays"); // in a folder whose entries cannot be removed
    QTest::addColumn<TransferResult>("result");
    QTest::newRow("a file") << "s.nes=data"
                            << "" << false << TransferResult::Done;
    QTest::newRow("a link, as a link") << "s.nes->/dev/null"
                                       << "" << false << TransferResult::Done;
    QTest::newRow("onto a taken name") << "s.nes=data"
                                       << "t.nes=old" << false << TransferResult::TargetTaken;
    QTest::newRow("a FIFO") << "s.nes<fifo>"
                            << "" << false << TransferResult::Failed;
    QTest::newRow("source not removable") << "s.nes=data"
                                          << "" << true << TransferResult::Failed;
}

void tst_RenToRoot::movesAcrossFileSystems()
{
    QFETCH(QString, source);
    QFETCH(QString, holder);
    QFETCH(bool, sourceStays);
    QFETCH(TransferResult, result);
    QTemporaryDir from(QStringLiteral("/dev/shm/tst_rentoroot-XXXXXX"));
    QTemporaryDir to(QCoreApplication::applicationDirPath() + QLatin1String("/tmp-XXXXXX"));
    struct stat fromInfo, toInfo;
    if (!from.isValid() || ::stat(QFile::encodeName(from.path()), &fromInfo) != 0 ||
        ::stat(QFile::encodeName(to.path()), &toInfo) != 0 || fromInfo.st_dev == toInfo.st_dev)
        QSKIP("needs /dev/shm on a file system of its own");
    QVERIFY(FileTree::build(from.path(), {source}));
    QVERIFY(FileTree::build(to.path(), FileTree::list(holder)));
    const QString sourcePath = from.filePath(QStringLiteral("s.nes"));
    if (source.contains(u'=')) // a plain file, whose permissions must come along
        QVERIFY(QFile::setPermissions(sourcePath, QFile::ReadOwner | QFile::ReadGroup));
    const QFileInfo info(sourcePath);
    const auto sourceBefore =
        std::make_tuple(info.isSymLink(), info.permissions(), info.lastModified());
    const QStringList fromBefore = FileTree::read(from.path());
    const QStringList toBefore = FileTree::read(to.path());
    // Append-only: no entry of the folder can be removed, by root neither.
    const int folder = ::open(QFile::encodeName(from.path()), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (sourceStays && (::ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 ||
                        ::ioctl(folder, FS_IOC_SETFLAGS, &(flags |= FS_APPEND_FL)) != 0)) {
        ::close(folder);
        QSKIP("needs the append-only attribute");
    }
    const auto unlock = qScopeGuard([&] {
        flags &= ~FS_APPEND_FL;
        ::ioctl(folder, FS_IOC_SETFLAGS, &flags);
        ::close(folder);
    });

    QCOMPARE(moveWithoutReplacing(sourcePath, to.filePath(QStringLiteral("t.nes"))), result);

    if (result != TransferResult::Done) {
        QCOMPARE(FileTree::read(from.path()), fromBefore);
        QCOMPARE(FileTree::read(to.path()), toBefore);
        return;
    }
    QCOMPARE(FileTree::read(from.path()), QStringList());
    QCOMPARE(FileTree::read(to.path()),
             QStringList{QString(fromBefore.first()).replace(0, 1, u't')});
    const QFileInfo moved(to.filePath(QStringLiteral("t.nes")));
    QVERIFY(std::make_tuple(moved.isSymLink(), moved.permissions(), moved.lastModified()) ==
            sourceBefore);
}

QTEST_GUILESS_MAIN(tst_RenToRoot)
#include "tst_rentoroot.moc"
