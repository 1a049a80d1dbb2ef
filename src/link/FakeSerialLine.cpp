#include "FakeSerialLine.h"

int FakeSerialLine::open(const QString &portName)
{
    openAttempts.append(portName);
    if (m_open && portName == m_name)
        return Opened;
    const int result = openResults.value(portName, Opened);
    if (result == Opened) {
        m_open = true;
        m_name = portName;
    }
    return result;
}

void FakeSerialLine::close()
{
    m_open = false;
    m_rx.clear();
}

void FakeSerialLine::write(const QByteArray &bytes)
{
    if (!m_open)
        return;
    writes.append(bytes);
    if (responder)
        responder(bytes);
}

QByteArray FakeSerialLine::readAll()
{
    QByteArray bytes;
    bytes.swap(m_rx);
    return bytes;
}

void FakeSerialLine::feed(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_rx += bytes;
    emit readyRead();
}

void FakeSerialLine::vanish()
{
    close();
    emit lost(QStringLiteral("the device was removed"));
}
