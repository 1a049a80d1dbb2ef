// tidelex-sim as a program: its options, its first line, and a host on its terminal.
#include "PtyPair.h"

#include <QProcess>
#include <QTemporaryFile>
#include <QTest>

#include <csignal>

namespace
{

QString goldenConfiguration()
{
    return QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ");
}

// Starts the simulator and returns the path it printed, or an empty string.
QString startSim(QProcess &sim, const QStringList &args)
{
    sim.start(QStringLiteral(TIDELEX_SIM), args);
    if (!sim.waitForStarted(5000))
        return {};
    QDeadlineTimer deadline(5000);
    while (!sim.canReadLine() && !deadline.hasExpired() && sim.state() == QProcess::Running)
        sim.waitForReadyRead(100);
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

QByteArray checksummed(const QByteArray &data)
{
    int sum = 0;
    for (char c : data)
        sum += quint8(c);
    return data.toHex().toUpper() +
           QByteArray::number(sum % 256, 16).toUpper().rightJustified(2, '0');
}

QByteArray imageWithFirstBlock(const QByteArray &block)
{
    QByteArray image(8192, '\x5A');
    image.replace(0, block.size(), block);
    return image;
}

QByteArray firstBlock()
{
    QByteArray block(128, '\0');
    for (int k = 0; k < 128; ++k)
        block[k] = char(255 - k);
    return block;
}

} // namespace

class TestSimProgram : public QObject
{
    Q_OBJECT
  private slots:
    void refusesBadOptions_data();
    void refusesBadOptions();
    void serves_data();
    void serves();
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void hangupEndsTheProgram();
};

void TestSimProgram::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("baud not a number")
        << QStringList{QStringLiteral("--baud"), QStringLiteral("fast")}
        << QStringLiteral("--baud");
    QTest::newRow("negative count")
        << QStringList{QStringLiteral("--drop-every"), QStringLiteral("-2")}
        << QStringLiteral("--drop-every");
    QTest::newRow("firmware over a byte")
        << QStringList{QStringLiteral("--firmware"), QStringLiteral("1FF")}
        << QStringLiteral("--firmware");
    QTest::newRow("firmware not hex")
        << QStringList{QStringLiteral("--firmware"), QStringLiteral("v2")}
        << QStringLiteral("--firmware");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--fast")} << QStringLiteral("fast");
    QTest::newRow("stray argument")
        << QStringList{QStringLiteral("image.bin")} << QStringLiteral("image.bin");
    QTest::newRow("missing image")
        << QStringList{QStringLiteral("--image"), QStringLiteral("/nonexistent/x.img")}
        << QStringLiteral("/nonexistent/x.img");
    QTest::newRow("short image") << QStringList{QStringLiteral("--image"), QStringLiteral("@8191")}
                                 << QStringLiteral("8191 bytes");
    QTest::newRow("long image") << QStringList{QStringLiteral("--image"), QStringLiteral("@8193")}
                                << QStringLiteral("8193 bytes");
    QTest::newRow("missing cabinet file")
        << QStringList{QStringLiteral("--cabinet"), QStringLiteral("/nonexistent/ship.TWZ")}
        << QStringLiteral("/nonexistent/ship.TWZ");
    QTest::newRow("image and cabinet together")
        << QStringList{QStringLiteral("--cabinet"), goldenConfiguration(), QStringLiteral("--image"),
                       QStringLiteral("@8192")}
        << QStringLiteral("cannot be used together");
}

void TestSimProgram::refusesBadOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, complaint);
    QTemporaryFile image;
    if (args.last().startsWith(QLatin1Char('@'))) {
        QVERIFY(image.open());
        image.write(QByteArray(args.last().mid(1).toInt(), '\0'));
        image.close();
        args.last() = image.fileName();
    }
    QProcess sim;
    sim.start(QStringLiteral(TIDELEX_SIM), args);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY(sim.readAllStandardOutput().isEmpty()); // no path: nobody may try to connect
    const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
    QVERIFY2(err.contains(complaint), qPrintable(err));
}

