#pragma once
// The exchange clock: shows the time and date the exchange holds (or the
// computer's when it cannot be read), lets the technician change them or
// take the computer's ("Set to PC Time"), and sets the clock; the dialog
// closes once the exchange has confirmed.
#include "ServiceDialog.h"

class QLineEdit;
class QPushButton;

class ClockDialog : public ServiceDialog {
    Q_OBJECT
public:
    explicit ClockDialog(ExchangeConnection &exchange, QWidget *parent = nullptr);

protected:
    void valueRead(const QString &value) override;
    void stepFailed(const QString &message) override;
    QString confirmation() const override;

private:
    void showClock(const QString &text); // "hh:mm:ss dd/mm/yy"
    void startEditing();
    void setClock();
    void setToPcTime();
    void enableControls(bool on);

    QString sent_; // "hh:mm:ss dd/mm/yy" as written

    QLineEdit *txtTime_;
    QLineEdit *txtDate_;
    QPushButton *okButton_;
    QPushButton *cancelButton_;
    QPushButton *cmdPCTime_;
};
