#include "app/mainwindow.h"
#include "help/about.h"
#include "help/versioncheck.h"
#include "tessarytest.h"

#include <QAction>
#include <QDesktopServices>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace TessaryTest;

namespace {

// A web server on the loopback interface that answers every request with `response`, closing
// the connection when the response gives its length; "" never answers, "refused" lets no one in.
struct WebServer : QObject
{
    explicit WebServer(const QByteArray &response)
    {
        connect(&server, &QTcpServer::newConnection, this, [this, response] {
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, response] {
                if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
                    return;
                const QByteArray request = socket->readAll();
                requests << request.left(request.indexOf("\r\n"));
                socket->write(response);
                if (response.contains("Content-Length"))
                    socket->disconnectFromHost();
            });
        });
        server.listen(QHostAddress::LocalHost);
        url = QStringLiteral("http://127.0.0.1:%1/Tessary/versionWin.txt").arg(server.serverPort());
        if (response == "refused")
            server.close();
    }

    QTcpServer server;
    QString url;
    QList<QByteArray> requests;
};

QByteArray answer(const QByteArray &body, const QByteArray &status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

const QString Problem = QStringLiteral("Problem getting version number.");

} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened << url; } // stands in for the desktop

private slots:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("message"); // of both boxes; "" for none
        QTest::newRow("same number") << answer("2.10") << QString();
        QTest::newRow("lower") << answer("2.05")
                               << "Your version is higher than the current public release.\n"
                                  "Please e-mail this message and the name of your operating "
                                  "system to tessary@example.org.";
        QTest::newRow("newer") << answer("2.2")
                               << "Your version is not current.\n"
                                  "Go to Help->Website for the latest version.";
        QTest::newRow("zero") << answer("0") << Problem;
        QTest::newRow("text") << answer("abc") << Problem;
        QTest::newRow("not found") << answer("2.2", "404 Not Found") << Problem;
        QTest::newRow("long body") << answer("2.2" + QByteArray(100, ' ')) << Problem;
        QTest::newRow("refused") << QByteArray("refused") << Problem;
        QTest::newRow("never answers") << QByteArray() << Problem;
        // Read in full, it would be a valid number.
        QTest::newRow("megabytes, no end")
            << "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n2.2" + QByteArray(1 << 23, '0')
            << Problem;
    }

    // Two checks at once, each answered on its own.
    void updateCheck()
    {
        QFETCH(QByteArray, response);
        QFETCH(QString, message);
        WebServer server(response);
        MainWindow window;
        auto *check = window.findChild<VersionCheck *>();
        check->setUrl(QUrl(server.url));
        // Only the silent server may end by the time-out.
        check->setTimeoutMs(response.isEmpty() ? 300 : 600000);
        QList<QPointer<QNetworkReply>> replies;
        connect(check->manager(), &QNetworkAccessManager::finished, this,
                [&replies](QNetworkReply *reply) { replies << reply; });
        MessageBoxAnswerer answerer;
        for (int i = 0; i < 2; ++i)
            window.findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, 30000);
        QTRY_VERIFY(replies[0].isNull() && replies[1].isNull()); // deleted once evaluated
        QCOMPARE(answerer.seen,
                 message.isEmpty() ? QStringList() : QStringList(2, "Version reply: " + message));
        if (message.isEmpty())
            QCOMPARE(child<QTextEdit>(&window, QStringLiteral("textEdit"))->toPlainText(),
                     QStringLiteral("Version reply: Your version is current."));
        if (response != "refused")
            QCOMPARE(server.requests, QList<QByteArray>(2, "GET /Tessary/versionWin.txt HTTP/1.1"));
    }

    void windowClosedWhileChecking()
    {
        WebServer server({});
        auto *window = new MainWindow;
        window->findChild<VersionCheck *>()->setUrl(QUrl(server.url));
        window->findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"))->trigger();
        QTRY_COMPARE(server.requests.size(), 1);
        MessageBoxAnswerer answerer;
        delete window;
        QTest::qWait(50);
        QVERIFY(answerer.seen.isEmpty());
    }

    // The check at start-up, with no way out: a proxy that refuses stands for the missing network.
    void checkAtStartupWithoutNetwork()
    {
        Collection collection;
        collection.globals += "Check Version At Startup=true\n";
        WebServer proxy(answer({}, "502 Bad Gateway"));
        QNetworkProxy::setApplicationProxy(QNetworkProxy(
            QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), QUrl(proxy.url).port()));
        MessageBoxAnswerer answerer;
        QVERIFY(collection.startWindow());
        QTRY_COMPARE(answerer.seen, QStringList{"Version reply: " + Problem});
        QCOMPARE(proxy.requests, QList<QByteArray>{"CONNECT " TESSARY_WEB_HOST ":443 HTTP/1.1"});
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void openPage_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("page");
        QTest::addColumn<QByteArray>("handler");
        QTest::addColumn<QString>("url"); // "~" is the program's folder; "" opens nothing
        QTest::newRow("website") << "actionWebsite" << false << QByteArray("open")
                                 << "https://" TESSARY_WEB_HOST "/Tessary/";
        QTest::newRow("help") << "actionHelp" << true << QByteArray("open") << "file://~/help.htm";
        QTest::newRow("no page") << "actionHelp" << false << QByteArray("open") << "";
        QTest::newRow("nothing opens it") << "actionHelp" << true << QByteArray("none") << "";
    }

    void openPage()
    {
        QFETCH(QString, action);
        QFETCH(bool, page);
        QFETCH(QByteArray, handler);
        QFETCH(QString, url);
        const QString programDir = QCoreApplication::applicationDirPath();
        const QString pagePath = programDir + QStringLiteral("/help.htm");
        QVERIFY(!page || QFile::copy(QStringLiteral(":/documents/help.htm"), pagePath));
        for (const char *scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, handler.constData());
        MainWindow window;
        opened.clear();
        window.findChild<QAction *>(action)->trigger();
        QFile::remove(pagePath);
        for (const char *scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        QCOMPARE(opened,
                 url.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(url.replace(u'~', programDir))});
        QCOMPARE(child<QTextEdit>(&window, QStringLiteral("textEdit"))->toPlainText() ==
                     QLatin1String("Help file not found."),
                 url.isEmpty());
    }

    // The build puts the compiled-in page beside the program.
    void helpPageBesideProgram()
    {
        QCOMPARE(readFile(QStringLiteral(TESSARY_PROGRAM_DIR "/help.htm")),
                 readFile(QStringLiteral(":/documents/help.htm")));
    }

    // The test gives the ticks: with no event loop running, the window's own timer never fires.
    void aboutFinishesOnceOnTheEightyFourthTick()
    {
        About about(0, 0, 736);
        QSignalSpy finished(&about, &About::animationFinished);
        for (int tick = 1; tick <= 84; ++tick) {
            QCOMPARE(finished.size(), 0);
            QMetaObject::invokeMethod(&about, "updateGifs");
        }
        QCOMPARE(finished.size(), 1);
        QVERIFY(!about.findChild<QTimer *>()->isActive());
        QCOMPARE(about.findChildren<QMovie *>().size(), 2); // the replaced movies are gone
    }

    void aboutClosedMidAnimation()
    {
        auto *about = new About(0, 0, 736);
        about->show();
        QPointer<QMovie> movie = about->findChild<QMovie *>();
        QVERIFY(about->findChild<QTimer *>()->isActive() && about->close());
        QTRY_VERIFY(movie.isNull());
    }

private:
    QList<QUrl> opened;
};

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
