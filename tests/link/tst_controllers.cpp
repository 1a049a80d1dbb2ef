// Download, upload, the cabinet's boards and the service commands end to
// end against the simulated exchange, wired to the in-memory line: every
// fault the simulator can put on the line, no port and no waiting for the
// pace. A service write is done only when the exchange confirms it.
#include "LinkRig.h"

#include "BoardsController.h"
#include "CheckConfig.h"
#include "DefaultCabinet.h"
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "FakeSerialLine.h"
#include "ServiceController.h"
#include "ServiceValues.h"
#include "UploadController.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using Sim = ExchangeSimulator; // where the tests look into the exchange: the simulator's own map
using namespace tidelex;

namespace
{

enum What { PinValue, PasswordValue, ClockValue };

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

} // namespace

class TestControllers : public QObject {
    Q_OBJECT
private slots:
    void downloadHandsOverTheImageOrNothing_data();
    void downloadHandsOverTheImageOrNothing();
    void uploadSkipsEmptyBlocksAndFillsUniformOnes();
    void refusedUploadsSendNothing_data();
    void refusedUploadsSendNothing();
    void refusedBlockIsSentAgain_data();
    void refusedBlockIsSentAgain();
    void serviceRoundTrips_data();
    void serviceRoundTrips();
    void writeDoneOnlyWhenTheExchangeConfirms_data();
    void writeDoneOnlyWhenTheExchangeConfirms();
    void refusedValuesSendNothing_data();
    void refusedValuesSendNothing();
    void valuesRead_data();
    void valuesRead();
    void rebootGoesOut();
    void slotReplies_data();
    void slotReplies();
    void boardsRead_data();
    void boardsRead();
    void processorAndRingingModuleStay();
    void silentExchange();
};

void TestControllers::downloadHandsOverTheImageOrNothing_data()
{
    // Every fault the line can have, stray digits the line made up, pairs of
    // bits flipped without changing the sum, read once or twice, and every
    // way a download ends short: the very image is handed over, or a clear
    // failure with nothing handed over, what was held before kept, the line
    // free and the exchange asked nothing more.
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
    row("every third block corrupted", {.corruptEvery = 3});
    row("split replies", {.split = true});
    row("every 7th reply dropped", {.dropEvery = 7});
    row("noise after replies", {.noise = true});
    row("everything at once", {4, 9, true, true, 0});
    row("stray digit in every reply", {}, damagedRepliesMessage(), false, 1);
    row("stray digit in every third reply", {}, {}, false, 3);
    row("stray digit in front of every reply", {}, damagedRepliesMessage(), false, 1, 0);
    row("stray digit behind every checksum", {}, {}, false, 1, 258);
    row("pairs flipped in every 4th reply, read once", {.flipPairEvery = 4},
        QStringLiteral("inexact"));
    row("pairs flipped in every 4th reply, read twice", {.flipPairEvery = 4}, {}, true);
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

void TestControllers::refusedBlockIsSentAgain_data()
{
    QTest::addColumn<int>("refusals"); // of the first block's write
    QTest::addColumn<QString>("message");
    QTest::newRow("refused once") << 1 << QString();
    QTest::newRow("refused 4 times") << 4 << QStringLiteral("The exchange refused block 1.");
}

void TestControllers::refusedBlockIsSentAgain()
{
    QFETCH(int, refusals);
    QFETCH(QString, message);
    Rig rig;
    QByteArray image = busyImage(8);
    int refused = 0;
    rig.line.responder = [&](const QByteArray &bytes) {
        if (refused < refusals && bytes.startsWith(QByteArray("\x0C" "6000"))) {
            ++refused;
            rig.line.feed(QByteArray(1, Sim::ReplyRefused));
            return;
        }
        rig.exchange.receive(bytes);
    };
    UploadController upload(rig.link, rig.memory);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    upload.startImage(image);
    QVERIFY(rig.run(upload));
    QCOMPARE(refused, refusals);
    QCOMPARE(finished.count(), message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        QVERIFY2(failed.at(0).at(0).toString().startsWith(message + u'\n'),
                 qPrintable(failed.at(0).at(0).toString()));
    else
        QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(image));
}

void TestControllers::serviceRoundTrips_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<int>("address"); // where the value lands in the exchange, 0: not looked at
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("PIN") << 0 << QStringLiteral("2050") << QStringLiteral("2050") << Sim::PinAddress
                         << QByteArray("\x02\x0A\x05\x0A");
    QTest::newRow("PIN removed") << 0 << QString() << QString() << Sim::PinAddress
                                 << QByteArray(4, char(0xFF));
    QTest::newRow("password") << 1 << QStringLiteral("helm") << QStringLiteral("HELM") << 0
                              << QByteArray();
    QTest::newRow("password, q dropped") << 1 << QStringLiteral("aqb1c") << QStringLiteral("AB1C")
                                         << 0 << QByteArray();
    QTest::newRow("clock") << 2 << QStringLiteral("08:05:00 01/02/03")
                           << QStringLiteral("08:05:00 01/02/03") << Sim::ClockWriteAddress
                           << QByteArray("\x00\x00\x05\x08\x10\x01\x02\x03", 8);
}

