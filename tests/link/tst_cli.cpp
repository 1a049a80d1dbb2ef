// The exchange verbs of helmwise-cli as a user runs them: arguments in,
// text and exit status out, the simulated exchange behind a pseudo-terminal;
// and the backups of the exchange's memory an upload leaves on disk: their
// names, no backup written over another, and a clear reason when they
// cannot be written.
#include "CliRun.h"

#include "BoardChange.h"
#include "ConfigFile.h"
#include "DefaultCabinet.h"
#include "ExchangeBackup.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "LinkRig.h"
#include "PtyExchange.h"
#include "TempDir.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A configuration the checker lets through: the simulator's own cabinet,
// with its tie lines given a first extension.
Configuration sendableConfiguration()
{
    Configuration config = makeDefaultConfiguration();
    decodeExchMemory(defaultCabinetImage(), config);
    for (TieRecord &tie : config.TieLines) {
        if (tie.Active && tie.Ext1 == 0)
            tie.Ext1 = config.Extensions[0].ExtNum;
    }
    return config;
}

// A configuration image unlike the default cabinet in most blocks (decimal
// bytes, group records left alone), with the cabinet's slot codes.
QByteArray otherImage()
{
    QByteArray image = defaultCabinetImage();
    const int groups = ExchMap::Groups;
    const int groupsEnd = groups + 16 * ExchMap::GroupRecordSize; // 16 groups
    for (int k = 0; k < ExchMap::ClearedLength; k += 3) {
        const int value = k / 3 % 99 + 1;
        if (k < groups || k >= groupsEnd)
            image[k] = char((value / 10) << 4 | value % 10);
    }
    return image;
}

