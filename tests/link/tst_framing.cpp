// The message queue, the framing of every command and the receiver, over
// the in-memory line: no port, no exchange, every byte visible.
#include "BlockText.h"
#include "FakeSerialLine.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

using namespace Serial;

namespace {

enum Op { ReadBlock, WriteBlock, ReadByte, WriteByte, WriteWord, Fill, Reboot, ClockUpdate };

struct Call {
    int owner;
    int id;
    QByteArray text;
    bool operator==(const Call &) const = default;
};

// A line, a link on it, and a record of every completion handed out.
struct Rig {
    FakeSerialLine line;
    SerialLink link{&line};
    QList<Call> calls;

    Rig()
    {
        line.open(QStringLiteral("fake"));
        link.setPumping(false);
        link.setResendMargin(0);
        for (int owner : {1, 2, 6, 7, 8, 9, 10}) {
            link.setReplyHandler(owner, [this, owner](int id, const QByteArray &text) {
                calls.append({owner, id, text});
            });
        }
    }
    // Lets queued messages go out.
    void flush() { QCoreApplication::processEvents(); }
    void tick(int n = 1)
    {
        for (int k = 0; k < n; ++k)
            link.pumpOutput();
    }
};

} // namespace

class TestFraming : public QObject {
    Q_OBJECT
private slots:
    void commandBytes_data();
    void commandBytes();
    void enterSetupWaitsOneAndAHalfSecondsOfTicks();
    void blockReplies_data();
    void blockReplies();
    void damagedRepliesGiveUp();
    void queueFull();
    void ownersCalledInOrder();
    void ackGoesOutAheadOfTheNextRequest();
    void anyByteCompletesAWrite_data();
    void anyByteCompletesAWrite();
    void queueResetForgetsTheRequestInFlight();
    void traceFragments_data();
    void traceFragments();
    void traceSuspendAndRestore();
    void notConnected();
    void silenceResendsThenReportsNoReply();
    void lateSecondAnswerIsDropped();
    void heldLinkSendsNothingNew();
};

void TestFraming::commandBytes_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("addr");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("completion");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");

    auto row = [](const char *name, Op op, int addr, int a, int b, bool completion,
                  const QByteArray &bytes, int kind, int expected, const QByteArray &data = {}) {
        QTest::newRow(name) << int(op) << addr << a << b << completion << data << bytes << kind
                            << expected;
    };
    row("read block 0", ReadBlock, 0x6000, 0, 0, false, "\x04" "6000", 5, 258);
    row("read version byte", ReadByte, 0x000D, 0, 0, false, "\x11" "000D", 4, 2);
    row("write byte", WriteByte, 0x7F01, 0x35, 0, false, "\x12" "7F0135", 2, 0);
    row("write byte with completion", WriteByte, 0xC018, 0x08, 0, true, "\x12" "C01808", 1, 0);
    row("write byte keeps the low byte", WriteByte, 0x7FA3, 0x1FF, 0, false, "\x12" "7FA3FF", 2, 0);
    row("write word", WriteWord, 0x7F00, 0xFA, 0x05, false, "\x14" "7F00FA05", 2, 0);
    row("write word with completion", WriteWord, 0x7FA0, 0x34, 0x12, true, "\x14" "7FA03412", 1, 0);
    row("fill the configuration area", Fill, 0x6000, 7936, 0, false, "\x18" "60001F0000", 3, 0);
    row("fill one block", Fill, 0x6080, 128, 0xFA, false, "\x18" "60800080FA", 3, 0);
    row("reboot", Reboot, 0, 0, 0, false, "\x0F", 1, 0);
    row("clock update", ClockUpdate, 0, 0, 0, false, "\x19", 1, 0);

    // Block writes: 0x0C, the address, 256 data digits and the sum modulo 256.
    row("write block of FF", WriteBlock, 0x6000, 0, 0, false,
        QByteArray("\x0C" "6000") + QByteArray(256, 'F') + "80", 3, 0, QByteArray(128, char(0xFF)));
    row("write block, one byte set", WriteBlock, 0x7F80, 0, 0, false,
        QByteArray("\x0C" "7F80AB") + QByteArray(254, '0') + "AB", 3, 0,
        QByteArray(1, char(0xAB)) + QByteArray(127, 0));
    row("write block, sum wraps to 0", WriteBlock, 0x6100, 0, 0, false,
        QByteArray("\x0C" "6100") + QByteArray("02").repeated(128) + "00", 3, 0,
        QByteArray(128, char(0x02)));
}

