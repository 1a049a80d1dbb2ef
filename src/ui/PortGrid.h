#pragma once
// The details grid vsPorts: one row per record of the selected category,
// with the index and key in two hidden columns. Names, numbers, classes,
// incoming extensions and group types can be edited in place; each edit is
// stored in the configuration at once as one undoable step. Several rows
// can be selected: a choice made for one of them is made for all, and they
// can be copied as a table or given a column of names from the clipboard.
#include "ListTexts.h"
#include "RecordFilter.h"
#include "SortToggle.h"

#include <QTableWidget>
#include <functional>

class ConfigDocument;
struct Configuration;

class PortGrid : public QTableWidget
{
    Q_OBJECT
  public:
    explicit PortGrid(ConfigDocument &doc, QWidget *parent = nullptr);

    // Columns that take edits (the ID and Tag columns 0 and 1 are hidden).
    static constexpr int ColName = 3;
    static constexpr int ColExtNum = 4, ColExtClass = 5;
    static constexpr int ColTieType = 4, ColTieExt1 = 5, ColTieExt2 = 6;
    static constexpr int ColGroupType = 4;

    // showList's half for the grid: header, rows, hidden columns, highlights.
    void fill(ListCategory category);
    ListCategory category() const { return category_; }
    QString keyAt(int row) const;
    int rowOfKey(const QString &key) const;

    // Whether a cell of this row may be edited in place.
    bool cellEditable(int row, int column) const;
    // Stores an edited value (a name, or a number for the other columns) in
    // the record of `row`, as the in-place editor does. False when refused.
    bool commitCell(int row, int column, const QVariant &value);
    // The same for every row of `rows` as one step (a choice made for
    // several selected rows). False when every row refused it.
    bool commitCellToRows(const QList<int> &rows, int column, const QVariant &value);
    // Gives the extensions of `rows` the group numbered `dirNum` (0: none).
    void setGroupOfRows(const QList<int> &rows, int dirNum);

    static QColor errorColour() { return QColor(255, 128, 128); }
    bool cellHighlighted(int row, int column) const;

    // Choices of the drop-down columns: value and shown text.
    QList<QPair<int, QString>> choices(int row, int column) const;

    // Rows with a selected cell, top to bottom as shown; hidden rows never.
    QList<int> selectedRows() const;
    // The selected rows (or the current one) with the grid's header, as a
    // spreadsheet pastes them.
    QString selectedRowsText() const;
    void copySelection();
    // Writes the lines of `text` as names into the rows from the current
    // one downwards (the current cell must be a name); one step. False, with
    // the reason in the status bar, when nothing could be pasted.
    bool pasteNames(const QString &text);

    // Shows only the rows whose record the filter matches (all when empty).
    void setRecordFilter(const RecordFilter &filter);
    // The key of the first row shown, or empty.
    QString firstShownKey() const;

  signals:
    void openRecord(const QString &key);
    // Text for the status bar ("WARNING: ..."), or empty.
    void statusMessage(const QString &text);

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    enum class Stored { Refused, Unchanged, Changed };
    Stored storeCell(int row, int column, const QVariant &value);
    // Runs `change` on the record of each row; one step named `field` when any changed.
    bool changeRows(const QList<int> &rows, const QString &field,
                    const std::function<Stored(int row)> &change);
    QString stepName(const QList<int> &rows, const QString &field) const;
    void writeRow(int row, const PortRow &data);
    void refreshRow(int row);
    void highlight();
    void applyFilter();
    QList<QPair<int, QString>> extensionGroupChoices() const;
    void fitDropDownColumns();
    void fitNameColumn();

    ConfigDocument &doc_;
    ListCategory category_ = ListCategory::Extensions;
    SortToggle sort_;
    RecordFilter filter_;
};
