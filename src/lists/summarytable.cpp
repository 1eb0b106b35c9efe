#include "lists/summarytable.h"

#include <QTableWidget>

void fillSummaryTable(QTableWidget *table, const QList<SummaryRow> &rows)
{
    const QBrush completeRow(QColor(85, 255, 127, 255), Qt::SolidPattern);
    table->setSortingEnabled(false);
    table->setRowCount(int(rows.size()));
    table->setColumnCount(8);
    for (int row = 0; row < rows.size(); ++row) {
        const SummaryRow &summary = rows.at(row);
        for (int column = 0; column < 8; ++column) {
            auto *cell = new QTableWidgetItem(summary.cells.value(column));
            if (summary.isComplete())
                cell->setBackground(completeRow);
            table->setItem(row, column, cell);
        }
    }
    table->resizeColumnsToContents();
    table->setSortingEnabled(true); // orders the rows by the current sort column
}
