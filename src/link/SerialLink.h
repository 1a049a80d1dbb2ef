#pragma once
// The single path for all traffic to the exchange: a 128-slot ring of
// outgoing messages, an output step that sends one message at a time and
// waits for its reply, and a receiver that collects reply characters, checks
// and acknowledges block replies and hands each completed reply to the
// handler registered for its reply owner.
#include "ExchangeMap.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>

class SerialLine;

namespace Serial {

enum SlotState : int32_t {
    SlotFree = 0,
    SlotQueued = 1,
    SlotSending = 2,
    SlotDelay = 3,
    SlotWaiting = 4,
    SlotResend = 5,
};

enum ReplyKind : int32_t {
    ReplyNotify = 1,  // no reply; the owner is called right after sending
    ReplyNone = 2,    // no reply; the slot is freed after sending
    ReplyAnyByte = 3, // the first byte received completes the message
    ReplyText = 4,    // ExpectedLength characters complete it
    ReplyBlock = 5,   // checksum-verified block reply of ExpectedLength characters
    ReplyDelay = 6,   // delay slots only
};

// Who receives a completion.
enum ReplyOwner : int32_t {
    OwnerNone = 0,
    OwnerBoards = 1,
    OwnerVersion = 2,
    OwnerUpload = 6,
    OwnerPin = 7,
    OwnerPassword = 8,
    OwnerClock = 9,
    OwnerDownload = 10,
};

constexpr int QueueSize = 128;
constexpr int MessageSize = 501;
constexpr int RxBufferSize = 513;
constexpr int EnterSetupTicks = 160;  // 1.6 s of 10 ms output ticks
constexpr int PumpIntervalMs = 10;
constexpr int ReplyTimeoutMs = 2000; // the clearing fill's wait before it is sent again
constexpr int ResendMarginMs = 40;   // the exchange's time to answer, at least

// The Programming Module's line: 57600 baud, 10 bits on the wire per character.
constexpr int BaudRate = 57600;
constexpr int BitsPerCharacter = 10;
// Milliseconds the line needs to carry `characters` characters, rounded up.
constexpr int lineTimeMs(int characters)
{
    return (characters * BitsPerCharacter * 1000 + BaudRate - 1) / BaudRate;
}

} // namespace Serial

// One slot of the ring.
struct OutMessage {
    int32_t ReplyOwner = 0;
    int16_t Id = 0;
    std::array<char, Serial::MessageSize> Bytes{};
    int16_t Length = 0;         // bytes to send; ticks to wait for a delay slot
    int32_t ReplyKind = 0;
    int16_t ExpectedLength = 0; // reply characters for kinds 4 and 5
    int16_t Count = 0;          // ticks counted by a delay slot
    int32_t SlotState = Serial::SlotFree;
};

// Traffic for the terminal, as data: the text and the colour to show it in.
enum class TraceColour {
    Plain, // received printable characters
    Red,   // received control bytes
    Blue,  // sent control bytes
    Green, // sent printable command bytes
};

struct TraceFragment {
    TraceColour colour = TraceColour::Plain;
    QString text;
    bool operator==(const TraceFragment &) const = default;
};
Q_DECLARE_METATYPE(TraceFragment)

// 0xRRGGBB of a trace colour.
uint32_t traceRgb(TraceColour colour);

// value as `digits` uppercase hexadecimal digits with leading zeros.
QByteArray hexField(int value, int digits);
// Sum of the block's bytes written by the reply's digit pairs, modulo 256,
// compared with the byte written by the last two digits.
bool blockChecksumOk(const QByteArray &reply);

class SerialLink : public QObject {
    Q_OBJECT
public:
    // text: the reply characters (kinds 4, 5), the completing byte (kind 3),
    // empty (kind 1).
    using ReplyHandler = std::function<void(int id, const QByteArray &text)>;

    explicit SerialLink(SerialLine *line, QObject *parent = nullptr);
    ~SerialLink() override;

    SerialLine *line() const { return m_line; }

    // A controller registers for its owner code; an empty handler removes it.
    // `holder` marks whose handler it is.
    void setReplyHandler(int owner, ReplyHandler handler, const QObject *holder = nullptr);
    // Removes the owner's handler only while `holder` is the one that set it,
    // so a controller going away never takes a newer one's handler with it.
    void removeReplyHandler(int owner, const QObject *holder);

    // Queueing: each fills the slot at the write index and returns true, or
    // drops the message and returns false when that slot is not free.
    bool queueReadBlock(int owner, int id, int addr);
    bool queueWriteBlock(int owner, int id, int addr, const QByteArray &bytes);
    bool queueReadByte(int owner, int id, int addr);
    bool queueWriteByte(int owner, int id, int addr, int value, bool completion);
    bool queueWriteWord(int owner, int id, int addr, int first, int second, bool completion);
    bool queueFill(int owner, int id, int addr, int count, int value);
    // The two enter-setup bytes with a pause of 1.6 s between them; queued
    // whole or not at all.
    bool queueEnterSetup();
    bool queueReboot(int owner = Serial::OwnerNone, int id = 0);
    bool queueClockUpdate(int owner, int id);
    void sendAck(bool ok);

