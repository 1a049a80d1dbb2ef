#pragma once
// What every exchange operation shares: it runs on the link, reports its
// progress, and ends exactly once, finished, failed or cancelled. A silent
// exchange, a vanished line and a message due on a closed port fail the
// running operation; nothing is left queued behind a failure.
#include <QObject>
#include <QString>

class SerialLink;

// The failures an operation reports besides its own.
QString noReplyMessage();       // "No reply from the exchange"
QString notConnectedMessage();  // "Not connected to a tidelex"
QString lineLostMessage(const QString &reason);
QString damagedRepliesMessage(); // replies that keep failing their checksum

class LinkOperation : public QObject {
    Q_OBJECT
public:
    explicit LinkOperation(SerialLink &link, QObject *parent = nullptr);

    bool isRunning() const { return m_running; }
    // Messages of this run asked for again (no reply, or a damaged one).
    int retries() const { return m_retries; }
    // Forgets everything queued; the operation ends without touching anything.
    void cancel();

signals:
    // value of maximum, and the status text ("Getting Block 3 of 64").
    void progress(int value, int maximum, const QString &status);
    void finished();
    void failed(const QString &message);
    void cancelled();
    // A message of this run is asked for again ("Retrying block 5 of 64
    // (retry 2)"); `retries` counts every repeat of the run so far.
    void retrying(const QString &status, int retries);

protected:
    // Whether the line itself went away (unplugged, or closed at the far end)
    // in the failure being reported: nothing sent after that reached the
    // exchange.
    bool lineWentAway() const { return m_lineWentAway; }
    // False (and failed() emitted) when the line is not open.
    bool begin();
    void succeed();
    void fail(const QString &message);
    // Hook for subclasses: the operation stopped for whatever reason.
    virtual void stopped() {}
    // Hook for subclasses: the message a failure is reported with, so an
    // operation can add what the failure left behind.
    virtual QString failureMessage(const QString &cause) const { return cause; }
    // Repeats of messages sent for `owner` are this operation's to count
    // and tell, in the words of retryText().
    void countRetriesOf(int owner);
    virtual QString retryText(int id, int attempt) const;
    // Tells of a message sent again because the exchange refused it. Only
    // replies asked for again are counted in retries().
    void tellResend(const QString &status) { emit retrying(status, m_retries); }

    SerialLink &m_link;

private:
    bool end(bool dropQueue);
    bool m_running = false;
    bool m_lineWentAway = false;
    int m_retries = 0;
};