void TestControllers::serviceRoundTrips()
{
    QFETCH(int, what);
    QFETCH(QString, written);
    QFETCH(QString, readBack);
    QFETCH(int, address);
    QFETCH(QByteArray, bytes);
    Rig rig;
    if (address) // something else there first, so the write shows
        rig.exchange.setBytes(address, QByteArray(bytes.size(), char(0x55)));
    ServiceController service(rig.link);
    QSignalSpy finished(&service, &LinkOperation::finished);
    QSignalSpy values(&service, &ServiceController::valueRead);
    QCOMPARE(write(service, what, written), QString());
    QVERIFY(rig.run(service));
    QCOMPARE(finished.count(), 1);
    if (address)
        QCOMPARE(rig.exchange.bytes(address, int(bytes.size())).toHex(), bytes.toHex());
    QCOMPARE(rig.exchange.counters().clockUpdates, what == 2 ? 1 : 0);
    if (what == 0)
        service.readPin();
    else if (what == 1)
        service.readPassword();
    else
        service.readClock();
    QVERIFY(rig.run(service));
    QCOMPARE(finished.count(), 2);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toString(), readBack);
}

void TestControllers::writeDoneOnlyWhenTheExchangeConfirms_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("ignored");     // the exchange ignores writes to this address; 0: none
    QTest::addColumn<bool>("silent");     // the exchange stops answering after the writes
    QTest::addColumn<QString>("message"); // empty: finished
    QTest::newRow("PIN digit lost")
        << int(PinValue) << QStringLiteral("1234") << Sim::PinAddress + 2 << false
        << QStringLiteral("The exchange did not keep the new PIN: it "
                          "reads back differently.");
    QTest::newRow("PIN, no answer")
        << int(PinValue) << QStringLiteral("1234") << 0 << true << noReplyMessage();
    QTest::newRow("password character lost")
        << int(PasswordValue) << QStringLiteral("DECK") << Sim::PasswordAddress + 3 << false
        << QStringLiteral("The exchange did not keep the new password: it reads back "
                          "differently.");
    QTest::newRow("clock, no answer after the update")
        << int(ClockValue) << QStringLiteral("08:05:00 01/02/03") << 0 << true << noReplyMessage();
}

