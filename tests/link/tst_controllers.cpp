// Download, upload and the service commands end to end against the
// simulated exchange, wired to the in-memory line: every fault the
// simulator can put on the line, no port and no waiting for the pace.
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

class TestControllers : public QObject {
    Q_OBJECT
private slots:
    void downloadReadsTheImage_data();
    void downloadReadsTheImage();
    void strayDigitsNeverGiveAWrongImage_data();
    void strayDigitsNeverGiveAWrongImage();
    void downloadFailures_data();
    void downloadFailures();
    void uploadWritesTheImage_data();
    void uploadWritesTheImage();
    void uploadSkipsEmptyBlocksAndFillsUniformOnes();
    void uploadRefusedWhileErrorsRemain();
    void refusedBlockIsSentAgain();
    void serviceRoundTrips_data();
    void serviceRoundTrips();
    void refusedValuesSendNothing_data();
    void refusedValuesSendNothing();
    void valuesRead_data();
    void valuesRead();
    void rebootGoesOut();
};

void TestControllers::downloadReadsTheImage_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::newRow("clean line") << SimFaults{};
    QTest::newRow("every third block corrupted") << SimFaults{3, 0, false, false, 0};
    QTest::newRow("split replies") << SimFaults{0, 0, true, false, 0};
    QTest::newRow("every 7th reply dropped") << SimFaults{0, 7, false, false, 0};
    QTest::newRow("noise after replies") << SimFaults{0, 0, false, true, 0};
    QTest::newRow("everything at once") << SimFaults{4, 9, true, true, 0};
}

void TestControllers::downloadReadsTheImage()
{
    QFETCH(SimFaults, faults);
    Rig rig(faults);
    const QByteArray image = busyImage(17);
    QVERIFY(rig.exchange.loadConfigImage(image));
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    QSignalSpy progress(&download, &LinkOperation::progress);
    download.start();
    // Before any reply the first block is named.
    QCOMPARE(progress.at(0).at(2).toString(), QStringLiteral("Getting Block 1 of 64"));
    QVERIFY(rig.run(download));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(ready.at(0).at(0).toByteArray(), image);
    QCOMPARE(progress.size(), 64);
    QCOMPARE(progress.last().at(2).toString(), QStringLiteral("Getting Block 64 of 64"));
    QCOMPARE(rig.memory.BackupMemory, image);
    QCOMPARE(rig.memory.ExchMemory, image);
    // Every block was acknowledged, and only verified ones.
    QCOMPARE(rig.exchange.counters().acks, 64);
}

void TestControllers::strayDigitsNeverGiveAWrongImage_data()
{
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("where"); // -1 anywhere, else the position in the reply
    QTest::addColumn<bool>("recoverable");
    QTest::newRow("every reply, anywhere") << 1 << -1 << false;
    QTest::newRow("every third reply, anywhere") << 3 << -1 << true;
    QTest::newRow("every reply, in front") << 1 << 0 << false;
    QTest::newRow("every reply, behind the checksum") << 1 << 258 << true;
}

void TestControllers::strayDigitsNeverGiveAWrongImage()
{
    QFETCH(int, every);
    QFETCH(int, where);
    QFETCH(bool, recoverable);
    Rig rig;
    const QByteArray image = busyImage(41);
    rig.exchange.loadConfigImage(image);
    // A digit that the line made up, put into block replies.
    QObject::disconnect(&rig.exchange, &ExchangeSimulator::reply, &rig.line, &FakeSerialLine::feed);
    QRandomGenerator random(every * 1000 + where);
    int replies = 0;
    connect(&rig.exchange, &ExchangeSimulator::reply, &rig.line, [&](QByteArray bytes) {
        if (bytes.size() == 258 && ++replies % every == 0) {
            const int at = where < 0 ? int(random.bounded(259)) : where;
            bytes.insert(at, "0123456789ABCDEF"[random.bounded(16)]);
        }
        rig.line.feed(bytes);
    });
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    download.start();
    QVERIFY(rig.run(download, 30000));
    // The very image, or a clear failure with nothing handed over.
    if (recoverable) {
        QCOMPARE(failed.count(), 0);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).toByteArray(), image);
    } else {
        QCOMPARE(ready.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), damagedRepliesMessage());
    }
}

// Every way a download can end short: nothing is handed over, what was held
// before stays, the line is free, and the exchange is asked nothing more.
void TestControllers::downloadFailures_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QString>("ending"); // "closed", "cancel" or none
    QTest::addColumn<QString>("message"); // empty: cancelled
    QTest::newRow("exchange hangs up") << SimFaults{0, 0, false, false, 12} << QString()
                                       << lineLostMessage(QStringLiteral("the device was removed"));
    QTest::newRow("every reply lost") << SimFaults{0, 1, false, false, 0} << QString()
                                      << noReplyMessage();
    QTest::newRow("line not open") << SimFaults{} << QStringLiteral("closed")
                                   << QStringLiteral("Not connected to a tidelex");
    QTest::newRow("cancelled at block 10") << SimFaults{} << QStringLiteral("cancel") << QString();
}

