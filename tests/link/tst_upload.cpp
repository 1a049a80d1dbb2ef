// The upload's safety net against the simulated exchange on the in-memory
// line: the backup before writing, the read-back before the reboot, and
// what every ending says about the state the exchange is left in.
#include "LinkRig.h"

#include "DefaultCabinet.h"
#include "DownloadController.h"
#include "UploadController.h"
#include "WrittenArea.h"

#include <QSignalSpy>
#include <QTest>

using Phase = UploadController::Phase;
Q_DECLARE_METATYPE(QList<Phase>)

namespace
{

// Blocks 0..61 the upload of `image` writes with a block write (not a fill).
int blockWrites(const QByteArray &image)
{
    int count = 0;
    for (int block = 0; block < 62; ++block) {
        const QByteArray bytes = image.mid(block * 128, 128);
        count += bytes.count(bytes.at(0)) != 128;
    }
    return count;
}

QList<Phase> phasesOf(const QSignalSpy &spy)
{
    QList<Phase> phases;
    for (const QList<QVariant> &args : spy)
        phases.append(args.at(0).value<Phase>());
    return phases;
}

} // namespace

class TestUpload : public QObject
{
    Q_OBJECT
  private slots:
    void phasesFollowTheOptions_data();
    void phasesFollowTheOptions();
    void endingsNeverCallAHalfUploadDone_data();
    void endingsNeverCallAHalfUploadDone();
    void cancelSaysWhatWasLeft_data();
    void cancelSaysWhatWasLeft();
    void readBackJudgesTheWrittenBytes_data();
    void readBackJudgesTheWrittenBytes();
    void unstoredBackupWritesNothing();
    void readTwiceCatchesFlippedPairs_data();
    void readTwiceCatchesFlippedPairs();
    void writtenAreaIsWhatTheUploadWrites_data();
    void writtenAreaIsWhatTheUploadWrites();
};

void TestUpload::phasesFollowTheOptions_data()
{
    QTest::addColumn<bool>("backup");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QList<Phase>>("phases");
    QTest::addColumn<int>("blockReads");
    const QList<Phase> writes = {Phase::Clearing, Phase::Writing, Phase::FinalWords};
    QTest::newRow("backup and read-back")
        << true << true
        << QList<Phase>{Phase::Backup} + writes +
               QList<Phase>{Phase::Verifying, Phase::Rebooting, Phase::Idle}
        << 128;
    QTest::newRow("read-back only")
        << false << true << writes + QList<Phase>{Phase::Verifying, Phase::Rebooting, Phase::Idle}
        << 64;
    QTest::newRow("backup only") << true << false
                                 << QList<Phase>{Phase::Backup} + writes +
                                        QList<Phase>{Phase::Rebooting, Phase::Idle}
                                 << 64;
    QTest::newRow("neither") << false << false
                             << writes + QList<Phase>{Phase::Rebooting, Phase::Idle} << 0;
}

void TestUpload::phasesFollowTheOptions()
{
    QFETCH(bool, backup);
    QFETCH(bool, verify);
    QFETCH(QList<Phase>, phases);
    QFETCH(int, blockReads);
    Rig rig;
    const QByteArray before = busyImage(11);
    const QByteArray image = busyImage(12);
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({backup, verify});
    QByteArray stored;
    upload.setBackupSink([&](const QByteArray &bytes, QString *) {
        stored = bytes;
        return true;
    });
    QSignalSpy phaseSpy(&upload, &UploadController::phaseChanged);
    QSignalSpy backupRead(&upload, &UploadController::backupRead);
    QSignalSpy verified(&upload, &UploadController::verified);
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy progress(&upload, &LinkOperation::progress);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(phasesOf(phaseSpy), phases);
    QCOMPARE(rig.exchange.counters().blocksServed, blockReads);
    QCOMPARE(rig.exchange.counters().reboots, 1);
    QCOMPARE(uploaded(rig.exchange.configImage()), uploaded(image));
    QCOMPARE(verified.count(), verify ? 1 : 0);
    QCOMPARE(backupRead.count(), backup ? 1 : 0);
    QCOMPARE(stored, backup ? before : QByteArray());
    if (backup)
        QCOMPARE(rig.memory.BackupMemory, before);
    QStringList statuses;
    for (const QList<QVariant> &args : progress) {
        QCOMPARE(args.at(1).toInt(), 63);
        statuses.append(args.at(2).toString());
    }
    QCOMPARE(statuses.contains(QStringLiteral("Reading Block 64 of 64")), backup);
    QCOMPARE(statuses.contains(QStringLiteral("Verifying Block 64 of 64")), verify);
    QCOMPARE(statuses.last(), QStringLiteral("Rebooting the exchange"));
}