void TestFraming::commandBytes()
{
    QFETCH(int, op);
    QFETCH(int, addr);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, completion);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(int, expected);

    Rig rig;
    bool queued = false;
    switch (Op(op)) {
    case ReadBlock: queued = rig.link.queueReadBlock(OwnerDownload, 3, addr); break;
    case WriteBlock: queued = rig.link.queueWriteBlock(OwnerUpload, 3, addr, data); break;
    case ReadByte: queued = rig.link.queueReadByte(OwnerVersion, 3, addr); break;
    case WriteByte: queued = rig.link.queueWriteByte(OwnerPin, 3, addr, a, completion); break;
    case WriteWord: queued = rig.link.queueWriteWord(OwnerUpload, 3, addr, a, b, completion); break;
    case Fill: queued = rig.link.queueFill(OwnerUpload, 3, addr, a, b); break;
    case Reboot: queued = rig.link.queueReboot(); break;
    case ClockUpdate: queued = rig.link.queueClockUpdate(OwnerClock, 3); break;
    }
    QVERIFY(queued);
    const OutMessage &slot = rig.link.slot(0);
    QCOMPARE(QByteArray(slot.Bytes.data(), slot.Length), bytes);
    QCOMPARE(slot.ReplyKind, kind);
    QCOMPARE(int(slot.ExpectedLength), expected);
    QCOMPARE(slot.SlotState, int(SlotQueued));

    rig.flush();
    QCOMPARE(rig.line.writes, QList<QByteArray>{bytes});
    // Messages without a reply leave the slot at once; the others wait.
    QCOMPARE(rig.link.slot(0).SlotState, int(kind <= 2 ? SlotFree : SlotWaiting));
}

void TestFraming::enterSetupWaitsOneAndAHalfSecondsOfTicks()
{
    Rig rig;
    QVERIFY(rig.link.queueEnterSetup());
    QVERIFY(rig.link.queueReadBlock(OwnerDownload, 0, 0x6000));
    QCOMPARE(rig.link.slot(1).SlotState, int(SlotDelay));
    QCOMPARE(int(rig.link.slot(1).Length), 160);
    rig.flush();
    QCOMPARE(rig.line.written(), QByteArray("\x03"));
    rig.tick(159);
    QCOMPARE(rig.line.written(), QByteArray("\x03"));
    rig.tick();
    // The pause over, the second setup byte and the request go out together.
    QCOMPARE(rig.line.writes,
             (QList<QByteArray>{"\x03", "\x05", QByteArray("\x04" "6000")}));
}

