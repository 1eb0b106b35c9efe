#include "lists/comparemisslists.h"
#include "lists/misslistcomparison.h"
#include "lockedfolder.h"
#include "testhelpers.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

// The outputs byte for byte, and the window's reports.
class tst_MissListCompare : public QObject
{
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
    void outputsInLockedFolder();
    void windowReports_data();
    void windowReports();
};

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

} // namespace

void tst_MissListCompare::compare_data()
{
    QTest::addColumn<QByteArray>("yours");
    QTest::addColumn<QByteArray>("theirs");
    QTest::addColumn<QByteArray>("iNeed");
    QTest::addColumn<QByteArray>("theyNeed");

    using B = QByteArray;
    const QByteArray h = " You have 3 of 9\nGenesis (V3.23b)\n";
    QTest::newRow("duplicates kept") << h + "A\nB\nA\nC\n"
                                     << h + "C\nC\n"
                                     << B("A\nB\nA\n") << B("");
    QTest::newRow("case and trailing space") << h + "Ecco (U)\nA \n"
                                             << h + "ecco (U)\nA\n"
                                             << B("Ecco (U)\nA \n") << B("ecco (U)\nA\n");
    QTest::newRow("empty line") << h + "A\nB\n" << h + "A\n\nB\n" << B("") << B("\n");
    // As UTF-8 both would decode to the same replacement character.
    QTest::newRow("code page bytes") << h + "Caf\xe9\nZ\n"
                                     << h + "Z\nCaf\xe8\n"
                                     << B("Caf\xe9\n") << B("Caf\xe8\n");
    QTest::newRow("NUL byte") << h + B("A\0B\n", 4) << h << B("A\0B\n", 4) << B("");
    QTest::newRow("CR LF") << B("h\r\nh\r\nA\r\nB\r\n\r\n") << h + "B\n" << B("A\n\n") << B("");
    QTest::newRow("lone CR kept") << h + "A\rB\nC\r\r\n"
                                  << h + "A\nB\nC\n"
                                  << B("A\rB\nC\r\n") << B("A\nB\nC\n");
    QTest::newRow("no last line end") << h + "A\nB" << h + "A\r\nB\r" << B("") << B("");
    QTest::newRow("one line: all header") << B("A\n") << h + "A\n" << B("") << B("A\n");
    QTest::newRow("empty file") << B() << h + "\n" << B("") << B("\n");
}

// Their list lies elsewhere; the outputs go beside the user's list and replace what is there.
void tst_MissListCompare::compare()
{
    QFETCH(QByteArray, yours);
    QFETCH(QByteArray, theirs);
    QFETCH(QByteArray, iNeed);
    QFETCH(QByteArray, theyNeed);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Mine.txt")), yours));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("friend/Theirs.txt")), theirs));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("I_Need.txt")), "stale\nstale\nstale\n"));
    MissListComparison comparison(dir.filePath(QStringLiteral("Mine.txt")),
                                  dir.filePath(QStringLiteral("friend/Theirs.txt")));
    QCOMPARE(comparison.run(), MissListComparison::Outcome::Complete);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("I_Need.txt"))), iNeed);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("They_Need.txt"))), theyNeed);
}

// Outputs that exist and may be written are replaced even where no new file can be made.
void tst_MissListCompare::outputsInLockedFolder()
{
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther));
    const QString folder = dir.path() + QStringLiteral("/lists/");
    QVERIFY(writeFile(folder + QStringLiteral("Mine.txt"), "h\nh\nA\nB\n"));
    QVERIFY(writeFile(folder + QStringLiteral("Theirs.txt"), "h\nh\nB\nC\n"));
    QVERIFY(writeFile(folder + QStringLiteral("I_Need.txt"), "stale\n"));
    QVERIFY(writeFile(folder + QStringLiteral("They_Need.txt"), "stale\n"));
    const std::optional<bool> complete = LockedFolder::runInLockedFolder(folder, [&] {
        MissListComparison comparison(folder + QStringLiteral("Mine.txt"),
                                      folder + QStringLiteral("Theirs.txt"));
        return comparison.run() == MissListComparison::Outcome::Complete;
    });
    if (!complete)
        QSKIP("no folder that admits no new files can be made here");
    QVERIFY(*complete);
    QCOMPARE(readFile(folder + QStringLiteral("I_Need.txt")), QByteArray("A\n"));
    QCOMPARE(readFile(folder + QStringLiteral("They_Need.txt")), QByteArray("C\n"));
}

