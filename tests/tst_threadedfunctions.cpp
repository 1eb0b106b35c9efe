#include "runner/fixnessteps.h"
#include "tasks/threadedfunctions.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

// The worker thread and the file steps of the NES repair script it runs.
class tst_ThreadedFunctions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void stageOneParksFixedCopies();
    void stageTwoBringsThemBackAndKeepsUserDupesAside();
    void stageTwoLeavesAnExistingDupesOldAlone();
    void stageThreeReplacesOriginals();
    void stageThreeKeepsDupesWithoutNamesake();
    void otherStagesDoNothing();
    void stepRunsInTheWorkerThread();
    void unknownStageSignalsNothing();
    void deletingWaitsForTheRunningTask();

private:
    QString path(const QString &relative) const { return m_root->filePath(relative); }
    void makeFile(const QString &relative, const QByteArray &content = "rom");
    QByteArray contentOf(const QString &relative) const;
    QStringList entries(const QString &relative = QString()) const;
    QString dir() const { return m_root->path() + u'/'; }
    void collectInTestThread(ThreadedFunctions *worker, QList<int> *stages);

    std::unique_ptr<QTemporaryDir> m_root;
};

// QSignalSpy records in the emitting thread, which races with the test thread reading it; a
// receiver in the test thread gets the worker's signal queued instead.
void tst_ThreadedFunctions::collectInTestThread(ThreadedFunctions *worker, QList<int> *stages)
{
    connect(worker, &ThreadedFunctions::fixNESCompleted, this,
            [stages](int nextStage) { stages->append(nextStage); });
}

void tst_ThreadedFunctions::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
}

