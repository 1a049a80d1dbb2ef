// The upload's safety net against the simulated exchange on the in-memory
// line: the backup before writing, the read-back before the reboot, and
// what every ending says about the state the exchange is left in.
#include "LinkRig.h"

#include "DefaultCabinet.h"
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "ServiceValues.h"
#include "UploadController.h"
#include "WrittenArea.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Phase = UploadController::Phase;
Q_DECLARE_METATYPE(QList<Phase>)
Q_DECLARE_METATYPE(UploadOptions)

namespace
{

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
    void decisionsBeforeAnythingIsWritten_data();
    void decisionsBeforeAnythingIsWritten();
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
    void foreignImageNeverStarts();
    void pinBytesFollowTheImageSent_data();
    void pinBytesFollowTheImageSent();
};

void TestUpload::phasesFollowTheOptions_data()
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

void TestUpload::phasesFollowTheOptions()
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

void TestUpload::decisionsBeforeAnythingIsWritten_data()
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

void TestUpload::decisionsBeforeAnythingIsWritten()
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

void TestUpload::endingsNeverCallAHalfUploadDone_data()
{
    // The exchange hangs up after `after` blocks read or written (0: never),
    // so each row loses the line at another point of the upload. The backup
    // reads every block twice.
    QTest::addColumn<bool>("backup");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("ending"); // the message's last line; empty: finished
    const int backup = 2 * 64;
    const int writes = blockWrites(busyImage(21));
    const QString nothing = QStringLiteral("Nothing was written to the exchange.");
    const QString partial = partialConfigurationMessage();
    const QString restart = restartUncertainMessage();
    QTest::newRow("during the backup") << true << true << 10 << nothing;
    QTest::newRow("right after the backup") << true << true << backup << nothing;
    QTest::newRow("after the first block write") << true << true << backup + 1 << partial;
    QTest::newRow("after the last block write") << true << true << backup + writes << partial;
    QTest::newRow("during the read-back") << true << true << backup + writes + 9 << partial;
    QTest::newRow("after the last read-back block")
        << true << true << backup + writes + 64 << restart;
    QTest::newRow("after the restart went out") << true << true << 0 << QString();
    QTest::newRow("no backup, first block") << false << true << 1 << partial;
    QTest::newRow("no read-back, before the final words") << false << false << writes << partial;
}

void TestUpload::endingsNeverCallAHalfUploadDone()
{
    QFETCH(bool, backup);
    QFETCH(bool, verify);
    QFETCH(int, after);
    QFETCH(QString, ending);
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
    QCOMPARE(upload.phase(), Phase::Idle);
    QVERIFY(rig.link.isIdle());
    if (ending.isEmpty()) {
        QCOMPARE(finished.count(), 1);
        QCOMPARE(rig.exchange.counters().reboots, 1);
        return;
    }
    QCOMPARE(finished.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(rig.exchange.counters().reboots, 0);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.endsWith(ending), qPrintable(message));
    QCOMPARE(upload.exchangeDisturbed(),
             ending != QStringLiteral("Nothing was written to the exchange."));
    if (!upload.exchangeDisturbed())
        QCOMPARE(rig.exchange.configImage(), before);
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
    QTest::addColumn<QList<int>>("differing"); // 0-based
    QTest::addColumn<bool>("verified");
    SimFaults bad;
    bad.badBlock = 6;
    QTest::newRow("block 6 kept wrong") << bad << QList<int>{5} << false;
    SimFaults flips;
    flips.flipPairEvery = 3;
    QTest::newRow("pairs flipped on the line") << flips << QList<int>{} << true;
    SimFaults both = bad;
    both.flipPairEvery = 5;
    QTest::newRow("block 6 wrong, pairs flipped") << both << QList<int>{5} << false;
    // Every reading damaged: the line is to blame, not the exchange.
    SimFaults always;
    always.flipPairEvery = 1;
    QTest::newRow("pairs flipped in every reply") << always << QList<int>{} << false;
}

