#include "PortGrid.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "NumberUse.h"
#include "Prompter.h"
#include "RecordSearch.h"
#include "TypeNames.h"

#include <QComboBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <memory>

using namespace tidelex;

namespace
{

int recordIndex(const QString &key)
{
    return key.mid(1).toInt();
}

// The widest a drop-down column grows to show its entries in full.
constexpr int WidestDropDown = 240;

// The drop-down of a column with choices; incoming extensions (tie lines)
// may also be typed as a number.
QComboBox *choiceBox(const QList<QPair<int, QString>> &list, bool editable, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    for (const auto &[value, text] : list)
        combo->addItem(text, value);
    combo->setEditable(editable);
    return combo;
}

// Editors of the grid: a line for names and numbers, a drop-down for the
// columns with choices. The value goes to PortGrid::commitCell, never
// straight into the cell, so the cell always shows what the record holds.
class GridDelegate : public QStyledItemDelegate
{
  public:
    explicit GridDelegate(PortGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        const auto list = grid_->choices(index.row(), index.column());
        if (!list.isEmpty())
            return choiceBox(list, grid_->category() == ListCategory::TieLines, parent);
        auto *line = new QLineEdit(parent);
        if (grid_->category() == ListCategory::Extensions && index.column() == PortGrid::ColExtNum)
            line->setValidator(new QIntValidator(0, 32767, line));
        return line;
    }

    // A name being typed has room for the 30 characters a record keeps,
    // over the cells to its right when its column is narrower.
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        if (index.column() != PortGrid::ColName)
            return;
        const int room =
            editor->fontMetrics().horizontalAdvance(QString(MaxNameLength, QLatin1Char('n')));
        editor->resize(std::max(editor->width(), room), editor->height());
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const int at = combo->findData(index.data(Qt::UserRole));
            combo->setCurrentIndex(at >= 0 ? at : 0);
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            line->setText(index.data(Qt::DisplayRole).toString());
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *,
                      const QModelIndex &index) const override
    {
        QVariant value;
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const QString typed = combo->currentText().trimmed();
            const int at = combo->findText(combo->currentText());
            if (at >= 0) {
                value = combo->itemData(at);
            } else {
                // Not in the list: a number is taken as it is, anything else clears.
                bool ok = false;
                const int number = typed.toInt(&ok);
                value = ok ? number : 0;
            }
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            value = line->text();
        }
        // A choice made for one of several selected rows is made for all of them.
        const QList<int> selected = grid_->selectedRows();
        if (qobject_cast<QComboBox *>(editor) && selected.size() > 1 &&
            selected.contains(index.row()))
            grid_->commitCellToRows(selected, index.column(), value);
        else
            grid_->commitCell(index.row(), index.column(), value);
    }

  private:
    PortGrid *grid_;
};

} // namespace

PortGrid::PortGrid(ConfigDocument &doc, QWidget *parent) : QTableWidget(parent), doc_(doc)
{
    setObjectName(QStringLiteral("vsPorts"));
    setItemDelegate(new GridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        sort_.click(column);
        sortItems(column, sort_.order);
        horizontalHeader()->setSortIndicator(column, sort_.order);
    });
    // A double-click on a cell that cannot be edited opens the record instead.
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (!cellEditable(row, column))
            emit openRecord(keyAt(row));
    });
}

void PortGrid::fill(ListCategory category)
{
    category_ = category;
    sort_ = SortToggle();
    // Sorting is done by the header's click, not by the view, so the view
    // never re-sorts a row under an edit; the header still shows the arrow.
    setSortingEnabled(false);
    horizontalHeader()->setSortIndicatorShown(true);
    clearContents();
    const QStringList header = gridHeader(category);
    setColumnCount(int(header.size()));
    setHorizontalHeaderLabels(header);
    const QList<PortRow> rows = listRows(doc_.config, category);
    setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        writeRow(r, rows[r]);
    setColumnHidden(0, true);
    setColumnHidden(1, true);
    // Rows in record order: no column shows the sort arrow.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    resizeColumnsToContents();
    fitDropDownColumns();
    highlight();
    applyFilter();
}

