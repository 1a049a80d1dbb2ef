// The exchange verbs of helmwise-cli as a user runs them: arguments in,
// text and exit status out, the simulated exchange behind a pseudo-terminal;
// and the backups of the exchange's memory an upload leaves on disk: their
// names, no backup written over another, and a clear reason when they
// cannot be written.
#include "CliRun.h"

#include "BoardChange.h"
#include "CheckConfig.h"
#include "ConfigFile.h"
#include "DefaultCabinet.h"
#include "ExchangeBackup.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "LinkRig.h"
#include "PtyExchange.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

// The simulator's cabinet as the verb prints it: tone board, processor, two
// Subscriber boards, a Tie Line board, nothing else, the ringing module.
QStringList defaultCabinetLines()
{
    QStringList lines;
    for (int slot = 0; slot < tidelex::SlotCount; ++slot) {
        const char *board = slot == 0    ? "Tone 8 Channels"
                            : slot == 1  ? "Processor"
                            : slot <= 3  ? "Subscriber"
                            : slot == 4  ? "Tie Line"
                            : slot == 17 ? "Ringing Module"
                                         : "Empty";
        lines << QStringLiteral("%1\t%2").arg(slot).arg(QLatin1String(board));
    }
    return lines;
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
    QFile bin(QDir(folder).filePath(stem + QStringLiteral(".bin")));
    QVERIFY(bin.open(QIODevice::ReadOnly));
    QCOMPARE(bin.readAll(), otherImage());
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
    void imageRestore_data();
    void imageRestore();
    void boards_data();
    void boards();
    void backupBaseNames_data();
    void backupBaseNames();
    void secondBackupInTheSameSecondKeepsTheFirst();
    void backupFailuresSayWhy_data();
    void backupFailuresSayWhy();

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
    QTest::addColumn<QStringList>("args"); // the port is put in unless given
    QTest::addColumn<bool>("silent");      // the exchange answers nothing
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const auto args = [](const char *line) { return QString::fromLatin1(line).split(u' '); };
    const QString version = QStringLiteral("Exchange has version 2+ firmware\nFirmware "
                                           "version 2 (version byte 0x32).\n");
    const auto badTimeout = [](const char *value) {
        return QStringLiteral("version: --timeout needs a number of seconds from 0.1 to 3600, "
                              "not \"%1\"\n")
            .arg(QLatin1String(value));
    };
    QTest::newRow("version") << args("version") << false << 0 << version << QString();
    QTest::newRow("password") << args("password") << false << 0 << QStringLiteral("SHIP\n")
                              << QString();
    QTest::newRow("set PIN") << args("pin 1234") << false << 0 << QString() << QString();
    QTest::newRow("remove PIN") << QStringList{QStringLiteral("pin"), QString()} << false << 0
                                << QString() << QString();
    QTest::newRow("clock") << QStringList{QStringLiteral("clock"), QStringLiteral("--set"),
                                          QStringLiteral("31/12/99 23:59:59")}
                           << false << 2 << QString()
                           << QStringLiteral("31/12/99 23:59:59 is not a time and date "
                                             "(hh:mm:ss dd/mm/yy)\n");
    QTest::newRow("two values") << args("pin 1234 5678") << false << 2 << QString()
                                << QStringLiteral("Usage: helmwise-cli pin [--port P] [NEW]\n");
    QTest::newRow("time-out nan") << args("version --timeout nan") << false << 2 << QString()
                                  << badTimeout("nan");
    QTest::newRow("time-out zero")
        << args("version --timeout 0") << false << 2 << QString() << badTimeout("0");
    QTest::newRow("time-out over an hour")
        << args("version --timeout 3600.5") << false << 2 << QString() << badTimeout("3600.5");
    QTest::newRow("shortest time-out")
        << args("version --timeout 0.1") << false << 0 << version << QString();
    QTest::newRow("longest time-out")
        << args("version --timeout 3600") << false << 0 << version << QString();
    QTest::newRow("silent exchange") << args("version --timeout 1") << true << 3 << QString()
                                     << QStringLiteral("No reply from the exchange\n");
    QTest::newRow("missing port") << args("version --port %dir/no-such-port") << false << 3
                                  << QString()
                                  << QStringLiteral("There is no port %dir/no-such-port: the "
                                                    "Programming Module is not plugged in, or "
                                                    "the name is wrong.\n");
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
    err.replace(QStringLiteral("%dir"), m_dir.path());
    const CliRun run = runCli(args.contains(QStringLiteral("--port")) ? args : withPort(args));
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
    if (status == 2) // refused values never reach the exchange
        QCOMPARE(m_exchange->counters().commands, 0);
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
    QFile raw(bin);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), m_exchange->configImage());
    Configuration expected = makeDefaultConfiguration();
    decodeExchMemory(m_exchange->configImage(), expected);
    QFile file(twz);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
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
    QTest::addColumn<QString>("change"); // "boards": a Subscriber board in slot 5; "errors"
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
    QTest::newRow("errors in the file")
        << none << clean << 1 << QString()
        << QStringLiteral("There are errors with the configuration.\nThese need to be corrected "
                          "before the configuration can be sent.\n")
        << 0 << QStringLiteral("errors");
    QTest::newRow("boards differ") << none << clean << 5 << QString()
                                   << QStringLiteral("Slot 5: configuration Subscriber, exchange "
                                                     "Empty")
                                   << 0 << QStringLiteral("boards");
    QTest::newRow("boards differ, ignored, dry run")
        << QStringList{QStringLiteral("--ignore-boards"), QStringLiteral("--dry-run")} << clean
        << 0 << QString() << QStringLiteral("Slot 5: configuration Subscriber") << 0
        << QStringLiteral("boards");
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
    if (change == QLatin1String("errors"))
        config.Extensions[1].ExtNum = config.Extensions[0].ExtNum; // a duplicate number
    const QString twz = m_dir.filePath(QStringLiteral("up.TWZ"));
    QVERIFY(writeConfigFile(twz, config));
    m_exchange->loadConfigImage(otherImage());
    m_exchange->setFaults(faults);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QStringList args{QStringLiteral("upload")};
    if (!options.contains(QStringLiteral("--no-backup")))
        args << QStringLiteral("--backup-dir") << folder;
    const CliRun run = runCli(withPort(args + options + QStringList{twz}));
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
        QCOMPARE(uploaded(m_exchange->configImage()), uploaded(buildExchMemory(config).image));
    } else {
        QCOMPARE(m_exchange->counters().reboots, 0);
    }
    if (status == 5 || (!written && status == 0)) // refused or only looked: not a byte written
        QCOMPARE(m_exchange->configImage(), otherImage());
    if (status == 1) // refused before the exchange is asked anything
        QCOMPARE(m_exchange->counters().commands, 0);
    if (options.contains(QStringLiteral("--dry-run")))
        QCOMPARE(lines(run.out).value(0), QStringLiteral("Record\tField\tExchange\tFile"));
}