void TestControllers::downloadFailures()
{
    QFETCH(SimFaults, faults);
    QFETCH(QString, ending);
    QFETCH(QString, message);
    Rig rig(faults);
    if (ending == QLatin1String("closed"))
        rig.line.close();
    rig.memory.BackupMemory = QByteArray(ExchMap::MemorySize, 'B');
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    QSignalSpy cancelled(&download, &LinkOperation::cancelled);
    connect(&download, &LinkOperation::progress, &download, [&](int block) {
        if (block == 10 && ending == QLatin1String("cancel"))
            download.cancel();
    });
    download.start();
    if (ending == QLatin1String("closed"))
        QCOMPARE(failed.count(), 1); // at once, without running the line
    QVERIFY(rig.run(download));
    QCOMPARE(ready.count(), 0);
    QCOMPARE(failed.count(), message.isEmpty() ? 0 : 1);
    QCOMPARE(cancelled.count(), message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        QCOMPARE(failed.at(0).at(0).toString(), message);
    QVERIFY(rig.link.isIdle());
    QCOMPARE(rig.memory.BackupMemory, QByteArray(ExchMap::MemorySize, 'B'));
    const int served = rig.exchange.counters().blocksServed;
    for (int k = 0; k < 20; ++k) {
        rig.link.pumpOutput();
        QCoreApplication::processEvents();
    }
    QCOMPARE(rig.exchange.counters().blocksServed, served);
}

void TestControllers::uploadWritesTheImage_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("default cabinet") << SimFaults{} << defaultCabinetImage();
    QTest::newRow("busy image") << SimFaults{} << busyImage(3);
    QTest::newRow("busy image, replies dropped") << SimFaults{0, 5, false, false, 0} << busyImage(5);
    QTest::newRow("busy image, noise") << SimFaults{0, 0, false, true, 0} << busyImage(6);
}

void TestControllers::uploadWritesTheImage()
{
    QFETCH(SimFaults, faults);
    QFETCH(QByteArray, image);
    Rig rig(faults);
    // What was there before must not survive the upload.
    rig.exchange.loadConfigImage(busyImage(99));
    const QByteArray cabinet =
        rig.exchange.bytes(Sim::ConfigBase + Sim::SlotOffset, Sim::SlotCount);
    UploadController upload(rig.link, rig.memory);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QSignalSpy retrying(&upload, &LinkOperation::retrying);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QVERIFY2(failed.isEmpty(), failed.isEmpty() ? "" : qPrintable(failed.at(0).at(0).toString()));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(rig.exchange.counters().reboots, 1);
    // Every lost reply was asked for again, and said so.
    QCOMPARE(upload.retries(), rig.exchange.counters().dropped);
    QCOMPARE(retrying.count(), upload.retries());
    if (!retrying.isEmpty())
        QVERIFY(retrying.last().at(0).toString().startsWith(QStringLiteral("Retrying ")));
    const QByteArray got = rig.exchange.configImage();
    QCOMPARE(uploaded(got), uploaded(image));
    QCOMPARE(got.mid(Sim::SlotOffset, Sim::SlotCount), cabinet);
    QCOMPARE(rig.memory.ExchMemory, image);
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

void TestControllers::uploadRefusedWhileErrorsRemain()
{
    Rig rig;
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.Slots[2] = tidelex::BoardSubscriber;
    config.Extensions[0].Active = true;
    config.Extensions[0].ExtNum = 50; // not an extension number
    QVERIFY(checkConfig(config).errorsFound);
    UploadController upload(rig.link, rig.memory);
    QString refusal;
    QVERIFY(!upload.start(config, &refusal));
    QCOMPARE(refusal, QStringLiteral("There are errors with the configuration.\n"
                                     "These need to be corrected before the configuration can be "
                                     "sent."));
    QCoreApplication::processEvents();
    QVERIFY(rig.line.writes.isEmpty());
    QVERIFY(!upload.isRunning());
}

void TestControllers::refusedBlockIsSentAgain()
{
    Rig rig;
    QByteArray image = busyImage(8);
    // The exchange refuses the first write of block 2 once.
    bool refused = false;
    rig.line.responder = [&](const QByteArray &bytes) {
        if (!refused && bytes.startsWith(QByteArray("\x0C" "6100"))) {
            refused = true;
            rig.line.feed(QByteArray(1, Sim::ReplyRefused));
            return;
        }
        rig.exchange.receive(bytes);
    };
    UploadController upload(rig.link, rig.memory);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    upload.startImage(image);
    QVERIFY(rig.run(upload));
    QVERIFY(refused);
    QCOMPARE(finished.count(), 1);
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
    const QString problem = what == 0   ? service.writePin(written)
                            : what == 1 ? service.writePassword(written)
                                        : service.setClock(written);
    QCOMPARE(problem, QString());
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
    const QString problem = what == 0   ? service.writePin(value)
                            : what == 1 ? service.writePassword(value)
                                        : service.setClock(value);
    QCOMPARE(problem, message);
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
        service.readClock();
    }
    QVERIFY(rig.run(service));
    QCOMPARE(values.count(), shown.isEmpty() ? 0 : 1);
    QCOMPARE(failed.count(), failure.isEmpty() ? 0 : 1);
    if (!shown.isEmpty())
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

QTEST_GUILESS_MAIN(TestControllers)
#include "tst_controllers.moc"
