#include "ServiceController.h"

#include "ServiceValues.h"
#include "mdlSerial.h"

using namespace Serial;

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
    m_accumulated.clear();
    if (!begin())
        return false;
    m_link.QueueEnterSetup();
    return true;
}

void ServiceController::readPin()
{
    if (!startTask(Task::ReadPin))
        return;
    for (int k = 0; k < 4; ++k)
        m_link.QueueReadByte(OwnerPin, k + 1, ServiceAddress::Pin + k);
}

void ServiceController::readPassword()
{
    if (!startTask(Task::ReadPassword))
        return;
    for (int k = 0; k < 4; ++k)
        m_link.QueueReadByte(OwnerPassword, k + 1, ServiceAddress::Password + k);
}

void ServiceController::readClock()
{
    if (!startTask(Task::ReadClock))
        return;
    for (int k = 0; k < 8; ++k)
        m_link.QueueReadByte(OwnerClock, k, ServiceAddress::ClockRead + k);
}

void ServiceController::readVersion()
{
    if (!startTask(Task::Version))
        return;
    m_link.QueueReadByte(OwnerVersion, 0, ServiceAddress::Firmware);
}

QString ServiceController::writePin(const QString &pin)
{
    const QString problem = pinProblem(pin);
    if (!problem.isEmpty())
        return problem;
    if (!startTask(Task::WritePin))
        return QString();
    for (int k = 0; k < 4; ++k) {
        // An empty box removes the PIN: no digit in any of the four bytes.
        const int value = pin.isEmpty() ? 0xFF : pinDigitByte(pin.at(k));
        m_link.QueueWriteByte(OwnerPin, -1, ServiceAddress::Pin + k, value, k == 3);
    }
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
    const QByteArray codes = password.toLatin1();
    for (int k = 0; k < 4; ++k)
        m_link.QueueWriteByte(OwnerPassword, -1, ServiceAddress::Password + k,
                              static_cast<unsigned char>(codes.at(k)), k == 3);
    return QString();
}

QString ServiceController::setClock(const QString &text)
{
    const std::optional<QByteArray> bytes = clockBytes(text);
    if (!bytes)
        return text + QStringLiteral(" is not a time and date (hh:mm:ss dd/mm/yy)");
    if (!startTask(Task::SetClock))
        return QString();
    for (int k = 0; k < 8; ++k)
        m_link.QueueWriteByte(OwnerClock, -1, ServiceAddress::ClockWrite + k,
                              static_cast<unsigned char>(bytes->at(k)), false);
    m_link.QueueClockUpdate(OwnerClock, -1);
    return QString();
}

void ServiceController::reboot()
{
    m_link.SuspendTrace();
    m_link.QueueReset();
    if (!startTask(Task::Reboot))
        return;
    m_link.QueueReboot();
    m_link.RestoreTrace();
}

// Every value's replies share this: a write's completion (id -1) ends the
// write task, a read comes in parts numbered first..last. True for a part
// of the read in progress.
bool ServiceController::isReadPart(int id, Task write, Task read, int first, int last)
{
    if (id == -1) {
        if (m_task == write)
            succeed();
        return false;
    }
    return m_task == read && id >= first && id <= last;
}

void ServiceController::onPin(int id, const QByteArray &text)
{
    if (!isReadPart(id, Task::WritePin, Task::ReadPin, 1, 4))
        return;
    m_accumulated += ExtractDigits(QString::fromLatin1(text));
    if (id == 4) {
        emit valueRead(m_accumulated);
        succeed();
    }
}

void ServiceController::onPassword(int id, const QByteArray &text)
{
    if (!isReadPart(id, Task::WritePassword, Task::ReadPassword, 1, 4))
        return;
    m_accumulated += QChar(char16_t(text.toInt(nullptr, 16) & 0xFF));
    if (id == 4) {
        emit valueRead(m_accumulated);
        succeed();
    }
}

void ServiceController::onClock(int id, const QByteArray &text)
{
    if (!isReadPart(id, Task::SetClock, Task::ReadClock, 0, 7))
        return;
    m_accumulated += QString::fromLatin1(text);
    if (id < 7)
        return;
    const std::optional<QString> clock = clockTextFromReply(m_accumulated);
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
    emit valueRead(versionMessage(m_versionReply));
    succeed();
}
