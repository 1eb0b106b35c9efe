#include "app/mainwindow.h"
#include "help/versioncheck.h"
#include "testhelpers.h"

#include <QAction>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QXmlStreamReader>

using namespace TestHelpers;

namespace {

// A web server on the loopback interface that answers every request the same way.
struct VersionServer : QObject
{
    enum Mode { Answer, Silent, Endless, Refused };

    VersionServer(Mode mode, const QByteArray &status = {}, const QByteArray &body = {})
    {
        connect(&m_server, &QTcpServer::newConnection, this, [=, this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [=, this] {
                    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
                        return;
                    const QByteArray request = socket->readAll();
                    requestLines << request.left(request.indexOf("\r\n"));
                    if (mode == Endless) {
                        // No length: the body ends only when the connection does. Read in full,
                        // it would be a valid number.
                        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n2.2");
                        socket->write(QByteArray(8 * 1024 * 1024, '0'));
                    } else if (mode == Answer) {
                        socket->write("HTTP/1.1 " + status +
                                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                                      "\r\nConnection: close\r\n\r\n" + body);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
        m_port = m_server.serverPort();
        if (mode == Refused)
            m_server.close();
    }

    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/Tessary/versionWin.txt").arg(m_port));
    }

    QList<QByteArray> requestLines;
    QTcpServer m_server;
    quint16 m_port;
};

// Answers every message box while it lives, noting the title, icon and text of each.
struct MessageBoxWatch : QObject
{
    MessageBoxWatch()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << QStringList{box->windowTitle(), QString::number(box->icon()), box->text()};
                box->accept();
            }
        });
        m_timer.start(10);
    }

    QList<QStringList> boxes;
    QTimer m_timer;
};

const QString ProblemText = QStringLiteral("Problem getting version number.");
const QString OutdatedText =
    QStringLiteral("Your version is not current.\nGo to Help->Website for the latest version.");
const QString HigherStart =
    QStringLiteral("Your version is higher than the current public release.\nPlease e-mail");
const QString Warning = QString::number(QMessageBox::Warning);

} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    void cleanup();
    void updateCheck_data();
    void updateCheck();
    void windowClosedWhileChecking();
    void checkAtStartupWithoutNetwork();
    void openPage_data();
    void openPage();
    void helpPageContent();

public slots:
    // Stands in for the desktop, for the Help and Website commands.
    void open(const QUrl &url) { opened << url; }

private:
    QList<QUrl> opened;
};

void tst_Help::cleanup()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    opened.clear();
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/help.htm"));
    removeSettings();
}

void tst_Help::updateCheck_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("checks");
    QTest::addColumn<QString>("boxText"); // empty: no box, the output area says current
    const auto row = [](const char *name, const QByteArray &body, const QString &boxText,
                        int mode = VersionServer::Answer, const QByteArray &status = "200 OK",
                        int checks = 1) {
        QTest::newRow(name) << mode << status << body << checks << boxText;
    };
    row("same", "2.1", {});
    row("same, trailing zero", "2.10", {});
    row("lower", "2.05", HigherStart);
    row("newer", "2.2", OutdatedText);
    row("zero", "0", ProblemText);
    row("negative", "-1", ProblemText);
    row("text", "abc", ProblemText);
    row("empty", "", ProblemText);
    row("not found, number in body", "2.2", ProblemText, VersionServer::Answer, "404 Not Found");
    row("long body declared", "2.2" + QByteArray(100, ' '), ProblemText);
    row("refused", "", ProblemText, VersionServer::Refused);
    row("never answers", "", ProblemText, VersionServer::Silent);
    row("megabytes, no end", "", ProblemText, VersionServer::Endless);
    row("two checks outstanding", "2.2", OutdatedText, VersionServer::Answer, "200 OK", 2);
}

void tst_Help::updateCheck()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(int, checks);
    QFETCH(QString, boxText);
    VersionServer server(VersionServer::Mode(mode), status, body);
    MainWindow window;
    auto *check = window.findChild<VersionCheck *>();
    check->setUrl(server.url());
    // Only the silent server may end by the time-out: every other row must end sooner.
    check->setTimeoutMs(mode == VersionServer::Silent ? 300 : 10 * 60 * 1000);
    QList<QPointer<QNetworkReply>> replies;
    connect(check->manager(), &QNetworkAccessManager::finished, this,
            [&replies](QNetworkReply *reply) { replies << reply; });
    auto *output = child<QTextEdit>(&window, "textEdit");
    const QString before = output->toPlainText();

    MessageBoxWatch watch;
    for (int i = 0; i < checks; ++i)
        window.findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), checks, 30000);
    for (const QPointer<QNetworkReply> &reply : replies)
        QTRY_VERIFY(reply.isNull()); // deleted once evaluated
    if (mode != VersionServer::Refused)
        QCOMPARE(server.requestLines,
                 QList<QByteArray>(checks, "GET /Tessary/versionWin.txt HTTP/1.1"));
    QCOMPARE(output->toPlainText(), boxText.isEmpty()
                                        ? QStringLiteral("Version reply: Your version is current.")
                                        : before);
    QCOMPARE(watch.boxes.size(), boxText.isEmpty() ? 0 : checks);
    for (const QStringList &box : watch.boxes) {
        QCOMPARE(box.mid(0, 2), (QStringList{"Version reply", Warning}));
        QCOMPARE(box[2].left(boxText.size()), boxText);
        QVERIFY(boxText == HigherStart || box[2] == boxText);
    }
    QCOMPARE(replies.size(), checks);
}

