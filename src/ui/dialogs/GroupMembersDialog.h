#pragma once
// "Select Extensions": which live extensions use a group, that is, name its
// directory number in their own Group field. One three-state box per live
// extension, "Name (ExtNum)": ticked uses this group, unticked none, grey
// another group (ticking a grey box moves the extension here). Nothing is
// written before OK.
#include <QDialog>

class ConfigDocument;
class QCheckBox;

class GroupMembersDialog : public QDialog
{
    Q_OBJECT
  public:
    // group: the index 0..15 of the group in the table.
    GroupMembersDialog(ConfigDocument &doc, int group, QWidget *parent = nullptr);
    ~GroupMembersDialog() override;

    // The box of extension index i ("chkExts_" + i), or nullptr when it has none.
    QCheckBox *box(int i) const;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    struct Private;
    Private *d;
};
