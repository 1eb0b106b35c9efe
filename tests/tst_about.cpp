#include "help/about.h"

#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void formAndPlacement();
    void animations_data();
    void animations();
    void nameArrivesOnTheEightyFourthTick();
    void finishesOnceWithItsOwnTimer();
    void closingMidAnimationDeletesEverything();

private:
    static void tick(About *about) { QMetaObject::invokeMethod(about, "updateGifs"); }
    template<typename T> static T *part(About *about, const char *name)
    {
        return about->findChild<T *>(QLatin1String(name));
    }
};

void tst_About::formAndPlacement()
{
    About about(101, 50, 735);
    QCOMPARE(about.objectName(), QStringLiteral("About"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QVERIFY(about.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!about.parentWidget());
    // Integer halves: 735 / 2 + (101 - 294 / 2) = 367 - 46
    QCOMPARE(about.geometry(), QRect(321, 150, 294, 282));

    QCOMPARE(part<QLabel>(&about, "label")->text(), QStringLiteral("Tessary 2.1"));
    QCOMPARE(part<QLabel>(&about, "label_3")->geometry(), QRect(-36, 72, 40, 16));

    // Three paragraphs of thanks.
    QCOMPARE(part<QPlainTextEdit>(&about, "plainTextEdit")->toPlainText().count(u"\n\n"), 2);

    QCOMPARE(part<QLabel>(&about, "watcherLabel")->geometry(), QRect(176, 56, 45, 48));
    QCOMPARE(part<QLabel>(&about, "pusherLabel")->geometry(), QRect(-92, 48, 50, 45));
    QCOMPARE(part<QTimer>(&about, "gifTimer")->interval(), 60);
    QVERIFY(part<QTimer>(&about, "gifTimer")->isActive());
}

// The label geometries were laid out for these frame sizes.
void tst_About::animations_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frames");
    QTest::newRow("beckoning") << "aniknuxcomeonR.gif" << QSize(35, 39) << 8;
    QTest::newRow("pushing") << "sonic_push_edit.gif" << QSize(42, 45) << 4;
    QTest::newRow("laughing") << "aniknuxlaugh.gif" << QSize(27, 37) << 2;
    QTest::newRow("celebrating") << "anisonicwins.gif" << QSize(31, 39) << 4;
}

void tst_About::animations()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, frames);
    QImageReader reader(QStringLiteral(":/animatedGif/images/") + name);
    QCOMPARE(reader.size(), size);
    QCOMPARE(reader.imageCount(), frames);
    QCOMPARE(reader.loopCount(), -1); // forever
    for (int frame = 0; frame < frames; ++frame) {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // a transparent background
    }
}

void tst_About::nameArrivesOnTheEightyFourthTick()
{
    About about(0, 0, 736);
    auto *name = part<QLabel>(&about, "label_3");
    auto *pusher = part<QLabel>(&about, "pusherLabel");
    auto *watcher = part<QLabel>(&about, "watcherLabel");
    part<QTimer>(&about, "gifTimer")->stop(); // the test gives the ticks
    QSignalSpy finished(&about, &About::animationFinished);

    for (int i = 0; i < 83; ++i)
        tick(&about);
    QCOMPARE(name->geometry(), QRect(130, 72, 40, 16));
    QCOMPARE(pusher->geometry(), QRect(74, 48, 50, 45));
    QCOMPARE(watcher->movie()->fileName(),
             QStringLiteral(":/animatedGif/images/aniknuxcomeonR.gif"));
    QCOMPARE(finished.count(), 0);

    tick(&about);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(pusher->geometry(), QRect(83, 55, 31, 39));
    QCOMPARE(watcher->geometry(), QRect(183, 51, 45, 48));
    QCOMPARE(name->geometry(), QRect(0, 72, 294, 16));
    QVERIFY(name->alignment() & Qt::AlignHCenter);
    QCOMPARE(pusher->movie()->fileName(), QStringLiteral(":/animatedGif/images/anisonicwins.gif"));
    QCOMPARE(watcher->movie()->fileName(), QStringLiteral(":/animatedGif/images/aniknuxlaugh.gif"));
    QCOMPARE(pusher->movie()->state(), QMovie::Running);
    QCOMPARE(watcher->movie()->state(), QMovie::Running);
    // The movies they replaced are gone with the switch, not kept until the window closes.
    QCOMPARE(about.findChildren<QMovie *>().size(), 2);
}

// Run by its own timer: the finished state comes once, and the timer stays stopped after it.
void tst_About::finishesOnceWithItsOwnTimer()
{
    About about(0, 0, 736);
    QSignalSpy finished(&about, &About::animationFinished);
    QVERIFY(finished.wait(20000));
    auto *timer = part<QTimer>(&about, "gifTimer");
    QVERIFY(!timer->isActive());
    const QRect pusherAtEnd = part<QLabel>(&about, "pusherLabel")->geometry();
    QCOMPARE(pusherAtEnd, QRect(83, 55, 31, 39));
    QTest::qWait(3 * timer->interval());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(part<QLabel>(&about, "pusherLabel")->geometry(), pusherAtEnd);
}

void tst_About::closingMidAnimationDeletesEverything()
{
    auto *about = new About(0, 0, 736);
    about->show();
    auto *timer = part<QTimer>(about, "gifTimer");
    QTRY_VERIFY(part<QLabel>(about, "label_3")->x() > -36); // the timer has ticked
    QVERIFY(timer->isActive());

    QPointer<About> window = about;
    QPointer<QTimer> timerLeft = timer;
    QList<QPointer<QObject>> parts;
    for (QObject *object : about->findChildren<QMovie *>())
        parts << object;
    for (const char *name : {"pusherLabel", "watcherLabel"})
        parts << part<QLabel>(about, name);
    QCOMPARE(parts.size(), 4);

    QVERIFY(about->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(timerLeft.isNull());
    for (const QPointer<QObject> &left : parts)
        QVERIFY(left.isNull());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