    // Every slot free, both indexes at 0; nothing in flight is waited for.
    void queueReset();

    bool showAllMessages() const { return m_showAll; }
    void setShowAllMessages(bool on);
    void suspendTrace();
    void restoreTrace();

    // One tick of the 10 ms output timer.
    void pumpOutput();
    // Everything the line delivered in one read.
    void receiveText(const QByteArray &text);

    // Inspection, for tests and the raw views.
    const OutMessage &slot(int index) const { return m_queue[size_t(index)]; }
    int readIndex() const { return m_read; }
    int writeIndex() const { return m_write; }
    int receiveCount() const { return m_rxCount; }
    // Nothing queued, delayed or awaited.
    bool isIdle() const;

    // A waiting message is sent again when no reply byte has come for the
    // time its bytes and its reply need on the line plus this margin (the
    // exchange's own time to answer; it grows to twice the slowest answer
    // seen). 0 = never. Reads and writes of the exchange memory are
    // repeatable; the clearing fill waits longer, as the exchange takes a
    // while over it.
    void setResendMargin(int msecs) { m_resendMarginMs = msecs; }
    // How long, now, a message waits for its reply before it is asked again.
    int resendWaitMs(const OutMessage &message) const;
    // While held, nothing new is sent (a reply already asked for is still
    // taken): an operation waits for the technician's answer.
    void setHeld(bool held);
    bool isHeld() const { return m_held; }
    // After this long without a reply byte, noReply() is emitted (0 = never).
    void setSilenceLimit(int msecs) { m_silenceMs = msecs; }
    int silenceLimit() const { return m_silenceMs; }
    // After this many damaged replies in a row to one block read,
    // repliesDamaged() is emitted (0 = ask again for ever).
    void setDamagedLimit(int count) { m_damagedLimit = count; }
    // The 10 ms output timer runs from construction; tests stop it to drive
    // pumpOutput by hand.
    void setPumping(bool on);
    // Ticks between the two setup bytes, for every link: the exchange needs
    // EnterSetupTicks; the simulated exchange needs none, and tests that are
    // not about the pause shorten it.
    static inline int setupPauseTicks = Serial::EnterSetupTicks;

signals:
    void traced(const QList<TraceFragment> &fragments);
    // For the terminal's "Show All Messages" tick.
    void showAllMessagesChanged(bool on);
    // A message was due while the port was closed; it did not go out.
    void notConnected(const QString &status);
    // A message's bytes have been handed to the open line.
    void messageSent(int owner, int id);
    // The exchange has stayed silent for the silence limit.
    void noReply();
    // Block replies keep arriving damaged: the line is too poor to go on.
    void repliesDamaged();
    // The line disappeared (module unplugged); the port is closed.
    void lineLost(const QString &reason);
    // The last queued message has gone out and nothing is awaited.
    void drained();
    // A message is asked for again (no reply came, or a block reply was
    // damaged); `attempt` counts the repeats of this message, from 1.
    void retrying(int owner, int id, int attempt);

  private:
    bool queueMessage(int owner, int id, const QByteArray &bytes, int kind, int expected = 0);
    OutMessage &current() { return m_queue[size_t(m_read)]; }
    void advance();
    void complete(const QByteArray &reply);
    void callOwner(int owner, int id, const QByteArray &text);
    void sendPending();
    void sendCurrent();
    void scheduleSend();
    void onReadyRead();
    void onReplyTimeout();
    void checkSilence();
    void noteProgress();
    void traceSent(char command);

    SerialLine *m_line;
    std::array<OutMessage, Serial::QueueSize> m_queue{};
    int m_read = 0;
    int m_write = 0;
    std::array<char, Serial::RxBufferSize> m_rx{};
    int m_rxCount = 0;
    QByteArray m_suspectReply; // a well-summed reply refused for digits behind it
    bool m_showAll = false;
    bool m_savedShowAll = false;
    bool m_traceSuspended = false;
    QHash<int, ReplyHandler> m_handlers;
    QHash<int, const QObject *> m_handlerHolders;

    QTimer m_pumpTimer;
    QTimer m_replyTimer;
    QElapsedTimer m_sinceProgress;
    void startReplyTimer();
    void noteAnswer();
    void keepQuiet(const OutMessage &answered);
    void endQuiet();

    int m_resendMarginMs = Serial::ResendMarginMs;
    int m_slowestAnswerMs = 0; // the longest the exchange took to start a reply
    QElapsedTimer m_sinceSent; // since the current message went out the first time
    int m_attempts = 0;        // repeats of the current message
    bool m_retried = false;    // the reply being taken answers a repeated message
    bool m_quiet = false;      // after a repeated message: waiting out a late second reply
    QTimer m_quietTimer;
    bool m_held = false;
    int m_silenceMs = 0;
    bool m_silenceReported = false;
    int m_damagedLimit = 20;
    int m_damaged = 0; // damaged replies in a row
    bool m_resending = false;
    bool m_rxSinceTick = false;
    bool m_sendScheduled = false;
    int m_busy = 0;      // inside the pump or the receiver: sending waits for the end
    bool m_reading = false;
};