// The simulator's cabinet as the boards verb prints it: tone board, processor,
// two Subscriber boards, a Tie Line board, nothing else, the ringing module.
QString defaultCabinetText()
{
    QString text;
    for (int slot = 0; slot < tidelex::SlotCount; ++slot) {
        const char *board = slot == 0    ? "Tone 8 Channels"
                            : slot == 1  ? "Processor"
                            : slot <= 3  ? "Subscriber"
                            : slot == 4  ? "Tie Line"
                            : slot == 17 ? "Ringing Module"
                                         : "Empty";
        text += QStringLiteral("%1\t%2\n").arg(slot).arg(QLatin1String(board));
    }
    return text;
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// The backup an upload of "MV Sea Star: bridge/1" left in `folder`: both files
// named after the system, one time stamp, told on stdout; the raw bytes as
// they were, and the decoding loads and is what they say.
void checkBackupFiles(const QString &out, const QString &folder, const QStringList &files)
{
    const QString stem = files.first().chopped(4);
    QVERIFY2(QRegularExpression(QStringLiteral("^MV Sea Star_ bridge_1-\\d{8}-\\d{6}$"))
                 .match(stem)
                 .hasMatch(),
             qPrintable(stem));
    QCOMPARE(files, (QStringList{stem + QStringLiteral(".bin"), stem + QStringLiteral(".TWZ")}));
    for (const QString &file : files)
        QVERIFY(out.contains(QStringLiteral("Backup written to ") + QDir(folder).filePath(file)));
    QCOMPARE(readFileBytes(QDir(folder).filePath(stem + QStringLiteral(".bin"))), otherImage());
    Configuration expected = makeDefaultConfiguration();
    QVERIFY(decodeExchMemory(otherImage(), expected));
    Configuration loaded = makeDefaultConfiguration();
    QString error;
    QCOMPARE(readConfigFile(QDir(folder).filePath(stem + QStringLiteral(".TWZ")), loaded, &error),
             ReadConfigOk);
    const int passwordEnd = ExchMap::Password + ExchMap::PasswordLength;
    QCOMPARE(buildExchMemory(loaded).image.left(passwordEnd),
             buildExchMemory(expected).image.left(passwordEnd));
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void serviceVerbs_data();
    void serviceVerbs();
    void downloadWritesBothFiles();
    void uploadOutcomes_data();
    void uploadOutcomes();
    void backupFiles_data();
    void backupFiles();

private:
    QStringList withPort(QStringList args) const
    {
        args.insert(1, QStringLiteral("--port"));
        args.insert(2, m_pty->slavePath());
        return args;
    }

    ExchangeSimulator *m_exchange = nullptr;
    PtyExchange *m_pty = nullptr;
    QTemporaryDir m_dir;
};

void TestCli::init()
{
    SerialLink::setupPauseTicks = 1; // the simulated exchange needs no pause
    m_exchange = new ExchangeSimulator(this);
    m_exchange->loadConfigImage(defaultCabinetImage());
    m_pty = new PtyExchange(m_exchange, this);
    m_pty->setBaudRate(0);
    QVERIFY(m_pty->open());
}

void TestCli::cleanup()
{
    delete m_pty;
    delete m_exchange;
}

void TestCli::serviceVerbs_data()
{
    QTest::addColumn<QStringList>("args"); // the port is put in
    QTest::addColumn<bool>("silent");      // the exchange answers nothing
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const auto args = [](const char *line) { return QString::fromLatin1(line).split(u' '); };
    const QString version = QStringLiteral("Exchange has version 2+ firmware\nFirmware "
                                           "version 2 (version byte 0x32).\n");
    QTest::newRow("version") << args("version") << false << 0 << version << QString();
    QTest::newRow("password") << args("password") << false << 0 << QStringLiteral("SHIP\n")
                              << QString();
    QTest::newRow("set PIN") << args("pin 1234") << false << 0 << QString() << QString();
    QTest::newRow("remove PIN") << QStringList{QStringLiteral("pin"), QString()} << false << 0
                                << QString() << QString();
    QTest::newRow("shortest time-out")
        << args("version --timeout 0.1") << false << 0 << version << QString();
    QTest::newRow("longest time-out")
        << args("version --timeout 3600") << false << 0 << version << QString();
    QTest::newRow("silent exchange") << args("version --timeout 1") << true << 3 << QString()
                                     << QStringLiteral("No reply from the exchange\n");
    // boards: the cabinet, and where a configuration's slots differ from it.
    Configuration different = makeDefaultConfiguration();
    QVERIFY(decodeExchMemory(defaultCabinetImage(), different));
    different.SysConfig.Slots[3] = tidelex::BoardTieLine;
    different.SysConfig.Slots[9] = tidelex::BoardSubscriber;
    QVERIFY(writeConfigFile(m_dir.filePath(u"different.TWZ"_s), different));
    QString reading;
    for (int slot = 0; slot < 17; ++slot)
        reading += u"Reading Slot %1 (%2 of 17)\n"_s.arg(slot).arg(slot + 1);
    QTest::newRow("boards") << args("boards") << false << 0 << defaultCabinetText() << reading;
    QTest::newRow("boards against a file")
        << args("boards %dir/different.TWZ") << false << 1
        << defaultCabinetText() + u"Slot 3: configuration Tie Line, exchange Subscriber\n"
                                  u"Slot 9: configuration Subscriber, exchange Empty\n"_s
        << reading;
}

void TestCli::serviceVerbs()
{
    QFETCH(QStringList, args);
    QFETCH(bool, silent);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    if (silent)
        m_exchange->setFaults(SimFaults{.dropEvery = 1});
    args.replaceInStrings(QStringLiteral("%dir"), m_dir.path());
    const CliRun run = runCli(withPort(args));
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
}

void TestCli::downloadWritesBothFiles()
{
    // Without reading twice the flipped bits pass the checksum into the files.
    m_exchange->setFaults(SimFaults{.flipPairEvery = 3});
    const QString twz = m_dir.filePath(QStringLiteral("down.TWZ"));
    const QString bin = m_dir.filePath(QStringLiteral("down.bin"));
    const CliRun run = runCli(withPort({QStringLiteral("download"), twz, QStringLiteral("--image"),
                                        bin, QStringLiteral("--verify")}));
    QCOMPARE(run.status, 0);
    QVERIFY(m_exchange->counters().flippedPairs > 0);
    QVERIFY(run.err.startsWith(QStringLiteral("Getting Block 1 of 64\nGetting Block 2 of 64\n")));
    QVERIFY(run.err.endsWith(QStringLiteral("Getting Block 64 of 64\n")));
    QCOMPARE(readFileBytes(bin), m_exchange->configImage());
    Configuration expected = makeDefaultConfiguration();
    decodeExchMemory(m_exchange->configImage(), expected);
    const QByteArray written = readFileBytes(twz);
    QVERIFY(written.contains("<TidelexAnalog>"));
    QVERIFY(written.contains(expected.SysConfig.Pass.toLatin1()));
}

void TestCli::uploadOutcomes_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("lastOut"); // the last line on stdout
    QTest::addColumn<QString>("errPart"); // must stand on stderr; empty: nothing but progress
    QTest::addColumn<int>("backups");     // files in the backup folder afterwards
    // "boards": a Subscriber board in slot 5; "image": the cabinet's image sent
    // from a backup's file
    QTest::addColumn<QString>("change");
    const QStringList none;
    SimFaults clean;
    SimFaults badBlock;
    badBlock.badBlock = 1;
    QTest::newRow("backup and read-back")
        << none << clean << 0 << QStringLiteral("Verified") << QString() << 2 << QString();
    QTest::newRow("neither backup nor read-back")
        << QStringList{QStringLiteral("--no-backup"), QStringLiteral("--no-verify")} << clean << 0
        << QStringLiteral("Sent; not read back") << QString() << 0 << QString();
    QTest::newRow("block 1 kept wrong")
        << none << badBlock << 4 << QStringLiteral("Backup written to")
        << QStringLiteral("block 1 read back different") << 2 << QString();
    QTest::newRow("boards differ") << none << clean << 5 << QString()
                                   << QStringLiteral("Slot 5: configuration Subscriber, exchange "
                                                     "Empty")
                                   << 0 << QStringLiteral("boards");
    QTest::newRow("boards differ, ignored, dry run")
        << QStringList{QStringLiteral("--ignore-boards"), QStringLiteral("--dry-run")} << clean
        << 0 << QString() << QStringLiteral("Slot 5: configuration Subscriber") << 0
        << QStringLiteral("boards");
    QTest::newRow("backup image") << none << clean << 0 << QStringLiteral("Verified") << QString()
                                  << 2 << QStringLiteral("image");
}

