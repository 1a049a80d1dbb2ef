#include "SerialLink.h"

#include "SerialLine.h"

using namespace Serial;
using namespace ExchMap;

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Bytes a noisy or idle line produces on its own; none of them answers a command.
bool isLineNoise(char c)
{
    return c == '\0' || c == '\n' || c == '\r' || c == '\x7F' || c == '\xFF';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

int hexByte(const char *pair)
{
    return hexValue(pair[0]) * 16 + hexValue(pair[1]);
}

// A byte field of a command: the low byte only.
QByteArray byteField(int value)
{
    return hexField(value & 0xFF, ByteDigits);
}

// A control byte shown as a letter: 0x04 is D, 0x0C is L.
QString controlLetter(unsigned char byte)
{
    return QString(QChar(64 + byte));
}

void appendTrace(QList<TraceFragment> &trace, TraceColour colour, const QString &text)
{
    if (!trace.isEmpty() && trace.last().colour == colour && colour == TraceColour::Plain)
        trace.last().text += text;
    else
        trace.append({colour, text});
}

void traceReceived(QList<TraceFragment> &trace, unsigned char byte)
{
    if (byte >= 128)
        return;
    if (byte >= 32) {
        appendTrace(trace, TraceColour::Plain, QString(QChar(char16_t(byte))));
        return;
    }
    switch (byte) {
    case 13:
        appendTrace(trace, TraceColour::Plain, QStringLiteral("\r\n"));
        return;
    case 10:
        return;
    case Reply::Refused:
        appendTrace(trace, TraceColour::Red, QStringLiteral("<NAK>"));
        return;
    case Reply::Ack:
        appendTrace(trace, TraceColour::Red, QStringLiteral("<ACK>"));
        return;
    case Reply::Timeout:
        appendTrace(trace, TraceColour::Red, QStringLiteral("<TIMEOUT>"));
        return;
    default:
        appendTrace(trace, TraceColour::Red, controlLetter(byte));
    }
}

} // namespace

uint32_t traceRgb(TraceColour colour)
{
    switch (colour) {
    case TraceColour::Red:
        return 0xFF0000;
    case TraceColour::Blue:
        return 0x0000FF;
    case TraceColour::Green:
        return 0x008000;
    case TraceColour::Plain:
        break;
    }
    return 0x000000;
}

QByteArray hexField(int value, int digits)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0', true);
}

bool blockChecksumOk(const QByteArray &reply)
{
    if (reply.size() != BlockReplyLength)
        return false;
    int sum = 0;
    for (int k = 0; k < BlockSize; ++k)
        sum = (sum + hexByte(reply.constData() + ByteDigits * k)) % 256;
    return sum == hexByte(reply.constData() + ByteDigits * BlockSize);
}

SerialLink::SerialLink(SerialLine *line, QObject *parent) : QObject(parent), m_line(line)
{
    connect(m_line, &SerialLine::readyRead, this, &SerialLink::onReadyRead);
    connect(m_line, &SerialLine::lost, this, &SerialLink::lineLost);

    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    m_pumpTimer.setInterval(PumpIntervalMs);
    connect(&m_pumpTimer, &QTimer::timeout, this, &SerialLink::pumpOutput);
    m_pumpTimer.start();

    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &SerialLink::onReplyTimeout);
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, &SerialLink::endQuiet);
    m_sinceProgress.start();
    m_sinceSent.start();
}

SerialLink::~SerialLink() = default;

void SerialLink::setPumping(bool on)
{
    if (on)
        m_pumpTimer.start();
    else
        m_pumpTimer.stop();
}

void SerialLink::setReplyHandler(int owner, ReplyHandler handler, const QObject *holder)
{
    if (handler) {
        m_handlers.insert(owner, std::move(handler));
        m_handlerHolders.insert(owner, holder);
    } else {
        m_handlers.remove(owner);
        m_handlerHolders.remove(owner);
    }
}

