#include "PinPasswordDialog.h"

#include "Prompter.h"
#include "ServiceController.h"
#include "ServiceValues.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

PinPasswordDialog::PinPasswordDialog(ExchangeConnection &exchange, Mode mode, QWidget *parent)
    : ServiceDialog(exchange, parent), mode_(mode)
{
    setObjectName(QStringLiteral("frmPinPass"));
    setWindowTitle(QStringLiteral("Set ????"));
    labInstruct_ = new QLabel(this);
    labInstruct_->setObjectName(QStringLiteral("labInstruct"));
    txtValue_ = new QLineEdit(this);
    txtValue_->setObjectName(QStringLiteral("txtValue"));
    txtValue_->setEnabled(false);
    txtValue_->installEventFilter(this);
    connect(txtValue_, &QLineEdit::textEdited, this, &PinPasswordDialog::onEdited);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setEnabled(false);
    okButton_->setVisible(false);
    okButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &PinPasswordDialog::onOk);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, &PinPasswordDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labInstruct_);
    layout->addWidget(txtValue_);
    layout->addLayout(buttons);
    layout->addWidget(statusBarWidget());
    setMinimumWidth(380);

    if (mode_ == Pin) {
        labInstruct_->setText(QStringLiteral("Please enter 4 Digit PIN between 1000 and 9999:"));
        setWindowTitle(QStringLiteral("Enter New PIN"));
        setStatus(QStringLiteral("Getting PIN from System"));
        runStep([this] { service().readPin(); });
    } else {
        labInstruct_->setText(QStringLiteral("Please enter 4 character password:"));
        setWindowTitle(QStringLiteral("Enter New Password"));
        setStatus(QStringLiteral("Getting Password from System"));
        runStep([this] { service().readPassword(); });
    }
}

void PinPasswordDialog::valueRead(const QString &value)
{
    startEditing(value);
    // An exchange without a PIN is no failure to read one.
    setStatus(mode_ == Pin && value.isEmpty() ? QStringLiteral("No PIN set. Enter Value")
                                              : QStringLiteral("Enter Value"));
}

void PinPasswordDialog::startEditing(const QString &value)
{
    txtValue_->setText(value);
    txtValue_->setEnabled(true);
    txtValue_->setFocus();
    txtValue_->selectAll();
    okButton_->setVisible(true);
}

void PinPasswordDialog::stepFailed(const QString &message)
{
    // A value that could not be read leaves the box empty; a new one can still be sent.
    if (!txtValue_->isEnabled())
        startEditing(QString());
    okButton_->setEnabled(!txtValue_->text().isEmpty() || mode_ == Pin);
    cancelButton_->setEnabled(true);
    setStatus(message);
}

bool PinPasswordDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtValue_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint();
        // The PIN box takes digits and editing keys only; the password box never a Q.
        if (printable && mode_ == Pin && !text.at(0).isDigit())
            return true;
        if (printable && mode_ == Password && text.at(0).toUpper() == u'Q')
            return true;
    }
    if (watched == txtValue_ && event->type() == QEvent::FocusOut)
        txtValue_->selectAll();
    return ServiceDialog::eventFilter(watched, event);
}

void PinPasswordDialog::onEdited(const QString &text)
{
    if (mode_ == Password) {
        const QString shown = typedPassword(text);
        if (shown != text) {
            const int cursor = txtValue_->cursorPosition() - int(text.size() - shown.size());
            txtValue_->setText(shown);
            txtValue_->setCursorPosition(std::max(0, cursor));
        }
    }
    okButton_->setEnabled(true);
    okButton_->setDefault(true);
}

void PinPasswordDialog::onOk()
{
    const QString value = txtValue_->text();
    const QString problem =
        mode_ == Pin ? pinProblem(value) : passwordProblem(typedPassword(value));
    if (!problem.isEmpty()) {
        prompter().message(this, windowTitle(), problem, QMessageBox::Warning);
        return;
    }
    sent_ = value;
    if (!startWrite([this, value] {
            return mode_ == Pin ? service().writePin(value) : service().writePassword(value);
        }))
        return;
    okButton_->setEnabled(false);
    txtValue_->setEnabled(false);
    setStatus(mode_ == Pin ? QStringLiteral("Sending new PIN") : QStringLiteral("Sending new Password"));
}

QString PinPasswordDialog::confirmation() const
{
    if (mode_ == Password)
        return QStringLiteral("Password set.");
    if (sent_.isEmpty())
        return QStringLiteral("Tie PIN removed: the exchange holds no PIN.");
    return QStringLiteral("Tie PIN set: the exchange holds %1.").arg(sent_);
}
