#pragma once
// What the PIN, password and clock dialogs share: a service controller on
// the editor's connection, a status bar, and one step at a time on the line
// (the read of the current value, later the write of the new one). Cancel
// drops whatever is still queued; a failure is shown in the status bar and
// the dialog stays, so the technician can try again or cancel. A write the
// exchange confirmed closes the dialog and says what the exchange now holds.
#include <QDialog>

class ExchangeConnection;
class QStatusBar;
class ServiceController;

class ServiceDialog : public QDialog {
    Q_OBJECT
public:
    ServiceDialog(ExchangeConnection &exchange, QWidget *parent);

    void reject() override;
    QString statusText() const;

signals:
    // The write is done: what the exchange now holds, for the main window's
    // status field ("Password set.").
    void confirmed(const QString &text);

protected:
    // Claims the line and runs `start` on the controller; false when the
    // step did not start (another command runs: the reason is in the status bar).
    bool runStep(const std::function<void()> &start);
    // Runs a write step; `write` returns why the controller refused the value
    // (empty when it went out). True while the write is on its way.
    bool startWrite(const std::function<QString()> &write);
    void setStatus(const QString &text);
    // Adds the status bar under the dialog's own layout.
    QStatusBar *statusBarWidget() const { return barStatus_; }
    ServiceController &service() { return *service_; }

    // The value read; a step failed.
    virtual void valueRead(const QString &value) = 0;
    virtual void stepFailed(const QString &message) = 0;
    // What the confirmed write has set, told once the dialog closes.
    virtual QString confirmation() const = 0;

private:
    void writeDone();

    ExchangeConnection &exchange_;
    ServiceController *service_;
    QStatusBar *barStatus_;
    bool writing_ = false;
};
