#include "ErrorList.h"

#include <QHeaderView>

namespace
{
constexpr int ColReference = 4;

// "Error" in red that reads on the list's background: dark red on a light
// one, light red on a dark one.
QColor errorWordColour(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128 ? QColor(255, 120, 120)
                                                           : QColor(176, 0, 0);
}
}

ErrorList::ErrorList(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("vsErrors"));
    setColumnCount(5);
    setHorizontalHeaderLabels(errorListHeader());
    setColumnHidden(0, true);
    setColumnHidden(ColReference, true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(1, 70);
    setColumnWidth(2, 140);
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { activateRow(row); });
}

void ErrorList::showFindings(const QList<Finding> &findings)
{
    clearContents();
    setRowCount(int(findings.size()));
    for (int r = 0; r < findings.size(); ++r) {
        const Finding &f = findings[r];
        const QStringList cells = {QString::number(f.number), f.type(), f.where, f.problem,
                                   f.reference};
        for (int c = 0; c < 5; ++c) {
            auto *cell = new QTableWidgetItem(cells.value(c));
            if (findings[r].isError && c == 1)
                cell->setForeground(errorWordColour(palette()));
            setItem(r, c, cell);
        }
    }
}

QString ErrorList::referenceAt(int row) const
{
    const QTableWidgetItem *cell = item(row, ColReference);
    return cell ? cell->text() : QString();
}

void ErrorList::activateRow(int row)
{
    const QString reference = referenceAt(row);
    if (reference.isEmpty() || reference == QLatin1String("XXX"))
        return;
    emit navigate(reference);
}
