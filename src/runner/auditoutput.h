#pragma once

#include <QChar>
#include <QString>

// Audit reports repeat their lines; after a run the output can be de-duplicated and sorted.
// The lines before the first report line (the tool's header) are kept as they are.

// Level "3" reports start their lines with "(", the other levels with "[".
QChar auditMarker(int auditLevelIndex);

// The output with every line from the first marker on de-duplicated (keeping the first of
// each) and/or sorted by character code. Without a marker the whole text counts as report.
QString processAuditOutput(const QString &text, QChar marker, bool uniq, bool sort);