void SerialLink::removeReplyHandler(int owner, const QObject *holder)
{
    if (m_handlerHolders.value(owner) == holder)
        setReplyHandler(owner, {});
}

bool SerialLink::queueMessage(int owner, int id, const QByteArray &bytes, int kind, int expected)
{
    OutMessage &slot = m_queue[size_t(m_write)];
    if (slot.SlotState != SlotFree || bytes.size() > MessageSize)
        return false;
    slot = OutMessage{};
    slot.ReplyOwner = owner;
    slot.Id = int16_t(id);
    std::copy(bytes.begin(), bytes.end(), slot.Bytes.begin());
    slot.Length = int16_t(bytes.size());
    slot.ReplyKind = kind;
    slot.ExpectedLength = int16_t(expected);
    slot.SlotState = SlotQueued;
    m_write = (m_write + 1) % QueueSize;
    scheduleSend();
    return true;
}

bool SerialLink::queueReadBlock(int owner, int id, int addr)
{
    return queueMessage(owner, id, Cmd::ReadBlock + hexField(addr, AddressDigits), ReplyBlock,
                        BlockReplyLength);
}

bool SerialLink::queueWriteBlock(int owner, int id, int addr, const QByteArray &bytes)
{
    if (bytes.size() != BlockSize)
        return false;
    QByteArray message = Cmd::WriteBlock + hexField(addr, AddressDigits);
    int sum = 0;
    for (char byte : bytes) {
        message += hexField(static_cast<unsigned char>(byte), ByteDigits);
        sum = (sum + static_cast<unsigned char>(byte)) % 256;
    }
    message += hexField(sum, ByteDigits);
    return queueMessage(owner, id, message, ReplyAnyByte);
}

bool SerialLink::queueReadByte(int owner, int id, int addr)
{
    return queueMessage(owner, id, Cmd::ReadByte + hexField(addr, AddressDigits), ReplyText,
                        ByteReplyLength);
}

bool SerialLink::queueWriteByte(int owner, int id, int addr, int value, bool completion)
{
    return queueMessage(owner, id,
                        Cmd::WriteByte + hexField(addr, AddressDigits) + byteField(value),
                        completion ? ReplyNotify : ReplyNone);
}

bool SerialLink::queueWriteWord(int owner, int id, int addr, int first, int second,
                                bool completion)
{
    return queueMessage(owner, id,
                        Cmd::WriteWord + hexField(addr, AddressDigits) + byteField(first) +
                            byteField(second),
                        completion ? ReplyNotify : ReplyNone);
}

bool SerialLink::queueFill(int owner, int id, int addr, int count, int value)
{
    return queueMessage(owner, id,
                        Cmd::Fill + hexField(addr, AddressDigits) + hexField(count, CountDigits) +
                            byteField(value),
                        ReplyAnyByte);
}

bool SerialLink::queueEnterSetup()
{
    // All three slots or none: a half-queued sequence would leave the
    // exchange between its two setup bytes.
    for (int k = 0; k < 3; ++k) {
        if (m_queue[size_t((m_write + k) % QueueSize)].SlotState != SlotFree)
            return false;
    }
    queueMessage(OwnerNone, 0, QByteArray(1, Cmd::EnterSetup1), ReplyNotify);
    OutMessage &delay = m_queue[size_t(m_write)];
    delay = OutMessage{};
    delay.Length = int16_t(setupPauseTicks);
    delay.ReplyKind = ReplyDelay;
    delay.SlotState = SlotDelay;
    m_write = (m_write + 1) % QueueSize;
    queueMessage(OwnerNone, 0, QByteArray(1, Cmd::EnterSetup2), ReplyNotify);
    return true;
}

bool SerialLink::queueReboot(int owner, int id)
{
    return queueMessage(owner, id, QByteArray(1, Cmd::Reboot), ReplyNotify);
}

