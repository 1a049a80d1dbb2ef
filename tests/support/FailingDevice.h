#pragma once
// A write-only device that takes the first `limit` bytes and then refuses
// every further write, as a full disk or a vanished line would.
#include <QByteArray>
#include <QIODevice>

class FailingDevice : public QIODevice
{
  public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }

    QByteArray written; // what got through before the failure

  protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = m_limit - written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("simulated write failure"));
            return -1;
        }
        const qint64 n = qMin(room, size);
        written.append(data, n);
        return n;
    }

  private:
    qint64 m_limit;
};
