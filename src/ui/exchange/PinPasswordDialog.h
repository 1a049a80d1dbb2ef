#pragma once
// The tie PIN and the setup password of the exchange: reads the value it
// holds, lets the technician type a new one, checks it at OK (typed or
// pasted) and sends it; the dialog closes once the exchange has confirmed.
// An exchange without a PIN shows "No PIN set" with the box empty.
#include "ServiceDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class PinPasswordDialog : public ServiceDialog {
    Q_OBJECT
public:
    enum Mode { Pin, Password };

    PinPasswordDialog(ExchangeConnection &exchange, Mode mode, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void valueRead(const QString &value) override;
    void stepFailed(const QString &message) override;
    QString confirmation() const override;

private:
    void startEditing(const QString &value);
    void onEdited(const QString &text);
    void onOk();

    Mode mode_;
    QString sent_; // the PIN written
    QLabel *labInstruct_;
    QLineEdit *txtValue_;
    QPushButton *okButton_;
    QPushButton *cancelButton_;
};