bool SerialLink::queueClockUpdate(int owner, int id)
{
    return queueMessage(owner, id, QByteArray(1, Cmd::ClockUpdate), ReplyNotify);
}

void SerialLink::sendAck(bool ok)
{
    if (ok)
        queueMessage(OwnerNone, 0, QByteArray(1, Cmd::Ack), ReplyNone);
    else
        current().SlotState = SlotResend;
}

void SerialLink::queueReset()
{
    for (OutMessage &slot : m_queue)
        slot.SlotState = SlotFree;
    m_read = 0;
    m_write = 0;
    m_rxCount = 0;
    m_replyTimer.stop();
    m_quietTimer.stop();
    m_quiet = false;
    m_retried = false;
    m_attempts = 0;
    m_silenceReported = false;
    m_damaged = 0;
    m_suspectReply.clear();
    m_sinceProgress.restart();
}

void SerialLink::setShowAllMessages(bool on)
{
    if (m_showAll == on)
        return;
    m_showAll = on;
    emit showAllMessagesChanged(on);
}

void SerialLink::suspendTrace()
{
    if (!m_traceSuspended)
        m_savedShowAll = m_showAll;
    m_traceSuspended = true;
    setShowAllMessages(false);
}

void SerialLink::restoreTrace()
{
    // Only a suspended trace is put back: an operation that never suspended
    // it must not undo the technician's own choice made since.
    if (!m_traceSuspended)
        return;
    m_traceSuspended = false;
    setShowAllMessages(m_savedShowAll);
}

bool SerialLink::isIdle() const
{
    for (const OutMessage &slot : m_queue) {
        if (slot.SlotState != SlotFree)
            return false;
    }
    return true;
}

void SerialLink::advance()
{
    m_read = (m_read + 1) % QueueSize;
    current().Count = 0;
}

void SerialLink::complete(const QByteArray &reply)
{
    OutMessage &slot = current();
    const int owner = slot.ReplyOwner;
    const int id = slot.Id;
    slot.SlotState = SlotFree;
    m_replyTimer.stop();
    if (m_retried)
        keepQuiet(slot);
    m_attempts = 0;
    advance();
    callOwner(owner, id, reply);
}

void SerialLink::callOwner(int owner, int id, const QByteArray &text)
{
    // A copy: the handler may replace or remove itself.
    const ReplyHandler handler = m_handlers.value(owner);
    if (handler)
        handler(id, text);
}

void SerialLink::scheduleSend()
{
    // A queueing call never sends from inside itself, so a caller queueing a
    // sequence is not re-entered by the completion of its first message.
    if (m_busy || m_sendScheduled)
        return;
    m_sendScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_sendScheduled = false;
            sendPending();
        },
        Qt::QueuedConnection);
}

void SerialLink::sendPending()
{
    if (m_busy || m_held || m_quiet)
        return;
    ++m_busy;
    // Messages without a reply go out back to back; the loop stops at a
    // delay, at a message awaiting its reply, or at an empty queue.
    bool sent = false;
    while (current().SlotState == SlotQueued && !m_held && !m_quiet) {
        sendCurrent();
        sent = true;
    }
    --m_busy;
    if (sent && isIdle())
        emit drained();
}

void SerialLink::sendCurrent()
{
    OutMessage &slot = current();
    slot.SlotState = SlotSending;
    m_rxCount = 0;
    const bool awaitsReply = slot.ReplyKind != ReplyNotify && slot.ReplyKind != ReplyNone;
    if (awaitsReply) {
        // Waiting before the bytes leave: a fast line may answer inside write().
        slot.SlotState = SlotWaiting;
        if (!m_resending) {
            noteProgress();
            m_damaged = 0;
            m_attempts = 0;
            m_sinceSent.restart();
        }
        startReplyTimer();
    }
    if (m_showAll)
        traceSent(slot.Bytes[0]);
    const QByteArray bytes(slot.Bytes.data(), slot.Length);
    const int owner = slot.ReplyOwner;
    const int id = slot.Id;
    const int kind = slot.ReplyKind;
    if (!awaitsReply) {
        slot.SlotState = SlotFree;
        advance();
    }
    if (!m_line->isOpen()) {
        // Bytes that never left are never reported as sent or completed.
        emit notConnected(QStringLiteral("Not connected to a tidelex"));
        return;
    }
    m_line->write(bytes);
    emit messageSent(owner, id);
    if (kind == ReplyNotify && owner >= OwnerUpload && owner <= OwnerClock)
        callOwner(owner, id, QByteArray());
}

