#include "filetree.h"
#include "tasks/copyfromlist.h"
#include "tasks/threadedfunctions.h"
#include "workerreports.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// Copying the files a text list names, by base name, into a destination folder.
class tst_CopyFromList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copies_data();
    void copies();
    void destinationInsideSource();
    void secondRunCopiesNothing();
    void sourceUnchangedAndEveryMatchCopied();
    void workerReports_data();
    void workerReports();

private:
    QString src() const { return m_root->path() + QStringLiteral("/src/"); }
    QString dest() const { return m_root->path() + QStringLiteral("/dest/"); }
    QString list() const { return m_root->filePath(QStringLiteral("list.txt")); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void tst_CopyFromList::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(src()) && QDir().mkpath(dest()));
}

void tst_CopyFromList::copies_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<bool>("subDirs");
    QTest::addColumn<QStringList>("destBefore");
    QTest::addColumn<QStringList>("destAfter");

    const QStringList names{"Name (E).bin=e", "Name (E) [b1].bin=b1", "name (e).bin=lower"};
    QTest::newRow("whole base name, case counts") << QByteArray("Name (E)\n") << names << false
                                                  << QStringList{} << QStringList{"Name (E).bin=e"};
    QTest::newRow("trailing space matches nothing")
        << QByteArray("Name (E) \n") << names << false << QStringList{} << QStringList{};
    QTest::newRow("base name ends at the first dot")
        << QByteArray("Name rev 2\nOther rev 1.1\n")
        << QStringList{"Name rev 2.1.bin=n", "Other rev 1.1.bin=o"} << false << QStringList{}
        << QStringList{"Name rev 2.1.bin=n"};
    QTest::newRow("every extension, no extension")
        << QByteArray("X\n") << QStringList{"X.bin=1", "X.zip=2", "X.smd=3", "X=4", "Y.bin=5"}
        << false << QStringList{} << QStringList{"X.bin=1", "X.smd=3", "X.zip=2", "X=4"};
    QTest::newRow("CR LF lines, empty lines, duplicates")
        << QByteArray("\r\nX\r\nX\r\n\r\nY") << QStringList{"X.bin=1", "Y.bin=2"} << false
        << QStringList{} << QStringList{"X.bin=1", "Y.bin=2"};
    QTest::newRow("sub-directories not searched")
        << QByteArray("X\n") << QStringList{"X.bin=top", "sub/X.zip=deep"} << false << QStringList{}
        << QStringList{"X.bin=top"};
    QTest::newRow("sub-directories searched, copied flat")
        << QByteArray("X\n") << QStringList{"X.bin=top", "sub/deeper/X.zip=deep"} << true
        << QStringList{} << QStringList{"X.bin=top", "X.zip=deep"};
    QTest::newRow("hidden files and directories skipped")
        << QByteArray("X\n") << QStringList{".X.bin=h", ".hid/X.bin=hd"} << true << QStringList{}
        << QStringList{};
    QTest::newRow("targets never overwritten")
        << QByteArray("X\n") << QStringList{"X.bin=new", "X.zip=new"} << false
        << QStringList{"X.bin=old", "X.zip/"} << QStringList{"X.bin=old", "X.zip/"};
    QTest::newRow("empty list") << QByteArray() << names << true << QStringList{} << QStringList{};
}

void tst_CopyFromList::copies()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, source);
    QFETCH(bool, subDirs);
    QFETCH(QStringList, destBefore);
    QFETCH(QStringList, destAfter);
    QVERIFY(FileTree::write(m_root->path(), QStringLiteral("list.txt"), lines));
    QVERIFY(FileTree::build(src(), source));
    QVERIFY(FileTree::build(dest(), destBefore));
    const QStringList sourceBefore = FileTree::read(src());

    const CopyFromListResult result = copyFilesFromList(list(), dest(), src(), subDirs);

    QVERIFY(result.listRead);
    QVERIFY(result.failed.isEmpty());
    QCOMPARE(FileTree::read(dest()), destAfter);
    QCOMPARE(FileTree::read(src()), sourceBefore);
}

void tst_CopyFromList::destinationInsideSource()
{
    FileTree::write(m_root->path(), QStringLiteral("list.txt"), "X\nY\n");
    QVERIFY(FileTree::build(src(), {"X.bin=x", "in/Y.bin=y", "in/out/"}));

    const CopyFromListResult result =
        copyFilesFromList(list(), src() + QStringLiteral("in/out/"), src(), true);

    QVERIFY(result.failed.isEmpty());
    QCOMPARE(result.copied, 2);
    QCOMPARE(FileTree::read(src()), (QStringList{"X.bin=x", "in/", "in/Y.bin=y", "in/out/",
                                                 "in/out/X.bin=x", "in/out/Y.bin=y"}));
}

