#include "ExchangeSimulator.h"

namespace
{

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads `digits` hex characters at `from`; the caller has checked they are hex.
int hexField(const QByteArray &text, int from, int digits)
{
    int value = 0;
    for (int k = 0; k < digits; ++k)
        value = value * 16 + hexDigit(text.at(from + k));
    return value;
}

QByteArray hexByte(quint8 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(ExchangeSimulator::ByteDigits,
                                                                  '0');
}

// The hex fields of a whole command, read in order after its command byte.
class Fields
{
  public:
    explicit Fields(const QByteArray &command) : m_command(command) {}
    int address() { return next(ExchangeSimulator::AddressDigits); }
    int count() { return next(ExchangeSimulator::AddressDigits); }
    quint8 byte() { return quint8(next(ExchangeSimulator::ByteDigits)); }

  private:
    int next(int digits)
    {
        const int value = hexField(m_command, m_pos, digits);
        m_pos += digits;
        return value;
    }
    const QByteArray &m_command;
    int m_pos = 1;
};

// The clock bytes in the order the exchange keeps them.
enum ClockByte {
    ClockLead, // 0x00
    ClockSeconds,
    ClockMinutes,
    ClockHours,
    ClockControl, // 0x10
    ClockDay,
    ClockMonth,
    ClockYear,
};

quint8 toBcd(int value)
{
    return quint8(((value / 10) % 10) << 4 | (value % 10));
}

int fromBcd(quint8 value)
{
    const int high = value >> 4, low = value & 0x0F;
    return (high > 9 || low > 9) ? -1 : high * 10 + low;
}

} // namespace

ExchangeSimulator::ExchangeSimulator(QObject *parent) : QObject(parent), m_memory(MemorySize, '\0')
{
    setFirmware(DefaultFirmware);
}

int ExchangeSimulator::commandLength(quint8 command)
{
    constexpr int address = 1 + AddressDigits; // the command byte and an address
    switch (command) {
    case EnterSetup1:
    case EnterSetup2:
    case Ack:
    case Reboot:
    case Resend:
    case ClockUpdate:
        return 1;
    case ReadBlock:
    case ReadByte:
        return address;
    case WriteByte:
        return address + ByteDigits;
    case WriteWord:
        return address + 2 * ByteDigits;
    case Fill:
        return address + AddressDigits + ByteDigits; // count and value
    case WriteBlock:
        return address + BlockSize * ByteDigits + ByteDigits; // data and sum
    default:
        return 0;
    }
}

QByteArray ExchangeSimulator::blockReply(const QByteArray &block128)
{
    QByteArray text = block128.toHex().toUpper();
    int sum = 0;
    for (char c : block128)
        sum += quint8(c);
    return text + hexByte(quint8(sum & 0xFF));
}

quint8 ExchangeSimulator::byteAt(int address) const
{
    return quint8(m_memory.at(address & (MemorySize - 1)));
}

void ExchangeSimulator::setByte(int address, quint8 value)
{
    m_memory[address & (MemorySize - 1)] = char(value);
}

QByteArray ExchangeSimulator::bytes(int address, int count) const
{
    QByteArray out;
    out.reserve(count);
    for (int k = 0; k < count; ++k)
        out.append(char(byteAt(address + k)));
    return out;
}

void ExchangeSimulator::setBytes(int address, const QByteArray &data)
{
    for (int k = 0; k < data.size(); ++k)
        setByte(address + k, quint8(data.at(k)));
}

bool ExchangeSimulator::loadConfigImage(const QByteArray &image)
{
    if (image.size() != ConfigSize)
        return false;
    setBytes(ConfigBase, image);
    return true;
}

void ExchangeSimulator::setClock(const QDateTime &when)
{
    writeClockBytes(when);
    m_clockOffsetMs = m_now().msecsTo(when);
    m_clockHeld = false;
}

void ExchangeSimulator::setClockRunning(bool running)
{
    if (running && !m_clockRunning) {
        const QDateTime shown = clock();
        if (shown.isValid())
            m_clockOffsetMs = m_now().msecsTo(shown);
    }
    m_clockRunning = running;
}

void ExchangeSimulator::refreshClock()
{
    if (m_clockRunning && !m_clockHeld)
        writeClockBytes(m_now().addMSecs(m_clockOffsetMs));
}

void ExchangeSimulator::writeClockBytes(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    const quint8 clock[ClockLength] = {
        0x00, toBcd(t.second()), toBcd(t.minute()), toBcd(t.hour()),
        0x10, toBcd(d.day()),    toBcd(d.month()),  toBcd(d.year() % 100)};
    for (int k = 0; k < ClockLength; ++k)
        setByte(ClockReadAddress + k, clock[k]);
}

