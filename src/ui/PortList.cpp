#include "PortList.h"

#include "Icons.h"

#include <QCollator>
#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>

namespace
{
constexpr int KeyRole = Qt::UserRole;
constexpr int CellsRole = Qt::UserRole + 1;
} // namespace

PortList::PortList(QWidget *parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("lvPorts"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setResizeMode(QListView::Adjust);
    setWordWrap(true);
    setMovement(QListView::Static);
    setListMode(LargeIcons);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit openRecord(item->data(KeyRole).toString()); });
}

void PortList::fill(const QList<ListColumn> &columns, const QList<PortRow> &rows)
{
    clear();
    columns_ = columns;
    for (const PortRow &row : rows) {
        auto *item = new QListWidgetItem(appIcon(row.iconKey), row.listCells.value(0), this);
        item->setData(KeyRole, row.key);
        item->setData(CellsRole, row.listCells);
        // The other columns show as the tooltip, since only the details grid has room for them.
        QStringList tip;
        for (int c = 1; c < columns.size(); ++c) {
            if (!row.listCells.value(c).isEmpty())
                tip << columns[c].caption + QStringLiteral(": ") + row.listCells.value(c);
        }
        item->setToolTip(tip.join(QLatin1Char('\n')));
    }
    if (sort_.column >= columns_.size())
        sort_ = SortToggle();
    applySort();
    applyFilter();
}

void PortList::setListMode(int mode)
{
    if (mode < LargeIcons || mode > Details)
        return;
    mode_ = mode;
    switch (mode) {
    case LargeIcons:
        setViewMode(QListView::IconMode);
        setFlow(QListView::LeftToRight);
        setIconSize(QSize(32, 32));
        setGridSize(QSize(96, 72));
        setWrapping(true);
        break;
    case SmallIcons:
    case ListMode:
        // The same small entries, laid out in rows or in columns.
        setViewMode(QListView::ListMode);
        setFlow(mode == SmallIcons ? QListView::LeftToRight : QListView::TopToBottom);
        setIconSize(QSize(16, 16));
        setGridSize(QSize(180, 22));
        setWrapping(true);
        break;
    default:
        break;
    }
    setMovement(QListView::Static);
}

void PortList::sortByColumn(int column)
{
    if (column < 0 || column >= columns_.size())
        return;
    sort_.click(column);
    applySort();
}

void PortList::applySort()
{
    if (sort_.column < 0)
        return;
    QList<QListWidgetItem *> items;
    while (count() > 0)
        items << takeItem(0);
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int column = sort_.column;
    std::stable_sort(items.begin(), items.end(), [&](QListWidgetItem *a, QListWidgetItem *b) {
        const QString x = a->data(CellsRole).toStringList().value(column);
        const QString y = b->data(CellsRole).toStringList().value(column);
        return sort_.order == Qt::AscendingOrder ? collator.compare(x, y) < 0
                                                 : collator.compare(y, x) < 0;
    });
    for (QListWidgetItem *item : items)
        addItem(item);
}

QString PortList::keyAt(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->data(KeyRole).toString() : QString();
}

QStringList PortList::cellsAt(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->data(CellsRole).toStringList() : QStringList();
}

void PortList::setRecordFilter(const RecordFilter &filter)
{
    filter_ = filter;
    applyFilter();
}

void PortList::applyFilter()
{
    for (int row = 0; row < count(); ++row)
        setRowHidden(row, filter_ && !filter_(keyAt(row)));
}

QString PortList::firstShownKey() const
{
    for (int row = 0; row < count(); ++row) {
        if (!isRowHidden(row))
            return keyAt(row);
    }
    return QString();
}

void PortList::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    for (int c = 0; c < columns_.size(); ++c) {
        QAction *action = menu.addAction(QStringLiteral("Sort by ") + columns_[c].caption);
        action->setCheckable(true);
        action->setChecked(c == sort_.column);
        connect(action, &QAction::triggered, this, [this, c] { sortByColumn(c); });
    }
    menu.exec(event->globalPos());
}
