#include "filetree.h"
#include "tasks/copyfromlist.h"
#include "workerreports.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Copying the files a text list names, by base name, into a destination folder.
class tst_CopyFromList : public QObject
{
    Q_OBJECT

private slots:
    void copies_data();
    void copies();
    void sourceUnchangedAndEveryMatchCopied();
};

namespace {

const QString Completed = QStringLiteral("Copy Files From *.txt to File Destination Completed");

// The tree holds the list "l.txt", the source "s/" and the destination "d/", as "|"-separated
// entries; `added` is what the copy adds below `destination`; <r> in the report is the root.
void row(const char *name, const QString &tree, const QString &added, bool subDirs = true,
         const QString &report = Completed, const QString &destination = QStringLiteral("d/"))
{
    QTest::newRow(name) << FileTree::list(tree) << subDirs << FileTree::list(added) << report
                        << destination;
}

// Whether a file's data is still only in memory: ext4 and XFS give it blocks at writeback, and
// FIEMAP shows its extents as delayed until then. False where FIEMAP cannot tell (tmpfs).
bool awaitsWriteback(const QString &path)
{
    constexpr int Extents = 8;
    alignas(fiemap) char buffer[sizeof(fiemap) + Extents * sizeof(fiemap_extent)] = {};
    auto *map = reinterpret_cast<fiemap *>(buffer);
    map->fm_length = FIEMAP_MAX_OFFSET; // and no FIEMAP_FLAG_SYNC, which would write it back
    map->fm_extent_count = Extents;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const bool mapped = fd >= 0 && ::ioctl(fd, FS_IOC_FIEMAP, map) == 0;
    ::close(fd);
    for (unsigned i = 0; mapped && i < map->fm_mapped_extents; ++i)
        if (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_DELALLOC)
            return true;
    return false;
}

} // namespace

void tst_CopyFromList::copies_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<bool>("subDirs");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("destination");
    row("whole base name, case counts",
        "l.txt=N (E)\n|s/N (E).bin=e|s/N (E) [b].bin=b|s/n (e).bin=l", "N (E).bin=e");
    row("trailing space matches nothing", "l.txt=N (E) \n|s/N (E).bin=e", "");
    row("base name ends at the first dot", "l.txt=N 2\nO 1.1\n|s/N 2.1.bin=n|s/O 1.1.bin=o",
        "N 2.1.bin=n");
    row("every extension, CR LF lines",
        "l.txt=X\r\nY|s/X.bin=1|s/X.zip=2|s/X=3|s/Y.smd=4|s/Z.bin=5",
        "X.bin=1|X.zip=2|X=3|Y.smd=4");
    row("sub-directories not searched", "l.txt=X\n|s/X.bin=top|s/sub/X.zip=deep", "X.bin=top",
        false);
    row("sub-directories searched, first of a name copied",
        "l.txt=X\nY\n|s/X.bin=top|s/a/b/X.zip=deep|s/a/Y.bin=y|s/b/Y.bin=y",
        "X.bin=top|X.zip=deep|Y.bin=y");
    row("hidden files and directories skipped", "l.txt=\nX\n|s/.X.bin=h|s/.hid/X.bin=hd", "");
    row("targets never overwritten", "l.txt=X\n|s/X.bin=new|s/X.zip=new|d/X.bin=old|d/X.zip/", "");
    row("destination inside the source tree", "l.txt=X\nY\n|s/X.bin=x|s/in/Y.bin=y|s/in/out/",
        "X.bin=x|Y.bin=y", true, Completed, "s/in/out/");
    row("stopped before the first file", "l.txt=X\n|s/X.bin=x", "", true,
        "Copy Files From *.txt to File Destination Stopped");
    row("list unreadable", "s/X.bin=x", "", true,
        "Copy Files From *.txt to File Destination FAILED\nUnable to open<r>/l.txt");
    // A source that opens but cannot be read fails half-way and leaves nothing behind.
    row("a failing copy reported", "l.txt=X\n|s/X.zip=x|s/X.bin->/proc/self/mem", "X.zip=x", true,
        Completed + "\n1 file could not be copied:\n<r>/s/X.bin");
    // Opening a FIFO would wait for a writer for ever; a device may never end.
    row("a link to a FIFO not copied", "l.txt=X\n|s/p<fifo>|s/X.bin->p", "", true,
        Completed + "\n1 file could not be copied:\n<r>/s/X.bin");
    row("a link to a device not copied", "l.txt=X\n|s/X.bin->/dev/null", "", true,
        Completed + "\n1 file could not be copied:\n<r>/s/X.bin");
}

