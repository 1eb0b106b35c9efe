#include "app/mainwindow.h"
#include "help/about.h"
#include "help/versioncheck.h"
#include "lists/romdirectory.h"
#include "tessarytest.h"

#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

using namespace TessaryTest;
using namespace Qt::StringLiterals;

// A web server on the loopback interface: it answers every request with `response`, and ends
// the connection when the response gives its length.
struct WebServer : QTcpServer
{
    explicit WebServer(const QByteArray &response)
    {
        connect(this, &QTcpServer::newConnection, this, [this, response] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, response] {
                socket->write(response);
                if (response.contains("Length"))
                    socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
};

static const QString Problem = u"Version reply: Problem getting version number."_s;

class tst_Help : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened << url; } // stands in for the desktop

private slots:
    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("box"); // "": none, the output area says current
        const auto answer = [](const QByteArray &body, const QByteArray &status = "200 OK") {
            return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\n\r\n" + body;
        };
        QTest::newRow("same number") << answer("2.10") << QString();
        QTest::newRow("lower") << answer("2.05")
                               << u"Version reply: Your version is higher than the current public "
                                  "release.\nPlease e-mail this message and the name of your "
                                  "operating system to tessary@example.org."_s;
        QTest::newRow("newer") << answer("2.2")
                               << u"Version reply: Your version is not current.\n"
                                  "Go to Help->Website for the latest version."_s;
        QTest::newRow("not found") << answer("2.2", "404 Not Found") << Problem;
        QTest::newRow("never answers") << QByteArray() << Problem;
        // Read in full, it would be a valid number.
        QTest::newRow("megabytes, no end")
            << "HTTP/1.1 200 OK\r\n\r\n2.2" + QByteArray(1 << 23, '0') << Problem;
    }

    // Two checks at once, each answered on its own.
    void updateCheck()
    {
        QFETCH(QByteArray, response);
        QFETCH(QString, box);
        WebServer server(response);
        MainWindow window;
        auto *check = window.findChild<VersionCheck *>();
        check->setUrl(
            QUrl(u"http://127.0.0.1:%1/Tessary/versionWin.txt"_s.arg(server.serverPort())));
        check->setTimeoutMs(response.isEmpty() ? 300 : 600000); // only this row may time out
        QSignalSpy finished(check->manager(), &QNetworkAccessManager::finished);
        MessageBoxAnswerer answerer;
        for (int i = 0; i < 2; ++i)
            window.findChild<QAction *>(u"actionCheck_For_Updates"_s)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 30000);
        QTRY_VERIFY(check->manager()->findChildren<QNetworkReply *>().isEmpty()); // all deleted
        QCOMPARE(answerer.seen, box.isEmpty() ? QStringList() : QStringList(2, box));
        QCOMPARE(window.findChild<QTextEdit *>(u"textEdit"_s)->toPlainText() ==
                     u"Version reply: Your version is current.",
                 box.isEmpty());
    }

    // Help opens help.htm beside the program, which the build puts there; Website the site; Open
    // Rom Directory the selected system's folder.
    void openPages()
    {
        const QString page = QCoreApplication::applicationDirPath() + u"/help.htm"_s;
        QCOMPARE(readFile(QStringLiteral(TESSARY_PROGRAM_DIR "/help.htm")),
                 readFile(u":/documents/help.htm"_s));
        QFile::setPermissions(page, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(page); // left by a run that failed
        // A copy of a resource is read-only, which on Windows also keeps it from being removed.
        QVERIFY(QFile::copy(u":/documents/help.htm"_s, page) &&
                QFile::setPermissions(page, QFile::ReadOwner | QFile::WriteOwner));
        Collection collection;
        collection.addSystem(u"Gen"_s);
        collection.startWindow();
        for (const char *scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
        QList<QUrl> expected{QUrl(u"https://" TESSARY_WEB_HOST "/Tessary/"_s),
                             QUrl::fromLocalFile(page)};
#ifdef Q_OS_WIN // Explorer opens the ROM folder: its command line, never started here
        const std::unique_ptr<QProcess> explorer(explorerProcess(collection.romDir(u"Gen"_s)));
        QCOMPARE(explorer->program() + u' ' + explorer->nativeArguments(),
                 u"explorer \""_s + QDir::toNativeSeparators(collection.romDir(u"Gen"_s)) + u'"');
        for (const char *action : {"actionWebsite", "actionHelp"})
#else
        expected << QUrl::fromLocalFile(collection.romDir(u"Gen"_s));
        for (const char *action : {"actionWebsite", "actionHelp", "actionOpen_Rom_Dir"})
#endif
            collection.trigger(QLatin1String(action));
        QCOMPARE(opened, expected);
        QVERIFY(QFile::remove(page));
        collection.trigger(u"actionHelp"_s);
        QCOMPARE(collection.output(), u"Help file not found."_s);
    }

    // The test gives the ticks: with no event loop running, the window's own timer never fires.
    void aboutFinishesOnceOnTheEightyFourthTick()
    {
        About about(0, 0, 736);
        QSignalSpy finished(&about, &About::animationFinished);
        auto *watcher = about.findChild<QLabel *>(u"watcherLabel"_s);
        const QMovie *beckoning = watcher->movie();
        for (int tick = 1; tick <= 84; QMetaObject::invokeMethod(&about, "updateGifs"), ++tick)
            QCOMPARE(finished.size(), 0);
        QCOMPARE(finished.size(), 1);
        // It finishes once, the watcher laughing and the name centred across the window.
        QVERIFY(!about.findChild<QTimer *>()->isActive() && watcher->movie() != beckoning);
        QCOMPARE(about.findChild<QLabel *>(u"label_3"_s)->width(), about.width());
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
