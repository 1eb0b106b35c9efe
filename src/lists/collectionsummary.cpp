#include "lists/collectionsummary.h"

#include "lists/listfiles.h"
#include "lists/listheader.h"
#include "settings/settingsloader.h"

namespace {

// A text that is no base-10 32-bit integer counts as 0.
qint64 countOf(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

SummaryRow summaryRow(const QString &selectorItem, const SystemTable &systemTable)
{
    const QString key = selectorKey(selectorItem);
    const SystemEntry system = systemTable.value(key);
    const QString romPath = withTrailingSlash(system.romPath);

    QString miss;
    QString missTotal;
    if (const auto header =
            ListHeader::read(listPath(romPath, system.toolFile, QStringLiteral("Miss.txt")))) {
        miss = header->word(4);
        missTotal = header->word(6);
    }

    QString have;
    QString excluded;
    QString total;
    QString version;
    if (const auto header =
            ListHeader::read(listPath(romPath, system.toolFile, QStringLiteral("Have.txt")))) {
        have = header->word(3);
        total = header->word(5);
        // Both counts fit in 32 bits; their difference may not.
        excluded = QString::number(countOf(total) - countOf(missTotal));
        version = header->versionText();
    }

    return {{key, system.systemName, miss, have, excluded, total, version, romPath}};
}

QList<SummaryRow> collectionSummary(const QStringList &selectorItems,
                                    const SystemTable &systemTable)
{
    QList<SummaryRow> rows;
    rows.reserve(selectorItems.size());
    for (const QString &item : selectorItems)
        rows << summaryRow(item, systemTable);
    return rows;
}
