#include "help/about.h"

#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void placement();
    void finishesOnceOnTheEightyFourthTick();
    void closingMidAnimationDeletesEverything();

private:
    template<typename T> static T *part(About *about, const char *name)
    {
        return about->findChild<T *>(QLatin1String(name));
    }
};

void tst_About::placement()
{
    About about(101, 50, 735);
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QVERIFY(about.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!about.parentWidget());
    // Integer halves: 735 / 2 + (101 - 294 / 2) = 367 - 46
    QCOMPARE(about.geometry(), QRect(321, 150, 294, 282));
    QCOMPARE(part<QLabel>(&about, "label")->text(), QStringLiteral("Tessary 2.1"));
}

// The test gives the ticks: with no event loop running, the window's own timer never fires.
void tst_About::finishesOnceOnTheEightyFourthTick()
{
    About about(0, 0, 736);
    auto *name = part<QLabel>(&about, "label_3");
    auto *pusher = part<QLabel>(&about, "pusherLabel");
    auto *watcher = part<QLabel>(&about, "watcherLabel");
    auto *timer = part<QTimer>(&about, "gifTimer");
    QSignalSpy finished(&about, &About::animationFinished);
    for (int i = 0; i < 83; ++i)
        QMetaObject::invokeMethod(&about, "updateGifs");
    QCOMPARE(name->geometry(), QRect(130, 72, 40, 16));
    QCOMPARE(pusher->geometry(), QRect(74, 48, 50, 45));
    QCOMPARE(watcher->movie()->fileName(),
             QStringLiteral(":/animatedGif/images/aniknuxcomeonR.gif"));
    QCOMPARE(finished.count(), 0);
    QVERIFY(timer->isActive());

    QMetaObject::invokeMethod(&about, "updateGifs");
    QCOMPARE(finished.count(), 1);
    QVERIFY(!timer->isActive()); // so the state is entered once
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

void tst_About::closingMidAnimationDeletesEverything()
{
    auto *about = new About(0, 0, 736);
    about->show();
    QTRY_VERIFY(part<QLabel>(about, "label_3")->x() > -36); // the timer has ticked
    QVERIFY(part<QTimer>(about, "gifTimer")->isActive());
    QList<QPointer<QObject>> parts{about, part<QTimer>(about, "gifTimer"),
                                   part<QLabel>(about, "pusherLabel"),
                                   part<QLabel>(about, "watcherLabel")};
    for (QObject *movie : about->findChildren<QMovie *>())
        parts << movie;
    QCOMPARE(parts.size(), 6);
    QVERIFY(about->close());
    for (const QPointer<QObject> &left : parts)
        QTRY_VERIFY(left.isNull());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
