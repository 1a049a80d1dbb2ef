// The simulated exchange answering the host's commands, without any line in between.
#include "BlockText.h"
#include "ExchangeSimulator.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(SimFaults)
#include <QTest>

namespace
{

QByteArray cmd(quint8 code, const char *fields = "")
{
    return QByteArray(1, char(code)) + QByteArray(fields);
}

QByteArray writeBlockCommand(int address, const QByteArray &data, int checksumDelta = 0)
{
    return QByteArray(1, '\x0C') +
           QByteArray::number(address, 16).toUpper().rightJustified(4, '0') +
           blockText(data, checksumDelta);
}

// All the bytes the simulator sent, in order.
QByteArray collected(const QSignalSpy &spy)
{
    QByteArray all;
    for (const auto &args : spy)
        all += args.at(0).toByteArray();
    return all;
}

// The eight clock bytes, read one by one as the host does.
QByteArray readClock(ExchangeSimulator &sim)
{
    QSignalSpy spy(&sim, &ExchangeSimulator::reply);
    for (int k = 0; k < 8; ++k)
        sim.receive(cmd(0x11, QByteArray::number(0xC010 + k, 16).toUpper().constData()));
    return collected(spy);
}

} // namespace

class TestSimEngine : public QObject
{
    Q_OBJECT
  private slots:
    void answersEachCommand_data();
    void answersEachCommand();
    void splitAndMergedInput_data();
    void splitAndMergedInput();
    void lineFaults_data();
    void lineFaults();
    void flippedPairPassesTheChecksum_data();
    void flippedPairPassesTheChecksum();
    void runningClock_data();
    void runningClock();
};

void TestSimEngine::answersEachCommand_data()
{
    // Memory starts as EE bytes, the firmware byte 0x32 and block 0 a pattern.
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected"); // the reply
    QTest::addColumn<int>("address");         // where the memory is looked at; -1: nowhere
    QTest::addColumn<QByteArray>("memory");   // what it holds there afterwards
    QTest::addColumn<SimFaults>("faults");
    const QByteArray block0 = pattern(3);
    const auto row = [](const char *name, const QByteArray &input, const QByteArray &reply,
                        int address = -1, const QByteArray &memory = {}, SimFaults faults = {}) {
        QTest::newRow(name) << input << reply << address << memory << faults;
    };
    const QByteArray ack("\x06");
    const QByteArray read = cmd(0x04, "6000");
    const QByteArray version = cmd(0x11, "000D");
    row("read block", read, blockText(block0));
    row("read byte firmware", version, "32");
    row("read byte lower-case address", cmd(0x11, "600a"), block0.mid(10, 1).toHex().toUpper());
    row("write block lands at its address, the next left alone",
        writeBlockCommand(0x6100, pattern(1)), ack, 0x6100, pattern(1) + QByteArray(4, '\xEE'));
    row("write block, sum one too many", writeBlockCommand(0x6200, pattern(77), 1), "\x0F", 0x6200,
        QByteArray(128, '\xEE'));
    // Only two digits of the sum exist.
    row("write block, sum not taken modulo 256", writeBlockCommand(0x6200, pattern(77), 256), ack,
        0x6200, pattern(77));
    row("fill", cmd(0x18, "60001F0000"), ack, 0x7EFF, QByteArray::fromHex("00EE"));
    row("fill of nothing", cmd(0x18, "6000000055"), ack, 0x6000, block0.left(1));
    row("fill stops at its count", cmd(0x18, "7F010002AB"), ack, 0x7F00,
        QByteArray::fromHex("EEABABEE"));
    row("fill wraps at the top of memory", cmd(0x18, "FFFF000277"), ack, 0xFFFE,
        QByteArray::fromHex("EE77"));
    row("wrapped fill reaches address 0", cmd(0x18, "FFFF000277"), ack, 0x0000,
        QByteArray::fromHex("77EE"));
    row("write byte", cmd(0x12, "7F0135"), {}, 0x7F00, QByteArray::fromHex("EE35EE"));
    row("write two bytes in order", cmd(0x14, "7FA00A03"), {}, 0x7FA0,
        QByteArray::fromHex("0A03EE"));
    row("reboot", cmd(0x0F), {});
    row("resend before any block", cmd(0x15), {});
    row("resend repeats the last block, not a byte reply", read + version + cmd(0x15),
        blockText(block0) + "32" + blockText(block0));
    // The slot bytes report the cabinet's boards: writes leave them, and only them, alone.
    row("fill over the slot bytes", cmd(0x18, "7F0E001400"), ack, 0x7F0E,
        QByteArray(1, '\0') + QByteArray(18, '\xEE') + QByteArray(1, '\0'));
    row("unknown byte", QByteArray("\x01\x7E"), {});
    // A read whose address lost two digits on the line, then a good read.
    row("broken command does not swallow the next", cmd(0x11, "00") + version, "32");
    // The bad block is acknowledged and kept with its first byte one more; only a
    // write of exactly that block counts, not the fill that clears the whole area.
    const QByteArray data = pattern(5);
    QByteArray spoiled = data;
    spoiled[0] = char(spoiled.at(0) + 1);
    row("bad block written", writeBlockCommand(0x6080, data), ack, 0x6080, spoiled,
        {.badBlock = 2});
    row("another block written", writeBlockCommand(0x6080, data), ack, 0x6080, data,
        {.badBlock = 3});
    row("bad block filled", cmd(0x18, "608000805A"), ack, 0x6080,
        "\x5B" + QByteArray(127, '\x5A'), {.badBlock = 2});
    row("clearing fill over the bad block", cmd(0x18, "60001F0000"), ack, 0x6000,
        QByteArray(128, '\0'), {.badBlock = 1});
    row("last block bad", writeBlockCommand(0x7F80, data), ack, 0x7F80, spoiled, {.badBlock = 64});
    // Blocks read or written count towards the hang-up; the last is still
    // answered, nothing after it.
    row("hang-up after the blocks read", read.repeated(3) + version,
        blockText(block0).repeated(3), -1, {}, {.hangupAfter = 3});
    row("hang-up not reached", read.repeated(2) + version,
        blockText(block0).repeated(2) + "32", -1, {}, {.hangupAfter = 3});
    row("hang-up counts blocks written", writeBlockCommand(0x6100, data) + read + version,
        ack + blockText(block0), -1, {}, {.hangupAfter = 2});
}