void TestSimProgram::serves_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected"); // exactly these bytes, then silence
    QTest::addColumn<bool>("extraAllowed");   // stray bytes may follow

    const QStringList fast{QStringLiteral("--baud"), QStringLiteral("0")};
    const QByteArray readBlock0 = QByteArrayLiteral("\x04") + "6000";
    QTest::newRow("default firmware")
        << fast << QByteArrayLiteral("\x11") + "000D" << QByteArray("32") << false;
    QTest::newRow("version 1 firmware")
        << fast + QStringList{QStringLiteral("--firmware"), QStringLiteral("31")}
        << QByteArrayLiteral("\x11") + "000D" << QByteArray("31") << false;
    QTest::newRow("firmware with 0x")
        << fast + QStringList{QStringLiteral("--firmware"), QStringLiteral("0x2a")}
        << QByteArrayLiteral("\x11") + "000D" << QByteArray("2A") << false;
    QTest::newRow("default cabinet tone board")
        << fast << QByteArrayLiteral("\x11") + "7F0F" << QByteArray("A0") << false;
    QTest::newRow("image loaded") << fast +
                                         QStringList{QStringLiteral("--image"), QStringLiteral("@")}
                                  << readBlock0 << checksummed(firstBlock()) << false;
    QTest::newRow("paced by default") << QStringList{QStringLiteral("--image"), QStringLiteral("@")}
                                      << readBlock0 << checksummed(firstBlock()) << false;
    // A damaged checksum is marked "!!": the two digits must be anything but the right ones.
    QByteArray bad = checksummed(firstBlock());
    bad.replace(256, 2, "!!");
    QTest::newRow("corrupt every block")
        << fast + QStringList{QStringLiteral("--image"), QStringLiteral("@"),
                              QStringLiteral("--corrupt-every"), QStringLiteral("1")}
        << readBlock0 << bad << false;
    QTest::newRow("drop every reply")
        << fast + QStringList{QStringLiteral("--drop-every"), QStringLiteral("1")}
        << QByteArrayLiteral("\x11") + "000D" << QByteArray() << false;
    QTest::newRow("split") << fast + QStringList{QStringLiteral("--split"),
                                                 QStringLiteral("--image"), QStringLiteral("@")}
                           << readBlock0 << checksummed(firstBlock()) << false;
    // The golden configuration has a Tie Line board in slot 4 and the password "R&D1".
    QTest::newRow("cabinet from a configuration: its boards")
        << fast + QStringList{QStringLiteral("--cabinet"), goldenConfiguration()}
        << QByteArrayLiteral("\x11") + "7F13" << QByteArray("90") << false;
    QTest::newRow("cabinet from a configuration: its memory")
        << fast + QStringList{QStringLiteral("--cabinet"), goldenConfiguration()}
        << QByteArrayLiteral("\x11") + "7F02" << QByteArray("52") << false;
    QTest::newRow("noise") << fast + QStringList{QStringLiteral("--noise")}
                           << QByteArrayLiteral("\x11") + "000D" << QByteArray("32") << true;
}

void TestSimProgram::serves()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    QFETCH(bool, extraAllowed);
    QTemporaryFile image;
    const qsizetype at = args.indexOf(QStringLiteral("@"));
    if (at >= 0) {
        QVERIFY(image.open());
        image.write(imageWithFirstBlock(firstBlock()));
        image.close();
        args[at] = image.fileName();
    }
    QProcess sim;
    const QString path = startSim(sim, args);
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    const int host = openRawLine(path);
    QVERIFY(host >= 0);
    QVERIFY(writeLine(host, command));
    LineRead got = readLine(host, expected.size() + 8, 500);
    ::close(host);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    if (expected.endsWith("!!")) {
        QCOMPARE(got.bytes.left(256), expected.left(256));
        QVERIFY(got.bytes.size() >= 258);
        QVERIFY(got.bytes.mid(256, 2) != checksummed(firstBlock()).right(2));
        QVERIFY(std::isxdigit(got.bytes.at(256)) && std::isxdigit(got.bytes.at(257)));
        got.bytes.replace(256, 2, "!!"); // for the length check below
    }
    QCOMPARE(got.bytes.left(expected.size()), expected);
    if (extraAllowed)
        QVERIFY(got.bytes.size() > expected.size());
    else
        QCOMPARE(got.bytes.size(), expected.size());
}

void TestSimProgram::endsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSimProgram::endsCleanlyOnSignal()
{
    QFETCH(int, signal);
    QProcess sim;
    const QString path = startSim(sim, {});
    QVERIFY(!path.isEmpty());
    ::kill(pid_t(sim.processId()), signal);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

void TestSimProgram::hangupEndsTheProgram()
{
    QProcess sim;
    const QString path = startSim(sim, {QStringLiteral("--baud"), QStringLiteral("0"),
                                        QStringLiteral("--hangup-after"), QStringLiteral("1")});
    const int host = openRawLine(path);
    QVERIFY(host >= 0);
    QVERIFY(writeLine(host, QByteArrayLiteral("\x04") + "6000"));
    QCOMPARE(readLine(host, 258, 5000).bytes.size(), 258);
    QVERIFY(readLine(host, 1, 5000).closed);
    ::close(host);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_sim_program.moc"
