#include "runner/auditoutput.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

QChar auditMarker(int auditLevelIndex)
{
    return auditLevelIndex == 3 ? u'(' : u'[';
}

namespace {

QStringList withoutDuplicates(const QStringList &lines)
{
    QStringList kept;
    QSet<QString> seen;
    for (const QString &line : lines) {
        if (!seen.contains(line)) {
            seen.insert(line);
            kept.append(line);
        }
    }
    return kept;
}

} // namespace

QString processAuditOutput(const QString &text, QChar marker, bool uniq, bool sort)
{
    const qsizetype reportStart = std::max<qsizetype>(text.indexOf(marker), 0);
    const QString head = text.left(reportStart);
    QStringList lines = text.mid(reportStart).split(u'\n', Qt::KeepEmptyParts);
    if (uniq)
        lines = withoutDuplicates(lines);
    if (sort)
        std::sort(lines.begin(), lines.end());
    return head + lines.join(u'\n');
}