void TestFraming::blockReplies_data()
{
    // A block reply, whole or cut into pieces with what a line adds between
    // them: taken when its sum is right, asked for again when not.
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QList<int>>("cuts");
    QTest::addColumn<QByteArray>("noise"); // between the pieces
    QTest::addColumn<bool>("accepted");
    const auto row = [](const char *name, const QByteArray &reply, bool accepted,
                        const QList<int> &cuts = {}, const QByteArray &noise = {}) {
        QTest::newRow(name) << reply << cuts << noise << accepted;
    };
    row("right sum", blockText(pattern(1)), true);
    row("right sum, wraps", blockText(QByteArray(128, char(0xFF))), true);
    row("lower-case digits", blockText(pattern(2)).toLower(), true);
    row("sum off by one", blockText(pattern(3), 1), false);
    row("sum off by 256 is the same byte", blockText(pattern(4), 256), true);
    QByteArray swapped = blockText(pattern(5));
    std::swap(swapped[0], swapped[1]);
    row("two digits swapped", swapped, false);
    QByteArray flipped = blockText(pattern(6));
    flipped[100] = flipped[100] == '0' ? '1' : '0';
    row("one digit changed", flipped, false);
    // A stray digit shifts the frame: even when the first 258 digits happen
    // to add up, the digit left over behind them gives the misframing away.
    QByteArray stray = blockText(QByteArray(128, 0));
    stray.insert(0, '0');
    row("stray digit in front", stray, false);
    const QByteArray reply = blockText(pattern(9));
    row("many pieces", reply, true, {3, 64, 65, 200, 255});
    QList<int> single;
    for (int k = 1; k < 258; ++k)
        single.append(k);
    row("one byte at a time", reply, true, single);
    row("line ends between pieces", reply, true, {100, 200}, "\r\n");
    row("control bytes between pieces", reply, true, {50}, QByteArray("\x07\x0F\xFF", 3));
}

void TestFraming::blockReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QList<int>, cuts);
    QFETCH(QByteArray, noise);
    QFETCH(bool, accepted);

    Rig rig;
    rig.link.queueReadBlock(OwnerDownload, 5, 0x6280);
    rig.flush();
    rig.line.clearWritten();
    int from = 0;
    for (int cut : cuts) {
        rig.line.feed(reply.mid(from, cut - from) + noise);
        QVERIFY(rig.calls.isEmpty());
        from = cut;
    }
    rig.line.feed(reply.mid(from));
    rig.flush();
    rig.tick(2);
    if (accepted) {
        QCOMPARE(rig.calls, (QList<Call>{{OwnerDownload, 5, reply}}));
        QCOMPARE(rig.line.written(), QByteArray("\x06"));
        QVERIFY(rig.link.isIdle());
    } else {
        QVERIFY(rig.calls.isEmpty());
        QCOMPARE(rig.line.written(), QByteArray("\x15"));
        QCOMPARE(rig.link.slot(0).SlotState, int(SlotWaiting));
        QCOMPARE(rig.link.receiveCount(), 0);
    }
}

void TestFraming::damagedRepliesGiveUp()
{
    Rig rig;
    rig.link.setDamagedLimit(5);
    QSignalSpy damaged(&rig.link, &SerialLink::repliesDamaged);
    qsizetype asksAtSignal = -1;
    connect(&rig.link, &SerialLink::repliesDamaged, this,
            [&] { asksAtSignal = rig.line.writes.count("\x15"); });
    rig.line.responder = [&](const QByteArray &bytes) {
        if (bytes.startsWith('\x04') || bytes == "\x15")
            rig.line.feed(blockText(pattern(5), 3));
    };
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    rig.flush();
    rig.tick(8);
    // The first reply and four answers to "again" make five damaged replies.
    QCOMPARE(asksAtSignal, 4);
    QCOMPARE(damaged.count(), 1);
    // One good reply clears the count: the next block has its own five chances.
    rig.line.responder = [&](const QByteArray &bytes) {
        if (bytes == "\x15")
            rig.line.feed(blockText(pattern(5)));
    };
    rig.tick(2);
    QCOMPARE(rig.calls.size(), 1);
    rig.line.responder = [&](const QByteArray &bytes) {
        if (bytes.startsWith('\x04') || bytes == "\x15")
            rig.line.feed(blockText(pattern(6), 1));
    };
    rig.link.queueReadBlock(OwnerDownload, 1, 0x6080);
    rig.flush();
    rig.tick(3);
    QCOMPARE(damaged.count(), 1);
}