// Run twice: the second run finds every name taken and changes nothing.
void tst_CopyFromList::copies()
{
    QFETCH(QStringList, tree);
    QFETCH(bool, subDirs);
    QFETCH(QStringList, added);
    QFETCH(QString, report);
    QFETCH(QString, destination);
    QTemporaryDir root;
    const QString r = root.path() + u'/';
    QVERIFY(FileTree::build(root.path(), tree << QStringLiteral("s/") << QStringLiteral("d/")));
    QStringList after = FileTree::read(root.path());
    for (const QString &entry : added)
        after << destination + entry;
    after.sort();

    for (int run = 0; run < 2; ++run) {
        const WorkerReport done = runOnWorker([&](ThreadedFunctions &worker) {
            if (report.endsWith(QLatin1String("Stopped")))
                worker.requestStop();
            worker.copyFromTxtInvoke(r + "l.txt", r + destination, r + "s/", subDirs);
        });
        QCOMPARE(done.count, 1);
        QCOMPARE(done.text, QString(report).replace(QLatin1String("<r>"), root.path()));
        QVERIFY(!done.deleteThreadedObject);
        QCOMPARE(FileTree::read(root.path()), after);
    }
}

// Checksums before and after: the source is untouched and the destination holds exactly one
// copy of each listed file, byte for byte, with its permissions, its data on the disk.
void tst_CopyFromList::sourceUnchangedAndEveryMatchCopied()
{
    QTemporaryDir root;
    const QString src = root.filePath(QStringLiteral("s/"));
    const QString dest = root.filePath(QStringLiteral("d/"));
    const QFileDevice::Permissions readOnly = QFile::ReadOwner | QFile::ReadUser;
    QVERIFY(QDir().mkpath(dest));
    QRandomGenerator random(3);
    QByteArray lines;
    QList<QByteArray> listed;
    for (int i = 0; i < 300; ++i) {
        QByteArray content(random.bounded(1, 5000), Qt::Uninitialized);
        for (char &byte : content)
            byte = char(random.bounded(256));
        const QString relative = QStringList{"", "a/", "a/b/", "c/"}.at(i % 4) +
                                 QStringLiteral("Game %1").arg(i) + (i % 3 ? ".bin" : ".v1.zip");
        QVERIFY(FileTree::write(src, relative, content));
        QVERIFY(QFile::setPermissions(src + relative, readOnly));
        if (i % 2 == 0) {
            lines += "Game " + QByteArray::number(i) + '\n';
            listed << QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex();
        }
    }
    std::sort(listed.begin(), listed.end());
    QVERIFY(FileTree::write(root.path(), QStringLiteral("l.txt"), lines));
    const QList<QByteArray> sourceBefore = FileTree::checksums(src);

    copyFilesFromList(root.filePath(QStringLiteral("l.txt")), dest, src, true);

    QCOMPARE(FileTree::checksums(src), sourceBefore);
    QCOMPARE(FileTree::checksums(dest), listed);
    for (const QFileInfo &copy : QDir(dest).entryInfoList(QDir::Files)) {
        QCOMPARE(copy.permissions(), QFileInfo(src + "Game 0.v1.zip").permissions());
        QVERIFY2(!awaitsWriteback(copy.filePath()), qPrintable(copy.fileName()));
    }
}

QTEST_GUILESS_MAIN(tst_CopyFromList)
#include "tst_copyfromlist.moc"