void SerialLink::traceSent(char command)
{
    const auto byte = static_cast<unsigned char>(command);
    if (byte >= 32)
        emit traced({{TraceColour::Green, QString(QChar(char16_t(byte)))}});
    else
        emit traced({{TraceColour::Blue, controlLetter(byte)}});
}

void SerialLink::pumpOutput()
{
    ++m_busy;
    OutMessage &slot = current();
    switch (slot.SlotState) {
    case SlotDelay:
        if (++slot.Count >= slot.Length) {
            slot.SlotState = SlotFree;
            advance();
        }
        break;
    case SlotResend:
        // Ask again only once the line has been quiet for a tick, so the
        // rest of a misframed reply is not taken for the start of the next.
        if (m_rxSinceTick)
            break;
        if (m_showAll)
            emit traced({{TraceColour::Blue, QStringLiteral("<NACK>")}});
        m_rxCount = 0;
        slot.SlotState = SlotWaiting;
        emit retrying(slot.ReplyOwner, slot.Id, ++m_attempts);
        startReplyTimer();
        if (m_line->isOpen())
            m_line->write(QByteArray(1, Cmd::Resend));
        break;
    default:
        break;
    }
    m_rxSinceTick = false;
    checkSilence();
    --m_busy;
    sendPending();
}

void SerialLink::noteProgress()
{
    m_sinceProgress.restart();
    m_silenceReported = false;
}

void SerialLink::checkSilence()
{
    const int state = current().SlotState;
    if (state != SlotWaiting && state != SlotResend)
        return;
    if (m_silenceMs <= 0 || m_silenceReported || m_sinceProgress.elapsed() < m_silenceMs)
        return;
    m_silenceReported = true;
    emit noReply();
}

void SerialLink::onReplyTimeout()
{
    // The reply never came (lost on the line, or the request never arrived):
    // send the same request again. Every waiting command is a read or a write
    // of the same bytes to the same place, so repeating it is harmless.
    OutMessage &slot = current();
    if (slot.SlotState != SlotWaiting || m_busy || m_held)
        return;
    slot.SlotState = SlotQueued;
    m_retried = true;
    emit retrying(slot.ReplyOwner, slot.Id, ++m_attempts);
    m_resending = true;
    sendPending();
    m_resending = false;
}

int SerialLink::resendWaitMs(const OutMessage &message) const
{
    if (m_resendMarginMs <= 0)
        return 0;
    const int margin = std::max(m_resendMarginMs, 2 * m_slowestAnswerMs);
    if (message.Bytes[0] == Cmd::Fill)
        return std::max(ReplyTimeoutMs, margin);
    const int reply = message.ReplyKind == ReplyAnyByte ? 1 : message.ExpectedLength;
    return lineTimeMs(message.Length + reply) + margin;
}

void SerialLink::startReplyTimer()
{
    const int wait = resendWaitMs(current());
    if (wait > 0)
        m_replyTimer.start(wait);
}

void SerialLink::noteAnswer()
{
    // The first reply byte to a message sent once: how long the exchange
    // took to start answering, beyond the time the request needs on the line.
    if (m_attempts > 0 || m_rxCount > 0)
        return;
    const OutMessage &slot = current();
    const int answer = int(m_sinceSent.elapsed()) - lineTimeMs(slot.Length);
    m_slowestAnswerMs = std::max(m_slowestAnswerMs, std::min(answer, ReplyTimeoutMs));
}