void tst_Help::windowClosedWhileChecking()
{
    VersionServer server(VersionServer::Silent);
    auto *window = new MainWindow;
    window->findChild<VersionCheck *>()->setUrl(server.url());
    window->findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"))->trigger();
    QTRY_COMPARE(server.requestLines.size(), 1);
    MessageBoxWatch watch;
    delete window;
    QTest::qWait(50);
    QCOMPARE(watch.boxes.size(), 0);
}

// With no way out, the request the window sends as it starts fails once, with a box. A proxy
// that refuses stands for the missing network and shows where the request was going.
void tst_Help::checkAtStartupWithoutNetwork()
{
    QVERIFY(writeSettings("Good*.exe Directory=\nSame as Rom Path=true\n"
                          "Check Version At Startup=true\nLoad Summary At Startup=false\n"));
    VersionServer proxy(VersionServer::Answer, "502 Bad Gateway", "");
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.url().port()));
    MessageBoxWatch watch;
    MainWindow window;
    QTRY_COMPARE_WITH_TIMEOUT(watch.boxes.size(), 1, 30000);
    QCOMPARE(watch.boxes[0][2], ProblemText);
    QCOMPARE(proxy.requestLines,
             QList<QByteArray>{"CONNECT " + versionFileUrl().host().toLatin1() + ":443 HTTP/1.1"});
    QTest::qWait(50);
    QCOMPARE(watch.boxes.size(), 1);
}

// Help opens the page beside the program, Website the site, both through the desktop; "%1" in
// the URL stands for the program's directory.
void tst_Help::openPage_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("pagePresent");
    QTest::addColumn<QByteArray>("handlerMethod");
    QTest::addColumn<QString>("url"); // empty: nothing opens, the output area says so
    QTest::newRow("website") << "actionWebsite" << false << QByteArray("open")
                             << websiteUrl().toString();
    QTest::newRow("help") << "actionHelp" << true << QByteArray("open") << "file://%1/help.htm";
    QTest::newRow("missing page") << "actionHelp" << false << QByteArray("open") << "";
    QTest::newRow("nothing opens it") << "actionHelp" << true << QByteArray("noSuchMethod") << "";
}

void tst_Help::openPage()
{
    QFETCH(QString, action);
    QFETCH(bool, pagePresent);
    QFETCH(QByteArray, handlerMethod);
    QFETCH(QString, url);
    const QString programDir = QCoreApplication::applicationDirPath();
    if (pagePresent)
        QVERIFY(QFile::copy(QStringLiteral(":/documents/help.htm"), programDir + "/help.htm"));
    for (const char *scheme : {"file", "https"})
        QDesktopServices::setUrlHandler(scheme, this, handlerMethod.constData());
    MainWindow window;
    auto *output = child<QTextEdit>(&window, "textEdit");
    const QString before = output->toPlainText();
    window.findChild<QAction *>(action)->trigger();
    if (url.isEmpty()) {
        QCOMPARE(output->toPlainText(), QStringLiteral("Help file not found."));
        QVERIFY(opened.isEmpty());
    } else {
        QCOMPARE(opened, QList<QUrl>{QUrl(QString(url).replace("%1", programDir))});
        QCOMPARE(output->toPlainText(), before);
    }
}

// The page is compiled in, and the build puts the same bytes beside the program.
void tst_Help::helpPageContent()
{
    QFile compiledIn(QStringLiteral(":/documents/help.htm"));
    QVERIFY(compiledIn.open(QIODevice::ReadOnly));
    const QByteArray page = compiledIn.readAll();
    QFile beside(QStringLiteral(TESSARY_PROGRAM_DIR "/help.htm"));
    QVERIFY2(beside.open(QIODevice::ReadOnly), qPrintable(beside.fileName()));
    QCOMPARE(beside.readAll(), page);
    QXmlStreamReader xml(page);
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(page.contains("<title>Untitled Document</title>"));
    QVERIFY(page.contains("<strong>Tessary Help</strong>"));
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
