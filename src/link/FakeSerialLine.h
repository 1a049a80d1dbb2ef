#pragma once
// An in-memory serial line for protocol tests: what the link writes is kept,
// what the test feeds in is handed over as received bytes, and an optional
// responder plays the exchange.
#include "SerialLine.h"

#include <QHash>
#include <QList>
#include <functional>

class FakeSerialLine : public SerialLine {
    Q_OBJECT
public:
    using SerialLine::SerialLine;

    int open(const QString &portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString portName() const override { return m_open ? m_name : QString(); }
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;

    // What open() answers for a name; names not listed open.
    QHash<QString, int> openResults;
    // Names open() was asked for, in order.
    QStringList openAttempts;

    // Every write, in order, and all written bytes joined.
    QList<QByteArray> writes;
    QByteArray written() const { return writes.join(); }
    void clearWritten() { writes.clear(); }

    // Called after each write with the bytes written; may feed() replies.
    std::function<void(const QByteArray &)> responder;

    // Bytes arriving from the exchange; readyRead follows at once.
    void feed(const QByteArray &bytes);
    // The device disappears: the line closes and lost() is emitted.
    void vanish();

private:
    bool m_open = false;
    QString m_name;
    QByteArray m_rx;
};
