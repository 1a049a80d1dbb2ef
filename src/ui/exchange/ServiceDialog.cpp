#include "ServiceDialog.h"

#include "ExchangeConnection.h"
#include "ServiceController.h"

#include <QLabel>
#include <QStatusBar>

ServiceDialog::ServiceDialog(ExchangeConnection &exchange, QWidget *parent)
    : QDialog(parent), exchange_(exchange), service_(new ServiceController(exchange.link(), this))
{
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    barStatus_ = new QStatusBar(this);
    barStatus_->setObjectName(QStringLiteral("barStatus"));
    barStatus_->setSizeGripEnabled(false);
    auto *panel = new QLabel(barStatus_);
    panel->setObjectName(QStringLiteral("barStatusPanel1"));
    panel->setWordWrap(true);
    barStatus_->addWidget(panel, 1);

    connect(service_, &ServiceController::valueRead, this, [this](const QString &value) {
        if (!writing_)
            valueRead(value);
    });
    connect(service_, &LinkOperation::finished, this, [this] {
        if (writing_)
            writeDone();
    });
    connect(service_, &LinkOperation::failed, this, [this](const QString &message) {
        writing_ = false;
        stepFailed(message);
    });
}

bool ServiceDialog::runStep(const std::function<void()> &start)
{
    if (!exchange_.claim(service_)) {
        setStatus(QStringLiteral("Another exchange command is running; try again when it has ended."));
        return false;
    }
    start();
    exchange_.abandon(service_);
    return service_->isRunning();
}

bool ServiceDialog::startWrite(const std::function<QString()> &write)
{
    writing_ = true;
    const bool started = runStep([this, write] {
        const QString refused = write();
        if (!refused.isEmpty()) {
            writing_ = false;
            stepFailed(refused);
        }
    });
    if (!started || !writing_) {
        writing_ = false;
        return false;
    }
    return true;
}

void ServiceDialog::setStatus(const QString &text)
{
    barStatus_->findChild<QLabel *>(QStringLiteral("barStatusPanel1"))->setText(text);
}

QString ServiceDialog::statusText() const
{
    return barStatus_->findChild<QLabel *>(QStringLiteral("barStatusPanel1"))->text();
}

void ServiceDialog::writeDone()
{
    emit confirmed(confirmation());
    accept();
}

void ServiceDialog::reject()
{
    // Whatever is still queued for this dialog is dropped, never sent later.
    if (service_->isRunning())
        service_->cancel();
    QDialog::reject();
}
