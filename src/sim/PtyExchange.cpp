#include "PtyExchange.h"

#include "ExchangeSimulator.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{

QString systemError(const char *what)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyExchange::PtyExchange(ExchangeSimulator *exchange, QObject *parent)
    : QObject(parent), m_exchange(exchange)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PtyExchange::service);
    connect(m_exchange, &ExchangeSimulator::reply, this, &PtyExchange::queueReply);
    connect(m_exchange, &ExchangeSimulator::hungUp, this, [this] { m_hangingUp = true; });
    setBaudRate(m_baud);
    m_clock.start();
}

PtyExchange::~PtyExchange()
{
    close();
}

void PtyExchange::setBaudRate(int baud)
{
    m_baud = baud;
    m_toExchange.setBaudRate(baud);
    m_toHost.setBaudRate(baud);
}

bool PtyExchange::open()
{
    close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    char name[128];
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        m_error = systemError("pseudo-terminal setup");
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    termios tio{};
    if (m_slave < 0 || tcgetattr(m_slave, &tio) != 0) {
        m_error = systemError("open slave");
        close();
        return false;
    }
    // Raw 8-bit line: no echo, no line editing, no newline translation.
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tcsetattr(m_slave, TCSANOW, &tio);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyExchange::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyExchange::writeBacklog);
    m_hangingUp = false;
    m_hangupClock.invalidate();
    m_lastWrite.invalidate();
    m_error.clear();
    return true;
}

void PtyExchange::close()
{
    const bool wasOpen = m_master >= 0;
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_timer.stop();
    m_toExchange.clear();
    m_toHost.clear();
    m_backlog.clear();
    if (wasOpen)
        emit closed();
}

void PtyExchange::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_toExchange.push(QByteArray(buffer, n), now());
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read. EIO cannot occur while our own slave is open.
    }
    service();
}

void PtyExchange::queueReply(const QByteArray &bytes)
{
    if (m_exchange->faults().split && m_pieceGapMs > 0)
        m_toHost.pause(qint64(m_pieceGapMs) * 1'000'000, now());
    m_toHost.push(bytes, now());
}

void PtyExchange::service()
{
    if (!isOpen())
        return;
    // Replies the exchange produces here are queued behind the line's current traffic.
    const QByteArray arrived = m_toExchange.takeDue(now());
    if (!arrived.isEmpty())
        m_exchange->receive(arrived);
    m_backlog += m_toHost.takeDue(now());
    writeBacklog();
    if (!isOpen())
        return;
    if (m_hangingUp && m_toHost.isEmpty() && m_backlog.isEmpty()) {
        hangUpWhenRead();
        return;
    }
    schedule();
}

void PtyExchange::writeBacklog()
{
    if (!isOpen())
        return;
    while (!m_backlog.isEmpty()) {
        const ssize_t n = ::write(m_master, m_backlog.constData(), size_t(m_backlog.size()));
        if (n > 0) {
            m_backlog.remove(0, n);
            m_lastWrite.start();
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // the host is not reading: wait until the pseudo-terminal takes more
        }
    }
    m_writeNotifier->setEnabled(!m_backlog.isEmpty());
    if (m_backlog.isEmpty() && m_hangingUp && m_toHost.isEmpty())
        QTimer::singleShot(0, this, &PtyExchange::service);
}

void PtyExchange::hangUpWhenRead()
{
    // Closing the master throws away whatever the host has not read yet, which a real
    // line would have delivered before going dead. Wait until the host's side is empty,
    // counting only once the last bytes written have had time to reach it; give up
    // after a while for a host that never reads.
    if (!m_hangupClock.isValid())
        m_hangupClock.start();
    int unread = 0;
    if (::ioctl(m_slave, FIONREAD, &unread) != 0)
        unread = 0;
    const bool settled = m_lastWrite.isValid() ? m_lastWrite.hasExpired(SettleMs) : true;
    if ((unread == 0 && settled) || m_hangupClock.hasExpired(HangupGraceMs)) {
        close();
        return;
    }
    m_timer.start(SettleMs);
}

void PtyExchange::schedule()
{
    qint64 next = -1;
    for (qint64 due : {m_toExchange.nextDueNs(), m_toHost.nextDueNs()}) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    }
    if (next < 0) {
        m_timer.stop();
        return;
    }
    const qint64 waitNs = std::max<qint64>(0, next - now());
    m_timer.start(int((waitNs + 999'999) / 1'000'000));
}
