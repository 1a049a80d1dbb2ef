// The link over a real pseudo-terminal against the simulated exchange: the
// QSerialPort line, the pace of the wire, and the faults a line has.
#include "LinkRig.h"

#include "DownloadController.h"
#include "ModuleSearch.h"
#include "PtyExchange.h"
#include "PtyPair.h"
#include "QtSerialLine.h"
#include "UploadController.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct PtyRig {
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
        SerialLink::setupPauseTicks = 1; // the simulated exchange needs no pause
        link.setResendMargin(50);
        link.setSilenceLimit(3000);
        return line.open(pty.slavePath()) == SerialLine::Opened;
    }
};

} // namespace

class TestPty : public QObject {
    Q_OBJECT
private slots:
    void uploadRoundTripAtThePaceOfTheWire();
    void vanishedLineFailsCleanly();
    void farEndHangUpLosesTheLine();
};

void TestPty::uploadRoundTripAtThePaceOfTheWire()
{
    // No backup: its second reading of every block would only add time.
    PtyRig rig;
    QVERIFY(rig.open(57600));
    rig.exchange.loadConfigImage(busyImage(5));
    const QByteArray image = busyImage(6);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({false, true});
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

void TestPty::vanishedLineFailsCleanly()
{
    PtyRig rig;
    QVERIFY(rig.open(0, SimFaults{0, 0, false, false, 12}));
    ModuleSearch search(&rig.line);
    search.setFixedPort(rig.pty.slavePath());
    // The port already open counts as found, under the name it was given.
    QCOMPARE(search.probePort(rig.pty.slavePath()), int(SerialLine::Opened));
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

void TestPty::farEndHangUpLosesTheLine()
{
    // A terminal whose far end closed reads nothing but end-of-file: the line
    // is gone even though nothing more is written to it (as while the reboot
    // is watched).
    PtyPair pty;
    QVERIFY(pty.isValid());
    QtSerialLine line;
    QCOMPARE(line.open(pty.slavePath()), int(SerialLine::Opened));
    QSignalSpy lost(&line, &SerialLine::lost);
    pty.closeMaster();
    QVERIFY(lost.wait(2000));
    QVERIFY(!line.isOpen());
}

QTEST_GUILESS_MAIN(TestPty)
#include "tst_pty.moc"