void TestSimEngine::answersEachCommand()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, address);
    QFETCH(QByteArray, memory);
    QFETCH(SimFaults, faults);
    ExchangeSimulator sim;
    sim.setFaults(faults);
    sim.setBytes(0, QByteArray(ExchangeSimulator::MemorySize, '\xEE'));
    sim.setFirmware(0x32);
    sim.setBytes(0x6000, pattern(3));
    QSignalSpy spy(&sim, &ExchangeSimulator::reply);
    sim.receive(input);
    QCOMPARE(collected(spy), expected);
    QCOMPARE(sim.pendingInput(), 0);
    if (address >= 0)
        QCOMPARE(sim.bytes(address, int(memory.size())).toHex(), memory.toHex());
}

void TestSimEngine::splitAndMergedInput_data()
{
    QTest::addColumn<int>("pieceSize"); // 0: everything in one piece
    QTest::newRow("merged") << 0;
    QTest::newRow("byte by byte") << 1;
    QTest::newRow("pieces of 3") << 3;
}

void TestSimEngine::splitAndMergedInput()
{
    QFETCH(int, pieceSize);
    const QByteArray stream = cmd(0x03) + cmd(0x05) + cmd(0x11, "000D") +
                              writeBlockCommand(0x6000, pattern(5)) + cmd(0x04, "6000") +
                              cmd(0x06) + cmd(0x12, "7F02") + "41" + cmd(0x11, "7F02");
    ExchangeSimulator sim;
    QSignalSpy spy(&sim, &ExchangeSimulator::reply);
    if (pieceSize == 0) {
        sim.receive(stream);
    } else {
        for (int pos = 0; pos < stream.size(); pos += pieceSize)
            sim.receive(stream.mid(pos, pieceSize));
    }
    const QByteArray block = pattern(5);
    QCOMPARE(collected(spy),
             QByteArray("32") + '\x06' + blockText(block) + "41");
    QCOMPARE(sim.counters().commands, 8);
    QCOMPARE(sim.counters().strayBytes, 0); // however it is split, nothing is left over
    QVERIFY(sim.inSetup());
}

void TestSimEngine::lineFaults_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QList<QByteArray>>("replies"); // per command, without what the line adds
    QTest::addColumn<int>("dropped");
    const QByteArray version = cmd(0x11, "000D"), block = cmd(0x04, "6000");
    const QByteArray text = blockText(pattern(6));
    // The 3rd and 6th replies are dropped; a write without a reply is not
    // counted, so the fill is the 8th and answered.
    QTest::newRow("every third reply dropped")
        << SimFaults{.dropEvery = 3}
        << QList<QByteArray>(7, version) + QList<QByteArray>{cmd(0x12, "7F0041"),
                                                             cmd(0x18, "7F00000100")}
        << QList<QByteArray>{"32", "32", {}, "32", "32", {}, "32", {}, "\x06"} << 2;
    QTest::newRow("split replies keep their bytes")
        << SimFaults{.split = true} << QList<QByteArray>(4, block) << QList<QByteArray>(4, text)
        << 0;
    QTest::newRow("noise only between replies")
        << SimFaults{.noise = true} << QList<QByteArray>(20, block) << QList<QByteArray>(20, text)
        << 0;
}