void PortGrid::fitDropDownColumns()
{
    // Wide enough for the drop-down, not only the text, so the chosen entry
    // reads in full while it is being changed.
    if (rowCount() == 0)
        return;
    for (int c = 0; c < columnCount(); ++c) {
        const auto list = choices(0, c);
        if (list.isEmpty())
            continue;
        const std::unique_ptr<QComboBox> probe(
            choiceBox(list, category_ == ListCategory::TieLines, nullptr));
        const int needed = std::min(probe->sizeHint().width(), WidestDropDown);
        setColumnWidth(c, std::max(columnWidth(c), needed));
    }
}

void PortGrid::fitNameColumn()
{
    // Never narrower than the longest name shown (up to the 30 characters a
    // record keeps), also after a longer one was typed in: no name is cut short.
    setColumnWidth(ColName, std::max(columnWidth(ColName), sizeHintForColumn(ColName)));
}

void PortGrid::writeRow(int row, const PortRow &data)
{
    const Configuration &config = doc_.config;
    const int index = recordIndex(data.key);
    for (int c = 0; c < data.gridCells.size(); ++c) {
        auto *cell = new QTableWidgetItem(data.gridCells[c]);
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        cell->setFlags(flags);
        setItem(row, c, cell);
    }
    // The drop-down columns keep the record's value beside the text shown.
    switch (category_) {
    case ListCategory::Extensions:
        item(row, ColExtClass)->setData(Qt::UserRole, int(config.Extensions[index].Class));
        break;
    case ListCategory::TieLines:
        item(row, ColTieType)->setData(Qt::UserRole, int(config.TieLines[index].Class));
        item(row, ColTieExt1)->setData(Qt::UserRole, int(config.TieLines[index].Ext1));
        item(row, ColTieExt2)->setData(Qt::UserRole, int(config.TieLines[index].Ext2));
        break;
    case ListCategory::Groups: {
        const int type = config.Groups[index].Type;
        item(row, ColGroupType)->setData(Qt::UserRole, type);
        // The grid holds the type code; the cell reads as the drop-down names it.
        for (const auto &[value, text] : choices(row, ColGroupType)) {
            if (value == type)
                item(row, ColGroupType)->setText(text);
        }
        break;
    }
    }
    for (int c = 0; c < columnCount(); ++c) {
        if (cellEditable(row, c))
            item(row, c)->setFlags(item(row, c)->flags() | Qt::ItemIsEditable);
    }
}

QString PortGrid::keyAt(int row) const
{
    const QTableWidgetItem *cell = item(row, 1);
    return cell ? cell->text() : QString();
}

int PortGrid::rowOfKey(const QString &key) const
{
    for (int r = 0; r < rowCount(); ++r) {
        if (keyAt(r) == key)
            return r;
    }
    return -1;
}

bool PortGrid::cellEditable(int row, int column) const
{
    if (row < 0 || row >= rowCount())
        return false;
    switch (category_) {
    case ListCategory::Extensions:
        return column >= ColName && column <= ColExtClass;
    case ListCategory::TieLines:
        if (column == ColTieExt1 || column == ColTieExt2)
            return tieClassHasIncomingSide(doc_.config.TieLines[recordIndex(keyAt(row))].Class);
        return column >= ColName && column <= ColTieExt2;
    case ListCategory::Groups:
        return column == ColName || column == ColGroupType;
    }
    return false;
}

