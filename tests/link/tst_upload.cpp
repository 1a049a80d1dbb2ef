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
    void everyEndingSaysWhatTheExchangeHolds_data();
    void everyEndingSaysWhatTheExchangeHolds();
    void writtenAreaIsWhatTheUploadWrites_data();
    void writtenAreaIsWhatTheUploadWrites();
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

void TestUpload::everyEndingSaysWhatTheExchangeHolds_data()
{
    // Every fault the line can have, the exchange hanging up at each
    // boundary between the phases, a block kept wrong, a cancel in each
    // phase: the upload ends finished only when the exchange holds the
    // image, and a failure says what the exchange is left with. The hang-up
    // counts blocks read or written; the backup reads every block twice.
    QTest::addColumn<UploadOptions>("options");
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QString>("cancelAt"); // cancel when this status shows
    QTest::addColumn<QString>("ending");   // the message's last line; empty: finished
    QTest::addColumn<QString>("told");     // also in the message
    QTest::addColumn<QList<int>>("differing");
    QTest::addColumn<QByteArray>("image");
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
                        const QByteArray &image = busyImage(21)) {
        QTest::newRow(name) << options << faults << cancelAt << ending << told << differing
                            << image;
    };
    row("clean line", both, {}, {});
    row("replies dropped", both, {.dropEvery = 13}, {});
    row("replies corrupted", both, {.corruptEvery = 3}, {});
    row("replies split", both, {.split = true}, {});
    row("noise after replies", both, {.noise = true}, {});
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
    // The exchange refuses the clearing fill: sent again up to three times.
    row("fill refused 3 times", both, {.refuseWrites = 3}, {});
    row("fill refused 4 times", both, {.refuseWrites = 4}, partial,
        QStringLiteral("The exchange refused to clear its memory."));
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

void TestUpload::everyEndingSaysWhatTheExchangeHolds()
{
    QFETCH(UploadOptions, options);
    QFETCH(SimFaults, faults);
    QFETCH(QString, cancelAt);
    QFETCH(QString, ending);
    QFETCH(QString, told);
    QFETCH(QList<int>, differing);
    QFETCH(QByteArray, image);
    Rig rig(faults);
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
        QCOMPARE(retrying.count(), upload.retries());
        if (!retrying.isEmpty())
            QVERIFY(retrying.last().at(0).toString().startsWith(QStringLiteral("Retrying ")));
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
