#pragma once
// The details grid vsPorts: one row per record of the selected category,
// with the index and key in two hidden columns. Names, numbers, classes,
// incoming extensions and group types can be edited in place; each edit is
// stored in the configuration at once.
#include "ListTexts.h"
#include "SortToggle.h"

#include <QTableWidget>

class ConfigDocument;

class PortGrid : public QTableWidget
{
    Q_OBJECT
  public:
    explicit PortGrid(ConfigDocument &doc, QWidget *parent = nullptr);

    // ShowList's half for the grid: header, rows, hidden columns, highlights.
    void fill(ListCategory category);
    ListCategory category() const { return category_; }
    QString keyAt(int row) const;
    int rowOfKey(const QString &key) const;

    // Whether a cell of this row may be edited in place.
    bool cellEditable(int row, int column) const;
    // Stores an edited value (a name, or a number for the other columns) in
    // the record of `row`, as the in-place editor does. False when refused.
    bool commitCell(int row, int column, const QVariant &value);

    static QColor errorColour() { return QColor(255, 128, 128); }
    bool cellHighlighted(int row, int column) const;

    // Choices of the drop-down columns: value and shown text.
    QList<QPair<int, QString>> choices(int row, int column) const;

  signals:
    void openRecord(const QString &key);
    // A record was changed through the grid (its tree node may need repainting).
    void recordEdited(const QString &key);

  private:
    void writeRow(int row, const PortRow &data);
    void refreshRow(int row);
    void highlight();
    void fitDropDownColumns();

    ConfigDocument &doc_;
    ListCategory category_ = ListCategory::Extensions;
    SortToggle sort_;
};