QList<QPair<int, QString>> PortGrid::choices(int row, int column) const
{
    const Configuration &config = doc_.config;
    QList<QPair<int, QString>> list;
    auto classes = [&](const std::array<ClassRecord, ClassTableSize> &table) {
        for (int c = 0; c < MaxClasses; ++c) {
            if (table[c].Active)
                list.append({c, table[c].Name});
        }
    };
    auto numbers = [&](bool withGroups) {
        list.append({0, QString()});
        for (int i = 0; i < MaxExtensions; ++i) {
            if (config.SysConfig.Slots[extensionSlot(i)] != BoardSubscriber)
                continue;
            const ExtRecord &ext = config.Extensions[i];
            list.append({ext.ExtNum, QString::number(ext.ExtNum) + QStringLiteral(" (") + ext.Name +
                                         QLatin1Char(')')});
        }
        for (int g = 0; withGroups && g < MaxGroups; ++g) {
            if (config.Groups[g].Active)
                list.append({config.Groups[g].DirNum, config.Groups[g].Name});
        }
    };
    Q_UNUSED(row);
    switch (category_) {
    case ListCategory::Extensions:
        if (column == ColExtClass)
            classes(config.ExtClasses);
        break;
    case ListCategory::TieLines:
        if (column == ColTieType)
            classes(config.TieClasses);
        else if (column == ColTieExt1)
            numbers(false);
        else if (column == ColTieExt2)
            numbers(true);
        break;
    case ListCategory::Groups:
        if (column == ColGroupType)
            for (const GroupTypeNames &type : groupTypes)
                list.append({type.type, QString::fromLatin1(type.gridName)});
        break;
    }
    return list;
}

