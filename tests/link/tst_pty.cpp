// The link over a real pseudo-terminal against the simulated exchange: the
// QSerialPort line, the pace of the wire, and the faults a line has.
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "ModuleSearch.h"
#include "PtyExchange.h"
#include "QtSerialLine.h"
#include "ServiceController.h"
#include "UploadController.h"
#include "UploadedBytes.h"
#include "mdlSerial.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(SimFaults)

namespace {

QByteArray randomImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ExchMap::MemorySize, '\0');
    for (int k = 0; k < image.size(); ++k)
        image[k] = (k / ExchMap::BlockSize) % 6 == 5 ? '\0' : char(random.bounded(256));
    return image;
}

struct Rig {
    ExchangeSimulator exchange;
    PtyExchange pty{&exchange};
    QtSerialLine line;
    SerialLink link{&line};
    MemoryImages memory;

    bool open(int baud, const SimFaults &faults = {})
    {
        exchange.setFaults(faults);
        pty.setBaudRate(baud);
        if (!pty.open())
            return false;
        link.setResendInterval(250);
        link.setSilenceLimit(3000);
        return line.open(pty.slavePath()) == SerialLine::Opened;
    }
};

} // namespace

class TestPty : public QObject {
    Q_OBJECT
private slots:
    void uploadRoundTrip_data();
    void uploadRoundTrip();
    void strayBytesNeverGiveAWrongImage_data();
    void strayBytesNeverGiveAWrongImage();
    void cancelLeavesTheConfigurationUntouched();
    void serviceCommandsReadBackWhatTheyWrote();
    void vanishedLineFailsCleanly();
};

void TestPty::uploadRoundTrip_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<SimFaults>("faults");
    QTest::newRow("57600 baud") << 57600 << SimFaults{};
    QTest::newRow("split replies, dropped replies")
        << 0 << SimFaults{0, 13, true, false, 0};
    QTest::newRow("all faults, paced") << 57600 << SimFaults{5, 23, true, true, 0};
}

void TestPty::uploadRoundTrip()
{
    QFETCH(int, baud);
    QFETCH(SimFaults, faults);
    Rig rig;
    QVERIFY(rig.open(baud, faults));
    rig.exchange.loadConfigImage(randomImage(5));
    const QByteArray image = randomImage(6);
    UploadController upload(rig.link, rig.memory);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QVERIFY(upload.startImage(image));
    QTRY_VERIFY_WITH_TIMEOUT(!upload.isRunning(), 60000);
    QCOMPARE(failed.count(), 0);
    // The reboot is the last thing sent: once it has arrived everything has.
    QTRY_COMPARE_WITH_TIMEOUT(rig.exchange.counters().reboots, 1, 5000);
    QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(image));

    // And what goes up comes down again.
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    download.start();
    QTRY_VERIFY_WITH_TIMEOUT(!download.isRunning(), 60000);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(uploaded(ready.at(0).at(0).toByteArray()), uploaded(image));
}

void TestPty::strayBytesNeverGiveAWrongImage_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<SimFaults>("faults");
    QTest::newRow("noise") << 1u << SimFaults{0, 0, false, true, 0};
    QTest::newRow("noise, split") << 2u << SimFaults{0, 0, true, true, 0};
    QTest::newRow("noise, split, corrupt, drop") << 3u << SimFaults{4, 17, true, true, 0};
}

void TestPty::strayBytesNeverGiveAWrongImage()
{
    QFETCH(quint32, seed);
    QFETCH(SimFaults, faults);
    Rig rig;
    rig.exchange.setSeed(seed);
    QVERIFY(rig.open(0, faults));
    const QByteArray image = randomImage(seed + 100);
    rig.exchange.loadConfigImage(image);
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    download.start();
    QTRY_VERIFY_WITH_TIMEOUT(!download.isRunning(), 60000);
    // Either the very image, or a clear failure and nothing handed over.
    if (ready.isEmpty()) {
        QCOMPARE(failed.count(), 1);
        QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    } else {
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).toByteArray(), image);
    }
}

void TestPty::cancelLeavesTheConfigurationUntouched()
{
    Rig rig;
    QVERIFY(rig.open(57600));
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.Name = QStringLiteral("MV Kittiwake");
    const Configuration before = config;
    DownloadController download(rig.link, rig.memory);
    connect(&download, &DownloadController::imageReady,
            [&config](const QByteArray &image) { decodeExchMemory(image, config); });
    connect(&download, &LinkOperation::progress, &download, [&](int block) {
        if (block == 10)
            download.cancel();
    });
    QSignalSpy cancelled(&download, &LinkOperation::cancelled);
    download.start();
    QVERIFY(cancelled.wait(20000));
    // Whatever was still on its way is ignored.
    QTest::qWait(300);
    QCOMPARE(config, before);
    QCOMPARE(rig.memory.BackupMemory, QByteArray(ExchMap::MemorySize, '\0'));
    QVERIFY(rig.link.isIdle());
}

void TestPty::serviceCommandsReadBackWhatTheyWrote()
{
    Rig rig;
    QVERIFY(rig.open(57600));
    ServiceController service(rig.link);
    QSignalSpy values(&service, &ServiceController::valueRead);
    QCOMPARE(service.writePin(QStringLiteral("9080")), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!service.isRunning(), 10000);
    service.readPin();
    QTRY_VERIFY_WITH_TIMEOUT(!service.isRunning(), 10000);
    QCOMPARE(values.last().at(0).toString(), QStringLiteral("9080"));
    QCOMPARE(service.writePassword(QStringLiteral("deck")), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!service.isRunning(), 10000);
    service.readPassword();
    QTRY_VERIFY_WITH_TIMEOUT(!service.isRunning(), 10000);
    QCOMPARE(values.last().at(0).toString(), QStringLiteral("DECK"));
}

void TestPty::vanishedLineFailsCleanly()
{
    Rig rig;
    QVERIFY(rig.open(0, SimFaults{0, 0, false, false, 12}));
    ModuleSearch search(&rig.line);
    search.setFixedPort(rig.pty.slavePath());
    // The port already open counts as found, under the name it was given.
    QCOMPARE(search.ProbePort(rig.pty.slavePath()), int(SerialLine::Opened));
    QCOMPARE(rig.line.portName(), rig.pty.slavePath());
    DownloadController download(rig.link, rig.memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    QSignalSpy gone(&search, &ModuleSearch::disconnected);
    download.start();
    QTRY_VERIFY_WITH_TIMEOUT(!download.isRunning(), 20000);
    QCOMPARE(ready.count(), 0);
    QCOMPARE(failed.count(), 1);
    QVERIFY2(failed.at(0).at(0).toString().startsWith(
                 QStringLiteral("The line to the Programming Module was lost")),
             qPrintable(failed.at(0).at(0).toString()));
    QVERIFY(!rig.line.isOpen());
    QCOMPARE(gone.count(), 1);
    QVERIFY(search.isRetrying());
    QVERIFY(rig.link.isIdle());
}

QTEST_GUILESS_MAIN(TestPty)
#include "tst_pty.moc"
