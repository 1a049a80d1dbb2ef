// The message queue, the framing of every command and the receiver over the
// in-memory line, with no exchange and every byte visible; then download,
// upload, the cabinet's boards and the service commands end to end against
// the simulated exchange on that line (LinkRig.h).
#include "LinkRig.h"

#include "BlockText.h"
#include "BoardsController.h"
#include "CheckConfig.h"
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "ServiceController.h"
#include "ServiceValues.h"
#include "UploadController.h"
#include "WrittenArea.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Sim = ExchangeSimulator; // where the tests look into the exchange: the simulator's own map
using namespace tidelex;
using namespace Serial;
using Phase = UploadController::Phase;
Q_DECLARE_METATYPE(QList<Phase>)
Q_DECLARE_METATYPE(UploadOptions)

namespace
{

enum Op { ReadBlock, WriteBlock, ReadByte, WriteByte, WriteWord, Fill, Reboot, ClockUpdate };

struct Call {
    int owner;
    int id;
    QByteArray text;
    bool operator==(const Call &) const = default;
};

// A line, a link on it, and a record of every completion handed out.
struct LineRig {
    FakeSerialLine line;
    SerialLink link{&line};
    QList<Call> calls;

    LineRig()
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

enum What { PinValue, PasswordValue, ClockValue, VersionValue };
// In serviceRoundTrips: the value is refused, nothing is sent; or nothing is
// written and the value the exchange holds is read, or fails to be.
constexpr int Refused = -2;
constexpr int Read = -3;
constexpr int ReadFails = -4;

QString write(ServiceController &service, int what, const QString &value)
{
    return what == PinValue        ? service.writePin(value)
           : what == PasswordValue ? service.writePassword(value)
                                   : service.setClock(value);
}

constexpr int SlotByte = Sim::ConfigBase + Sim::SlotOffset;

// The simulator's own cabinet: tone board, two Subscriber boards, one Tie Line board.
InstalledBoardList defaultCabinet()
{
    InstalledBoardList boards = defaultInstalledBoards();
    boards[0] = BoardTone8;
    boards[2] = boards[3] = BoardSubscriber;
    boards[4] = BoardTieLine;
    return boards;
}

QList<Phase> phasesOf(const QSignalSpy &spy)
{
    QList<Phase> phases;
    for (const QList<QVariant> &args : spy)
        phases.append(args.at(0).value<Phase>());
    return phases;
}

} // namespace

class TestControllers : public QObject {
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
    void downloadHandsOverTheImageOrNothing_data();
    void downloadHandsOverTheImageOrNothing();
    void uploadSkipsEmptyBlocksAndFillsUniformOnes();
    void refusedUploadsSendNothing_data();
    void refusedUploadsSendNothing();
    void serviceRoundTrips_data();
    void serviceRoundTrips();
    void rebootGoesOut();
    void slotReplies_data();
    void slotReplies();
    void boardsRead_data();
    void boardsRead();
    void processorAndRingingModuleStay();
    void phasesFollowTheOptions_data();
    void phasesFollowTheOptions();
    void decisionsBeforeAnythingIsWritten_data();
    void decisionsBeforeAnythingIsWritten();
    void everyEndingSaysWhatTheExchangeHolds_data();
    void everyEndingSaysWhatTheExchangeHolds();
    void writtenAreaIsWhatTheUploadWrites_data();
    void writtenAreaIsWhatTheUploadWrites();
};

void TestControllers::commandBytes_data()
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

void TestControllers::commandBytes()
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

    LineRig rig;
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

void TestControllers::enterSetupWaitsOneAndAHalfSecondsOfTicks()
{
    LineRig rig;
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

void TestControllers::blockReplies_data()
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

void TestControllers::blockReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QList<int>, cuts);
    QFETCH(QByteArray, noise);
    QFETCH(bool, accepted);

