#include "ChoiceDelegate.h"

#include <QComboBox>
#include <QKeyEvent>

namespace
{
// Set on a box while Return is ending its edit.
const char *const endedByKey = "choiceEndedByKey";
} // namespace

ChoiceDelegate::ChoiceDelegate(Provider provider, QObject *parent)
    : QStyledItemDelegate(parent), provider_(std::move(provider))
{
}

QWidget *ChoiceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &index) const
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The list is built each time a cell is about to be edited, so it always
    // reflects the configuration as it stands.
    const panes::ChoiceList choices = provider_(index.row(), index.column());
    for (const panes::Choice &c : choices)
        combo->addItem(c.text, c.value);
    // Picking an entry ends the edit at once, as a drop-down cell should.
    // Return also makes the box report an entry, but that edit ends the
    // usual way: ending it here too would end it twice.
    connect(combo, &QComboBox::activated, this, [this, combo](int) {
        if (combo->property(endedByKey).toBool())
            return;
        auto *self = const_cast<ChoiceDelegate *>(this);
        emit self->commitData(combo);
        emit self->closeEditor(combo);
    });
    return combo;
}

void ChoiceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    const int found = combo->findText(text, Qt::MatchExactly);
    if (found >= 0)
        combo->setCurrentIndex(found);
    else
        combo->setEditText(text);
}

void ChoiceDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const QString text = combo->currentText();
    int chosen = combo->currentIndex();
    if (chosen < 0 || combo->itemText(chosen) != text)
        chosen = combo->findText(text, Qt::MatchExactly);
    if (chosen >= 0)
        model->setData(index, QString::number(combo->itemData(chosen).toInt()), Qt::EditRole);
    else
        model->setData(index, text, Qt::EditRole);
}

bool ChoiceDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            object->setProperty(endedByKey, true);
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
