#pragma once
// Puts an ExchangeSimulator behind a pseudo-terminal: the host opens slavePath() as its
// serial port. Bytes are carried at the line's pace in both directions, so a block
// reply takes as long as it would from the real exchange.
#include "LinePacer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class ExchangeSimulator;
class QSocketNotifier;

class PtyExchange : public QObject
{
    Q_OBJECT
  public:
    static constexpr int DefaultBaudRate = 57600;

    explicit PtyExchange(ExchangeSimulator *exchange, QObject *parent = nullptr);
    ~PtyExchange() override;

    bool open();  // creates the pseudo-terminal; errorString() says why it failed
    void close(); // the host sees its line hang up
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    void setBaudRate(int baud); // 0 carries bytes at once
    int baudRate() const { return m_baud; }
    // Silence before each piece of a split reply, so the pieces reach the host in
    // separate reads even on an unpaced line.
    void setPieceGapMs(int ms) { m_pieceGapMs = ms; }

  signals:
    void closed(); // the line is gone (after the exchange hung up, or close())

  private:
    void readMaster();
    void writeBacklog();
    void service();
    void schedule();
    void hangUpWhenRead();
    void queueReply(const QByteArray &bytes);
    qint64 now() const { return m_clock.nsecsElapsed(); }

    ExchangeSimulator *m_exchange;
    int m_master = -1;
    int m_slave = -1; // held open so the line keeps its settings between hosts
    QString m_slavePath;
    QString m_error;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    LinePacer m_toExchange;
    LinePacer m_toHost;
    QByteArray m_backlog; // due for the host but not yet taken by the pseudo-terminal
    int m_baud = DefaultBaudRate;
    int m_pieceGapMs = 2;
    bool m_hangingUp = false;
    QElapsedTimer m_hangupClock;
    QElapsedTimer m_lastWrite;
    static constexpr int SettleMs = 20;
    static constexpr int HangupGraceMs = 2000;
};