void tst_ThreadedFunctions::makeFile(const QString &relative, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path(relative)).path());
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray tst_ThreadedFunctions::contentOf(const QString &relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList tst_ThreadedFunctions::entries(const QString &relative) const
{
    return QDir(path(relative))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void tst_ThreadedFunctions::stageOneParksFixedCopies()
{
    makeFile(QStringLiteral("Frog.nes"));
    makeFile(QStringLiteral("Frog.new.nes"));
    makeFile(QStringLiteral("Mole.new.nes.bak"));
    makeFile(QStringLiteral(".hidden.new.nes"));
    makeFile(QStringLiteral("sub/Deep.new.nes"));

    QVERIFY(runFixNesStep(dir(), 1));

    QCOMPARE(entries(QStringLiteral("NESNew")),
             (QStringList{QStringLiteral("Frog.new.nes"), QStringLiteral("Mole.new.nes.bak")}));
    QCOMPARE(entries(), (QStringList{QStringLiteral(".hidden.new.nes"), QStringLiteral("Frog.nes"),
                                     QStringLiteral("NESNew"), QStringLiteral("sub")}));
    QCOMPARE(entries(QStringLiteral("sub")), QStringList{QStringLiteral("Deep.new.nes")});
}

void tst_ThreadedFunctions::stageTwoBringsThemBackAndKeepsUserDupesAside()
{
    makeFile(QStringLiteral("NESNew/Frog.new.nes"), "fixed");
    makeFile(QStringLiteral("NESDupes/Mine (U).nes"), "user's dupe");

    QVERIFY(runFixNesStep(dir(), 2));

    QCOMPARE(entries(),
             (QStringList{QStringLiteral("Frog.new.nes"), QStringLiteral("NESDupes.old")}));
    QCOMPARE(contentOf(QStringLiteral("Frog.new.nes")), QByteArray("fixed"));
    QCOMPARE(contentOf(QStringLiteral("NESDupes.old/Mine (U).nes")), QByteArray("user's dupe"));
}

void tst_ThreadedFunctions::stageTwoLeavesAnExistingDupesOldAlone()
{
    makeFile(QStringLiteral("NESNew/Frog.new.nes"));
    makeFile(QStringLiteral("Frog.new.nes"), "already here");
    makeFile(QStringLiteral("NESDupes/a.nes"), "dupes");
    makeFile(QStringLiteral("NESDupes.old/b.nes"), "old");

    QVERIFY(runFixNesStep(dir(), 2));

    // Nothing is replaced: the parked copy stays parked, both dupe directories stay as they were.
    QCOMPARE(contentOf(QStringLiteral("Frog.new.nes")), QByteArray("already here"));
    QCOMPARE(entries(QStringLiteral("NESNew")), QStringList{QStringLiteral("Frog.new.nes")});
    QCOMPARE(contentOf(QStringLiteral("NESDupes/a.nes")), QByteArray("dupes"));
    QCOMPARE(contentOf(QStringLiteral("NESDupes.old/b.nes")), QByteArray("old"));
}

void tst_ThreadedFunctions::stageThreeReplacesOriginals()
{
    makeFile(QStringLiteral("NESRen/Frog (U) [!].nes"), "original");
    makeFile(QStringLiteral("NESRen/Mole (PD).nes"), "untouched");
    makeFile(QStringLiteral("NESDupes/Frog (U) [!].nes"), "fixed");
    makeFile(QStringLiteral("NESDupes.old/Mine (U).nes"), "user's dupe");

    QVERIFY(runFixNesStep(dir(), 3));

    QCOMPARE(contentOf(QStringLiteral("NESRen/Frog (U) [!].nes")), QByteArray("fixed"));
    QCOMPARE(contentOf(QStringLiteral("NESRen/Mole (PD).nes")), QByteArray("untouched"));
    QCOMPARE(entries(), (QStringList{QStringLiteral("NESDupes"), QStringLiteral("NESRen")}));
    QCOMPARE(contentOf(QStringLiteral("NESDupes/Mine (U).nes")), QByteArray("user's dupe"));
}

void tst_ThreadedFunctions::stageThreeKeepsDupesWithoutNamesake()
{
    makeFile(QStringLiteral("NESRen/Frog (U) [!].nes"), "original");
    makeFile(QStringLiteral("NESDupes/Frog (U) [!].nes"), "fixed");
    makeFile(QStringLiteral("NESDupes/Lonely (E).nes"), "no namesake");
    makeFile(QStringLiteral("NESDupes.old/Mine (U).nes"), "user's dupe");

    QVERIFY(runFixNesStep(dir(), 3));

    QCOMPARE(contentOf(QStringLiteral("NESRen/Frog (U) [!].nes")), QByteArray("fixed"));
    QCOMPARE(entries(QStringLiteral("NESDupes")), QStringList{QStringLiteral("Lonely (E).nes")});
    QCOMPARE(contentOf(QStringLiteral("NESDupes.old/Mine (U).nes")), QByteArray("user's dupe"));
}

void tst_ThreadedFunctions::otherStagesDoNothing()
{
    makeFile(QStringLiteral("Frog.new.nes"));
    for (int stage : {0, 4, -1})
        QVERIFY(!runFixNesStep(dir(), stage));
    QCOMPARE(entries(), QStringList{QStringLiteral("Frog.new.nes")});
}

void tst_ThreadedFunctions::stepRunsInTheWorkerThread()
{
    makeFile(QStringLiteral("Frog.new.nes"));
    ThreadedFunctions worker;
    QAtomicPointer<QThread> stepThread;
    connect(
        &worker, &ThreadedFunctions::fixNESCompleted, &worker,
        [&stepThread] { stepThread.storeRelease(QThread::currentThread()); }, Qt::DirectConnection);
    QList<int> completed;
    collectInTestThread(&worker, &completed);

    worker.fixNESInvoke(dir(), 1);

    QTRY_COMPARE(completed, QList<int>{2});
    QThread *emittedFrom = stepThread.loadAcquire();
    QVERIFY(emittedFrom && emittedFrom != QThread::currentThread());
    QCOMPARE(entries(QStringLiteral("NESNew")), QStringList{QStringLiteral("Frog.new.nes")});
}

void tst_ThreadedFunctions::unknownStageSignalsNothing()
{
    ThreadedFunctions worker;
    QList<int> completed;
    collectInTestThread(&worker, &completed);
    worker.fixNESInvoke(dir(), 4);
    worker.fixNESInvoke(dir(), 3); // queued behind: once it answers, stage 4 has been handled
    QTRY_VERIFY(!completed.isEmpty());
    QCOMPARE(completed, QList<int>{4});
}

void tst_ThreadedFunctions::deletingWaitsForTheRunningTask()
{
    auto *worker = new ThreadedFunctions;
    // The task captures nothing: ThreadSanitizer cannot see Qt's event queue hand a lambda's
    // captures to the worker thread, and would take them for a race.
    static std::atomic_bool finished;
    static QSemaphore started;
    finished = false;
    QMetaObject::invokeMethod(worker, [] {
        started.release();
        QThread::msleep(200);
        finished = true;
    });
    started.acquire();
    delete worker;
    QVERIFY(finished);
}

QTEST_GUILESS_MAIN(tst_ThreadedFunctions)
#include "tst_threadedfunctions.moc"
