#pragma once

#include "settings/systementry.h"

#include <QList>
#include <QStringList>

// One row of the collection summary, in column order: Key, System Name, Miss, Have, Excluded,
// Total, Version #, Rom Path.
struct SummaryRow
{
    QStringList cells;

    // A system with nothing missing: its Miss cell is exactly "0".
    bool isComplete() const { return cells.value(2) == QLatin1String("0"); }
};

// The row of the system named by a selector item ("[Gen Genesis"), read from the first lines
// of its Have and Miss lists. A list that cannot be read leaves its cells empty.
SummaryRow summaryRow(const QString &selectorItem, const SystemTable &systemTable);

// One row per selector item, in selector order.
QList<SummaryRow> collectionSummary(const QStringList &selectorItems,
                                    const SystemTable &systemTable);
