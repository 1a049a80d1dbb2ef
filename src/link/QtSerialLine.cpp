#include "QtSerialLine.h"

#include "PortProblems.h"

#include <QElapsedTimer>
#include <QTimer>

QtSerialLine::QtSerialLine(QObject *parent) : SerialLine(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &SerialLine::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::onError);
}

QtSerialLine::~QtSerialLine()
{
    m_port->close();
}

int QtSerialLine::open(const QString &portName)
{
    if (m_port->isOpen()) {
        if (portName == m_openedName)
            return Opened;
        m_port->close();
    }
    // A full path (a pseudo-terminal, /dev/ttyACM0) is taken as it is.
    m_port->setPortName(portName);
    m_port->setBaudRate(QSerialPort::Baud57600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port->error();
        m_port->clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return NothingThere;
        case QSerialPort::PermissionError: // locked or held exclusively by another program
            return InUse;
        default:
            return 100 + int(error);
        }
    }
    // USB CDC adapters only pass data once DTR is up; a pseudo-terminal
    // refuses the request, which does no harm.
    m_port->setDataTerminalReady(true);
    m_port->clearError();
    m_openedName = portName;
    return Opened;
}

void QtSerialLine::close()
{
    m_port->close();
}

bool QtSerialLine::isOpen() const
{
    return m_port->isOpen();
}

QString QtSerialLine::portName() const
{
    return m_port->isOpen() ? m_openedName : QString();
}

void QtSerialLine::write(const QByteArray &bytes)
{
    if (m_port->isOpen())
        m_port->write(bytes);
}

QByteArray QtSerialLine::readAll()
{
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

void QtSerialLine::drain(int msecs)
{
    QElapsedTimer clock;
    clock.start();
    while (m_port->isOpen() && m_port->bytesToWrite() > 0 && clock.elapsed() < msecs)
        m_port->waitForBytesWritten(int(msecs - clock.elapsed()));
}

void QtSerialLine::onError(QSerialPort::SerialPortError error)
{
    // A vanished device shows as a resource error; a line hung up at the far
    // end (a terminal whose other side closed) reads nothing but end-of-file,
    // which the port reports as a read error, over and over; a write that
    // fails has lost its line too.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    // The device is gone. Close it outside the port's own signal, then tell
    // whoever is waiting on the line.
    if (m_dropPending)
        return;
    m_dropPending = true;
    // Qt reports a read that another program won as the same error as a
    // vanished device; tell the two apart.
    const QString reason = lostLineReason(m_openedName, m_port->errorString());
    QTimer::singleShot(0, this, [this, reason] { dropLine(reason); });
}

void QtSerialLine::dropLine(const QString &reason)
{
    m_dropPending = false;
    m_port->close();
    m_port->clearError();
    emit lost(reason);
}
