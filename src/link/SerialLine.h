#pragma once
// The Programming Module's serial line as the link sees it: open by name,
// write bytes, read whatever has arrived. The QSerialPort implementation
// drives the real module (or a pseudo-terminal); the fake keeps everything
// in memory so the protocol can be tested without a port.
#include <QByteArray>
#include <QObject>
#include <QString>

class SerialLine : public QObject {
    Q_OBJECT
public:
    // What an open attempt found. Any other value is an error code of the
    // port layer, reported to the user as a number.
    enum OpenResult {
        Opened = 0,
        NothingThere = 1, // no usable device at that name
        InUse = 2,        // another program holds the port
    };

    using QObject::QObject;

    // Opens the named port at 57600 baud, 8 data bits, no parity, 1 stop bit.
    // Opening the port that is already open succeeds without reopening it.
    virtual int open(const QString &portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;

    // Bytes go out in order, one byte per character, nothing added.
    virtual void write(const QByteArray &bytes) = 0;
    // Everything received since the last read, in arrival order.
    virtual QByteArray readAll() = 0;
    // Waits up to msecs for written bytes to leave (before a program exits).
    virtual void drain(int msecs) { Q_UNUSED(msecs); }

signals:
    void readyRead();
    // The device went away (unplugged module, closed pseudo-terminal). The
    // line is already closed when this is emitted.
    void lost(const QString &reason);
};