void TestCli::uploadOutcomes()
{
    QFETCH(QStringList, options);
    QFETCH(SimFaults, faults);
    QFETCH(int, status);
    QFETCH(QString, lastOut);
    QFETCH(QString, errPart);
    QFETCH(int, backups);
    QFETCH(QString, change);
    Configuration config = sendableConfiguration();
    config.SysConfig.Name = QStringLiteral("MV Sea Star: bridge/1");
    if (change == QLatin1String("boards"))
        changeSlotBoard(config, 5, tidelex::BoardSubscriber);
    const QString twz = m_dir.filePath(QStringLiteral("up.TWZ"));
    QVERIFY(writeConfigFile(twz, config));
    m_exchange->loadConfigImage(otherImage());
    m_exchange->setFaults(faults);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QStringList args{QStringLiteral("upload")};
    if (!options.contains(QStringLiteral("--no-backup")))
        args << QStringLiteral("--backup-dir") << folder;
    QString sent = twz;
    QByteArray image = buildExchMemory(config).image;
    if (change == QLatin1String("image")) {
        // A backup's file: the exchange's backup is filed under its system name.
        sent = m_dir.filePath(QStringLiteral("MV Sea Star_ bridge_1-20240131-101500.bin"));
        image = defaultCabinetImage();
        QVERIFY(writeFileBytes(sent, image));
        args << QStringLiteral("--image");
    }
    const CliRun run = runCli(withPort(args + options + QStringList{sent}));
    QCOMPARE(run.status, status);
    QCOMPARE(lines(run.out).value(qMax(0, int(lines(run.out).size()) - 1)).left(lastOut.size()),
             lastOut);
    if (!errPart.isEmpty())
        QVERIFY2(run.err.contains(errPart), qPrintable(run.err));
    else if (!options.contains(QStringLiteral("--dry-run")))
        QVERIFY2(run.err.endsWith(QStringLiteral("Rebooting the exchange\n")), qPrintable(run.err));
    const QStringList files = QDir(folder).entryList(QDir::Files);
    QCOMPARE(files.size(), backups);
    if (backups)
        checkBackupFiles(run.out, folder, files);
    const bool written = status == 0 && !options.contains(QStringLiteral("--dry-run"));
    if (written) {
        QTRY_COMPARE(m_exchange->counters().reboots, 1);
        QCOMPARE(uploaded(m_exchange->configImage()), uploaded(image));
    } else {
        QCOMPARE(m_exchange->counters().reboots, 0);
    }
    if (status == 5 || (!written && status == 0)) // refused or only looked: not a byte written
        QCOMPARE(m_exchange->configImage(), otherImage());
    if (options.contains(QStringLiteral("--dry-run")))
        QCOMPARE(lines(run.out).value(0), QStringLiteral("Record\tField\tExchange\tFile"));
}

