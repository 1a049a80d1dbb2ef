#include "SwitchableLine.h"

SwitchableLine::SwitchableLine(SerialLine *device, QObject *parent) : SerialLine(parent)
{
    setDevice(device);
}

void SwitchableLine::setDevice(SerialLine *device)
{
    if (m_device)
        disconnect(m_device, nullptr, this, nullptr);
    m_device = device;
    if (!m_device)
        return;
    connect(m_device, &SerialLine::readyRead, this, &SerialLine::readyRead);
    connect(m_device, &SerialLine::lost, this, &SerialLine::lost);
}

int SwitchableLine::open(const QString &portName)
{
    return m_device ? m_device->open(portName) : int(NothingThere);
}

void SwitchableLine::close()
{
    if (m_device)
        m_device->close();
}

bool SwitchableLine::isOpen() const
{
    return m_device && m_device->isOpen();
}

QString SwitchableLine::portName() const
{
    return m_device ? m_device->portName() : QString();
}

void SwitchableLine::write(const QByteArray &bytes)
{
    if (m_device)
        m_device->write(bytes);
}

QByteArray SwitchableLine::readAll()
{
    return m_device ? m_device->readAll() : QByteArray();
}

void SwitchableLine::drain(int msecs)
{
    if (m_device)
        m_device->drain(msecs);
}
