#include "maintenance/romflagfilter.h"
#include "maintenancetest.h"

#include <QRandomGenerator>
#include <QTest>

using namespace MaintenanceTest;

class tst_RomFlagFilter : public QObject
{
    Q_OBJECT

private slots:
    void firstMatch_data();
    void firstMatch();
    void firstCheckedRowWinsOnGeneratedNames();
};

void tst_RomFlagFilter::firstMatch_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<bool>("matchAll");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("expected");

    using L = QList<int>;
    QTest::newRow("no box") << L{} << "" << true << "Name [b1].bin" << 0;
    QTest::newRow("no box, empty subject") << L{} << "" << true << "" << 0;
    QTest::newRow("[b") << L{1} << "" << false << "Name [b1].bin" << 1;
    QTest::newRow("[b starts [bios]") << L{1} << "" << false << "Name [bios].bin" << 1;
    QTest::newRow("[B is no bad dump") << L{1} << "" << false << "Name [B1].bin" << 0;
    QTest::newRow("[o") << L{2} << "" << false << "Name [o2].bin" << 2;
    QTest::newRow("[h") << L{3} << "" << false << "Name [h1C].bin" << 3;
    QTest::newRow("[t") << L{4} << "" << false << "Name [t1].bin" << 4;
    QTest::newRow("[t misses [T") << L{4} << "" << false << "Name [T+Eng].bin" << 0;
    QTest::newRow("Hack)") << L{5} << "" << false << "Name (Hack).bin" << 5;
    QTest::newRow("Some Hack)") << L{5} << "" << false << "Name (Some Hack).bin" << 5;
    QTest::newRow("hack) lower case") << L{5} << "" << false << "Name (hack).bin" << 0;
    QTest::newRow("[p") << L{6} << "" << false << "Name [p1].bin" << 6;
    QTest::newRow("(PD)") << L{7} << "" << false << "Name (PD).bin" << 7;
    QTest::newRow("PD without parentheses") << L{7} << "" << false << "Name PD.bin" << 0;
    QTest::newRow("(pd) lower case") << L{7} << "" << false << "Name (pd).bin" << 0;
    QTest::newRow("[T") << L{8} << "" << false << "Name [T+Eng].bin" << 8;
    QTest::newRow("[T misses [t") << L{8} << "" << false << "Name [t1].bin" << 0;
    QTest::newRow("[f") << L{9} << "" << false << "Name [f1].bin" << 9;
    QTest::newRow("custom literal (E)") << L{10} << "(E)" << false << "Name (E).bin" << 10;
    QTest::newRow("custom needs parentheses") << L{10} << "(E)" << false << "Name E.bin" << 0;
    QTest::newRow("custom is no pattern") << L{10} << ".*" << false << "Name.bin" << 0;
    QTest::newRow("custom leading space") << L{10} << " (E)" << false << "Name (E).bin" << 10;
    QTest::newRow("custom leading space kept") << L{10} << " (E)" << false << "Name(E).bin" << 0;
    QTest::newRow("custom trailing space kept") << L{10} << "(E) " << false << "Name (E).bin" << 0;
    QTest::newRow("empty custom, delete") << L{10} << "" << false << "Name [b1].bin" << 0;
    QTest::newRow("empty custom, swipe") << L{10} << "" << true << "Name.bin" << 10;
    QTest::newRow("empty custom, swipe, empty line") << L{10} << "" << true << "" << 10;
    QTest::newRow("table order, not position") << L{1, 8} << "" << false << "[T+Eng][b1]" << 1;
    QTest::newRow("unchecked rows skipped") << L{8, 10} << "[b" << false << "[b1][T]" << 8;
}

void tst_RomFlagFilter::firstMatch()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, custom);
    QFETCH(bool, matchAll);
    QFETCH(QString, subject);
    QFETCH(int, expected);
    QCOMPARE(filterOf(rows, custom, matchAll).firstMatch(subject), expected);
}

// Names built from flag fragments: the first match of several checked rows is always the
// lowest row that matches on its own.
void tst_RomFlagFilter::firstCheckedRowWinsOnGeneratedNames()
{
    const QStringList fragments{"[b",    "[B", "[o",   "[h",  "[t", "[T",  "Hack)",
                                "(Hack", "[p", "(PD)", "PD)", "[f", "(E)", " ",
                                "x",     "é",  "[",    ")",   ";n"};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 20000; ++round) {
        QString subject;
        for (int n = random.bounded(6); n > 0; --n)
            subject += fragments.at(random.bounded(fragments.size()));
        QList<int> rows;
        for (int row = 1; row <= RomFlagCount; ++row) {
            if (random.bounded(3) == 0)
                rows << row;
        }
        const QString custom =
            random.bounded(4) == 0 ? QString() : fragments.at(random.bounded(fragments.size()));
        const bool matchAll = random.bounded(2);

        int expected = RomFlagFilter::NoMatch;
        for (int row : rows) {
            if (filterOf({row}, custom, matchAll).firstMatch(subject) == row) {
                expected = row;
                break;
            }
        }
        QCOMPARE(filterOf(rows, custom, matchAll).firstMatch(subject), expected);
    }
}

QTEST_GUILESS_MAIN(tst_RomFlagFilter)
#include "tst_romflagfilter.moc"
