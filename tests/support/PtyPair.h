#pragma once
// Pseudo-terminals for tests (POSIX; tests and the simulator are the only places that use it).
// PtyPair is a plain raw master/slave pair; the free functions read and write a line
// by path or descriptor while the Qt event loop keeps running, so an in-process
// simulator on the other end gets to answer.
#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// Opens a line by path in raw mode, non-blocking; -1 on failure.
inline int openRawLine(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

inline bool writeLine(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
    }
    return true;
}

struct LineRead {
    QByteArray bytes;
    bool closed = false; // the other end hung up
};

// Reads until `count` bytes came, the line hung up, or `timeoutMs` passed; Qt events are
// processed meanwhile.
inline LineRead readLine(int fd, qsizetype count, int timeoutMs)
{
    LineRead result;
    QDeadlineTimer deadline(timeoutMs);
    while (result.bytes.size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1) <= 0)
            continue;
        char buffer[1024];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            result.bytes.append(buffer, n);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            result.closed = true;
            break;
        }
    }
    return result;
}

class PtyPair
{
  public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        char name[128];
        if (ptsname_r(m_master, name, sizeof name) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(name);
        m_slave = openRawLine(m_slavePath);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && m_slave >= 0; }
    // The far end hangs up: every slave reads end-of-file from now on.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    int master() const { return m_master; }
    int slave() const { return m_slave; } // raw, non-blocking; keeps the settings alive
    QString slavePath() const { return m_slavePath; }

  private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