    LineRig rig;
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

void TestControllers::damagedRepliesGiveUp()
{
    LineRig rig;
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

void TestControllers::queueFull()
{
    LineRig rig;
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

void TestControllers::ownersCalledInOrder()
{
    LineRig rig;
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

void TestControllers::ackGoesOutAheadOfTheNextRequest()
{
    LineRig rig;
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

void TestControllers::anyByteCompletesAWrite_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("acknowledge") << QByteArray("\x06");
    QTest::newRow("refusal") << QByteArray("\x0F");
    QTest::newRow("time-out") << QByteArray("\x07");
    QTest::newRow("a high byte") << QByteArray("\xC8");
}

void TestControllers::anyByteCompletesAWrite()
{
    QFETCH(QByteArray, reply);
    LineRig rig;
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

void TestControllers::queueResetForgetsTheRequestInFlight()
{
    LineRig rig;
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

void TestControllers::traceFragments_data()
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

void TestControllers::traceFragments()
{
    QFETCH(QByteArray, received);
    QFETCH(QList<TraceFragment>, fragments);
    LineRig rig;
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

void TestControllers::traceSuspendAndRestore()
{
    LineRig rig;
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

void TestControllers::notConnected()
{
    LineRig rig;
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

void TestControllers::silenceResendsThenReportsNoReply()
{
    LineRig rig;
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

void TestControllers::lateSecondAnswerIsDropped()
{
    // The exchange answers a read only after it was asked again, and then
    // answers both requests: the second answer must not be taken for the
    // reply to the next read, though its sum is right.
    LineRig rig;
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

void TestControllers::heldLinkSendsNothingNew()
{
    LineRig rig;
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

void TestControllers::downloadHandsOverTheImageOrNothing_data()
{
    // Faults, stray digits, pairs of bits flipped without changing the sum
    // (read once or twice) and every short ending: the very image, or a
    // failure with nothing handed over, the line free and nothing more asked.
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<bool>("verifyReads");
    QTest::addColumn<int>("strayEvery");  // a made-up digit in every n-th block reply; 0: none
    QTest::addColumn<int>("strayAt");     // -1 anywhere, else the position in the reply
    QTest::addColumn<QString>("ending");  // "closed", "cancel" before the end; "stray" read; none
    QTest::addColumn<QString>("message"); // the failure; "inexact": an image not the exchange's
    const auto row = [](const char *name, SimFaults faults, const QString &message = {},
                        bool verifyReads = false, int strayEvery = 0, int strayAt = -1,
                        const QString &ending = {}) {
        QTest::newRow(name) << faults << verifyReads << strayEvery << strayAt << ending << message;
    };
    row("clean line", {});
    row("everything at once", {4, 9, true, true, 0});
    row("stray digit in every reply", {}, damagedRepliesMessage(), false, 1);
    row("stray digit in every third reply", {}, {}, false, 3);
    row("stray digit behind every checksum", {}, {}, false, 1, 258);
    row("pairs flipped in every 4th reply, read once", {.flipPairEvery = 4},
        QStringLiteral("inexact"));
    row("pairs flipped in every 2nd reply, read twice", {.flipPairEvery = 2}, {}, true);
    row("pairs flipped in every reply, read twice", {.flipPairEvery = 1},
        QStringLiteral("Block 1 read differently"), true);
    row("exchange hangs up", {.hangupAfter = 12},
        lineLostMessage(QStringLiteral("the device was removed")));
    row("every reply lost", {.dropEvery = 1}, noReplyMessage());
    row("line not open", {}, QStringLiteral("Not connected to a tidelex"), false, 0, -1,
        QStringLiteral("closed"));
    row("cancelled at block 10", {}, {}, false, 0, -1, QStringLiteral("cancel"));
    row("another block's reply in between", {}, {}, false, 0, -1, QStringLiteral("stray"));
}

void TestControllers::downloadHandsOverTheImageOrNothing()
{
    QFETCH(SimFaults, faults);
    QFETCH(bool, verifyReads);
    QFETCH(int, strayEvery);
    QFETCH(int, strayAt);
    QFETCH(QString, ending);
    QFETCH(QString, message);
    Rig rig(faults);
    // Flipped pairs need zero bytes: the mostly empty cabinet has them in every block.
    const QByteArray image = faults.flipPairEvery ? defaultCabinetImage() : busyImage(17);
    QVERIFY(rig.exchange.loadConfigImage(image));
    if (ending == QLatin1String("closed"))
        rig.line.close();
    if (faults.dropEvery == 1)
        rig.link.setSilenceLimit(300); // no need to wait for the clearing fill's time
    QRandomGenerator random(strayEvery * 1000 + strayAt);
    if (strayEvery) {
        QObject::disconnect(&rig.exchange, &ExchangeSimulator::reply, &rig.line,
                            &FakeSerialLine::feed);
        connect(&rig.exchange, &ExchangeSimulator::reply, &rig.line,
                [&rig, &random, strayEvery, strayAt, replies = 0](QByteArray bytes) mutable {
                    if (bytes.size() == 258 && ++replies % strayEvery == 0) {
                        const int at = strayAt < 0 ? int(random.bounded(259)) : strayAt;
                        bytes.insert(at, "0123456789ABCDEF"[random.bounded(16)]);
                    }
                    rig.line.feed(bytes);
                });
    }
    const QByteArray held(ExchMap::MemorySize, 'B');
    rig.memory.BackupMemory = held;
    DownloadController download(rig.link, rig.memory);
    download.setVerifyReads(verifyReads);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    QSignalSpy cancelled(&download, &LinkOperation::cancelled);
    QSignalSpy progress(&download, &LinkOperation::progress);
    connect(&download, &LinkOperation::progress, &download, [&](int block) {
        if (block == 10 && ending == QLatin1String("cancel"))
            download.cancel();
    });
    download.start();
    if (ending == QLatin1String("stray")) // a read of block 21 no reader asked for
        rig.link.queueReadBlock(Serial::OwnerDownload, 7, ExchMap::blockAddress(20));
    // Closed: a failure at once, without running the line; else the first
    // block is named before any reply.
    if (ending == QLatin1String("closed"))
        QCOMPARE(failed.count(), 1);
    else
        QCOMPARE(progress.at(0).at(2).toString(), QStringLiteral("Getting Block 1 of 64"));
    QVERIFY(rig.run(download));
    QVERIFY(rig.link.isIdle());
    if (faults.flipPairEvery)
        QVERIFY(rig.exchange.counters().flippedPairs > 0);
    if (message.isEmpty() && (ending.isEmpty() || ending == QLatin1String("stray"))) {
        QCOMPARE(failed.count(), 0);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).toByteArray(), image);
        QCOMPARE(progress.size(), 64);
        QCOMPARE(progress.last().at(2).toString(), QStringLiteral("Getting Block 64 of 64"));
        QCOMPARE(progress.last().at(1).toInt(), 63); // the bar's end: the last block's index
        QCOMPARE(rig.memory.BackupMemory, image);
        QCOMPARE(rig.memory.ExchMemory, image);
        // Every block was acknowledged, and only verified ones.
        if (!verifyReads)
            QCOMPARE(rig.exchange.counters().acks, ending.isEmpty() ? 64 : 65);
        return;
    }
    if (message == QLatin1String("inexact")) { // read once, flipped bits pass the checksum
        QCOMPARE(ready.count(), 1);
        QVERIFY(ready.at(0).at(0).toByteArray() != image);
        return;
    }
    QCOMPARE(ready.count(), 0);
    QCOMPARE(failed.count(), message.isEmpty() ? 0 : 1);
    QCOMPARE(cancelled.count(), message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        QVERIFY2(failed.at(0).at(0).toString().contains(message),
                 qPrintable(failed.at(0).at(0).toString()));
    QCOMPARE(rig.memory.BackupMemory, held);
    const int served = rig.exchange.counters().blocksServed;
    for (int k = 0; k < 20; ++k) {
        rig.link.pumpOutput();
        QCoreApplication::processEvents();
    }
    QCOMPARE(rig.exchange.counters().blocksServed, served);
}

void TestControllers::uploadSkipsEmptyBlocksAndFillsUniformOnes()
{
    Rig rig;
    using namespace ExchMap;
    QByteArray image(MemorySize, '\0');
    image.replace(0, BlockSize, QByteArray(BlockSize, char(0x45))); // uniform: a fill
    image[3 * BlockSize + 5] = char(0x42);                          // one byte: a block write
    image[SystemMarker] = char(0xFA);
    image[SystemMarker + 1] = 0x05;
    image.replace(Password, PasswordLength, "SHIP");
    image.replace(SlotCodes, SlotCodeCount, defaultCabinetImage().mid(SlotCodes, SlotCodeCount));
    UploadController upload(rig.link, rig.memory);
    // The boards, then the writes alone, as documented.
    upload.setOptions({.backup = false, .verify = false});
    QSignalSpy progress(&upload, &LinkOperation::progress);
    upload.startImage(image);
    QVERIFY(rig.run(upload));
    // Each write as its command byte in hex and its fields; a block write without its data.
    QList<QByteArray> sent;
    for (const QByteArray &w : rig.line.writes) {
        if (w.size() > 1)
            sent.append(w.left(1).toHex().toUpper() + ' ' +
                        w.mid(1, w.startsWith('\x0C') ? 4 : -1));
    }
    // First the slot bytes of slots 0..16.
    for (int slot = 0; slot < BoardsController::SlotsRead; ++slot)
        QCOMPARE(sent.takeFirst(), "11 " + hexField(address(SlotCodes + slot), 4));
    // One read behind the word writes confirms them before the reboot.
    QCOMPARE(sent, (QList<QByteArray>{"18 60001F0000", "18 6000008045", "0C 6180", "14 7F00FA05",
                                      "14 7F025348", "14 7F044950", "14 7FA00000", "14 7FA20000",
                                      "11 7FA0"}));
    QCOMPARE(rig.line.writes.last(), QByteArray("\x0F"));
    QStringList statuses;
    for (const QList<QVariant> &args : progress) {
        if (statuses.isEmpty() || statuses.last() != args.at(2).toString())
            statuses.append(args.at(2).toString());
    }
    QCOMPARE(statuses, (QStringList{QStringLiteral("Reading the boards in the cabinet"),
                                    QStringLiteral("Clearing the configuration memory"),
                                    QStringLiteral("Sending Block 1 of 64"),
                                    QStringLiteral("Sending Block 4 of 64"),
                                    QStringLiteral("Sending Block 63 of 64"),
                                    QStringLiteral("Rebooting the exchange")}));
}

void TestControllers::refusedUploadsSendNothing_data()
{
    QTest::addColumn<bool>("configuration"); // else an image of no configuration
    QTest::addColumn<QString>("refusal");
    QTest::newRow("errors remain") << true
                                   << QStringLiteral("There are errors with the configuration.\n"
                                                     "These need to be corrected before the "
                                                     "configuration can be sent.");
    QTest::newRow("no marker bytes") << false << QStringLiteral("marker");
}

void TestControllers::refusedUploadsSendNothing()
{
    QFETCH(bool, configuration);
    QFETCH(QString, refusal);
    Rig rig;
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.Slots[2] = tidelex::BoardSubscriber;
    config.Extensions[0].Active = true;
    config.Extensions[0].ExtNum = 50; // not an extension number
    QVERIFY(checkConfig(config).errorsFound);
    UploadController upload(rig.link, rig.memory);
    QString said;
    QVERIFY(configuration ? !upload.start(config, &said)
                          : !upload.startImage(QByteArray(ExchMap::MemorySize, '\x42'), &said));
    QVERIFY2(said.contains(refusal), qPrintable(said));
    QCoreApplication::processEvents();
    QVERIFY(rig.line.writes.isEmpty());
    QVERIFY(!upload.isRunning());
}

void TestControllers::serviceRoundTrips_data()
{
    // A value written reads back as written; a write the exchange loses
    // (or never confirms) is not done; a value refused sends nothing; what
    // the exchange holds reads as a value or fails.
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("outcome"); // the value read back, or the failure or refusal
    QTest::addColumn<int>("address"); // where the value lands in the exchange, 0: not looked at
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lost"); // the exchange ignores writes here; -1: silent after the writes
    const auto row = [](const char *name, int what, const QString &written, const QString &outcome,
                        int lost = 0, int address = 0, const QByteArray &bytes = {}) {
        QTest::newRow(name) << what << written << outcome << address << bytes << lost;
    };
    row("PIN", PinValue, QStringLiteral("2050"), QStringLiteral("2050"), 0, Sim::PinAddress,
        QByteArray("\x02\x0A\x05\x0A"));
    row("PIN removed", PinValue, QString(), QString(), 0, Sim::PinAddress,
        QByteArray(4, char(0xFF)));
    row("password", PasswordValue, QStringLiteral("helm"), QStringLiteral("HELM"));
    row("clock", ClockValue, QStringLiteral("08:05:00 01/02/03"),
        QStringLiteral("08:05:00 01/02/03"), 0, Sim::ClockWriteAddress,
        QByteArray("\x00\x00\x05\x08\x10\x01\x02\x03", 8));
    row("PIN digit lost", PinValue, QStringLiteral("1234"),
        QStringLiteral("The exchange did not keep the new PIN: it reads back differently."),
        Sim::PinAddress + 2);
    row("PIN, no answer", PinValue, QStringLiteral("1234"), noReplyMessage(), -1);
    row("password character lost", PasswordValue, QStringLiteral("DECK"),
        QStringLiteral("The exchange did not keep the new password: it reads back differently."),
        Sim::PasswordAddress + 3);
    row("clock, no answer after the update", ClockValue, QStringLiteral("08:05:00 01/02/03"),
        noReplyMessage(), -1);
    row("PIN too short", PinValue, QStringLiteral("123"), QStringLiteral("123 is too short"),
        Refused);
    row("PIN too long", PinValue, QStringLiteral("12345"), QStringLiteral("12345 is too long"),
        Refused);
    row("PIN with a letter", PinValue, QStringLiteral("12a4"),
        QStringLiteral("12a4 must only contain digits"), Refused);
    row("PIN below 1000", PinValue, QStringLiteral("0999"),
        QStringLiteral("0999 must be between 1000 and 9999"), Refused);
    row("password too short, q dropped", PasswordValue, QStringLiteral("abq"),
        QStringLiteral("AB is too short"), Refused);
    row("password not ASCII", PasswordValue, QStringLiteral("k\u00e9ys"),
        QStringLiteral("K\u00c9YS must only contain plain ASCII characters"), Refused);
    row("password too long", PasswordValue, QStringLiteral("abcde"),
        QStringLiteral("ABCDE is too long"), Refused);
    row("no such day", ClockValue, QStringLiteral("12:00:00 30/02/20"),
        QStringLiteral("12:00:00 30/02/20 is not a time and date (hh:mm:ss dd/mm/yy)"), Refused);
    row("wrong form", ClockValue, QStringLiteral("12:00 01/01/2020"),
        QStringLiteral("12:00 01/01/2020 is not a time and date (hh:mm:ss dd/mm/yy)"), Refused);
    const auto read = [](const char *name, int what, const QByteArray &bytes,
                         const QString &shown, const QString &failure = {}) {
        const int address = what == PinValue ? Sim::PinAddress : Sim::ClockReadAddress;
        QTest::newRow(name) << what << QString() << (failure.isEmpty() ? shown : failure)
                            << address << bytes << (failure.isEmpty() ? Read : ReadFails);
    };
    const QString version2 = QStringLiteral("Exchange has version 2+ firmware\n");
    read("version 1", VersionValue, QByteArray(1, 0x31),
         QStringLiteral("Exchange has version 1 firmware. Needs to be updated to Version 2.23\n"
                        "Firmware version 1 (version byte 0x31)."));
    read("version 2", VersionValue, QByteArray(1, 0x32),
         version2 + QStringLiteral("Firmware version 2 (version byte 0x32)."));
    read("version byte no digit", VersionValue, QByteArray(1, char(0xA4)),
         version2 + QStringLiteral("Version byte 0xA4."));
    read("version byte 00", VersionValue, QByteArray(1, '\0'), {},
         QStringLiteral("The exchange's firmware version could not be read (it answered 00)."));
    const QString unreadable = QStringLiteral("The exchange's PIN could not be read");
    read("PIN as the packed word of an upload", PinValue, QByteArray("\x34\x12\xFF\xFF"), {},
         unreadable);
    read("PIN with a star", PinValue, QByteArray("\x01\x0B\x03\x04"), {}, unreadable);
    read("all zero: a configuration without a PIN", PinValue, QByteArray(4, '\0'), QString());
    read("packed word a configuration wrote", PinValue, QByteArray("\x34\x2A\x00\x00", 4),
         QStringLiteral("2034"));
    read("PIN half removed", PinValue, QByteArray("\x01\x02\xFF\xFF"), {}, unreadable);
    const QString badClock = QStringLiteral("Bad Time and Date recieved - leaving as PC time");
    read("Christmas 99", ClockValue, QByteArray("\x00\x45\x30\x12\x10\x25\x12\x99", 8),
         QStringLiteral("12:30:45 25/12/99"));
    read("midnight", ClockValue, QByteArray("\x00\x00\x00\x00\x10\x01\x01\x00", 8),
         QStringLiteral("00:00:00 01/01/00"));
    read("hexadecimal letter", ClockValue, QByteArray("\x00\x4A\x30\x12\x10\x25\x12\x99", 8), {},
         badClock);
    read("25 o'clock", ClockValue, QByteArray("\x00\x00\x00\x25\x10\x01\x01\x20", 8), {}, badClock);
    read("30 February", ClockValue, QByteArray("\x00\x00\x00\x12\x10\x30\x02\x20", 8), {},
         badClock);
}

void TestControllers::serviceRoundTrips()
{
    QFETCH(int, what);
    QFETCH(QString, written);
    QFETCH(QString, outcome);
    QFETCH(int, address);
    QFETCH(QByteArray, bytes);
    QFETCH(int, lost);
    Rig rig;
    rig.link.setSilenceLimit(300);
    const bool readOnly = lost == Read || lost == ReadFails;
    if (readOnly && what == VersionValue)
        rig.exchange.setFirmware(quint8(bytes.at(0)));
    else if (readOnly)
        rig.exchange.setBytes(address, bytes);
    else if (address) // something else there first, so the write shows
        rig.exchange.setBytes(address, QByteArray(bytes.size(), char(0x55)));
    rig.line.responder = [&](const QByteArray &sent) {
        const bool toLost = lost > 0 && sent.startsWith(char(Sim::WriteByte)) &&
                            sent.mid(1, Sim::AddressDigits).toInt(nullptr, 16) == lost;
        const bool afterWrites = lost == -1 && (sent.startsWith(char(Sim::ReadByte)) ||
                                                sent.startsWith(char(Sim::ClockUpdate)));
        if (!toLost && !afterWrites)
            rig.exchange.receive(sent);
    };
    ServiceController service(rig.link);
    QSignalSpy finished(&service, &LinkOperation::finished);
    QSignalSpy failed(&service, &LinkOperation::failed);
    QSignalSpy values(&service, &ServiceController::valueRead);
    if (lost == Refused) {
        QCOMPARE(write(service, what, written), outcome);
        QCoreApplication::processEvents();
        QVERIFY(rig.line.writes.isEmpty());
        QVERIFY(!service.isRunning());
        return;
    }
    if (!readOnly) {
        QCOMPARE(write(service, what, written), QString());
        QVERIFY(rig.run(service));
        QCOMPARE(finished.count(), lost ? 0 : 1);
        QCOMPARE(failed.count(), lost ? 1 : 0);
        if (lost) {
            QCOMPARE(failed.at(0).at(0).toString(), outcome);
            return;
        }
        if (address)
            QCOMPARE(rig.exchange.bytes(address, int(bytes.size())).toHex(), bytes.toHex());
        QCOMPARE(rig.exchange.counters().clockUpdates, what == ClockValue ? 1 : 0);
    }
    if (what == PinValue)
        service.readPin();
    else if (what == PasswordValue)
        service.readPassword();
    else if (what == ClockValue)
        service.readClock();
    else
        service.readVersion();
    QVERIFY(rig.run(service));
    const bool fails = lost == ReadFails;
    QCOMPARE(finished.count(), int(!readOnly) + int(!fails));
    QCOMPARE(values.count(), fails ? 0 : 1);
    QCOMPARE(failed.count(), fails ? 1 : 0);
    QCOMPARE((fails ? failed : values).at(0).at(0).toString(), outcome);
}

void TestControllers::rebootGoesOut()
{
    Rig rig;
    rig.link.setShowAllMessages(true);
    ServiceController service(rig.link);
    QSignalSpy finished(&service, &LinkOperation::finished);
    service.reboot();
    QVERIFY(rig.run(service));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(rig.exchange.counters().reboots, 1);
    QCOMPARE(rig.line.writes, (QList<QByteArray>{"\x03", "\x05", "\x0F"}));
    QVERIFY(rig.link.showAllMessages());
}

void TestControllers::slotReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("known");
    QTest::newRow("subscriber") << QByteArray("C0") << int(BoardSubscriber) << true;
    QTest::newRow("lower case is no card") << QByteArray("c0") << int(BoardEmpty) << false;
    QTest::newRow("empty reply") << QByteArray() << int(BoardEmpty) << false;
}

void TestControllers::slotReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, board);
    QFETCH(bool, known);
    bool recognised = !known;
    QCOMPARE(boardFromSlotReply(reply, &recognised), board);
    QCOMPARE(recognised, known);
}

void TestControllers::boardsRead_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::newRow("clean line") << SimFaults{};
    QTest::newRow("split replies") << SimFaults{0, 0, true, false, 0};
    QTest::newRow("every 5th reply dropped") << SimFaults{0, 5, false, false, 0};
    QTest::newRow("silent exchange") << SimFaults{.dropEvery = 1};
}

void TestControllers::boardsRead()
{
    QFETCH(SimFaults, faults);
    Rig rig(faults);
    const bool silent = faults.dropEvery == 1;
    if (silent)
        rig.link.setSilenceLimit(200);
    BoardsController reader(rig.link);
    QSignalSpy reports(&reader, &BoardsController::slotRead);
    QSignalSpy progress(&reader, &LinkOperation::progress);
    QSignalSpy failed(&reader, &LinkOperation::failed);
    reader.start();
    QVERIFY(rig.run(reader));
    QVERIFY(rig.link.isIdle()); // nothing left queued behind a failure
    QCOMPARE(failed.count(), silent ? 1 : 0);
    if (silent) {
        QCOMPARE(failed.at(0).at(0).toString(), noReplyMessage());
        QCOMPARE(reader.boards(), defaultInstalledBoards());
        return;
    }
    QCOMPARE(reader.boards(), defaultCabinet());
    // One report per slot 0..16, in order; the ringing module's slot is not read.
    QCOMPARE(reports.count(), BoardsController::SlotsRead);
    for (int slot = 0; slot < reports.count(); ++slot)
        QCOMPARE(reports.at(slot).at(0).toInt(), slot);
    // A slot is asked again only when its reply was lost.
    QCOMPARE(rig.exchange.counters().byteReads,
             BoardsController::SlotsRead + rig.exchange.counters().dropped);
    QCOMPARE(progress.last().at(0).toInt(), progress.last().at(1).toInt());
}

void TestControllers::processorAndRingingModuleStay()
{
    Rig rig;
    QByteArray image = defaultCabinetImage();
    image[Sim::SlotOffset + 1] = char(0xC0); // a Subscriber code where the processor is
    image[Sim::SlotOffset + 17] = char(0xF0);
    image[Sim::SlotOffset + 6] = char(0x50); // a card the program does not know
    QVERIFY(rig.exchange.loadConfigImage(image));
    QCOMPARE(rig.exchange.byteAt(SlotByte + 1), quint8(0xC0));
    BoardsController reader(rig.link);
    QSignalSpy reports(&reader, &BoardsController::slotRead);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(reader.boards()[1], int16_t(BoardProcessor));
    QCOMPARE(reader.boards()[17], int16_t(BoardRinging));
    QCOMPARE(reader.boards()[6], int16_t(BoardEmpty));
    QCOMPARE(reports.at(6).at(2).toBool(), false);
    QCOMPARE(reports.at(1).at(1).toInt(), int(BoardProcessor));
}

void TestControllers::phasesFollowTheOptions_data()
{
    QTest::addColumn<UploadOptions>("options");
    QTest::addColumn<QList<Phase>>("phases");
    QTest::addColumn<int>("blockReads"); // the backup reads every block twice
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("pin"); // what the exchange's PIN bytes say afterwards
    const QList<Phase> writes = {Phase::Clearing, Phase::Writing, Phase::FinalWords};
    const QList<Phase> backup = {Phase::Boards, Phase::Backup, Phase::Plan};
    const QList<Phase> end = {Phase::Rebooting, Phase::Idle};
    const QList<Phase> readBack =
        QList<Phase>{Phase::Boards} + writes + QList<Phase>{Phase::Verifying} + end;
    const QByteArray busy = busyImage(12);
    const QString noPin = QStringLiteral("unreadable"); // a busy image's PIN bytes are no PIN
    UploadOptions options;
    QTest::newRow("backup and read-back")
        << options << backup + writes + QList<Phase>{Phase::Verifying} + end << 2 * 64 + 64
        << busy << noPin;
    options.backup = false;
    QTest::newRow("read-back only") << options << readBack << 64 << busy << noPin;
    options.verify = false;
    QTest::newRow("neither") << options << QList<Phase>{Phase::Boards} + writes + end << 0 << busy
                             << noPin;
    options.backup = true;
    QTest::newRow("backup only") << options << backup + writes + end << 2 * 64 << busy << noPin;
    options.dryRun = true;
    QTest::newRow("dry run") << options << backup + QList<Phase>{Phase::Idle} << 2 * 64 << busy
                             << QStringLiteral("5678");
    // The exchange holds PIN 5678 as set by itself (digit bytes); after an
    // upload it holds the image's PIN, never a mix of the old PIN and the new.
    // A built image names no boards.
    const UploadOptions built{.backup = false, .ignoreBoards = true};
    QByteArray restored = busyImage(80);
    restored.replace(ExchMap::Pin, 4, QByteArray::fromHex("01020304")); // taken after PIN 1234
    QTest::newRow("backup restored") << built << readBack << 64 << restored
                                     << QStringLiteral("1234");
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.PIN = 4301;
    QTest::newRow("configuration with a PIN")
        << built << readBack << 64 << buildExchMemory(config).image << QStringLiteral("4301");
    config.SysConfig.PIN = 0;
    QTest::newRow("configuration without a PIN")
        << built << readBack << 64 << buildExchMemory(config).image << QString();
}

void TestControllers::phasesFollowTheOptions()
{
    QFETCH(UploadOptions, options);
    QFETCH(QList<Phase>, phases);
    QFETCH(int, blockReads);
    QFETCH(QByteArray, image);
    QFETCH(QString, pin);
    Rig rig;
    QByteArray before = busyImage(11);
    before.replace(ExchMap::Pin, 4, QByteArray::fromHex("05060708"));
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions(options);
    QByteArray stored;
    upload.setBackupSink([&](const QByteArray &bytes, QString *) {
        stored = bytes;
        return QStringList{QStringLiteral("stored")};
    });
    QSignalSpy phaseSpy(&upload, &UploadController::phaseChanged);
    QSignalSpy planned(&upload, &UploadController::planReady);
    QSignalSpy verified(&upload, &UploadController::verified);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy progress(&upload, &LinkOperation::progress);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(phasesOf(phaseSpy), phases);
    QCOMPARE(rig.exchange.counters().blocksServed, blockReads);
    const bool writes = !options.dryRun;
    QCOMPARE(rig.exchange.counters().reboots, writes ? 1 : 0);
    QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(writes ? image : before));
    QCOMPARE(verified.count(), options.verify && writes ? 1 : 0);
    QCOMPARE(stored, options.backup && writes ? before : QByteArray());
    QCOMPARE(pinFromStoredBytes(rig.exchange.configImage().mid(ExchMap::Pin, 4))
                 .value_or(QStringLiteral("unreadable")),
             pin);
    // A plan wherever the memory was read, of what really differs.
    QCOMPARE(planned.count(), blockReads >= 2 * 64 ? 1 : 0);
    if (!planned.isEmpty())
        QVERIFY(!upload.plan().isEmpty());
    // One progress for the whole upload: it never goes back.
    int last = 0;
    for (const QList<QVariant> &args : progress) {
        QCOMPARE(args.at(1).toInt(), UploadController::ProgressMaximum);
        QVERIFY2(args.at(0).toInt() >= last, qPrintable(args.at(2).toString()));
        last = args.at(0).toInt();
    }
    if (writes)
        QCOMPARE(last, UploadController::ProgressMaximum);
}

void TestControllers::decisionsBeforeAnythingIsWritten_data()
{
    // The cabinet's boards and the plan, each a point where the technician
    // decides; the exchange is written only on a Send.
    QTest::addColumn<bool>("otherBoards");
    QTest::addColumn<bool>("ignoreBoards");
    QTest::addColumn<QString>("boardsAnswer"); // "send", "cancel"; empty: no question
    QTest::addColumn<QString>("planAnswer");
    QTest::addColumn<bool>("written");
    QTest::newRow("boards differ, cancelled") << true << false << "cancel"
                                              << "" << false;
    QTest::newRow("boards differ, sent anyway") << true << false << "send"
                                                << "send" << true;
    QTest::newRow("boards differ, ignored") << true << true << ""
                                            << "send" << true;
    QTest::newRow("plan cancelled") << false << false << ""
                                    << "cancel" << false;
    QTest::newRow("plan sent") << false << false << ""
                               << "send" << true;
}

void TestControllers::decisionsBeforeAnythingIsWritten()
{
    QFETCH(bool, otherBoards);
    QFETCH(bool, ignoreBoards);
    QFETCH(QString, boardsAnswer);
    QFETCH(QString, planAnswer);
    QFETCH(bool, written);
    Rig rig;
    QByteArray held = busyImage(90);
    QByteArray image = busyImage(91);
    if (otherBoards) { // slot 5: a Subscriber board in the image, none in the cabinet
        held[ExchMap::SlotCodes + 5] = char(ExchMap::SlotCodeEmpty);
        image[ExchMap::SlotCodes + 5] = char(ExchMap::SlotCodeSubscriber);
    }
    rig.exchange.loadConfigImage(held);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({.ignoreBoards = ignoreBoards, .confirmPlan = true});
    int stored = 0;
    upload.setBackupSink([&](const QByteArray &, QString *) {
        ++stored;
        return QStringList{QStringLiteral("kept")};
    });
    // Answers come later, as a technician's do.
    auto answer = [&](const QString &what) {
        QTimer::singleShot(0, &upload, [&upload, what] {
            if (what == QLatin1String("send"))
                upload.proceed();
            else
                upload.cancel();
        });
    };
    QList<UploadController::Decision> asked;
    connect(&upload, &UploadController::boardsDiffer, &upload,
            [&](const QList<SlotDifference> &differences) {
                QCOMPARE(differences,
                         (QList<SlotDifference>{{5, tidelex::BoardSubscriber, tidelex::BoardEmpty}}));
                asked.append(upload.awaiting());
                if (!boardsAnswer.isEmpty())
                    answer(boardsAnswer);
            });
    connect(&upload, &UploadController::planReady, &upload, [&] {
        asked.append(upload.awaiting());
        answer(planAnswer);
    });
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QList<UploadController::Decision> expected;
    if (otherBoards)
        expected.append(ignoreBoards ? UploadController::Decision::None
                                     : UploadController::Decision::Boards);
    if (!planAnswer.isEmpty())
        expected.append(UploadController::Decision::Plan);
    QCOMPARE(asked, expected);
    QCOMPARE(finished.count(), written ? 1 : 0);
    QCOMPARE(stored, planAnswer.isEmpty() ? 0 : 1);
    QCOMPARE(rig.exchange.counters().fills > 0, written);
    QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(written ? image : held));
    QVERIFY(!upload.exchangeDisturbed() || written);
}

void TestControllers::everyEndingSaysWhatTheExchangeHolds_data()
{
    // Finished only when the exchange holds the image; a failure says what
    // it is left with. The hang-up counts blocks read or written; the backup
    // reads every block twice.
    QTest::addColumn<UploadOptions>("options");
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QString>("cancelAt"); // cancel when this status shows
    QTest::addColumn<QString>("ending");   // the message's last line; empty: finished
    QTest::addColumn<QString>("told");     // also in the message; finished: the last resend told
    QTest::addColumn<QList<int>>("differing");
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("refusedBlock"); // the first block's write is refused this often
    const UploadOptions both;
    const UploadOptions verifyOnly{false, true};
    const int backup = 2 * 64;
    const int writes = blockWrites(busyImage(21));
    const QString nothing = QStringLiteral("Nothing was written to the exchange.");
    const QString partial = partialConfigurationMessage();
    const QString cancelled = QStringLiteral("cancelled");
    const auto hangup = [](int after) { return SimFaults{.hangupAfter = after}; };
    const auto row = [](const char *name, UploadOptions options, SimFaults faults,
                        const QString &ending, const QString &told = {},
                        const QList<int> &differing = {}, const QString &cancelAt = {},
                        const QByteArray &image = busyImage(21), int refusedBlock = 0) {
        QTest::newRow(name) << options << faults << cancelAt << ending << told << differing
                            << image << refusedBlock;
    };
    row("clean line", both, {}, {});
    row("replies dropped", both, {.dropEvery = 13}, {});
    row("pairs flipped in every 3rd reply", both, {.flipPairEvery = 3}, {});
    row("every fault at once", both, {5, 23, true, true, 0}, {});
    row("hang-up during the backup", both, hangup(10), nothing);
    row("hang-up right after the backup", both, hangup(backup), nothing);
    row("hang-up after the first block write", both, hangup(backup + 1), partial);
    row("hang-up after the last block write", both, hangup(backup + writes), partial);
    row("hang-up during the read-back", both, hangup(backup + writes + 9), partial);
    row("hang-up after the last read-back block", both, hangup(backup + writes + 64),
        restartUncertainMessage());
    row("no backup, hang-up after the first block", verifyOnly, hangup(1), partial);
    row("no read-back, hang-up before the final words", UploadOptions{false, false}, hangup(writes),
        partial);
    row("block 6 kept wrong", verifyOnly, {.badBlock = 6}, partial,
        QStringLiteral("block 6 read back different"), {5});
    row("block 6 kept wrong, pairs flipped", verifyOnly, {.badBlock = 6, .flipPairEvery = 5},
        partial, QStringLiteral("block 6 read back different"), {5});
    // Every reading damaged, never twice alike: the line is to blame, not the
    // exchange. Mostly zeros, so flipped pairs land in blocks the upload wrote.
    QByteArray sparse = defaultCabinetImage();
    sparse.replace(5 * 128, 128, busyImage(40).mid(0, 128));
    row("pairs flipped in every reply, read-back", verifyOnly, {.flipPairEvery = 1}, partial,
        QStringLiteral("read differently each of"), {}, {}, sparse);
    row("pairs flipped in every reply, backup", both, {.flipPairEvery = 1},
        unreliableBackupMessage(), QStringLiteral("read differently each of"));
    // The exchange refuses the clearing fill or a block: sent again up to
    // three times; told last (finished) or in the message.
    const QString again = QStringLiteral("The exchange refused %1: sending it again (retry %2)");
    row("fill refused 3 times", both, {.refuseWrites = 3}, {},
        again.arg(QStringLiteral("the clearing of the memory")).arg(3));
    row("fill refused 4 times", both, {.refuseWrites = 4}, partial,
        QStringLiteral("The exchange refused to clear its memory.\n"));
    row("first block refused once", both, {}, {}, again.arg(QStringLiteral("block 1 of 64")).arg(1),
        {}, {}, busyImage(21), 1);
    row("first block refused 4 times", both, {}, partial,
        QStringLiteral("The exchange refused block 1.\n"), {}, {}, busyImage(21), 4);
    row("backup not stored", both, {}, nothing,
        QStringLiteral("The backup of the exchange's configuration could not be stored: No "
                       "space left on device\n"));
    row("cancelled during the backup", both, {}, cancelled, {}, {},
        QStringLiteral("Reading Block 20 of 64"));
    row("cancelled during the block writes", both, {}, cancelled, {}, {},
        QStringLiteral("Sending Block 4 of 64"));
    row("cancelled during the read-back", both, {}, cancelled, {}, {},
        QStringLiteral("Verifying Block 2 of 64"));
}

void TestControllers::everyEndingSaysWhatTheExchangeHolds()
{
    QFETCH(UploadOptions, options);
    QFETCH(SimFaults, faults);
    QFETCH(QString, cancelAt);
    QFETCH(QString, ending);
    QFETCH(QString, told);
    QFETCH(QList<int>, differing);
    QFETCH(QByteArray, image);
    QFETCH(int, refusedBlock);
    Rig rig(faults);
    int refused = 0;
    rig.line.responder = [&](const QByteArray &bytes) {
        if (refused < refusedBlock && bytes.startsWith(QByteArray("\x0C" "6000"))) {
            ++refused;
            rig.line.feed(QByteArray(1, Sim::ReplyRefused));
            return;
        }
        rig.exchange.receive(bytes);
    };
    const QByteArray before = busyImage(20);
    rig.exchange.loadConfigImage(before);
    const QByteArray cabinet =
        rig.exchange.configImage().mid(ExchMap::SlotCodes, ExchMap::SlotCodeCount);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions(options);
    if (told.startsWith(QStringLiteral("The backup"))) {
        upload.setBackupSink([](const QByteArray &, QString *error) {
            *error = QStringLiteral("No space left on device");
            return QStringList();
        });
    }
    connect(&upload, &LinkOperation::progress, &upload, [&](int, int, const QString &text) {
        if (text == cancelAt)
            upload.cancel();
    });
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QSignalSpy cancelledSpy(&upload, &LinkOperation::cancelled);
    QSignalSpy verified(&upload, &UploadController::verified);
    QSignalSpy retrying(&upload, &LinkOperation::retrying);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QCOMPARE(refused, refusedBlock);
    QCOMPARE(upload.phase(), Phase::Idle);
    QVERIFY(rig.link.isIdle());
    QCOMPARE(upload.differingBlocks(), differing);
    const SimCounters &counters = rig.exchange.counters();
    if (faults.flipPairEvery)
        QVERIFY(counters.flippedPairs > 0);
    if (ending.isEmpty()) {
        QVERIFY2(failed.isEmpty(),
                 failed.isEmpty() ? "" : qPrintable(failed.at(0).at(0).toString()));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(verified.count(), 1);
        QCOMPARE(counters.reboots, 1);
        QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(image));
        QCOMPARE(rig.exchange.configImage().mid(ExchMap::SlotCodes, ExchMap::SlotCodeCount),
                 cabinet);
        QCOMPARE(rig.memory.ExchMemory, image);
        // Every lost reply was asked for again, and said so.
        if (!faults.corruptEvery)
            QCOMPARE(upload.retries(), counters.dropped);
        // Refused writes are told as sent again, and not counted as replies asked for.
        const int resent = std::min(faults.refuseWrites, 3) + refusedBlock;
        QCOMPARE(retrying.count(), upload.retries() + resent);
        for (const QList<QVariant> &args : retrying) {
            const QString text = args.at(0).toString();
            QVERIFY2(text.startsWith(resent ? QStringLiteral("The exchange refused ")
                                            : QStringLiteral("Retrying ")),
                     qPrintable(text));
        }
        if (!told.isEmpty())
            QCOMPARE(retrying.last().at(0).toString(), told);
        return;
    }
    QCOMPARE(finished.count(), 0);
    QCOMPARE(verified.count(), ending == restartUncertainMessage() ? 1 : 0);
    QCOMPARE(counters.reboots, 0);
    const bool wasCancelled = ending == QLatin1String("cancelled");
    QCOMPARE(cancelledSpy.count(), wasCancelled ? 1 : 0);
    QCOMPARE(failed.count(), wasCancelled ? 0 : 1);
    const QString message = wasCancelled ? QString() : failed.at(0).at(0).toString();
    QVERIFY2(wasCancelled || message.endsWith(ending), qPrintable(message));
    QVERIFY2(message.contains(told), qPrintable(message));
    const bool disturbed = wasCancelled ? !cancelAt.startsWith(QStringLiteral("Reading"))
                                        : ending == partialConfigurationMessage() ||
                                              ending == restartUncertainMessage();
    QCOMPARE(upload.exchangeDisturbed(), disturbed);
    if (!disturbed) {
        QCOMPARE(rig.exchange.configImage(), before);
        QCOMPARE(counters.fills, 0);
    }
}

void TestControllers::writtenAreaIsWhatTheUploadWrites_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("written");
    QTest::newRow("first byte") << 0 << true;
    QTest::newRow("last byte of block 62") << 7935 << true;
    QTest::newRow("marker") << 7936 << true;
    QTest::newRow("last password byte") << 7941 << true;
    QTest::newRow("after the password") << 7942 << false;
    QTest::newRow("first slot code") << 7951 << false;
    QTest::newRow("byte before the PIN") << 8095 << false;
    QTest::newRow("PIN word") << 8097 << true;
    QTest::newRow("last PIN byte") << 8099 << true;
    QTest::newRow("after the PIN") << 8100 << false;
    QTest::newRow("last byte") << 8191 << false;
}

void TestControllers::writtenAreaIsWhatTheUploadWrites()
{
    QFETCH(int, offset);
    QFETCH(bool, written);
    const QByteArray sent = busyImage(60);
    QByteArray reading = sent.mid(offset / 128 * 128, 128);
    reading[offset % 128] = char(reading.at(offset % 128) ^ 0x40);
    QCOMPARE(writtenBytesMatch(offset / 128, sent, reading), !written);
}

QTEST_GUILESS_MAIN(TestControllers)
#include "tst_controllers.moc"