void TestFraming::queueFull()
{
    Rig rig;
    // Nothing leaves the queue while the first read waits for its reply.
    for (int k = 0; k < QueueSize - 2; ++k)
        QVERIFY(rig.link.queueReadByte(OwnerPin, k, 0x7FA0));
    // Entering setup takes three slots: with two left it is queued not at all.
    QVERIFY(!rig.link.queueEnterSetup());
    QCOMPARE(rig.link.writeIndex(), QueueSize - 2);
    QCOMPARE(rig.link.slot(QueueSize - 2).SlotState, int(SlotFree));
    for (int k = QueueSize - 2; k < QueueSize; ++k)
        QVERIFY(rig.link.queueReadByte(OwnerPin, k, 0x7FA0));
    QVERIFY(!rig.link.queueReadByte(OwnerPin, 999, 0x7FA0));
    QVERIFY(!rig.link.queueReboot());
    QCOMPARE(rig.link.writeIndex(), 0);
    rig.flush();
    rig.line.feed("0A");
    QCOMPARE(rig.calls.size(), 1);
    // One reply frees one slot, exactly one.
    QVERIFY(rig.link.queueReadByte(OwnerPin, 128, 0x7FA1));
    QVERIFY(!rig.link.queueReadByte(OwnerPin, 129, 0x7FA1));
    QCOMPARE(rig.link.slot(0).Id, int16_t(128));
}

void TestFraming::ownersCalledInOrder()
{
    Rig rig;
    // The exchange answers each byte read with the low byte of its address.
    rig.line.responder = [&](const QByteArray &bytes) {
        if (bytes.startsWith('\x11'))
            rig.line.feed(bytes.right(2));
    };
    rig.link.queueReadByte(OwnerPassword, 1, 0x7F02);
    rig.link.queueReadByte(OwnerPin, 2, 0x7FA1);
    rig.link.queueWriteByte(OwnerClock, -1, 0xC018, 0, true);
    rig.link.queueReadByte(OwnerVersion, 4, 0x000D);
    rig.link.queueWriteByte(OwnerClock, 5, 0xC019, 0, false);
    rig.link.queueReadByte(OwnerBoards, 6, 0x7F0F);
    rig.flush();
    QCOMPARE(rig.calls, (QList<Call>{{OwnerPassword, 1, "02"},
                                     {OwnerPin, 2, "A1"},
                                     {OwnerClock, -1, {}},
                                     {OwnerVersion, 4, "0D"},
                                     {OwnerBoards, 6, "0F"}}));
    QVERIFY(rig.link.isIdle());
}

void TestFraming::ackGoesOutAheadOfTheNextRequest()
{
    Rig rig;
    QList<QByteArray> replies;
    rig.link.setReplyHandler(OwnerDownload, [&](int id, const QByteArray &text) {
        replies.append(text);
        if (id < 2)
            rig.link.queueReadBlock(OwnerDownload, id + 1, 0x6000 + 128 * (id + 1));
    });
    rig.line.responder = [&](const QByteArray &bytes) {
        if (bytes.startsWith('\x04'))
            rig.line.feed(blockText(pattern(bytes.at(3))));
    };
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    rig.flush();
    QCOMPARE(replies.size(), 3);
    QCOMPARE(rig.line.writes,
             (QList<QByteArray>{QByteArray("\x04" "6000"), "\x06", QByteArray("\x04" "6080"),
                                "\x06", QByteArray("\x04" "6100"), "\x06"}));
}

void TestFraming::anyByteCompletesAWrite_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("acknowledge") << QByteArray("\x06");
    QTest::newRow("refusal") << QByteArray("\x0F");
    QTest::newRow("time-out") << QByteArray("\x07");
    QTest::newRow("a high byte") << QByteArray("\xC8");
}

