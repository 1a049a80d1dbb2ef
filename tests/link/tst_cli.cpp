// The exchange verbs of helmwise-cli as a user runs them: arguments in,
// text and exit status out, the simulated exchange behind a pseudo-terminal.
#include "CliRun.h"

#include "CheckConfig.h"
#include "ConfigFile.h"
#include "DefaultCabinet.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "PtyExchange.h"

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

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void serviceVerbs_data();
    void serviceVerbs();
    void downloadWritesBothFiles();
    void uploadSendsTheFile();
    void uploadRefusedWithErrors();
    void silentExchangeGivesUp();
    void missingPortGivesUp();

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
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const auto args = [](const char *a, const char *b = nullptr) {
        QStringList list{QString::fromLatin1(a)};
        if (b)
            list.append(QString::fromLatin1(b));
        return list;
    };
    QTest::newRow("version") << args("version") << 0
                             << QStringLiteral("Exchange has version 2+ firmware\n") << QString();
    QTest::newRow("password") << args("password") << 0 << QStringLiteral("SHIP\n") << QString();
    QTest::newRow("set PIN") << args("pin", "1234") << 0 << QString() << QString();
    QTest::newRow("remove PIN") << args("pin", "") << 0 << QString() << QString();
    QTest::newRow("PIN too short") << args("pin", "123") << 2 << QString()
                                   << QStringLiteral("123 is too short\n");
    QTest::newRow("clock") << QStringList{QStringLiteral("clock"), QStringLiteral("--set"),
                                          QStringLiteral("31/12/99 23:59:59")}
                           << 2 << QString()
                           << QStringLiteral("31/12/99 23:59:59 is not a time and date "
                                             "(hh:mm:ss dd/mm/yy)\n");
    QTest::newRow("two values") << args("pin", "1234") + QStringList{QStringLiteral("5678")} << 2
                                << QString()
                                << QStringLiteral("usage: pin [--port P] [NEW]: print or set the "
                                                  "tie PIN\n");
}

void TestCli::serviceVerbs()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const CliRun run = runCli(withPort(args));
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
    if (status == 2) // refused values never reach the exchange
        QCOMPARE(m_exchange->counters().commands, 0);
}

void TestCli::downloadWritesBothFiles()
{
    const QString twz = m_dir.filePath(QStringLiteral("down.TWZ"));
    const QString bin = m_dir.filePath(QStringLiteral("down.bin"));
    const CliRun run = runCli(withPort({QStringLiteral("download"), twz, QStringLiteral("--image"), bin}));
    QCOMPARE(run.status, 0);
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

void TestCli::uploadSendsTheFile()
{
    const Configuration config = sendableConfiguration();
    QVERIFY(!CheckConfig(config).ErrorsFound);
    const QString twz = m_dir.filePath(QStringLiteral("up.TWZ"));
    QVERIFY(WriteConfigFile(twz, config));
    m_exchange->loadConfigImage(QByteArray(8192, '\x11'));
    const CliRun run = runCli(withPort({QStringLiteral("upload"), twz}));
    QCOMPARE(run.status, 0);
    QVERIFY(run.err.endsWith(QStringLiteral("Rebooting the exchange\n")));
    QTRY_COMPARE(m_exchange->counters().reboots, 1);
    const QByteArray built = BuildExchMemory(config).image;
    QCOMPARE(m_exchange->configImage().left(7942), built.left(7942));
}

void TestCli::uploadRefusedWithErrors()
{
    Configuration config = sendableConfiguration();
    config.Extensions[1].ExtNum = config.Extensions[0].ExtNum; // a duplicate number
    const QString twz = m_dir.filePath(QStringLiteral("bad.TWZ"));
    QVERIFY(WriteConfigFile(twz, config));
    const CliRun run = runCli(withPort({QStringLiteral("upload"), twz}));
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, QStringLiteral("There are errors with the configuration.\nThese need to be "
                                     "corrected before the configuration can be sent.\n"));
    QCOMPARE(m_exchange->counters().commands, 0);
}

void TestCli::silentExchangeGivesUp()
{
    SimFaults faults;
    faults.dropEvery = 1;
    m_exchange->setFaults(faults);
    const CliRun run = runCli(withPort({QStringLiteral("version"), QStringLiteral("--timeout"),
                                     QStringLiteral("1")}));
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err, QStringLiteral("No reply from the exchange\n"));
    QVERIFY(run.out.isEmpty());
}

void TestCli::missingPortGivesUp()
{
    const CliRun run = runCli({QStringLiteral("version"), QStringLiteral("--port"),
                            m_dir.filePath(QStringLiteral("no-such-port"))});
    QCOMPARE(run.status, 3);
    QVERIFY(run.err.startsWith(QStringLiteral("Cannot open ")));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