void TestSimEngine::lineFaults()
{
    QFETCH(SimFaults, faults);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(int, dropped);
    ExchangeSimulator sim;
    sim.setSeed(42);
    sim.setBytes(0x6000, pattern(6));
    sim.setFaults(faults);
    QSignalSpy spy(&sim, &ExchangeSimulator::reply);
    qsizetype pieces = 0;
    for (int k = 0; k < commands.size(); ++k) {
        spy.clear();
        sim.receive(commands[k]);
        pieces += spy.count();
        const QByteArray all = collected(spy);
        QCOMPARE(all.left(replies[k].size()), replies[k]);
        QCOMPARE(all.size() > replies[k].size(), faults.noise);
        // What the line adds comes after the reply and cannot be taken for one.
        for (char c : all.mid(replies[k].size())) {
            QVERIFY2(!std::isxdigit(quint8(c)) && c != '\x06' && c != '\x0F' && c != '\x07',
                     "stray byte could be taken for a reply");
        }
    }
    if (faults.split)
        QVERIFY2(pieces > commands.size(), "block replies should arrive in several pieces");
    QCOMPARE(sim.counters().dropped, dropped);
}

void TestSimEngine::flippedPairPassesTheChecksum_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("flipped");
    QTest::newRow("all zero") << QByteArray(128, '\0') << true;
    QByteArray two(128, '\x11');
    two[10] = 0;
    two[99] = 0;
    QTest::newRow("two zero bytes") << two << true;
    QByteArray one(128, '\x11');
    one[10] = 0;
    QTest::newRow("one zero byte") << one << false;
}

void TestSimEngine::flippedPairPassesTheChecksum()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, flipped);
    ExchangeSimulator sim;
    SimFaults faults;
    faults.flipPairEvery = 2;
    sim.setFaults(faults);
    sim.setBytes(0x6000, block);
    QSignalSpy spy(&sim, &ExchangeSimulator::reply);
    sim.receive(cmd(0x04, "6000")); // the first reply is left alone
    QCOMPARE(collected(spy), blockText(block));
    spy.clear();
    sim.receive(cmd(0x04, "6000"));
    const QByteArray reply = collected(spy);
    QCOMPARE(reply.size(), 258);
    const QByteArray data = QByteArray::fromHex(reply.left(256));
    int changed = 0;
    for (int k = 0; k < 128; ++k) {
        if (data.at(k) != block.at(k)) {
            ++changed;
            QCOMPARE(quint8(data.at(k)), quint8(0x80)); // bit 7 of a zero byte
            QCOMPARE(block.at(k), '\0');
        }
    }
    QCOMPARE(changed, flipped ? 2 : 0);
    // The sum the reply carries still matches the data it carries.
    QCOMPARE(reply.right(2), sumDigits(data));
}

void TestSimEngine::runningClock_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QByteArray>("written"); // empty: no clock update, the start time stands
    QTest::addColumn<qint64>("laterMs");
    QTest::addColumn<QByteArray>("expected");
    // The clock starts at 23:59:58 on 31/12/99.
    QTest::newRow("stopped keeps its bytes")
        << false << QByteArray() << 5000LL << QByteArray("0058592310311299");
    QTest::newRow("running, same second")
        << true << QByteArray() << 999LL << QByteArray("0058592310311299");
    QTest::newRow("running, next second")
        << true << QByteArray() << 1000LL << QByteArray("0059592310311299");
    QTest::newRow("running into the new century")
        << true << QByteArray() << 2000LL << QByteArray("0000000010010100");
    QTest::newRow("runs on from an update")
        << true << QByteArray("0000050810010203") << 61000LL << QByteArray("0001060810010203");
    QTest::newRow("stopped update is plain bytes")
        << false << QByteArray("0000050810010203") << 61000LL << QByteArray("0000050810010203");
    QTest::newRow("nonsense update is held")
        << true << QByteArray("00AA050810010203") << 61000LL << QByteArray("00AA050810010203");
    QTest::newRow("month 13 is held")
        << true << QByteArray("0000050810011303") << 61000LL << QByteArray("0000050810011303");
}

void TestSimEngine::runningClock()
{
    QFETCH(bool, running);
    QFETCH(QByteArray, written);
    QFETCH(qint64, laterMs);
    QFETCH(QByteArray, expected);
    QDateTime now(QDate(2026, 6, 1), QTime(10, 0, 0));
    ExchangeSimulator sim;
    sim.setTimeSource([&now] { return now; });
    sim.setClock(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 58)));
    sim.setClockRunning(running);
    if (!written.isEmpty()) {
        sim.receive(cmd(0x14, "C018") + written.left(4) + cmd(0x14, "C01A") + written.mid(4, 4) +
                    cmd(0x14, "C01C") + written.mid(8, 4) + cmd(0x14, "C01E") + written.mid(12, 4));
        sim.receive(cmd(0x19));
    }
    now = now.addMSecs(laterMs);
    QCOMPARE(readClock(sim), expected);
}

QTEST_GUILESS_MAIN(TestSimEngine)
#include "tst_sim_engine.moc"
