#include "ExchangeConnection.h"

#include "ExchangeSimulator.h"
#include "LinkOperation.h"
#include "QtSerialLine.h"
#include "SimulatedLine.h"
#include "SwitchableLine.h"
#include "SerialLink.h"

#include <QTimer>

ExchangeConnection::ExchangeConnection(QObject *parent)
    : ExchangeConnection(std::make_unique<QtSerialLine>(), parent)
{
}

ExchangeConnection::ExchangeConnection(std::unique_ptr<SerialLine> moduleLine, QObject *parent)
    : QObject(parent), m_moduleLine(std::move(moduleLine))
{
    m_line = std::make_unique<SwitchableLine>(m_moduleLine.get());
    // The search probes and opens the module itself, never the simulator.
    m_search = std::make_unique<ModuleSearch>(m_moduleLine.get());
    m_link = std::make_unique<SerialLink>(m_line.get());
    m_link->setSilenceLimit(SilenceLimitMs);
    connect(m_search.get(), &ModuleSearch::connected, this, [this] {
        if (m_state != State::Simulated)
            setState(State::Connected);
    });
    // A simulated line can be lost too (its exchange hung up): then it is gone
    // like an unplugged module, and the search for the real one resumes.
    connect(m_line.get(), &SerialLine::lost, this, [this](const QString &reason) {
        if (m_state != State::Simulated)
            return;
        QTimer::singleShot(0, this, [this] { useModule(); });
        emit disconnected(reason);
    });
    connect(m_search.get(), &ModuleSearch::disconnected, this, [this](const QString &reason) {
        if (m_state == State::Simulated)
            return;
        setState(State::NoModule);
        emit disconnected(reason);
    });
}

ExchangeConnection::~ExchangeConnection()
{
    // The link goes first: it listens to the lines below it.
    m_link.reset();
    m_search.reset();
    m_line.reset();
}

QString ExchangeConnection::stateText() const
{
    switch (m_state) {
    case State::Connected:
        return QStringLiteral("Connected: ") + m_moduleLine->portName();
    case State::Searching:
        return QStringLiteral("Searching…");
    case State::Simulated:
        return QStringLiteral("Simulated exchange");
    case State::NoModule:
        break;
    }
    return QStringLiteral("No Programming Module");
}

bool ExchangeConnection::isOpen() const
{
    return m_line->isOpen();
}

bool ExchangeConnection::connectAtStart(const ModuleMessages &messages)
{
    if (m_state == State::Simulated)
        return true;
    // The quiet search waits meanwhile: its timer may fire while a box of
    // this search is open.
    m_search->stopRetrying();
    setState(State::Searching);
    const bool opened = m_search->connectModule(messages);
    if (!opened) {
        setState(State::NoModule);
        m_search->startRetrying();
    }
    return opened;
}

void ExchangeConnection::useSimulator(const QByteArray &image, int baud)
{
    m_search->stopRetrying();
    m_simulator = std::make_unique<ExchangeSimulator>();
    m_simulator->loadConfigImage(image);
    m_simulator->setClock(QDateTime::currentDateTime());
    m_simulator->setClockRunning(true);
    m_simLine = std::make_unique<SimulatedLine>(m_simulator.get());
    m_simLine->setBaudRate(baud);
    m_simLine->open(QString());
    m_line->setDevice(m_simLine.get());
    m_link->queueReset();
    setState(State::Simulated);
}

void ExchangeConnection::useModule()
{
    if (m_state != State::Simulated)
        return;
    m_line->setDevice(m_moduleLine.get());
    m_link->queueReset();
    m_simLine.reset();
    m_simulator.reset();
    if (m_moduleLine->isOpen()) {
        setState(State::Connected);
        return;
    }
    setState(State::NoModule);
    m_search->startRetrying();
}

bool ExchangeConnection::claim(LinkOperation *operation)
{
    if (m_claimed || !operation)
        return false;
    m_claimed = true;
    m_running = operation;
    connect(operation, &LinkOperation::finished, this, &ExchangeConnection::release);
    connect(operation, &LinkOperation::failed, this, &ExchangeConnection::release);
    connect(operation, &LinkOperation::cancelled, this, &ExchangeConnection::release);
    connect(operation, &QObject::destroyed, this, &ExchangeConnection::release);
    emit busyChanged(true);
    return true;
}

void ExchangeConnection::release()
{
    // Only the operation holding the line gives it back; a destroyed one reads as null.
    if (!m_claimed || (m_running && sender() != m_running.data()))
        return;
    if (m_running)
        disconnect(m_running, nullptr, this, nullptr);
    m_running.clear();
    m_claimed = false;
    emit busyChanged(false);
}

void ExchangeConnection::abandon(LinkOperation *operation)
{
    if (m_claimed && m_running == operation && !operation->isRunning()) {
        disconnect(operation, nullptr, this, nullptr);
        m_running.clear();
        m_claimed = false;
        emit busyChanged(false);
    }
}

void ExchangeConnection::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}
