#pragma once
// The "New System" dialog: six numbers, the board plan they need, and the
// generator on OK.
#include <QDialog>

struct Configuration;

class NewSystemDialog : public QDialog
{
    Q_OBJECT
  public:
    // exec() results: Accepted = a new system was generated into the
    // configuration; Rejected = cancelled; OpenedFile = the user chose
    // "Open..." and a valid configuration file (see chosenFile()).
    enum Result { OpenedFile = 2 };

    explicit NewSystemDialog(Configuration &config, QWidget *parent = nullptr);
    ~NewSystemDialog() override;
    // Turns Cancel into "Open..." (called from a new configuration without template).
    void setOpenInstead(bool openInstead);
    // The configuration file chosen through "Open..." (quotes removed).
    QString chosenFile() const;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    struct Private;
    Private *d;
};