// The files a backup of the exchange's memory is kept in: named after the
// system, never over an earlier backup; or why none was written.
void TestCli::backupFiles_data()
{
    QTest::addColumn<QString>("systemName");
    QTest::addColumn<QString>("before"); // in the folder's place: "file", or "backup" that second
    QTest::addColumn<int>("size");       // of the memory image
    QTest::addColumn<QString>("result"); // the .bin written, or the reason (no .bin written)
    const auto bin = [](const QString &base) { return base + u"-20240131-101500.bin"_s; };
    const int whole = ExchMap::MemorySize;
    const QString none;
    QTest::newRow("path characters")
        << u"../../etc/passwd"_s << none << whole << bin(u"_.._etc_passwd"_s);
    QTest::newRow("only marks") << u"***"_s << none << whole << bin(u"exchange"_s);
    QTest::newRow("hidden file") << u".ship."_s << none << whole << bin(u"ship"_s);
    QTest::newRow("device name") << u"con"_s << none << whole << bin(u"con_"_s);
    QTest::newRow("accents") << u"N\u00f8rd Stj\u00e6rne"_s << none << whole
                             << bin(u"N_rd Stj_rne"_s);
    QTest::newRow("very long") << QString(200, u'x') << none << whole << bin(QString(64, u'x'));
    QTest::newRow("second in the same second")
        << u"Ship"_s << u"backup"_s << whole << u"Ship-20240131-101500-2.bin"_s;
    QTest::newRow("folder is a file") << u"Ship"_s << u"file"_s << whole << u"cannot be made"_s;
    QTest::newRow("image too short")
        << u"Ship"_s << none << 100 << u"the exchange's memory image has 100 bytes, not 8192"_s;
}

void TestCli::backupFiles()
{
    QFETCH(QString, systemName);
    QFETCH(QString, before);
    QFETCH(int, size);
    QFETCH(QString, result);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    const QDateTime when(QDate(2024, 1, 31), QTime(10, 15, 0));
    if (before == QLatin1String("file"))
        QVERIFY(writeFileBytes(folder, QByteArray()));
    if (before == QLatin1String("backup"))
        QVERIFY(writeExchangeBackup(folder, systemName, QByteArray(size, '\x01'), when).ok());
    const BackupFiles files =
        writeExchangeBackup(folder, systemName, QByteArray(size, '\x02'), when);
    if (!result.endsWith(QLatin1String(".bin"))) {
        QVERIFY2(files.error.contains(result), qPrintable(files.error));
        QVERIFY(files.paths.isEmpty());
        return;
    }
    QCOMPARE(QFileInfo(files.paths.value(0)).fileName(), result);
    if (before == QLatin1String("backup")) // the first is kept as it was
        QCOMPARE(readFileBytes(QDir(folder).filePath(systemName + u"-20240131-101500.bin"_s)),
                 QByteArray(size, '\x01'));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
