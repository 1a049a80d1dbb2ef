#pragma once
// Grid cells edited through a drop-down of choices (numbers or names) that
// also accepts typed text. A chosen entry is written back as its number, so
// the pane reads every edit the same way; typed text is written as typed.
#include "PaneSupport.h"

#include <QStyledItemDelegate>
#include <functional>

class ChoiceDelegate : public QStyledItemDelegate
{
    Q_OBJECT
  public:
    using Provider = std::function<panes::ChoiceList(int row, int column)>;

    ChoiceDelegate(Provider provider, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

  protected:
    bool eventFilter(QObject *object, QEvent *event) override;

  private:
    Provider provider_;
};