void TestUpload::endingsNeverCallAHalfUploadDone_data()
{
    // The exchange hangs up after `after` blocks read or written, so each row
    // loses the line in another phase.
    QTest::addColumn<bool>("backup");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("disturbed");
    const int writes = blockWrites(busyImage(21));
    QTest::newRow("during the backup") << true << true << 10 << false;
    QTest::newRow("during the block writes") << true << true << 64 + 3 << true;
    QTest::newRow("before the final words") << true << true << 64 + writes << true;
    QTest::newRow("during the read-back") << true << true << 64 + writes + 9 << true;
    QTest::newRow("no backup, first block") << false << true << 1 << true;
    QTest::newRow("no read-back, before the final words") << false << false << writes << true;
}

void TestUpload::endingsNeverCallAHalfUploadDone()
{
    QFETCH(bool, backup);
    QFETCH(bool, verify);
    QFETCH(int, after);
    QFETCH(bool, disturbed);
    SimFaults faults;
    faults.hangupAfter = after;
    Rig rig(faults);
    const QByteArray before = busyImage(20);
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({backup, verify});
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QVERIFY(upload.startImage(busyImage(21)));
    QVERIFY(rig.run(upload));
    QCOMPARE(finished.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(rig.exchange.counters().reboots, 0);
    QCOMPARE(upload.exchangeDisturbed(), disturbed);
    const QString message = failed.at(0).at(0).toString();
    QCOMPARE(message.endsWith(partialConfigurationMessage()), disturbed);
    if (!disturbed) {
        QVERIFY2(message.endsWith(QStringLiteral("Nothing was written to the exchange.")),
                 qPrintable(message));
        QCOMPARE(rig.exchange.configImage(), before);
    }
    QCOMPARE(upload.phase(), Phase::Idle);
    QVERIFY(rig.link.isIdle());
}

void TestUpload::cancelSaysWhatWasLeft_data()
{
    QTest::addColumn<QString>("status"); // cancel when this status shows
    QTest::addColumn<bool>("disturbed");
    QTest::newRow("during the backup") << QStringLiteral("Reading Block 20 of 64") << false;
    QTest::newRow("during the block writes") << QStringLiteral("Sending Block 4 of 64") << true;
    QTest::newRow("during the read-back") << QStringLiteral("Verifying Block 2 of 64") << true;
}

void TestUpload::cancelSaysWhatWasLeft()
{
    QFETCH(QString, status);
    QFETCH(bool, disturbed);
    Rig rig;
    const QByteArray before = busyImage(30);
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    QSignalSpy cancelled(&upload, &LinkOperation::cancelled);
    connect(&upload, &LinkOperation::progress, &upload, [&](int, int, const QString &text) {
        if (text == status)
            upload.cancel();
    });
    upload.startImage(busyImage(31));
    QVERIFY(rig.run(upload));
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(upload.exchangeDisturbed(), disturbed);
    QCOMPARE(rig.exchange.counters().reboots, 0);
    if (!disturbed)
        QCOMPARE(rig.exchange.configImage(), before);
}

void TestUpload::readBackJudgesTheWrittenBytes_data()
{
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QList<int>>("differing"); // 0-based; empty: verified
    SimFaults bad;
    bad.badBlock = 6;
    QTest::newRow("block 6 kept wrong") << bad << QList<int>{5};
    SimFaults flips;
    flips.flipPairEvery = 3;
    QTest::newRow("pairs flipped on the line") << flips << QList<int>{};
    SimFaults both = bad;
    both.flipPairEvery = 5;
    QTest::newRow("block 6 wrong, pairs flipped") << both << QList<int>{5};
}

void TestUpload::readBackJudgesTheWrittenBytes()
{
    QFETCH(SimFaults, faults);
    QFETCH(QList<int>, differing);
    Rig rig(faults);
    // Mostly zeros, so flipped pairs land in blocks the upload wrote.
    QByteArray image = defaultCabinetImage();
    image.replace(5 * 128, 128, busyImage(40).mid(0, 128));
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({false, true});
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QSignalSpy verified(&upload, &UploadController::verified);
    upload.startImage(image);
    QVERIFY(rig.run(upload));
    QCOMPARE(upload.differingBlocks(), differing);
    if (faults.flipPairEvery)
        QVERIFY(rig.exchange.counters().flippedPairs > 0);
    if (differing.isEmpty()) {
        QCOMPARE(finished.count(), 1);
        QCOMPARE(verified.count(), 1);
        QCOMPARE(rig.exchange.counters().reboots, 1);
        return;
    }
    QCOMPARE(failed.count(), 1);
    QCOMPARE(verified.count(), 0);
    QCOMPARE(rig.exchange.counters().reboots, 0);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.contains(QStringLiteral("block 6 read back different")), qPrintable(message));
    QVERIFY(message.endsWith(partialConfigurationMessage()));
}

