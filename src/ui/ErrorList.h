#pragma once
// The error list vsErrors: one row per finding of the last check. The
// number and reference columns are kept but hidden; the reference is what
// a double-click follows.
#include "CheckConfig.h"

#include <QTableWidget>

class ErrorList : public QTableWidget
{
    Q_OBJECT
  public:
    explicit ErrorList(QWidget *parent = nullptr);

    void showFindings(const QList<Finding> &findings);
    // Reference of a row ("E007", "RRR", "XXX"), empty when there is no such row.
    QString referenceAt(int row) const;
    // What a double-click on `row` does: announces the record, unless the row
    // is about no single record.
    void activateRow(int row);

  signals:
    void navigate(const QString &reference);
};