void TestUpload::readBackJudgesTheWrittenBytes()
{
    QFETCH(SimFaults, faults);
    QFETCH(QList<int>, differing);
    QFETCH(bool, verified);
    Rig rig(faults);
    // Mostly zeros, so flipped pairs land in blocks the upload wrote.
    QByteArray image = defaultCabinetImage();
    image.replace(5 * 128, 128, busyImage(40).mid(0, 128));
    UploadController upload(rig.link, rig.memory);
    upload.setOptions({false, true});
    QSignalSpy finished(&upload, &LinkOperation::finished);
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QSignalSpy verifiedSpy(&upload, &UploadController::verified);
    QVERIFY(upload.startImage(image));
    QVERIFY(rig.run(upload, 30000));
    QCOMPARE(upload.differingBlocks(), differing);
    if (faults.flipPairEvery)
        QVERIFY(rig.exchange.counters().flippedPairs > 0);
    QCOMPARE(finished.count(), verified ? 1 : 0);
    QCOMPARE(verifiedSpy.count(), verified ? 1 : 0);
    QCOMPARE(rig.exchange.counters().reboots, verified ? 1 : 0);
    if (verified)
        return;
    QCOMPARE(failed.count(), 1);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY(message.endsWith(partialConfigurationMessage()));
    QCOMPARE(message.contains(QStringLiteral("block 6 read back different")), !differing.isEmpty());
    QCOMPARE(message.contains(QStringLiteral("read differently each of")), differing.isEmpty());
}

void TestUpload::unstoredBackupWritesNothing()
{
    Rig rig;
    const QByteArray before = busyImage(50);
    rig.exchange.loadConfigImage(before);
    UploadController upload(rig.link, rig.memory);
    upload.setBackupSink([](const QByteArray &, QString *error) {
        *error = QStringLiteral("No space left on device");
        return QStringList();
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
    // Two bit errors that cancel in the checksum, on every n-th block reply,
    // under a download (read once or twice) and under the upload's backup.
    QTest::addColumn<int>("every");
    QTest::addColumn<bool>("upload");
    QTest::addColumn<bool>("verifyReads");
    QTest::addColumn<bool>("exact"); // the image handed over is the exchange's
    QTest::addColumn<bool>("fails");
    QTest::newRow("every 4th reply, read once") << 4 << false << false << false << false;
    QTest::newRow("every 4th reply, read twice") << 4 << false << true << true << false;
    QTest::newRow("every 2nd reply, read twice") << 2 << false << true << true << false;
    QTest::newRow("every reply, read twice") << 1 << false << true << false << true;
    QTest::newRow("every 3rd reply, backup") << 3 << true << true << true << false;
    QTest::newRow("every reply, backup") << 1 << true << true << false << true;
}

void TestUpload::readTwiceCatchesFlippedPairs()
{
    QFETCH(int, every);
    QFETCH(bool, upload);
    QFETCH(bool, verifyReads);
    QFETCH(bool, exact);
    QFETCH(bool, fails);
    SimFaults faults;
    faults.flipPairEvery = every;
    Rig rig(faults);
    rig.exchange.loadConfigImage(defaultCabinetImage());
    DownloadController download(rig.link, rig.memory);
    UploadController sending(rig.link, rig.memory);
    sending.setOptions({true, false});
    download.setVerifyReads(verifyReads);
    LinkOperation &operation = upload ? static_cast<LinkOperation &>(sending) : download;
    QSignalSpy ready(upload ? static_cast<QObject *>(&sending) : &download,
                     upload ? SIGNAL(backupRead(QByteArray)) : SIGNAL(imageReady(QByteArray)));
    QSignalSpy failed(&operation, &LinkOperation::failed);
    if (upload)
        QVERIFY(sending.startImage(busyImage(70)));
    else
        download.start();
    QVERIFY(rig.run(operation, 30000));
    QVERIFY(rig.exchange.counters().flippedPairs > 0);
    QCOMPARE(failed.count(), fails ? 1 : 0);
    QCOMPARE(ready.count(), fails ? 0 : 1);
    if (fails) {
        const QString message = failed.at(0).at(0).toString();
        QVERIFY2(message.startsWith(QStringLiteral("Block 1 read differently")),
                 qPrintable(message));
        if (upload) {
            QVERIFY(message.endsWith(unreliableBackupMessage()));
            QCOMPARE(rig.exchange.counters().fills, 0);
        }
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
    QTest::newRow("last PIN byte") << 8099 << true;
    QTest::newRow("after the PIN") << 8100 << false;
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

void TestUpload::pinBytesFollowTheImageSent_data()
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

void TestUpload::foreignImageNeverStarts()
{
    Rig rig;
    UploadController upload(rig.link, rig.memory);
    QString refusal;
    QVERIFY(!upload.startImage(QByteArray(ExchMap::MemorySize, '\x42'), &refusal));
    QVERIFY2(refusal.contains(QStringLiteral("marker")), qPrintable(refusal));
    QVERIFY(!upload.isRunning());
    QVERIFY(rig.line.writes.isEmpty());
}

void TestUpload::pinBytesFollowTheImageSent()
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

QTEST_GUILESS_MAIN(TestUpload)
#include "tst_upload.moc"
