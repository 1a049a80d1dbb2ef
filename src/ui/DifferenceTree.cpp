#include "DifferenceTree.h"

#include "Equipment.h"

#include <QHeaderView>

namespace
{

// A bold top-level row.
QTreeWidgetItem *newHeading(QTreeWidget *tree, const QString &text, const QString &key)
{
    auto *item = new QTreeWidgetItem(tree, {text});
    item->setData(0, DifferenceTree::KeyRole, key);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}

} // namespace

QString countedDifferences(qsizetype count)
{
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" difference") : QStringLiteral(" differences"));
}

DifferenceTree::DifferenceTree(const QString &firstCaption, const QString &secondCaption,
                               QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Record / Field"), firstCaption, secondCaption});
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setRootIsDecorated(true);
    setAlternatingRowColors(true);
}

void DifferenceTree::showDifferences(const QList<Difference> &differences)
{
    const QList<KindCount> counts = recordsPerKind(differences);
    clear();
    // Kind, then record, then field; the system is one record and its own heading.
    QTreeWidgetItem *kind = nullptr;
    QTreeWidgetItem *record = nullptr;
    qsizetype kinds = 0;
    for (const Difference &d : differences) {
        if (!kind || d.kind != counts[kinds - 1].kind) {
            const KindCount &count = counts[kinds++];
            const bool system = count.kind == RecordKind::System;
            const QString heading =
                QStringLiteral("%1 (%2)").arg(recordKindName(count.kind)).arg(count.records);
            kind = newHeading(this, system ? d.record : heading, system ? d.key : noRecordKey());
            record = system ? kind : nullptr;
        }
        if (!record || record->text(0) != d.record) {
            record = new QTreeWidgetItem(kind, {d.record});
            record->setData(0, KeyRole, d.key);
        }
        auto *field = new QTreeWidgetItem(record, {d.field, d.first, d.second});
        field->setData(0, KeyRole, d.key);
    }
    expandAll();
    resizeColumnToContents(0);
    resizeColumnToContents(1);
}
