// Download, upload, the cabinet's boards and the service commands end to
// end against the simulated exchange on the in-memory line (LinkRig.h).
#include "LinkRig.h"

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
using Phase = UploadController::Phase;
Q_DECLARE_METATYPE(QList<Phase>)
Q_DECLARE_METATYPE(UploadOptions)

namespace
{

enum What { PinValue, PasswordValue, ClockValue };
constexpr int Refused = -2; // in serviceRoundTrips: the value is refused, nothing is sent

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
    void downloadHandsOverTheImageOrNothing_data();
    void downloadHandsOverTheImageOrNothing();
    void uploadSkipsEmptyBlocksAndFillsUniformOnes();
    void refusedUploadsSendNothing_data();
    void refusedUploadsSendNothing();
    void serviceRoundTrips_data();
    void serviceRoundTrips();
    void valuesRead_data();
    void valuesRead();
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
    void pinBytesFollowTheImageSent_data();
    void pinBytesFollowTheImageSent();
};

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
    UploadOptions options;
    options.backup = false;
    options.verify = false;
    upload.setOptions(options); // the boards, then the writes alone, as documented
    QSignalSpy progress(&upload, &LinkOperation::progress);
    upload.startImage(image);
    QVERIFY(rig.run(upload));
    QList<QByteArray> sent;
    for (const QByteArray &w : rig.line.writes) {
        if (w.size() > 1)
            sent.append(w.left(w.startsWith('\x0C') ? 5 : w.size()));
    }
    // First the slot bytes of slots 0..16.
    for (int slot = 0; slot < BoardsController::SlotsRead; ++slot)
        QCOMPARE(sent.takeFirst(), "\x11" + hexField(address(SlotCodes + slot), 4));
    // One read behind the word writes confirms them before the reboot.
    QCOMPARE(sent, (QList<QByteArray>{QByteArray("\x18"
                                                 "60001F0000"),
                                      QByteArray("\x18"
                                                 "6000008"
                                                 "045"),
                                      QByteArray("\x0C"
                                                 "6180"),
                                      QByteArray("\x14"
                                                 "7F00FA05"),
                                      QByteArray("\x14"
                                                 "7F025348"),
                                      QByteArray("\x14"
                                                 "7F044950"),
                                      QByteArray("\x14"
                                                 "7FA00000"),
                                      QByteArray("\x14"
                                                 "7FA20000"),
                                      QByteArray("\x11"
                                                 "7FA0")}));
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
    // (or never confirms) is not done; a value refused sends nothing.
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
    if (address) // something else there first, so the write shows
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
    if (what == PinValue)
        service.readPin();
    else if (what == PasswordValue)
        service.readPassword();
    else
        service.readClock();
    QVERIFY(rig.run(service));
    QCOMPARE(finished.count(), 2);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toString(), outcome);
}

void TestControllers::valuesRead_data()
{
    QTest::addColumn<int>("address"); // what the exchange holds there, -1: the firmware byte
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");   // what valueRead() says
    QTest::addColumn<QString>("failure"); // or the failure instead
    const QString version2 = QStringLiteral("Exchange has version 2+ firmware\n");
    const QString badClock = QStringLiteral("Bad Time and Date recieved - leaving as PC time");
    QTest::newRow("version 1") << -1 << QByteArray(1, 0x31)
                               << QStringLiteral("Exchange has version 1 firmware. Needs to be "
                                                 "updated to Version 2.23\nFirmware version 1 "
                                                 "(version byte 0x31).")
                               << QString();
    QTest::newRow("version 2") << -1 << QByteArray(1, 0x32)
                               << version2 +
                                      QStringLiteral("Firmware version 2 (version byte 0x32).")
                               << QString();
    QTest::newRow("version byte no digit")
        << -1 << QByteArray(1, char(0xA4)) << version2 + QStringLiteral("Version byte 0xA4.")
        << QString();
    QTest::newRow("version byte 00") << -1 << QByteArray(1, '\0') << QString()
                                     << QStringLiteral("The exchange's firmware version could not "
                                                       "be read (it answered 00).");
    const QString unreadable = QStringLiteral("The exchange's PIN could not be read");
    const auto pin = [](const char *name, const QByteArray &bytes, const QString &shown,
                        const QString &failure = {}) {
        QTest::newRow(name) << Sim::PinAddress << bytes << shown << failure;
    };
    pin("PIN digits with 0", QByteArray("\x02\x0A\x05\x0A"), QStringLiteral("2050"));
    pin("no PIN", QByteArray(4, char(0xFF)), QString());
    pin("PIN as the packed word of an upload", QByteArray("\x34\x12\xFF\xFF"), {}, unreadable);
    pin("PIN with a star", QByteArray("\x01\x0B\x03\x04"), {}, unreadable);
    pin("all zero: a configuration without a PIN", QByteArray(4, '\0'), QString());
    pin("packed word a configuration wrote", QByteArray("\x34\x2A\x00\x00", 4),
        QStringLiteral("2034"));
    pin("PIN half removed", QByteArray("\x01\x02\xFF\xFF"), {}, unreadable);
    QTest::newRow("Christmas 99") << Sim::ClockReadAddress
                                  << QByteArray("\x00\x45\x30\x12\x10\x25\x12\x99", 8)
                                  << QStringLiteral("12:30:45 25/12/99") << QString();
    QTest::newRow("midnight") << Sim::ClockReadAddress
                              << QByteArray("\x00\x00\x00\x00\x10\x01\x01\x00", 8)
                              << QStringLiteral("00:00:00 01/01/00") << QString();
    QTest::newRow("hexadecimal letter")
        << Sim::ClockReadAddress << QByteArray("\x00\x4A\x30\x12\x10\x25\x12\x99", 8) << QString()
        << badClock;
    QTest::newRow("25 o'clock") << Sim::ClockReadAddress
                                << QByteArray("\x00\x00\x00\x25\x10\x01\x01\x20", 8) << QString()
                                << badClock;
    QTest::newRow("30 February") << Sim::ClockReadAddress
                                 << QByteArray("\x00\x00\x00\x12\x10\x30\x02\x20", 8) << QString()
                                 << badClock;
}

