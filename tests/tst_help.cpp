#include "app/mainwindow.h"
#include "help/versioncheck.h"
#include "testhelpers.h"

#include <QAction>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QXmlStreamReader>

using namespace TestHelpers;

namespace {

// A web server on the loopback interface that answers every request the same way.
class VersionServer : public QObject
{
    Q_OBJECT

public:
    enum Mode { Answer, Silent, Endless };

    VersionServer(Mode mode, const QByteArray &status = {}, const QByteArray &body = {})
        : m_mode(mode)
        , m_status(status)
        , m_body(body)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &VersionServer::accept);
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl url(const QString &path = QStringLiteral("/Tessary/versionWin.txt")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    void close() { m_server.close(); }

    QList<QByteArray> requestLines;

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        requestLines << request.left(request.indexOf("\r\n"));
        request.clear();
        if (m_mode == Silent)
            return;
        if (m_mode == Endless) {
            // No length: the body ends only when the connection does. Read in full, it would be
            // a valid number.
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n2.2");
            socket->write(QByteArray(8 * 1024 * 1024, '0'));
            return;
        }
        socket->write("HTTP/1.1 " + m_status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    Mode m_mode;
    QByteArray m_status;
    QByteArray m_body;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

// Answers every message box while it lives, noting what each said.
class MessageBoxWatch : public QObject
{
public:
    MessageBoxWatch()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << MessageSeen{true, box->windowTitle(), box->text()};
                icons << box->icon();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    QList<MessageSeen> boxes;
    QList<QMessageBox::Icon> icons;

private:
    QTimer m_timer;
};

// The replies a manager finished, watched until they are deleted.
QList<QPointer<QNetworkReply>> *watchReplies(VersionCheck *check, QObject *context)
{
    auto *replies = new QList<QPointer<QNetworkReply>>;
    QObject::connect(check->manager(), &QNetworkAccessManager::finished, context,
                     [replies](QNetworkReply *reply) { replies->append(reply); });
    QObject::connect(context, &QObject::destroyed, [replies] { delete replies; });
    return replies;
}

// Stands in for the desktop: records what it was asked to open.
class UrlSink : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

const QString ProblemText = QStringLiteral("Problem getting version number.");
const QString OutdatedText =
    QStringLiteral("Your version is not current.\nGo to Help->Website for the latest version.");
const QString HigherFirstLine =
    QStringLiteral("Your version is higher than the current public release.");
const QString CurrentText = QStringLiteral("Version reply: Your version is current.");

} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void updateCheck_data();
    void updateCheck();
    void twoChecksOutstanding();
    void windowClosedWhileChecking();
    void checkAtStartupWithoutNetwork();
    void website();
    void helpOpensPageBesideProgram();
    void helpFileNotFound_data();
    void helpFileNotFound();
    void helpPageContent();

private:
    UrlSink sink; // the desktop, for the Help and Website commands
    static QTextEdit *output(MainWindow &window) { return child<QTextEdit>(&window, "textEdit"); }
};

void tst_Help::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void tst_Help::cleanup()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    sink.opened.clear();
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/help.htm"));
    removeSettings();
}

void tst_Help::updateCheck_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("boxText"); // empty: no box, the output area says current
    const QByteArray ok = "200 OK";
    const auto answer = int(VersionServer::Answer);
    QTest::newRow("same") << answer << ok << QByteArray("2.1") << QString();
    QTest::newRow("same, trailing zero") << answer << ok << QByteArray("2.10") << QString();
    QTest::newRow("lower") << answer << ok << QByteArray("2.05") << HigherFirstLine;
    QTest::newRow("newer") << answer << ok << QByteArray("2.2") << OutdatedText;
    QTest::newRow("newer, line end") << answer << ok << QByteArray("2.2\r\n") << OutdatedText;
    QTest::newRow("zero") << answer << ok << QByteArray("0") << ProblemText;
    QTest::newRow("negative") << answer << ok << QByteArray("-1") << ProblemText;
    QTest::newRow("text") << answer << ok << QByteArray("abc") << ProblemText;
    QTest::newRow("empty") << answer << ok << QByteArray() << ProblemText;
    QTest::newRow("not found, number in body")
        << answer << QByteArray("404 Not Found") << QByteArray("2.2") << ProblemText;
    QTest::newRow("long body declared")
        << answer << ok << QByteArray("2.2" + QByteArray(100, ' ')) << ProblemText;
    QTest::newRow("refused") << -1 << ok << QByteArray() << ProblemText;
    QTest::newRow("never answers")
        << int(VersionServer::Silent) << ok << QByteArray() << ProblemText;
    QTest::newRow("megabytes, no end")
        << int(VersionServer::Endless) << ok << QByteArray() << ProblemText;
}