void TestFraming::anyByteCompletesAWrite()
{
    QFETCH(QByteArray, reply);
    Rig rig;
    // What an idle or noisy line produces by itself answers nothing.
    const QByteArray noise("\0\r\n\x7F\xFF", 5);
    rig.link.queueFill(OwnerUpload, -1, 0x6000, 0x1F00, 0);
    rig.link.queueFill(OwnerUpload, 7, 0x6380, 0x80, 0x11);
    rig.flush();
    rig.line.feed(noise);
    QVERIFY(rig.calls.isEmpty());
    rig.line.feed(reply + reply);
    // The second byte arrived before the second fill was sent: it is not its reply.
    QCOMPARE(rig.calls, (QList<Call>{{OwnerUpload, -1, reply}}));
    rig.flush();
    QCOMPARE(rig.line.writes.size(), 2);
    rig.line.feed(reply);
    QCOMPARE(rig.calls.size(), 2);
    QCOMPARE(rig.calls.last(), (Call{OwnerUpload, 7, reply}));
}

void TestFraming::queueResetForgetsTheRequestInFlight()
{
    Rig rig;
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    rig.link.queueReadBlock(OwnerDownload, 1, 0x6080);
    rig.flush();
    const QByteArray reply = blockText(pattern(2));
    rig.line.feed(reply.left(100));
    rig.link.queueReset();
    QVERIFY(rig.link.isIdle());
    QCOMPARE(rig.link.readIndex(), 0);
    QCOMPARE(rig.link.writeIndex(), 0);
    rig.line.feed(reply.mid(100));
    rig.flush();
    rig.tick(3);
    QVERIFY(rig.calls.isEmpty());
    QCOMPARE(rig.line.writes, QList<QByteArray>{QByteArray("\x04" "6000")});
}

void TestFraming::traceFragments_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QList<TraceFragment>>("fragments");
    using F = TraceFragment;
    const auto red = TraceColour::Red;
    const auto plain = TraceColour::Plain;
    QTest::newRow("printable text") << QByteArray("A1 ok~")
                                    << QList<F>{{plain, QStringLiteral("A1 ok~")}};
    QTest::newRow("carriage return and line feed")
        << QByteArray("ab\r\ncd") << QList<F>{{plain, QStringLiteral("ab\r\ncd")}};
    QTest::newRow("line feed alone shows nothing") << QByteArray("\n") << QList<F>{};
    QTest::newRow("named control bytes")
        << QByteArray("\x06\x0F\x07")
        << QList<F>{{red, QStringLiteral("<ACK>")},
                    {red, QStringLiteral("<NAK>")},
                    {red, QStringLiteral("<TIMEOUT>")}};
    QTest::newRow("other control bytes as letters")
        << QByteArray("\x01\x1B", 2) << QList<F>{{red, QStringLiteral("A")}, {red, QStringLiteral("[")}};
    QTest::newRow("zero byte") << QByteArray(1, '\0') << QList<F>{{red, QStringLiteral("@")}};
    QTest::newRow("high bytes never shown") << QByteArray("x\x80\xFFy")
                                            << QList<F>{{plain, QStringLiteral("xy")}};
    QTest::newRow("mixed") << QByteArray("12\x06" "34")
                           << QList<F>{{plain, QStringLiteral("12")},
                                       {red, QStringLiteral("<ACK>")},
                                       {plain, QStringLiteral("34")}};
}

void TestFraming::traceFragments()
{
    QFETCH(QByteArray, received);
    QFETCH(QList<TraceFragment>, fragments);
    Rig rig;
    QSignalSpy spy(&rig.link, &SerialLink::traced);
    rig.link.setShowAllMessages(true);
    rig.line.feed(received);
    QList<TraceFragment> got;
    for (const QList<QVariant> &args : spy)
        got += args.at(0).value<QList<TraceFragment>>();
    QCOMPARE(got, fragments);

    // With the trace off nothing is traced, not even replies.
    spy.clear();
    rig.link.setShowAllMessages(false);
    rig.line.feed(received);
    QCOMPARE(spy.count(), 0);
}

