#pragma once
// Differences between two configurations as a tree: kind, then record, then
// field, with the value on each side and a count per kind. The comparison
// window and the send window's plan show them alike.
#include "ConfigDiff.h"

#include <QTreeWidget>

class DifferenceTree : public QTreeWidget
{
    Q_OBJECT
  public:
    static constexpr int KeyRole = Qt::UserRole; // the record's tree key, on every row

    DifferenceTree(const QString &firstCaption, const QString &secondCaption,
                   QWidget *parent = nullptr);

    void showDifferences(const QList<Difference> &differences);
};

// "3 differences", "1 difference".
QString countedDifferences(qsizetype count);
