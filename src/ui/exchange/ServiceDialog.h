#pragma once
// What the PIN, password and clock dialogs share: a service controller on
// the editor's connection, a status bar, and one step at a time on the line
// (the read of the current value, later the write of the new one). Cancel
// drops whatever is still queued; a failure is shown in the status bar and
// the dialog stays, so the technician can try again or cancel.
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

    // The value read; the write confirmed; a step failed.
    virtual void valueRead(const QString &value) = 0;
    virtual void writeDone() { accept(); }
    virtual void stepFailed(const QString &message) = 0;

private:
    ExchangeConnection &exchange_;
    ServiceController *service_;
    QStatusBar *barStatus_;
    bool writing_ = false;
};