void tst_Help::updateCheck()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, boxText);

    VersionServer server(mode < 0 ? VersionServer::Answer : VersionServer::Mode(mode), status,
                         body);
    if (mode < 0)
        server.close();
    MainWindow window;
    auto *check = window.findChild<VersionCheck *>();
    QVERIFY(check);
    check->setUrl(server.url());
    // Only the silent server may end by the time-out: every other row must end sooner.
    check->setTimeoutMs(mode == VersionServer::Silent ? 300 : 10 * 60 * 1000);
    const QList<QPointer<QNetworkReply>> &replies = *watchReplies(check, &window);
    const QString before = output(window)->toPlainText();

    MessageBoxWatch watch;
    window.findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 1, 30000);
    QTRY_VERIFY(replies[0].isNull()); // deleted once evaluated
    if (mode >= 0)
        QCOMPARE(server.requestLines, QList<QByteArray>{"GET /Tessary/versionWin.txt HTTP/1.1"});

    if (boxText.isEmpty()) {
        QCOMPARE(watch.boxes.size(), 0);
        QCOMPARE(output(window)->toPlainText(), CurrentText);
        return;
    }
    QCOMPARE(output(window)->toPlainText(), before);
    QCOMPARE(watch.boxes.size(), 1);
    QCOMPARE(watch.boxes[0].title, QStringLiteral("Version reply"));
    QCOMPARE(watch.icons[0], QMessageBox::Warning);
    const QStringList lines = watch.boxes[0].text.split(u'\n');
    if (boxText == HigherFirstLine) {
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], HigherFirstLine);
        QVERIFY(lines[1].contains(QStringLiteral("operating system")));
    } else {
        QCOMPARE(watch.boxes[0].text, boxText);
    }
    QCOMPARE(replies.size(), 1);
}

void tst_Help::twoChecksOutstanding()
{
    VersionServer server(VersionServer::Answer, "200 OK", "2.2");
    MainWindow window;
    auto *check = window.findChild<VersionCheck *>();
    check->setUrl(server.url());
    const QList<QPointer<QNetworkReply>> &replies = *watchReplies(check, &window);

    MessageBoxWatch watch;
    auto *action = window.findChild<QAction *>(QStringLiteral("actionCheck_For_Updates"));
    action->trigger();
    action->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, 30000);
    QTRY_VERIFY(replies[0].isNull() && replies[1].isNull());
    QCOMPARE(watch.boxes.size(), 2);
    QCOMPARE(watch.boxes[0].text, OutdatedText);
    QCOMPARE(watch.boxes[1].text, OutdatedText);
    QCOMPARE(server.requestLines.size(), 2);
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
    QSignalSpy finished(window.findChild<VersionCheck *>()->manager(),
                        &QNetworkAccessManager::finished);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    QTRY_COMPARE(watch.boxes.size(), 1);
    QCOMPARE(watch.boxes[0].text, ProblemText);
    QCOMPARE(proxy.requestLines,
             QList<QByteArray>{"CONNECT " + versionFileUrl().host().toLatin1() + ":443 HTTP/1.1"});
    QCOMPARE(versionFileUrl().path(), QStringLiteral("/Tessary/versionWin.txt"));
}

void tst_Help::website()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &sink, "open");
    MainWindow window;
    const QString before = output(window)->toPlainText();
    window.findChild<QAction *>(QStringLiteral("actionWebsite"))->trigger();
    QCOMPARE(sink.opened.size(), 1);
    QCOMPARE(sink.opened[0].scheme(), QStringLiteral("https"));
    QCOMPARE(sink.opened[0].host(), versionFileUrl().host());
    QCOMPARE(sink.opened[0].path(), QStringLiteral("/Tessary/"));
    QCOMPARE(output(window)->toPlainText(), before);
}

void tst_Help::helpOpensPageBesideProgram()
{
    const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/help.htm");
    QVERIFY(QFile::copy(QStringLiteral(":/documents/help.htm"), page));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &sink, "open");
    MainWindow window;
    const QString before = output(window)->toPlainText();
    window.findChild<QAction *>(QStringLiteral("actionHelp"))->trigger();
    QCOMPARE(sink.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
    QCOMPARE(output(window)->toPlainText(), before);
}

void tst_Help::helpFileNotFound_data()
{
    QTest::addColumn<bool>("pagePresent");
    QTest::addColumn<QByteArray>("handlerMethod");
    QTest::newRow("missing page") << false << QByteArray("open");
    QTest::newRow("nothing opens it") << true << QByteArray("noSuchMethod");
}

void tst_Help::helpFileNotFound()
{
    QFETCH(bool, pagePresent);
    QFETCH(QByteArray, handlerMethod);
    if (pagePresent) {
        QVERIFY(QFile::copy(QStringLiteral(":/documents/help.htm"),
                            QCoreApplication::applicationDirPath() + QStringLiteral("/help.htm")));
    }
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &sink, handlerMethod.constData());
    MainWindow window;
    window.findChild<QAction *>(QStringLiteral("actionHelp"))->trigger();
    QCOMPARE(output(window)->toPlainText(), QStringLiteral("Help file not found."));
    QVERIFY(sink.opened.isEmpty());
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
    QString title;
    QStringList paragraphs;
    QStringList sections; // the paragraph before each list
    QList<int> itemsPerList;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"title") {
            title = xml.readElementText();
        } else if (xml.name() == u"p") {
            paragraphs << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == u"ul") {
            sections << paragraphs.value(paragraphs.size() - 1);
            itemsPerList << 0;
        } else if (xml.name() == u"li") {
            ++itemsPerList.last();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(title, QStringLiteral("Untitled Document"));
    QCOMPARE(paragraphs.value(0), QStringLiteral("Tessary Help"));
    QVERIFY(page.contains("<strong>Tessary Help</strong>"));
    QCOMPARE(sections, (QStringList{"About", "Setup", "Usage", "Menu"}));
    QCOMPARE(itemsPerList.last(), 16); // one line per command of the menus it describes
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
