#pragma once
// SerialLine over QSerialPort: the real Programming Module or a pseudo-terminal
// given by its path.
#include "SerialLine.h"

#include <QSerialPort>

class QtSerialLine : public SerialLine {
    Q_OBJECT
public:
    explicit QtSerialLine(QObject *parent = nullptr);
    ~QtSerialLine() override;

    int open(const QString &portName) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void drain(int msecs) override;

private:
    void onError(QSerialPort::SerialPortError error);
    void dropLine(const QString &reason);

    QSerialPort *m_port;
    QString m_openedName; // as given to open(): QSerialPort shortens device paths
    bool m_dropPending = false;
};
