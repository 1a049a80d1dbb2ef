#pragma once
// One direction of a serial line: bytes handed in become available only after the time
// the line needs to carry them (10 bit times a byte: start, 8 data, stop).
#include <QByteArray>
#include <QtGlobal>

#include <deque>

class LinePacer
{
  public:
    void setBaudRate(int baud) { m_byteNs = baud > 0 ? 10'000'000'000LL / baud : 0; }
    qint64 byteTimeNs() const { return m_byteNs; }

    // Queues bytes that reach the line at `nowNs`; they leave one byte time apart.
    void push(const QByteArray &bytes, qint64 nowNs);
    // Keeps the line silent for `ns` before the next byte queued after this call.
    void pause(qint64 ns, qint64 nowNs);
    // Takes every byte whose time has come.
    QByteArray takeDue(qint64 nowNs);
    // Time of the next byte, -1 when none is queued.
    qint64 nextDueNs() const { return m_queue.empty() ? -1 : m_queue.front().due; }
    bool isEmpty() const { return m_queue.empty(); }
    void clear() { m_queue.clear(); }

  private:
    struct Timed {
        qint64 due;
        char byte;
    };
    std::deque<Timed> m_queue;
    qint64 m_byteNs = 0;
    qint64 m_lineFreeNs = 0; // when the last queued byte has been carried
};
