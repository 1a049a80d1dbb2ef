#include "ServiceController.h"

#include "ServiceValues.h"
#include "SerialLink.h"

using namespace Serial;
using namespace ExchMap;

namespace
{
constexpr int WriteId = -1; // the id of every write, as documented

QString notKeptMessage(const QString &what)
{
    return QStringLiteral("The exchange did not keep the new %1: it reads back differently.")
        .arg(what);
}
} // namespace

ServiceController::ServiceController(SerialLink &link, QObject *parent)
    : LinkOperation(link, parent)
{
    m_link.setReplyHandler(OwnerPin, [this](int id, const QByteArray &t) { onPin(id, t); }, this);
    m_link.setReplyHandler(OwnerPassword,
                           [this](int id, const QByteArray &t) { onPassword(id, t); }, this);
    m_link.setReplyHandler(OwnerClock, [this](int id, const QByteArray &t) { onClock(id, t); }, this);
    m_link.setReplyHandler(OwnerVersion, [this](int, const QByteArray &t) { onVersion(t); }, this);
    connect(&m_link, &SerialLink::drained, this, [this] {
        if (m_task == Task::Reboot)
            succeed();
    });
}

ServiceController::~ServiceController()
{
    for (int owner : {OwnerPin, OwnerPassword, OwnerClock, OwnerVersion})
        m_link.removeReplyHandler(owner, this);
}

bool ServiceController::startTask(Task task)
{
    m_task = task;
    m_read.clear();
    m_written.clear();
    if (!begin())
        return false;
    m_link.queueEnterSetup();
    return true;
}

void ServiceController::readPin()
{
    if (!startTask(Task::ReadPin))
        return;
    for (int k = 0; k < PinDigits; ++k)
        m_link.queueReadByte(OwnerPin, k + 1, PinAddress + k);
}

void ServiceController::readPassword()
{
    if (!startTask(Task::ReadPassword))
        return;
    for (int k = 0; k < PasswordLength; ++k)
        m_link.queueReadByte(OwnerPassword, k + 1, PasswordAddress + k);
}

void ServiceController::readClock()
{
    if (!startTask(Task::ReadClock))
        return;
    for (int k = 0; k < ClockLength; ++k)
        m_link.queueReadByte(OwnerClock, k, ClockReadAddress + k);
}

void ServiceController::readVersion()
{
    if (!startTask(Task::Version))
        return;
    m_link.queueReadByte(OwnerVersion, 0, FirmwareAddress);
}

QString ServiceController::writePin(const QString &pin)
{
    const QString problem = pinProblem(pin);
    if (!problem.isEmpty())
        return problem;
    if (!startTask(Task::WritePin))
        return QString();
    QByteArray bytes;
    for (int k = 0; k < PinDigits; ++k) {
        // An empty box removes the PIN: no digit in any of the four bytes.
        bytes.append(char(pin.isEmpty() ? PinNoDigit : pinDigitByte(pin.at(k))));
    }
    writeAndReadBack(OwnerPin, PinAddress, bytes);
    return QString();
}

QString ServiceController::writePassword(const QString &typed)
{
    const QString password = typedPassword(typed);
    const QString problem = passwordProblem(password);
    if (!problem.isEmpty())
        return problem;
    if (!startTask(Task::WritePassword))
        return QString();
    writeAndReadBack(OwnerPassword, PasswordAddress, password.toLatin1());
    return QString();
}

QString ServiceController::setClock(const QString &text)
{
    const std::optional<QByteArray> bytes = clockBytes(text);
    if (!bytes)
        return text + QStringLiteral(" is not a time and date (hh:mm:ss dd/mm/yy)");
    if (!startTask(Task::SetClock))
        return QString();
    for (int k = 0; k < ClockLength; ++k)
        m_link.queueWriteByte(OwnerClock, WriteId, ClockWriteAddress + k,
                              static_cast<unsigned char>(bytes->at(k)), false);
    m_link.queueClockUpdate(OwnerClock, WriteId);
    // The update has no reply of its own; a reply behind it proves it arrived.
    m_link.queueReadByte(OwnerClock, 0, ClockReadAddress);
    return QString();
}

void ServiceController::reboot()
{
    m_link.suspendTrace();
    m_link.queueReset();
    if (!startTask(Task::Reboot))
        return;
    m_link.queueReboot();
    m_link.restoreTrace();
}

// The writes as documented (the last with a completion, which only says its
// bytes went out), then a read of each byte written.
void ServiceController::writeAndReadBack(int owner, int address, const QByteArray &bytes)
{
    m_written = bytes;
    for (int k = 0; k < bytes.size(); ++k)
        m_link.queueWriteByte(owner, WriteId, address + k, static_cast<unsigned char>(bytes.at(k)),
                              k == bytes.size() - 1);
    for (int k = 0; k < bytes.size(); ++k)
        m_link.queueReadByte(owner, k + 1, address + k);
}

// Keeps one byte read for `task` (ids first, first + 1, ...); true when
// `count` bytes are in.
bool ServiceController::collect(Task task, int id, const QByteArray &text, int count)
{
    const int first = task == Task::ReadClock ? 0 : 1;
    if (m_task != task || id != first + m_read.size())
        return false;
    m_read.append(char(text.toInt(nullptr, 16)));
    return m_read.size() == count;
}

void ServiceController::checkReadBack(const QString &what)
{
    if (m_read == m_written)
        succeed();
    else
        fail(notKeptMessage(what));
}

void ServiceController::onPin(int id, const QByteArray &text)
{
    if (collect(Task::WritePin, id, text, PinDigits)) {
        checkReadBack(QStringLiteral("PIN"));
        return;
    }
    if (!collect(Task::ReadPin, id, text, PinDigits))
        return;
    const std::optional<QString> pin = pinFromStoredBytes(m_read);
    if (!pin) {
        fail(pinUnreadableMessage());
        return;
    }
    emit valueRead(*pin);
    succeed();
}

void ServiceController::onPassword(int id, const QByteArray &text)
{
    if (collect(Task::WritePassword, id, text, PasswordLength)) {
        checkReadBack(QStringLiteral("password"));
        return;
    }
    if (!collect(Task::ReadPassword, id, text, PasswordLength))
        return;
    emit valueRead(QString::fromLatin1(m_read));
    succeed();
}

void ServiceController::onClock(int id, const QByteArray &text)
{
    if (m_task == Task::SetClock && id == 0) {
        succeed();
        return;
    }
    if (!collect(Task::ReadClock, id, text, ClockLength))
        return;
    const std::optional<QString> clock = clockTextFromReply(QString::fromLatin1(m_read.toHex()));
    if (!clock) {
        fail(badClockMessage());
        return;
    }
    emit valueRead(*clock);
    succeed();
}

void ServiceController::onVersion(const QByteArray &text)
{
    if (m_task != Task::Version)
        return;
    m_versionReply = QString::fromLatin1(text);
    if (!versionReadable(m_versionReply)) {
        fail(versionUnreadableMessage(m_versionReply));
        return;
    }
    emit valueRead(versionMessage(m_versionReply));
    succeed();
}
