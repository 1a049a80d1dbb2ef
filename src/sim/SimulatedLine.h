#pragma once
// The simulated exchange behind the program's own serial-line interface, in
// the same process: what the link writes reaches the exchange, and its
// replies come back, each after the time a real line at the set speed needs
// to carry them. Portable (no pseudo-terminal), so the editor can train a
// technician and tests can drive every window without hardware.
#include "LinePacer.h"
#include "SerialLine.h"

#include <QElapsedTimer>
#include <QTimer>

class ExchangeSimulator;

class SimulatedLine : public SerialLine {
    Q_OBJECT
public:
    static constexpr int DefaultBaudRate = 57600;

    explicit SimulatedLine(ExchangeSimulator *exchange, QObject *parent = nullptr);

    // Any name opens the line; portName() then reads "Simulated exchange".
    int open(const QString &portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString portName() const override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;

    void setBaudRate(int baud); // 0 carries bytes at once
    // The line goes dead as an unplugged module does: closed, then lost().
    void unplug(const QString &reason);

private:
    void service();
    void schedule();
    void queueReply(const QByteArray &bytes);
    qint64 now() const { return m_clock.nsecsElapsed(); }

    ExchangeSimulator *m_exchange;
    LinePacer m_toExchange;
    LinePacer m_toHost;
    QByteArray m_rx;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_open = false;
    bool m_hangingUp = false;
};