void TestCli::imageRestore_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    QTest::newRow("a whole image") << 8192 << 0 << QString();
    QTest::newRow("one byte short") << 8191 << 2
                                    << QStringLiteral("is not an exchange image: it holds 8191 "
                                                      "bytes, an image has 8192");
    QTest::newRow("one byte over") << 8193 << 2
                                   << QStringLiteral("is not an exchange image: it holds more "
                                                     "than 8192 bytes, an image has 8192");
    QTest::newRow("no marker") << -1 << 2
                                  << QStringLiteral("is not an exchange configuration: it lacks "
                                                    "the marker bytes");
}

void TestCli::imageRestore()
{
    QFETCH(int, size);
    QFETCH(int, status);
    QFETCH(QString, err);
    QByteArray image = otherImage();
    image.resize(size < 0 ? ExchMap::MemorySize : size, '\x42');
    if (size < 0) {
        image[ExchMap::SystemMarker] = '\0';
        size = ExchMap::MemorySize;
    }
    const QString file = m_dir.filePath(QStringLiteral("ship-20240131-101500.bin"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(image) == size);
    out.close();
    const QString folder = m_dir.filePath(QStringLiteral("restore"));
    const CliRun run = runCli(withPort({QStringLiteral("upload"), QStringLiteral("--image"), file,
                                        QStringLiteral("--backup-dir"), folder}));
    QCOMPARE(run.status, status);
    if (status != 0) {
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(m_exchange->counters().commands, 0);
        return;
    }
    QCOMPARE(uploaded(m_exchange->configImage()), uploaded(image));
    // The state before the restore is kept too, filed under the system's name.
    const QStringList kept = QDir(folder).entryList({QStringLiteral("ship-*.bin")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(kept.first() != QStringLiteral("ship-20240131-101500.bin"));
}

void TestCli::boards_data()
{
    QTest::addColumn<QString>("file"); // none, changed slots, or missing
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("differences");
    QTest::newRow("no file") << QString() << 0 << QStringList();
    QTest::newRow("different cabinet")
        << QStringLiteral("different") << 1
        << QStringList{QStringLiteral("Slot 3: configuration Tie Line, exchange Subscriber"),
                       QStringLiteral("Slot 9: configuration Subscriber, exchange Empty")};
    QTest::newRow("file cannot be read") << QStringLiteral("missing") << 2 << QStringList();
}

void TestCli::boards()
{
    QFETCH(QString, file);
    QFETCH(int, status);
    QFETCH(QStringList, differences);
    QStringList args{QStringLiteral("boards"), QStringLiteral("--port"), m_pty->slavePath()};
    if (!file.isEmpty()) {
        Configuration config = makeDefaultConfiguration();
        QVERIFY(decodeExchMemory(defaultCabinetImage(), config));
        if (file == QLatin1String("different")) {
            config.SysConfig.Slots[3] = tidelex::BoardTieLine;
            config.SysConfig.Slots[9] = tidelex::BoardSubscriber;
        }
        const QString path = m_dir.filePath(file + QStringLiteral(".TWZ"));
        if (file != QLatin1String("missing"))
            QVERIFY(writeConfigFile(path, config));
        args << path;
    }
    const CliRun run = runCli(args);
    QCOMPARE(run.status, status);
    if (status == 2) {
        // Refused before the exchange is asked anything.
        QVERIFY(run.out.isEmpty());
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(m_exchange->counters().byteReads, 0);
        return;
    }
    QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), defaultCabinetLines() + differences);
}

void TestCli::backupBaseNames_data()
{
    QTest::addColumn<QString>("systemName");
    QTest::addColumn<QString>("base");
    QTest::newRow("path characters")
        << QStringLiteral("../../etc/passwd") << QStringLiteral("_.._etc_passwd");
    QTest::newRow("only marks") << QStringLiteral("***") << QStringLiteral("exchange");
    QTest::newRow("hidden file") << QStringLiteral(".ship.") << QStringLiteral("ship");
    QTest::newRow("device name") << QStringLiteral("con") << QStringLiteral("con_");
    QTest::newRow("accents") << QStringLiteral("N\u00f8rd Stj\u00e6rne")
                             << QStringLiteral("N_rd Stj_rne");
    QTest::newRow("very long") << QString(200, u'x') << QString(64, u'x');
}

void TestCli::backupBaseNames()
{
    QFETCH(QString, systemName);
    QFETCH(QString, base);
    QCOMPARE(backupBaseName(systemName), base);
}

void TestCli::secondBackupInTheSameSecondKeepsTheFirst()
{
    QTemporaryDir dir;
    const QDateTime when(QDate(2024, 1, 31), QTime(10, 15, 0));
    const BackupFiles first = writeExchangeBackup(dir.path(), QStringLiteral("Ship"),
                                                  QByteArray(ExchMap::MemorySize, '\x01'), when);
    const BackupFiles second = writeExchangeBackup(dir.path(), QStringLiteral("Ship"),
                                                   QByteArray(ExchMap::MemorySize, '\x02'), when);
    QVERIFY(first.ok() && second.ok());
    QCOMPARE(QFileInfo(second.paths.at(0)).fileName(),
             QStringLiteral("Ship-20240131-101500-2.bin"));
    QFile kept(first.paths.at(0));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray(ExchMap::MemorySize, '\x01'));
}

void TestCli::backupFailuresSayWhy_data()
{
    QTest::addColumn<bool>("folderIsFile");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("error");
    QTest::newRow("folder is a file")
        << true << ExchMap::MemorySize << QStringLiteral("cannot be made");
    QTest::newRow("image too short") << false << 100
                                     << QStringLiteral("the exchange's memory image has 100 "
                                                       "bytes, not 8192");
}

void TestCli::backupFailuresSayWhy()
{
    QFETCH(bool, folderIsFile);
    QFETCH(int, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("target"));
    if (folderIsFile) {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const BackupFiles files =
        writeExchangeBackup(folder, QStringLiteral("Ship"), QByteArray(size, '\0'));
    QVERIFY(!files.ok());
    QVERIFY2(files.error.contains(error), qPrintable(files.error));
    QVERIFY(files.paths.isEmpty());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
