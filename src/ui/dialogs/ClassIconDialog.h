#pragma once
// The icon picker of the class editor: the extension pictures side by side,
// the current one framed. A click takes a picture; Escape takes none.
#include <QDialog>
#include <QString>

class ClassIconDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit ClassIconDialog(const QString &current, QWidget *parent = nullptr);

    // The image keys offered, in order.
    static QStringList iconKeys();
    // The picture clicked (empty until one is).
    QString chosenIcon() const { return chosen_; }

  private:
    QString chosen_;
};
