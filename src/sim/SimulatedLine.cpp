#include "SimulatedLine.h"

#include "ExchangeSimulator.h"

SimulatedLine::SimulatedLine(ExchangeSimulator *exchange, QObject *parent)
    : SerialLine(parent), m_exchange(exchange)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedLine::service);
    connect(m_exchange, &ExchangeSimulator::reply, this, &SimulatedLine::queueReply);
    // The exchange's hang-up reaches the host once the replies before it have.
    connect(m_exchange, &ExchangeSimulator::hungUp, this, [this] {
        m_hangingUp = true;
        schedule();
    });
    setBaudRate(DefaultBaudRate);
    m_clock.start();
}

int SimulatedLine::open(const QString &)
{
    m_open = true;
    return Opened;
}

void SimulatedLine::close()
{
    m_open = false;
    m_timer.stop();
    m_toExchange.clear();
    m_toHost.clear();
    m_rx.clear();
}

QString SimulatedLine::portName() const
{
    return m_open ? QStringLiteral("Simulated exchange") : QString();
}

void SimulatedLine::setBaudRate(int baud)
{
    m_toExchange.setBaudRate(baud);
    m_toHost.setBaudRate(baud);
}

void SimulatedLine::write(const QByteArray &bytes)
{
    if (!m_open || bytes.isEmpty())
        return;
    m_toExchange.push(bytes, now());
    schedule();
}

QByteArray SimulatedLine::readAll()
{
    QByteArray bytes;
    bytes.swap(m_rx);
    return bytes;
}

void SimulatedLine::unplug(const QString &reason)
{
    if (!m_open)
        return;
    close();
    emit lost(reason);
}

void SimulatedLine::queueReply(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_toHost.push(bytes, now());
    schedule();
}

void SimulatedLine::service()
{
    if (!m_open)
        return;
    // Replies the exchange makes here queue behind what the line is carrying.
    const QByteArray arrived = m_toExchange.takeDue(now());
    if (!arrived.isEmpty())
        m_exchange->receive(arrived);
    const QByteArray due = m_toHost.takeDue(now());
    if (!due.isEmpty()) {
        m_rx += due;
        emit readyRead();
    }
    if (m_open && m_hangingUp && m_toHost.isEmpty()) {
        m_hangingUp = false;
        unplug(QStringLiteral("The simulated exchange hung up."));
        return;
    }
    schedule();
}

void SimulatedLine::schedule()
{
    if (!m_open)
        return;
    qint64 next = -1;
    for (qint64 due : {m_toExchange.nextDueNs(), m_toHost.nextDueNs()}) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    }
    if (m_hangingUp && next < 0)
        next = now();
    if (next < 0)
        return;
    const qint64 waitNs = std::max<qint64>(0, next - now());
    m_timer.start(int((waitNs + 999'999) / 1'000'000));
}
