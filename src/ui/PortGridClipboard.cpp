// The details grid and the clipboard: rows copied as a table, a column of
// names pasted downwards.
#include "PortGrid.h"

#include "TableText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

using namespace tidelex;

namespace
{
QString names(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 name") : QStringLiteral("%1 names").arg(n);
}
} // namespace

QString PortGrid::selectedRowsText() const
{
    QList<int> rows = selectedRows();
    if (rows.isEmpty() && currentRow() >= 0)
        rows << currentRow();
    QList<int> columns;
    for (int c = 0; c < columnCount(); ++c) {
        if (!isColumnHidden(c))
            columns << c;
    }
    QList<QStringList> table;
    QStringList header;
    for (int c : columns)
        header << horizontalHeaderItem(c)->text();
    table << header;
    for (int row : rows) {
        QStringList cells;
        for (int c : columns)
            cells << (item(row, c) ? item(row, c)->text() : QString());
        table << cells;
    }
    return tableText(table);
}

void PortGrid::copySelection()
{
    if (rowCount() > 0)
        QApplication::clipboard()->setText(selectedRowsText());
}

bool PortGrid::pasteNames(const QString &text)
{
    const int start = currentRow();
    if (start < 0 || currentColumn() != ColName || isRowHidden(start)) {
        emit statusMessage(QStringLiteral("Paste writes names: choose a cell of the Name column "
                                          "first"));
        return false;
    }
    QList<QStringList> lines = parseTableText(text);
    // Rows copied from this grid bring its header: their Name column is the one wanted.
    int column = 0;
    if (!lines.isEmpty() && lines.first().contains(horizontalHeaderItem(ColName)->text()) &&
        lines.first().size() > 1) {
        column = int(lines.first().indexOf(horizontalHeaderItem(ColName)->text()));
        lines.removeFirst();
    }
    if (lines.isEmpty()) {
        emit statusMessage(QStringLiteral("The clipboard holds no names to paste"));
        return false;
    }
    QList<int> targets;
    for (int row = start; row < rowCount() && targets.size() < lines.size(); ++row) {
        if (!isRowHidden(row))
            targets << row;
    }
    int cut = 0;
    int next = 0;
    changeRows(targets, horizontalHeaderItem(ColName)->text(), [&](int row) {
        QString name = lines[next++].value(column).trimmed();
        if (name.size() > MaxNameLength) {
            name.truncate(MaxNameLength);
            ++cut;
        }
        return storeCell(row, ColName, name);
    });

    QStringList report{names(targets.size()) + QStringLiteral(" pasted")};
    if (cut > 0)
        report << QStringLiteral("%1 cut to %2 characters").arg(names(cut)).arg(MaxNameLength);
    const qsizetype leftOver = lines.size() - targets.size();
    if (leftOver > 0)
        report << names(leftOver) + QStringLiteral(" left over below the last row");
    const QString summary = report.join(QStringLiteral("; "));
    emit statusMessage(report.size() > 1 ? QStringLiteral("WARNING: ") + summary : summary);
    return true;
}

void PortGrid::keyPressEvent(QKeyEvent *event)
{
    // The whole rows, not the one cell the view would copy by itself.
    if (event == QKeySequence::Copy) {
        copySelection();
        return;
    }
    if (event == QKeySequence::Paste) {
        pasteNames(QApplication::clipboard()->text());
        return;
    }
    QTableWidget::keyPressEvent(event);
}