void tst_MissListCompare::windowReports_data()
{
    QTest::addColumn<QString>("yourName");
    QTest::addColumn<QString>("blocked");    // a directory made at this name
    QTest::addColumn<QStringList>("boxes");  // "%1": the lists' directory
    QTest::addColumn<QByteArray>("outputs"); // I_Need.txt|They_Need.txt, "-": no file

    const QString done = QStringLiteral("|Compare Complete");
    QTest::newRow("complete") << "Mine.txt"
                              << "" << QStringList{done} << QByteArray("Sonic (W)\n|Zool (E)\n");
    QTest::newRow("list not found")
        << "Gone.txt"
        << "" << QStringList{"Warning|List not found. Check your file paths."} << QByteArray("-|-");
    QTest::newRow("your list unreadable")
        << "Mine.txt"
        << "Mine.txt" << QStringList{"Warning|Problem opening %1/Mine.txt", done}
        << QByteArray("|Zool (E)\n");
    QTest::newRow("their list unreadable")
        << "Mine.txt"
        << "friend/Theirs.txt" << QStringList{"Warning|Problem opening %1/friend/Theirs.txt", done}
        << QByteArray("Sonic (W)\n|");
    QTest::newRow("They_Need.txt fails")
        << "Mine.txt"
        << "They_Need.txt" << QStringList{"Warning|Can not write %1/They_Need.txt\n"}
        << QByteArray("-|-");
    QTest::newRow("I_Need.txt fails")
        << "Mine.txt"
        << "I_Need.txt" << QStringList{"Warning|Can not write %1/I_Need.txt\n"}
        << QByteArray("-|Zool (E)\n");
}

// Root reads and writes any file, so a directory stands in for one that can not be opened.
void tst_MissListCompare::windowReports()
{
    QFETCH(QString, yourName);
    QFETCH(QString, blocked);
    QFETCH(QStringList, boxes);
    QFETCH(QByteArray, outputs);

    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QVERIFY(writeFile(root + QStringLiteral("friend/Theirs.txt"), "h\nh\nZool (E)\n"));
    QVERIFY(writeFile(root + QStringLiteral("Mine.txt"), "h\nh\nSonic (W)\n"));
    if (!blocked.isEmpty()) {
        QFile::remove(root + blocked);
        QVERIFY(QDir().mkpath(root + blocked));
    }

    QPointer<QWidget> window = new CompareMissLists(0, 0, 736);
    window->show();
    child<QLineEdit>(window, QStringLiteral("lineEdit"))->setText(root + yourName);
    child<QLineEdit>(window, QStringLiteral("lineEdit_2"))->setText(root + "friend/Theirs.txt");
    QStringList seen; // every message box, answered
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << box->windowTitle() + u'|' + box->text();
            box->accept();
        }
    });
    answer.start(10);
    QTest::mouseClick(child<QPushButton>(window, QStringLiteral("pushButton_3")), Qt::LeftButton);
    answer.stop();
    QCOMPARE(seen.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(seen.at(i).startsWith(boxes[i].replace("%1", dir.path())), qPrintable(seen.at(i)));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // a closed window goes
    QCOMPARE(window.isNull(), boxes.last().endsWith(QLatin1String("Complete")));
    QCOMPARE(readFile(root + "I_Need.txt") + '|' + readFile(root + "They_Need.txt"), outputs);
    delete window;
}

QTEST_MAIN(tst_MissListCompare)
#include "tst_misslistcompare.moc"
