#pragma once
// The port list lvPorts: the records of one category as large icons, small
// icons or a list. (The details mode is the grid vsPorts.) Every item keeps
// the texts of all list columns, so the list can be sorted by any of them.
#include "ListTexts.h"
#include "RecordFilter.h"
#include "SortToggle.h"

#include <QListWidget>

class PortList : public QListWidget
{
    Q_OBJECT
  public:
    enum Mode { LargeIcons = 0, SmallIcons = 1, ListMode = 2, Details = 3 };

    explicit PortList(QWidget *parent = nullptr);

    void fill(const QList<ListColumn> &columns, const QList<PortRow> &rows);
    // Modes 0..2 change the look; 3 is shown by the grid and leaves the list as it is.
    void setListMode(int mode);
    int listMode() const { return mode_; }

    // A click on a column heading: see SortToggle.
    void sortByColumn(int column);
    const SortToggle &sorting() const { return sort_; }
    const QList<ListColumn> &columns() const { return columns_; }
    QString keyAt(int row) const;
    QStringList cellsAt(int row) const;

    // Shows only the items whose record the filter matches (all when empty).
    void setRecordFilter(const RecordFilter &filter);
    // The key of the first item shown, or empty.
    QString firstShownKey() const;

  signals:
    void openRecord(const QString &key);

  protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    void applySort();
    void applyFilter();

    QList<ListColumn> columns_;
    SortToggle sort_;
    RecordFilter filter_;
    int mode_ = LargeIcons;
};
