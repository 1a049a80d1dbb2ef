#include "ClockDialog.h"

#include "Prompter.h"
#include "ServiceController.h"
#include "ServiceValues.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

ClockDialog::ClockDialog(ExchangeConnection &exchange, QWidget *parent) : ServiceDialog(exchange, parent)
{
    setObjectName(QStringLiteral("frmTime"));
    auto *labTime = new QLabel(QStringLiteral("Time:"), this);
    labTime->setObjectName(QStringLiteral("labTime"));
    auto *labDate = new QLabel(QStringLiteral("Date:"), this);
    labDate->setObjectName(QStringLiteral("labDate"));
    txtTime_ = new QLineEdit(this);
    txtTime_->setObjectName(QStringLiteral("txtTime"));
    txtTime_->setInputMask(QStringLiteral("99:99:99"));
    txtTime_->setToolTip(QStringLiteral("hh:mm:ss"));
    txtDate_ = new QLineEdit(this);
    txtDate_->setObjectName(QStringLiteral("txtDate"));
    txtDate_->setInputMask(QStringLiteral("99/99/99"));
    txtDate_->setToolTip(QStringLiteral("dd/mm/yy"));
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cmdPCTime_ = new QPushButton(QStringLiteral("Set to PC Time"), this);
    cmdPCTime_->setObjectName(QStringLiteral("cmdPCTime"));
    for (QPushButton *button : {okButton_, cancelButton_, cmdPCTime_})
        button->setAutoDefault(false);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &ClockDialog::setClock);
    connect(cmdPCTime_, &QPushButton::clicked, this, &ClockDialog::setToPcTime);
    connect(cancelButton_, &QPushButton::clicked, this, &ClockDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(labTime, txtTime_);
    fields->addRow(labDate, txtDate_);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPCTime_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(statusBarWidget());
    setMinimumWidth(400);

    showClock(clockText(QDateTime::currentDateTime()));
    setWindowTitle(QStringLiteral("Enter New Time and Date"));
    setStatus(QStringLiteral("Getting Time/Date from System"));
    enableControls(false);
    cancelButton_->setEnabled(true);
    runStep([this] { service().readClock(); });
}

void ClockDialog::showClock(const QString &text)
{
    txtTime_->setText(text.left(8));
    txtDate_->setText(text.mid(9, 8));
}

void ClockDialog::enableControls(bool on)
{
    for (QWidget *control : std::initializer_list<QWidget *>{txtTime_, txtDate_, okButton_,
                                                             cancelButton_, cmdPCTime_})
        control->setEnabled(on);
}

void ClockDialog::startEditing()
{
    enableControls(true);
    txtTime_->setFocus();
    setStatus(QStringLiteral("Enter New time and date or press PC time to set"));
}

void ClockDialog::valueRead(const QString &value)
{
    showClock(value);
    startEditing();
}

void ClockDialog::stepFailed(const QString &message)
{
    enableControls(true);
    if (message == badClockMessage()) {
        // The computer's time and date stay in the boxes.
        prompter().message(this, windowTitle(), message, QMessageBox::Warning);
        startEditing();
        return;
    }
    setStatus(message);
}

void ClockDialog::setToPcTime()
{
    showClock(clockText(QDateTime::currentDateTime()));
    setClock();
}

void ClockDialog::setClock()
{
    const QString text = txtTime_->text() + u' ' + txtDate_->text();
    if (!clockBytes(text)) {
        prompter().message(this, windowTitle(),
                           text + QStringLiteral(" is not a time and date (hh:mm:ss dd/mm/yy)"),
                           QMessageBox::Warning);
        return;
    }
    sent_ = text;
    if (!startWrite([this, text] { return service().setClock(text); }))
        return;
    enableControls(false);
    setStatus(QStringLiteral("Updating Time and Date"));
}

QString ClockDialog::confirmation() const
{
    return QStringLiteral("Clock set to %1.").arg(sent_);
}