void TestControllers::valuesRead()
{
    QFETCH(int, address);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(QString, failure);
    Rig rig;
    ServiceController service(rig.link);
    QSignalSpy values(&service, &ServiceController::valueRead);
    QSignalSpy failed(&service, &LinkOperation::failed);
    if (address < 0) {
        rig.exchange.setFirmware(quint8(bytes.at(0)));
        service.readVersion();
    } else {
        rig.exchange.setBytes(address, bytes);
        if (address == Sim::PinAddress)
            service.readPin();
        else
            service.readClock();
    }
    QVERIFY(rig.run(service));
    QCOMPARE(values.count(), failure.isEmpty() ? 1 : 0);
    QCOMPARE(failed.count(), failure.isEmpty() ? 0 : 1);
    if (failure.isEmpty())
        QCOMPARE(values.at(0).at(0).toString(), shown);
    if (!failure.isEmpty())
        QCOMPARE(failed.at(0).at(0).toString(), failure);
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
    const QList<Phase> writes = {Phase::Clearing, Phase::Writing, Phase::FinalWords};
    const QList<Phase> backup = {Phase::Boards, Phase::Backup, Phase::Plan};
    const QList<Phase> end = {Phase::Rebooting, Phase::Idle};
    UploadOptions options;
    QTest::newRow("backup and read-back")
        << options << backup + writes + QList<Phase>{Phase::Verifying} + end << 2 * 64 + 64;
    options.backup = false;
    QTest::newRow("read-back only")
        << options << QList<Phase>{Phase::Boards} + writes + QList<Phase>{Phase::Verifying} + end
        << 64;
    options.verify = false;
    QTest::newRow("neither") << options << QList<Phase>{Phase::Boards} + writes + end << 0;
    options.backup = true;
    QTest::newRow("backup only") << options << backup + writes + end << 2 * 64;
    options.dryRun = true;
    QTest::newRow("dry run") << options << backup + QList<Phase>{Phase::Idle} << 2 * 64;
}

void TestControllers::phasesFollowTheOptions()
{
    QFETCH(UploadOptions, options);
    QFETCH(QList<Phase>, phases);
    QFETCH(int, blockReads);
    Rig rig;
    const QByteArray before = busyImage(11);
    const QByteArray image = busyImage(12);
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
    UploadOptions options;
    options.ignoreBoards = ignoreBoards;
    options.confirmPlan = true;
    upload.setOptions(options);
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

void TestControllers::pinBytesFollowTheImageSent_data()
{
    // The exchange holds PIN 5678 as set by itself (digit bytes); what does
    // it hold after an upload? Never a mix of the old PIN and the new.
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("pin");
    QByteArray backup = busyImage(80);
    backup.replace(ExchMap::Pin, 4, QByteArray::fromHex("01020304")); // taken after pin 1234
    QTest::newRow("backup restored") << backup << QStringLiteral("1234");
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.PIN = 4301;
    QTest::newRow("configuration with a PIN")
        << buildExchMemory(config).image << QStringLiteral("4301");
    config.SysConfig.PIN = 0;
    QTest::newRow("configuration without a PIN") << buildExchMemory(config).image << QString();
}

void TestControllers::pinBytesFollowTheImageSent()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, pin);
    Rig rig;
    QByteArray held = busyImage(81);
    held.replace(ExchMap::Pin, 4, QByteArray::fromHex("05060708"));
    rig.exchange.loadConfigImage(held);
    UploadController upload(rig.link, rig.memory);
    UploadOptions options;
    options.backup = false;
    options.ignoreBoards = true; // a built image names no boards
    upload.setOptions(options);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(pinFromStoredBytes(rig.exchange.configImage().mid(ExchMap::Pin, 4))
                 .value_or(QStringLiteral("unreadable")),
             pin);
}

QTEST_GUILESS_MAIN(TestControllers)
#include "tst_controllers.moc"