QDateTime ExchangeSimulator::clock() const
{
    auto at = [this](ClockByte k) { return fromBcd(byteAt(ClockReadAddress + k)); };
    const QDate d(2000 + at(ClockYear), at(ClockMonth), at(ClockDay));
    const QTime t(at(ClockHours), at(ClockMinutes), at(ClockSeconds));
    if (at(ClockYear) < 0 || !d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

void ExchangeSimulator::receive(const QByteArray &bytes)
{
    if (m_hungUp)
        return;
    m_input.append(bytes);
    // A host may answer a reply at once from inside the reply signal; the outer call
    // goes on with what it appends.
    if (m_parsing)
        return;
    m_parsing = true;
    int pos = 0;
    while (pos < m_input.size() && !m_hungUp) {
        const quint8 command = quint8(m_input.at(pos));
        const int length = commandLength(command);
        if (length == 0) {
            ++m_counters.strayBytes;
            ++pos;
            continue;
        }
        // Every byte after the command byte is a hex digit. A byte that is not means the
        // command was broken on the line: drop what came before it and start again there,
        // so one lost byte cannot swallow the next command.
        const int available = std::min<int>(length, int(m_input.size()) - pos);
        int broken = 0;
        for (int k = 1; k < available && !broken; ++k) {
            if (hexDigit(m_input.at(pos + k)) < 0)
                broken = k;
        }
        if (broken) {
            m_counters.strayBytes += broken;
            pos += broken;
            continue;
        }
        if (available < length)
            break; // wait for the rest
        const QByteArray whole = m_input.mid(pos, length);
        pos += length;
        execute(whole);
    }
    m_input.remove(0, pos);
    if (m_hungUp)
        m_input.clear();
    m_parsing = false;
}

void ExchangeSimulator::execute(const QByteArray &command)
{
    ++m_counters.commands;
    const quint8 code = quint8(command.at(0));
    Fields fields(command);
    if (code != EnterSetup2)
        m_halfSetup = false;
    switch (code) {
    case EnterSetup1:
        m_halfSetup = true;
        break;
    case EnterSetup2:
        if (m_halfSetup) {
            m_inSetup = true;
            ++m_counters.setupEntries;
        }
        m_halfSetup = false;
        break;
    case Ack:
        ++m_counters.acks;
        break;
    case ReadBlock:
        refreshClock();
        doReadBlock(fields.address());
        break;
    case WriteBlock:
        doWriteBlock(command);
        break;
    case ReadByte:
        ++m_counters.byteReads;
        refreshClock();
        send(hexByte(byteAt(fields.address())));
        break;
    case WriteByte: {
        ++m_counters.byteWrites;
        const int address = fields.address();
        storeByte(address, fields.byte());
        break;
    }
    case WriteWord: {
        ++m_counters.byteWrites;
        const int address = fields.address();
        storeByte(address, fields.byte());
        storeByte(address + 1, fields.byte());
        break;
    }
    case Fill: {
        const int address = fields.address();
        const int count = fields.count();
        doFill(address, count, fields.byte());
        break;
    }
    case ClockUpdate:
        ++m_counters.clockUpdates;
        setBytes(ClockReadAddress, bytes(ClockWriteAddress, ClockLength));
        // Bytes that are no date stay as written until a good update: nothing to run from.
        m_clockHeld = !clock().isValid();
        if (!m_clockHeld)
            m_clockOffsetMs = m_now().msecsTo(clock());
        break;
    case Reboot:
        ++m_counters.reboots;
        m_inSetup = false;
        emit rebooted();
        break;
    case Resend:
        // Only a block read has anything to send again; before the first there is nothing.
        if (!m_lastBlockReply.isEmpty()) {
            ++m_counters.resends;
            sendBlock(m_lastBlockReply);
        }
        break;
    }
}

void ExchangeSimulator::doReadBlock(int address)
{
    ++m_counters.blocksServed;
    m_lastBlockReply = blockReply(bytes(address, BlockSize));
    sendBlock(m_lastBlockReply);
    countBlock();
}

bool ExchangeSimulator::refuseWrite()
{
    // Refused as a write that arrived damaged is: nothing of it is kept.
    if (m_counters.refusedWrites >= m_faults.refuseWrites)
        return false;
    ++m_counters.refusedWrites;
    send(QByteArray(1, ReplyRefused));
    return true;
}

void ExchangeSimulator::doWriteBlock(const QByteArray &command)
{
    if (refuseWrite())
        return;
    Fields fields(command);
    const int address = fields.address();
    QByteArray data;
    int sum = 0;
    for (int k = 0; k < BlockSize; ++k) {
        const quint8 value = fields.byte();
        data.append(char(value));
        sum += value;
    }
    if ((sum & 0xFF) != fields.byte()) {
        // Nothing of a damaged block is stored.
        ++m_counters.badWrites;
        send(QByteArray(1, ReplyRefused));
        return;
    }
    ++m_counters.blocksWritten;
    for (int k = 0; k < BlockSize; ++k)
        storeByte(address + k, quint8(data.at(k)));
    spoilBadBlock(address, BlockSize);
    send(QByteArray(1, ReplyAck));
    countBlock();
}

void ExchangeSimulator::doFill(int address, int count, quint8 value)
{
    if (refuseWrite())
        return;
    ++m_counters.fills;
    for (int k = 0; k < count; ++k)
        storeByte(address + k, value);
    spoilBadBlock(address, count);
    send(QByteArray(1, ReplyAck));
}

void ExchangeSimulator::spoilBadBlock(int address, int count)
{
    // Only a write of exactly that block counts, not the fill that clears the whole area.
    if (m_faults.badBlock <= 0 || count != BlockSize ||
        address != ConfigBase + (m_faults.badBlock - 1) * BlockSize)
        return;
    ++m_counters.badBlockWrites;
    setByte(address, quint8(byteAt(address) + 1));
}

QByteArray ExchangeSimulator::flipPair(const QByteArray &text)
{
    // Bit 7 set in two zero bytes adds 0x100 to the sum: the checksum cannot tell.
    QList<int> zeros;
    for (int k = 0; k < BlockSize; ++k) {
        if (text.at(2 * k) == '0' && text.at(2 * k + 1) == '0')
            zeros.append(k);
    }
    if (zeros.size() < 2)
        return text;
    const int first = zeros.takeAt(int(m_random.bounded(qsizetype(zeros.size()))));
    const int second = zeros.at(int(m_random.bounded(qsizetype(zeros.size()))));
    QByteArray flipped = text;
    flipped[2 * first] = '8';
    flipped[2 * second] = '8';
    ++m_counters.flippedPairs;
    return flipped;
}

void ExchangeSimulator::storeByte(int address, quint8 value)
{
    const int a = address & 0xFFFF;
    // The slot bytes report the boards plugged into the cabinet; the host cannot change them.
    if (a >= ConfigBase + SlotOffset && a < ConfigBase + SlotOffset + SlotCount) {
        ++m_counters.slotWritesIgnored;
        return;
    }
    setByte(a, value);
}

void ExchangeSimulator::sendBlock(const QByteArray &sound)
{
    ++m_blockSends;
    const bool flip = m_faults.flipPairEvery > 0 && m_blockSends % m_faults.flipPairEvery == 0;
    const QByteArray text = flip ? flipPair(sound) : sound;
    if (m_faults.corruptEvery > 0 && m_blockSends % m_faults.corruptEvery == 0) {
        // Same data, checksum off by one: the host must notice and ask again.
        ++m_counters.corrupted;
        QByteArray bad = text;
        const int at = ByteDigits * BlockSize;
        bad.replace(at, ByteDigits, hexByte(quint8(hexField(text, at, ByteDigits) + 1)));
        send(bad);
        return;
    }
    send(text);
}

void ExchangeSimulator::send(const QByteArray &bytes)
{
    ++m_replies;
    if (m_faults.dropEvery > 0 && m_replies % m_faults.dropEvery == 0) {
        ++m_counters.dropped;
        return;
    }
    if (m_faults.split && bytes.size() > 1) {
        int pos = 0;
        while (pos < bytes.size()) {
            const int piece =
                1 + int(m_random.bounded(std::min<qsizetype>(bytes.size() - pos, 64)));
            emit reply(bytes.mid(pos, piece));
            pos += piece;
        }
    } else {
        emit reply(bytes);
    }
    if (m_faults.noise) {
        // Bytes a noisy line might produce; none of them is a hex digit or a reply byte.
        static const char stray[] = {'\x00', '\x0A', '\x0D', '\x7F', '\xFF'};
        QByteArray junk;
        const int count = 1 + int(m_random.bounded(3));
        for (int k = 0; k < count; ++k)
            junk.append(stray[m_random.bounded(int(sizeof stray))]);
        emit reply(junk);
    }
}

void ExchangeSimulator::countBlock()
{
    if (m_faults.hangupAfter <= 0)
        return;
    if (m_counters.blocksServed + m_counters.blocksWritten >= m_faults.hangupAfter) {
        m_hungUp = true;
        emit hungUp();
    }
}