void TestUpload::unstoredBackupWritesNothing()
{
    Rig rig;
    const QByteArray before = busyImage(50);
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    upload.setBackupSink([](const QByteArray &, QString *error) {
        *error = QStringLiteral("No space left on device");
        return false;
    });
    QSignalSpy failed(&upload, &LinkOperation::failed);
    upload.startImage(busyImage(51));
    QVERIFY(rig.run(upload));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(),
             QStringLiteral("The backup of the exchange's configuration could not be stored: No "
                            "space left on device\nNothing was written to the exchange."));
    QVERIFY(!upload.exchangeDisturbed());
    QCOMPARE(rig.exchange.counters().fills, 0);
    QCOMPARE(rig.exchange.counters().blocksWritten, 0);
    QCOMPARE(rig.exchange.configImage(), before);
}

void TestUpload::readTwiceCatchesFlippedPairs_data()
{
    QTest::addColumn<int>("every");
    QTest::addColumn<bool>("verifyReads");
    QTest::addColumn<bool>("exact"); // the image handed over is the exchange's
    QTest::addColumn<bool>("fails");
    QTest::newRow("every 4th reply, read once") << 4 << false << false << false;
    QTest::newRow("every 4th reply, read twice") << 4 << true << true << false;
    QTest::newRow("every 2nd reply, read twice") << 2 << true << true << false;
    QTest::newRow("every reply, read twice") << 1 << true << false << true;
}

void TestUpload::readTwiceCatchesFlippedPairs()
{
    QFETCH(int, every);
    QFETCH(bool, verifyReads);
    QFETCH(bool, exact);
    QFETCH(bool, fails);
    SimFaults faults;
    faults.flipPairEvery = every;
    Rig rig(faults);
    rig.exchange.loadConfigImage(defaultCabinetImage());
    DownloadController download(rig.link, rig.memory);
    download.setVerifyReads(verifyReads);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    QSignalSpy failed(&download, &LinkOperation::failed);
    download.start();
    QVERIFY(rig.run(download, 30000));
    QVERIFY(rig.exchange.counters().flippedPairs > 0);
    QCOMPARE(failed.count(), fails ? 1 : 0);
    QCOMPARE(ready.count(), fails ? 0 : 1);
    if (fails) {
        QVERIFY2(failed.at(0).at(0).toString().startsWith(QStringLiteral("Block 1 read "
                                                                         "differently")),
                 qPrintable(failed.at(0).at(0).toString()));
        return;
    }
    QCOMPARE(ready.at(0).at(0).toByteArray() == defaultCabinetImage(), exact);
}

void TestUpload::writtenAreaIsWhatTheUploadWrites_data()
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
    QTest::newRow("after the PIN") << 8098 << false;
    QTest::newRow("last byte") << 8191 << false;
}

void TestUpload::writtenAreaIsWhatTheUploadWrites()
{
    QFETCH(int, offset);
    QFETCH(bool, written);
    const QByteArray sent = busyImage(60);
    QByteArray reading = sent.mid(offset / 128 * 128, 128);
    reading[offset % 128] = char(reading.at(offset % 128) ^ 0x40);
    QCOMPARE(writtenBytesMatch(offset / 128, sent, reading), !written);
}

QTEST_GUILESS_MAIN(TestUpload)
#include "tst_upload.moc"
