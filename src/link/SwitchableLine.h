#pragma once
// A serial line whose device can be exchanged while nothing runs: the
// editor's link stays the same for the whole run whether it talks to the
// Programming Module or to the built-in simulator. Everything is passed on
// to the device in use; its signals come back as this line's own.
#include "SerialLine.h"

#include <QPointer>

class SwitchableLine : public SerialLine {
    Q_OBJECT
public:
    explicit SwitchableLine(SerialLine *device, QObject *parent = nullptr);

    // Puts `device` behind the line (not owned). The previous device is left as it was.
    void setDevice(SerialLine *device);
    SerialLine *device() const { return m_device; }

    int open(const QString &portName) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void drain(int msecs) override;

private:
    QPointer<SerialLine> m_device;
};
