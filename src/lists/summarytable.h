#pragma once

#include "lists/collectionsummary.h"

class QTableWidget;

// Puts the rows into the summary table, replacing every cell it had. Sorting is off while the
// cells go in, so that the eight cells of a system stay in one row.
void fillSummaryTable(QTableWidget *table, const QList<SummaryRow> &rows);