PortGrid::Stored PortGrid::storeCell(int row, int column, const QVariant &value)
{
    if (!cellEditable(row, column))
        return Stored::Refused;
    Configuration &config = doc_.config;
    const QString key = keyAt(row);
    const int index = recordIndex(key);
    const QString text = value.toString().trimmed();
    const int number = value.toInt();
    bool changed = false;
    auto store = [&changed](auto &field, auto newValue) {
        using Field = std::decay_t<decltype(field)>;
        if (field != Field(newValue)) {
            field = Field(newValue);
            changed = true;
        }
    };

    switch (category_) {
    case ListCategory::Extensions: {
        ExtRecord &ext = config.Extensions[index];
        if (column == ColName) {
            store(ext.Name, value.toString());
        } else if (column == ColExtNum) {
            bool ok = false;
            const int typed = text.toInt(&ok);
            if (!ok || typed < 0 || typed > 32767)
                return Stored::Refused; // not a number: the cell keeps the stored one
            store(ext.ExtNum, typed);
        } else if (column == ColExtClass) {
            if (number < 0 || number >= MaxClasses)
                return Stored::Refused;
            store(ext.Class, number);
            // A custom extension keeps its own options; any other class brings its own.
            if (number != ClassCustom)
                store(ext.Status, config.ExtClasses[number].Status);
        }
        break;
    }
    case ListCategory::TieLines: {
        TieRecord &tie = config.TieLines[index];
        if (column == ColName) {
            store(tie.Name, value.toString());
        } else if (column == ColTieType) {
            if (number < 0 || number >= MaxClasses)
                return Stored::Refused;
            store(tie.Class, number);
            for (int b = 0; b < TieStatusBytes; ++b)
                store(tie.Status[b], config.TieClasses[number].Status[b]);
            // Only a shore line may be reached by dialling 9.
            if (number != TieClassShore)
                store(tie.Dial9, false);
        } else if (column == ColTieExt1) {
            store(tie.Ext1, std::clamp(number, 0, 32767));
        } else if (column == ColTieExt2) {
            store(tie.Ext2, std::clamp(number, 0, 32767));
        }
        break;
    }
    case ListCategory::Groups: {
        GroupRecord &group = config.Groups[index];
        if (column == ColName) {
            store(group.Name, value.toString());
        } else if (column == ColGroupType) {
            if (number == GroupPickup && group.Type != GroupPickup) {
                bool inUse = false;
                for (int i = 0; i < MaxExtensions && !inUse; ++i)
                    inUse =
                        config.Extensions[i].Active && config.Extensions[i].Group == group.DirNum;
                if (inUse &&
                    prompter().question(this, QStringLiteral("Change Group Type"),
                                        QStringLiteral("This group is in use.\nAre you sure that "
                                                       "you want to change it to a Pickup group?"),
                                        QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                    return Stored::Refused;
            }
            store(group.Type, number);
        }
        break;
    }
    }
    return changed ? Stored::Changed : Stored::Unchanged;
}

bool PortGrid::commitCell(int row, int column, const QVariant &value)
{
    return commitCellToRows({row}, column, value);
}

bool PortGrid::commitCellToRows(const QList<int> &rows, int column, const QVariant &value)
{
    const QString field =
        horizontalHeaderItem(column) ? horizontalHeaderItem(column)->text() : QString();
    return changeRows(rows, field, [&](int row) { return storeCell(row, column, value); });
}

bool PortGrid::changeRows(const QList<int> &rows, const QString &field,
                          const std::function<Stored(int row)> &change)
{
    bool stored = false;
    QList<int> changed;
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        const Stored result = change(row);
        stored = stored || result != Stored::Refused;
        if (result == Stored::Changed)
            changed << row;
        // The cell shows what the record holds, also when the edit was refused.
        refreshRow(row);
    }
    highlight();
    fitNameColumn();
    if (!changed.isEmpty()) {
        const QString key = changed.size() == 1 ? keyAt(changed.first()) : QString();
        doc_.markChanged(stepName(changed, field), key);
    }
    return stored;
}

QString PortGrid::stepName(const QList<int> &rows, const QString &field) const
{
    if (rows.size() == 1)
        return recordTitle(keyAt(rows.first())) + QLatin1Char(' ') + field;
    const char *kinds = category_ == ListCategory::Extensions ? "extensions"
                        : category_ == ListCategory::TieLines ? "tie lines"
                                                              : "groups";
    return QStringLiteral("%1 of %2 %3").arg(field).arg(rows.size()).arg(QLatin1String(kinds));
}

void PortGrid::refreshRow(int row)
{
    const QString key = keyAt(row);
    const int index = recordIndex(key);
    switch (category_) {
    case ListCategory::Extensions:
        writeRow(row, addExtItem(doc_.config, index));
        break;
    case ListCategory::TieLines:
        writeRow(row, addTieItem(doc_.config, index));
        break;
    case ListCategory::Groups:
        writeRow(row, addGroupItem(doc_.config, index));
        break;
    }
}

void PortGrid::highlight()
{
    const Configuration &config = doc_.config;
    auto paint = [this](int row, int column, bool bad) {
        if (QTableWidgetItem *cell = item(row, column)) {
            // Dark text on the light red, whatever the palette.
            cell->setBackground(bad ? QBrush(errorColour()) : QBrush());
            cell->setForeground(bad ? QBrush(Qt::black) : QBrush());
        }
    };
    if (category_ == ListCategory::Extensions) {
        // A number another live extension shares is red, as the checker reports it.
        for (int r = 0; r < rowCount(); ++r) {
            const int i = recordIndex(keyAt(r));
            paint(r, ColExtNum, extensionNumberFinding(config, i) == NumberFinding::InUse);
        }
    } else if (category_ == ListCategory::TieLines) {
        for (int r = 0; r < rowCount(); ++r) {
            const TieRecord &tie = config.TieLines[recordIndex(keyAt(r))];
            const bool incoming = tieClassHasIncomingSide(tie.Class);
            const bool badExt1 = incoming && findLiveExtension(config, tie.Ext1) < 0 &&
                                 !(tie.Class == TieClassPA && tie.Ext1 == 0);
            bool badExt2 = false;
            if (incoming && tie.Ext2 != 0) {
                badExt2 = designatesGroup(tie.Ext2) ? findActiveGroup(config, tie.Ext2) < 0
                                                    : findLiveExtension(config, tie.Ext2) < 0;
            }
            paint(r, ColTieExt1, badExt1);
            paint(r, ColTieExt2, badExt2);
        }
    }
}

bool PortGrid::cellHighlighted(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell && cell->background().style() != Qt::NoBrush &&
           cell->background().color() == errorColour();
}

void PortGrid::setRecordFilter(const RecordFilter &filter)
{
    filter_ = filter;
    applyFilter();
}

void PortGrid::applyFilter()
{
    for (int r = 0; r < rowCount(); ++r)
        setRowHidden(r, filter_ && !filter_(keyAt(r)));
}

QString PortGrid::firstShownKey() const
{
    // Sorting moves the rows themselves, so row order is the order shown.
    for (int row = 0; row < rowCount(); ++row) {
        if (!isRowHidden(row))
            return keyAt(row);
    }
    return QString();
}

QList<int> PortGrid::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (!rows.contains(index.row()) && !isRowHidden(index.row()))
            rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}