void TestControllers::writeDoneOnlyWhenTheExchangeConfirms()
{
    QFETCH(int, what);
    QFETCH(QString, value);
    QFETCH(int, ignored);
    QFETCH(bool, silent);
    QFETCH(QString, message);
    Rig rig;
    rig.link.setSilenceLimit(300);
    rig.line.responder = [&](const QByteArray &bytes) {
        const bool toIgnored = ignored && bytes.startsWith(char(Sim::WriteByte)) &&
                               bytes.mid(1, Sim::AddressDigits).toInt(nullptr, 16) == ignored;
        const bool afterWrites = silent && (bytes.startsWith(char(Sim::ReadByte)) ||
                                            bytes.startsWith(char(Sim::ClockUpdate)));
        if (!toIgnored && !afterWrites)
            rig.exchange.receive(bytes);
    };
    ServiceController service(rig.link);
    QSignalSpy finished(&service, &LinkOperation::finished);
    QSignalSpy failed(&service, &LinkOperation::failed);
    QCOMPARE(write(service, what, value), QString());
    QVERIFY(rig.run(service));
    if (message.isEmpty()) {
        QCOMPARE(failed.count(), 0);
        QCOMPARE(finished.count(), 1);
    } else {
        QCOMPARE(finished.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), message);
    }
}

void TestControllers::refusedValuesSendNothing_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("PIN too short") << 0 << QStringLiteral("123") << QStringLiteral("123 is too short");
    QTest::newRow("PIN too long") << 0 << QStringLiteral("12345")
                                  << QStringLiteral("12345 is too long");
    QTest::newRow("PIN with a letter") << 0 << QStringLiteral("12a4")
                                       << QStringLiteral("12a4 must only contain digits");
    QTest::newRow("PIN below 1000")
        << 0 << QStringLiteral("0999") << QStringLiteral("0999 must be between 1000 and 9999");
    QTest::newRow("password too short") << 1 << QStringLiteral("abq") << QStringLiteral("AB is too short");
    QTest::newRow("password not ASCII") << 1 << QStringLiteral("k\u00e9ys")
                                        << QStringLiteral("K\u00c9YS must only contain plain ASCII characters");
    QTest::newRow("password too long") << 1 << QStringLiteral("abcde")
                                       << QStringLiteral("ABCDE is too long");
    QTest::newRow("no such day") << 2 << QStringLiteral("12:00:00 30/02/20")
                                 << QStringLiteral("12:00:00 30/02/20 is not a time and date "
                                                   "(hh:mm:ss dd/mm/yy)");
    QTest::newRow("wrong form") << 2 << QStringLiteral("12:00 01/01/2020")
                                << QStringLiteral("12:00 01/01/2020 is not a time and date "
                                                  "(hh:mm:ss dd/mm/yy)");
}

void TestControllers::refusedValuesSendNothing()
{
    QFETCH(int, what);
    QFETCH(QString, value);
    QFETCH(QString, message);
    Rig rig;
    ServiceController service(rig.link);
    QCOMPARE(write(service, what, value), message);
    QCoreApplication::processEvents();
    QVERIFY(rig.line.writes.isEmpty());
    QVERIFY(!service.isRunning());
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
    QTest::newRow("tie line") << QByteArray("93") << int(BoardTieLine) << true;
    QTest::newRow("tone") << QByteArray("A0") << int(BoardTone8) << true;
    QTest::newRow("nothing fitted") << QByteArray("FF") << int(BoardEmpty) << true;
    QTest::newRow("unknown card") << QByteArray("50") << int(BoardEmpty) << false;
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
}

void TestControllers::boardsRead()
{
    QFETCH(SimFaults, faults);
    Rig rig(faults);
    QVERIFY(rig.exchange.loadConfigImage(defaultCabinetImage()));
    BoardsController reader(rig.link);
    QSignalSpy reports(&reader, &BoardsController::slotRead);
    QSignalSpy progress(&reader, &LinkOperation::progress);
    QSignalSpy failed(&reader, &LinkOperation::failed);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(failed.count(), 0);
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

void TestControllers::silentExchange()
{
    Rig rig;
    rig.line.responder = nullptr;
    rig.link.setSilenceLimit(200);
    BoardsController reader(rig.link);
    QSignalSpy failed(&reader, &LinkOperation::failed);
    reader.start();
    QVERIFY(rig.run(reader));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), noReplyMessage());
    QVERIFY(rig.link.isIdle()); // nothing left queued behind the failure
    QCOMPARE(reader.boards(), defaultInstalledBoards());
}

QTEST_GUILESS_MAIN(TestControllers)
#include "tst_controllers.moc"