void TestFraming::traceSuspendAndRestore()
{
    Rig rig;
    QSignalSpy ticks(&rig.link, &SerialLink::showAllMessagesChanged);
    rig.link.setShowAllMessages(true);
    rig.link.suspendTrace();
    QVERIFY(!rig.link.showAllMessages());
    QSignalSpy spy(&rig.link, &SerialLink::traced);
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    rig.flush();
    rig.line.feed(blockText(pattern(3)));
    rig.flush();
    QCOMPARE(spy.count(), 0);
    rig.link.restoreTrace();
    QVERIFY(rig.link.showAllMessages());
    QCOMPARE(ticks.count(), 3);
    QCOMPARE(ticks.last().at(0).toBool(), true);
}

void TestFraming::notConnected()
{
    Rig rig;
    rig.line.close();
    QSignalSpy spy(&rig.link, &SerialLink::notConnected);
    rig.link.queueWriteByte(OwnerPin, -1, 0x7FA0, 1, true);
    rig.link.queueReadByte(OwnerPin, 1, 0x7FA0);
    rig.flush();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Not connected to a tidelex"));
    // The write is gone without a completion: its bytes never left. The
    // read stays waiting.
    QVERIFY(rig.calls.isEmpty());
    QVERIFY(rig.line.writes.isEmpty());
    QCOMPARE(rig.link.slot(1).SlotState, int(SlotWaiting));
}

void TestFraming::silenceResendsThenReportsNoReply()
{
    Rig rig;
    rig.link.setResendMargin(30);
    rig.link.setSilenceLimit(200);
    rig.link.setPumping(true);
    QSignalSpy silent(&rig.link, &SerialLink::noReply);
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    QVERIFY(silent.wait(2000));
    QCOMPARE(silent.count(), 1);
    // The same request was repeated while waiting, nothing else was sent.
    QVERIFY(rig.line.writes.size() >= 3);
    for (const QByteArray &w : rig.line.writes)
        QCOMPARE(w, QByteArray("\x04" "6000"));
    // A reply after the repeats still completes the read.
    rig.line.feed(blockText(pattern(4)));
    QCOMPARE(rig.calls.size(), 1);
}

void TestFraming::lateSecondAnswerIsDropped()
{
    // The exchange answers a read only after it was asked again, and then
    // answers both requests: the second answer must not be taken for the
    // reply to the next read, though its sum is right.
    Rig rig;
    rig.link.setResendMargin(20);
    rig.link.setPumping(true);
    QSignalSpy retrying(&rig.link, &SerialLink::retrying);
    rig.link.queueReadBlock(OwnerDownload, 0, 0x6000);
    QTRY_COMPARE(rig.line.writes.size(), 2);
    QCOMPARE(retrying.count(), 1);
    QCOMPARE(retrying.at(0), (QList<QVariant>{int(OwnerDownload), 0, 1}));
    rig.line.feed(blockText(pattern(1)));
    rig.link.queueReadBlock(OwnerDownload, 1, 0x6080);
    rig.line.feed(blockText(pattern(1)));
    QTRY_VERIFY(rig.line.writes.contains(QByteArray("\x04"
                                                    "6080")));
    rig.line.feed(blockText(pattern(2)));
    QCOMPARE(rig.calls, (QList<Call>{{OwnerDownload, 0, blockText(pattern(1))},
                                     {OwnerDownload, 1, blockText(pattern(2))}}));
}

void TestFraming::heldLinkSendsNothingNew()
{
    Rig rig;
    rig.link.setHeld(true);
    rig.link.queueReadByte(OwnerPin, 1, 0x7FA0);
    rig.flush();
    rig.tick(5);
    QVERIFY(rig.line.writes.isEmpty());
    rig.link.setHeld(false);
    rig.flush();
    QCOMPARE(rig.line.writes, (QList<QByteArray>{QByteArray("\x11"
                                                            "7FA0")}));
}

QTEST_GUILESS_MAIN(TestFraming)
#include "tst_framing.moc"
