#pragma once
// The Tidelex Analog exchange as the Programming Module presents it, without any I/O:
// command bytes go in through receive(), reply bytes come out through the reply signal.
#include "SimFaults.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QRandomGenerator>

#include <functional>

class ExchangeSimulator : public QObject
{
    Q_OBJECT
  public:
    // The exchange's address map as the host sees it: the simulator's own
    // copy, so that a wrong entry in the program's map shows up against it.
    static constexpr int MemorySize = 0x10000;
    static constexpr int ConfigBase = 0x6000; // image offset 0
    static constexpr int ConfigSize = 8192;
    static constexpr int BlockSize = 128;
    static constexpr int SlotOffset = 7951; // 18 board codes reported by the cabinet
    static constexpr int SlotCount = 18;
    static constexpr int FirmwareAddress = 0x000D;
    static constexpr int PasswordAddress = 0x7F02; // character codes
    static constexpr int PasswordLength = 4;
    static constexpr int PinAddress = 0x7FA0; // digit bytes
    static constexpr int PinLength = 4;
    static constexpr int ClockReadAddress = 0xC010; // 8 bytes, BCD
    static constexpr int ClockWriteAddress = 0xC018;
    static constexpr int ClockLength = 8;
    static constexpr quint8 DefaultFirmware = 0x32;

    // Command fields are hexadecimal digits: four for an address or a count, two for a byte.
    static constexpr int AddressDigits = 4;
    static constexpr int ByteDigits = 2;

    // Command bytes from the host.
    enum Command : quint8 {
        EnterSetup1 = 0x03,
        ReadBlock = 0x04,
        EnterSetup2 = 0x05,
        Ack = 0x06,
        WriteBlock = 0x0C,
        Reboot = 0x0F,
        ReadByte = 0x11,
        WriteByte = 0x12,
        WriteWord = 0x14,
        Resend = 0x15,
        Fill = 0x18,
        ClockUpdate = 0x19,
    };
    // Single-byte replies.
    static constexpr char ReplyAck = 0x06;
    static constexpr char ReplyRefused = 0x0F;

    explicit ExchangeSimulator(QObject *parent = nullptr);

    // Feeds bytes from the line; commands may arrive split or several in one piece.
    void receive(const QByteArray &bytes);

    // Memory as the host sees it (no protection applies here).
    const QByteArray &memory() const { return m_memory; }
    quint8 byteAt(int address) const;
    void setByte(int address, quint8 value);
    QByteArray bytes(int address, int count) const;
    void setBytes(int address, const QByteArray &data);

    QByteArray configImage() const { return bytes(ConfigBase, ConfigSize); }
    bool loadConfigImage(const QByteArray &image); // false unless exactly 8192 bytes

    void setFirmware(quint8 version) { setByte(FirmwareAddress, version); }
    void setClock(const QDateTime &when); // into the clock as read
    QDateTime clock() const;              // invalid when the bytes are not a date
    // A running clock moves on with `now` between reads; a stopped one keeps its bytes.
    void setClockRunning(bool running);
    void setTimeSource(std::function<QDateTime()> now) { m_now = std::move(now); }

    void setFaults(const SimFaults &faults) { m_faults = faults; }
    const SimFaults &faults() const { return m_faults; }
    void setSeed(quint32 seed) { m_random.seed(seed); }

    const SimCounters &counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }

    bool inSetup() const { return m_inSetup; }
    bool isHungUp() const { return m_hungUp; }
    int pendingInput() const { return int(m_input.size()); }
    QByteArray lastBlockReply() const { return m_lastBlockReply; }

    // Total length of a command starting with this byte, 0 when the byte starts none.
    static int commandLength(quint8 command);
    // The 258 characters answering a block read: data and checksum, uppercase hex.
    static QByteArray blockReply(const QByteArray &block128);

  signals:
    void reply(const QByteArray &bytes);
    void hungUp();
    void rebooted();

  private:
    void execute(const QByteArray &command);
    void doReadBlock(int address);
    void doWriteBlock(const QByteArray &command);
    void doFill(int address, int count, quint8 value);
    bool refuseWrite(); // the refuse-writes fault: true when this write is refused
    void storeByte(int address, quint8 value); // the host's writes: slot bytes are read-only
    void spoilBadBlock(int address, int count);  // the bad-block fault after a write
    QByteArray flipPair(const QByteArray &text);
    void sendBlock(const QByteArray &text);
    void send(const QByteArray &bytes);
    void countBlock();
    void refreshClock();
    void writeClockBytes(const QDateTime &when);

    QByteArray m_memory;
    QByteArray m_input;
    QByteArray m_lastBlockReply;
    SimFaults m_faults;
    SimCounters m_counters;
    QRandomGenerator m_random{0x71DEu};
    int m_replies = 0;        // replies produced, for the drop fault
    int m_blockSends = 0;     // block replies produced, for the corrupt and flip faults
    bool m_halfSetup = false; // 0x03 seen, waiting for 0x05
    bool m_inSetup = false;
    bool m_hungUp = false;
    bool m_parsing = false;
    bool m_clockRunning = false;
    bool m_clockHeld = false;
    qint64 m_clockOffsetMs = 0; // exchange time minus `now`
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};