void SerialLink::keepQuiet(const OutMessage &answered)
{
    // A repeated request may still be answered twice (the first reply was
    // only late): nothing more goes out until the line has been quiet for as
    // long as the exchange takes to answer it, and whatever arrives
    // meanwhile is the second answer, dropped.
    m_retried = false;
    m_quiet = true;
    const int answer = std::max(m_resendMarginMs, 2 * m_slowestAnswerMs);
    m_quietTimer.start(answered.Bytes[0] == Cmd::Fill ? std::max(ReplyTimeoutMs, answer) : answer);
}

void SerialLink::endQuiet()
{
    m_quiet = false;
    sendPending();
}

void SerialLink::setHeld(bool held)
{
    if (m_held == held)
        return;
    m_held = held;
    if (held) {
        m_replyTimer.stop();
        return;
    }
    if (current().SlotState == SlotWaiting)
        startReplyTimer();
    sendPending();
}

void SerialLink::onReadyRead()
{
    // Data that arrives while a chunk is being handled is read by the loop
    // below, never left waiting for another readyRead.
    if (m_reading)
        return;
    m_reading = true;
    for (QByteArray chunk = m_line->readAll(); !chunk.isEmpty(); chunk = m_line->readAll())
        receiveText(chunk);
    m_reading = false;
}

void SerialLink::receiveText(const QByteArray &text)
{
    ++m_busy;
    m_replyTimer.stop();
    if (!text.isEmpty())
        m_rxSinceTick = true;
    QList<TraceFragment> trace;
    if (m_quiet && !text.isEmpty())
        m_quietTimer.start(); // still talking: the quiet starts again
    for (qsizetype n = 0; n < text.size(); ++n) {
        const char byte = text[n];
        if (m_showAll)
            traceReceived(trace, static_cast<unsigned char>(byte));
        OutMessage &slot = current();
        if (slot.SlotState != SlotWaiting || m_quiet)
            continue;
        switch (slot.ReplyKind) {
        case ReplyAnyByte:
            if (isLineNoise(byte))
                break;
            noteAnswer();
            noteProgress();
            complete(QByteArray(1, byte));
            break;
        case ReplyText:
        case ReplyBlock: {
            // Replies are hexadecimal text; anything else is noise on the line.
            if (!isHexDigit(byte))
                break;
            noteAnswer();
            noteProgress();
            m_rx[size_t(m_rxCount++)] = byte;
            if (m_rxCount < slot.ExpectedLength && m_rxCount < RxBufferSize)
                break;
            const QByteArray reply(m_rx.data(), m_rxCount);
            if (slot.ReplyKind == ReplyBlock) {
                // More digits right behind a full reply mean the reply was
                // misframed (a stray digit inside it): ask for it again too.
                bool trailing = false;
                for (qsizetype k = n + 1; k < text.size() && !trailing; ++k)
                    trailing = isHexDigit(text[k]);
                // The same well-summed reply twice is taken even with
                // digits behind it, so a chatty line cannot stall the transfer.
                const bool sumOk = blockChecksumOk(reply);
                if (!sumOk || (trailing && reply != m_suspectReply)) {
                    m_suspectReply = sumOk ? reply : QByteArray();
                    sendAck(false);
                    if (m_damagedLimit > 0 && ++m_damaged == m_damagedLimit)
                        emit repliesDamaged();
                    break;
                }
                m_suspectReply.clear();
                m_damaged = 0;
                sendAck(true); // queued ahead of whatever the owner queues next
            }
            complete(reply);
            break;
        }
        default:
            break;
        }
    }
    if (!trace.isEmpty())
        emit traced(trace);
    if (current().SlotState == SlotWaiting && !m_held)
        startReplyTimer();
    --m_busy;
    sendPending();
}
