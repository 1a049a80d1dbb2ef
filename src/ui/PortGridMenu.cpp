// The details grid's menu on the selected extensions: one class or one
// group for all of them.
#include "PortGrid.h"

#include "ConfigDocument.h"

#include <QContextMenuEvent>
#include <QMenu>

using namespace tidelex;

QList<QPair<int, QString>> PortGrid::extensionGroupChoices() const
{
    // The groups an extension may name, as the extension pane offers them:
    // Multiple Call Forward and Hunt groups.
    QList<QPair<int, QString>> list{{0, QStringLiteral("(none)")}};
    const Configuration &config = doc_.config;
    for (int g = 0; g < MaxGroups; ++g) {
        const GroupRecord &group = config.Groups[g];
        if (group.Active && group.DirNum >= 1 && group.Type != GroupPickup)
            list.append({group.DirNum, QStringLiteral("%1 %2").arg(group.DirNum).arg(group.Name)});
    }
    return list;
}

void PortGrid::setGroupOfRows(const QList<int> &rows, int dirNum)
{
    changeRows(rows, QStringLiteral("Group"), [&](int row) {
        ExtRecord &ext = doc_.config.Extensions[keyAt(row).mid(1).toInt()];
        if (ext.Group == dirNum)
            return Stored::Unchanged;
        ext.Group = int16_t(dirNum);
        return Stored::Changed;
    });
}

void PortGrid::contextMenuEvent(QContextMenuEvent *event)
{
    const int row = rowAt(event->pos().y());
    if (category_ != ListCategory::Extensions || row < 0)
        return;
    // A click outside the selection is about that row alone.
    QList<int> rows = selectedRows();
    if (!rows.contains(row)) {
        setCurrentCell(row, ColName);
        rows = {row};
    }
    QMenu menu(this);
    const QString count = rows.size() == 1 ? QStringLiteral("1 extension")
                                           : QStringLiteral("%1 extensions").arg(rows.size());
    QMenu *classes = menu.addMenu(QStringLiteral("&Class for ") + count);
    for (const auto &[value, text] : choices(row, ColExtClass)) {
        classes->addAction(text, this,
                           [this, rows, value] { commitCellToRows(rows, ColExtClass, value); });
    }
    QMenu *groups = menu.addMenu(QStringLiteral("&Group for ") + count);
    for (const auto &[value, text] : extensionGroupChoices())
        groups->addAction(text, this, [this, rows, value] { setGroupOfRows(rows, value); });
    menu.exec(event->globalPos());
}
