#include "maintenance/romflagfilter.h"
#include "maintenancetest.h"

#include <QTest>

using namespace MaintenanceTest;

class tst_RomFlagFilter : public QObject
{
    Q_OBJECT

private slots:
    void firstMatch_data();
    void firstMatch();
};

void tst_RomFlagFilter::firstMatch_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<bool>("matchAll");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("expected");
    const auto row = [](const char *name, QList<int> rows, const char *subject, int expected,
                        const char *custom = "", bool matchAll = false) {
        QTest::newRow(name) << rows << QString(custom) << matchAll << QString(subject) << expected;
    };
    row("no box", {}, "Name [b1].bin", 0, "", true);
    row("[b", {1}, "Name [b1].bin", 1);
    row("[B is no bad dump", {1}, "Name [B1].bin", 0);
    row("[o", {2}, "Name [o2].bin", 2);
    row("[h", {3}, "Name [h1C].bin", 3);
    row("[t", {4}, "Name [t1].bin", 4);
    row("[t misses [T", {4}, "Name [T+Eng].bin", 0);
    row("Hack)", {5}, "Name (Some Hack).bin", 5);
    row("hack) lower case", {5}, "Name (hack).bin", 0);
    row("[p", {6}, "Name [p1].bin", 6);
    row("(PD)", {7}, "Name (PD).bin", 7);
    row("PD without parentheses", {7}, "Name PD.bin", 0);
    row("(pd) lower case", {7}, "Name (pd).bin", 0);
    row("[T", {8}, "Name [T+Eng].bin", 8);
    row("[T misses [t", {8}, "Name [t1].bin", 0);
    row("[f", {9}, "Name [f1].bin", 9);
    row("custom literal (E)", {10}, "Name (E).bin", 10, "(E)");
    row("custom is no pattern", {10}, "Name.bin", 0, ".*");
    row("custom leading space kept", {10}, "Name(E).bin", 0, " (E)");
    row("custom trailing space kept", {10}, "Name (E).bin", 0, "(E) ");
    row("empty custom, delete", {10}, "Name [b1].bin", 0);
    row("empty custom, swipe, empty line", {10}, "", 10, "", true);
    row("table order, not position", {1, 8}, "[T+Eng][b1]", 1);
    row("unchecked rows skipped", {8, 10}, "[b1][T]", 8, "[b");
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

QTEST_GUILESS_MAIN(tst_RomFlagFilter)
#include "tst_romflagfilter.moc"
