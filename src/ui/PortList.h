#pragma once
// The port list lvPorts: the records of one category as large icons, small
// icons or a list. (The details mode is the grid vsPorts.) Every item keeps
// the texts of all list columns, so the list can be sorted by any of them.
#include "ListTexts.h"
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

  signals:
    void openRecord(const QString &key);

  protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    void applySort();

    QList<ListColumn> columns_;
    SortToggle sort_;
    int mode_ = LargeIcons;
};
