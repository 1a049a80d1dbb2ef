// helmwise-cli boards as a user runs it: the simulated exchange's cabinet
// behind a pseudo-terminal, compared with configuration files.
#include "CliRun.h"

#include "ConfigFile.h"
#include "DefaultCabinet.h"
#include "ExchangeImage.h"
#include "ExchangeSimulator.h"
#include "PtyExchange.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tidelex;

namespace {

// The simulator's cabinet as the verb prints it: tone board, processor, two
// Subscriber boards, a Tie Line board, nothing else, the ringing module.
QStringList defaultCabinetLines()
{
    QStringList lines;
    for (int slot = 0; slot < SlotCount; ++slot) {
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

} // namespace

class TestCliBoards : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void boards_data();
    void boards();

private:
    ExchangeSimulator *m_exchange = nullptr;
    PtyExchange *m_pty = nullptr;
    QTemporaryDir m_dir;
};

void TestCliBoards::init()
{
    m_exchange = new ExchangeSimulator(this);
    m_exchange->loadConfigImage(defaultCabinetImage());
    m_pty = new PtyExchange(m_exchange, this);
    m_pty->setBaudRate(0);
    QVERIFY(m_pty->open());
}

void TestCliBoards::cleanup()
{
    delete m_pty;
    delete m_exchange;
}

void TestCliBoards::boards_data()
{
    QTest::addColumn<QString>("file"); // none, the cabinet's own, changed slots, or missing
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("differences");
    QTest::newRow("no file") << QString() << 0 << QStringList();
    QTest::newRow("same cabinet") << QStringLiteral("same") << 0 << QStringList();
    QTest::newRow("different cabinet")
        << QStringLiteral("different") << 1
        << QStringList{QStringLiteral("Slot 3: configuration Tie Line, exchange Subscriber"),
                       QStringLiteral("Slot 9: configuration Subscriber, exchange Empty")};
    QTest::newRow("file cannot be read") << QStringLiteral("missing") << 2 << QStringList();
}

void TestCliBoards::boards()
{
    QFETCH(QString, file);
    QFETCH(int, status);
    QFETCH(QStringList, differences);
    QStringList args{QStringLiteral("boards"), QStringLiteral("--port"), m_pty->slavePath()};
    if (!file.isEmpty()) {
        Configuration config = makeDefaultConfiguration();
        QVERIFY(decodeExchMemory(defaultCabinetImage(), config));
        if (file == QLatin1String("different")) {
            config.SysConfig.Slots[3] = BoardTieLine;
            config.SysConfig.Slots[9] = BoardSubscriber;
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

QTEST_GUILESS_MAIN(TestCliBoards)
#include "tst_cli_boards.moc"