// Of two files of one name the walk copies the first it meets; a second run finds every name taken.
void tst_CopyFromList::secondRunCopiesNothing()
{
    FileTree::write(m_root->path(), QStringLiteral("list.txt"), "X\nY\n");
    QVERIFY(FileTree::build(src(), {"a/X.bin=x", "b/X.bin=x", "sub/Y.bin=y"}));
    QCOMPARE(copyFilesFromList(list(), dest(), src(), true).copied, 2);
    QCOMPARE(FileTree::read(dest()), (QStringList{"X.bin=x", "Y.bin=y"}));

    const CopyFromListResult second = copyFilesFromList(list(), dest(), src(), true);
    QCOMPARE(second.copied, 0);
    QVERIFY(second.failed.isEmpty());
    QCOMPARE(FileTree::read(dest()), (QStringList{"X.bin=x", "Y.bin=y"}));
}

// Checksums before and after: the source is untouched and the destination holds exactly one
// copy of each listed file, byte for byte.
void tst_CopyFromList::sourceUnchangedAndEveryMatchCopied()
{
    QRandomGenerator random(3);
    QByteArray lines;
    for (int i = 0; i < 300; i += 2)
        lines += "Game " + QByteArray::number(i) + '\n';
    FileTree::write(m_root->path(), QStringLiteral("list.txt"), lines);
    const QStringList dirs{"", "a/", "a/b/", "c/"};
    for (int i = 0; i < 300; ++i) {
        QByteArray content(random.bounded(1, 5000), Qt::Uninitialized);
        for (char &byte : content)
            byte = char(random.bounded(256));
        const QString extension = i % 3 ? QStringLiteral(".bin") : QStringLiteral(".v1.zip");
        const QString relative =
            dirs.at(i % dirs.size()) + QStringLiteral("Game %1").arg(i) + extension;
        QVERIFY(FileTree::write(src(), relative, content));
    }
    const QList<QByteArray> sourceBefore = FileTree::checksums(src());

    const CopyFromListResult result = copyFilesFromList(list(), dest(), src(), true);

    QCOMPARE(result.copied, 150);
    QCOMPARE(FileTree::checksums(src()), sourceBefore);
    const QStringList copies = QDir(dest()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(copies.size(), 150);
    for (const QString &name : copies) {
        const int number = name.section(u' ', 1).section(u'.', 0, 0).toInt();
        QVERIFY2(number % 2 == 0, qPrintable(name));
        const QString original = src() + dirs.at(number % dirs.size()) + name;
        QCOMPARE(FileTree::checksum(dest() + name), FileTree::checksum(original));
        QCOMPARE(QFileInfo(dest() + name).permissions(), QFileInfo(original).permissions());
    }
}

void tst_CopyFromList::workerReports_data()
{
    QTest::addColumn<bool>("listThere");
    QTest::addColumn<bool>("badSource");
    QTest::addColumn<QString>("message");
    QTest::newRow("completed") << true << false
                               << "Copy Files From *.txt to File Destination Completed";
    QTest::newRow("list unreadable")
        << false << false << "Copy Files From *.txt to File Destination FAILED\nUnable to open%1";
    QTest::newRow("a copy failed")
        << true << true
        << "Copy Files From *.txt to File Destination Completed\n1 file could not be copied:\n%2";
}

void tst_CopyFromList::workerReports()
{
    QFETCH(bool, listThere);
    QFETCH(bool, badSource);
    QFETCH(QString, message);
    if (badSource && !QFileInfo(QStringLiteral("/proc/self/mem")).isFile())
        QSKIP("needs /proc/self/mem");
    if (listThere)
        FileTree::write(m_root->path(), QStringLiteral("list.txt"), "X\n");
    FileTree::write(src(), QStringLiteral("X.zip"), "x");
    const QString bad = src() + QStringLiteral("X.bin");
    if (badSource)
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), bad));

    ThreadedFunctions worker;
    WorkerReports done(&worker);
    worker.copyFromTxtInvoke(list(), dest(), src(), false);
    QTRY_COMPARE(done.reports.size(), 1);

    QCOMPARE(done.reports.at(0).text,
             message.replace(QLatin1String("%1"), list()).replace(QLatin1String("%2"), bad));
    QCOMPARE(done.reports.at(0).deleteThreadedObject, false);
    // A source that opens but can not be read fails half-way and leaves nothing behind.
    QCOMPARE(FileTree::read(dest()), listThere ? QStringList{"X.zip=x"} : QStringList{});
}

QTEST_GUILESS_MAIN(tst_CopyFromList)
#include "tst_copyfromlist.moc"
