// tidelex-sim as a program: its options, its first line, and a host on its terminal.
#include "BlockText.h"
#include "PtyPair.h"

#include <QProcess>
#include <QTemporaryFile>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

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
    QTest::addColumn<QString>("arguments"); // @N: an image file of N bytes
    QTest::addColumn<QString>("complaint");
    QTest::newRow("baud not a number") << u"--baud fast"_s << u"--baud"_s;
    QTest::newRow("negative count") << u"--drop-every -2"_s << u"--drop-every"_s;
    QTest::newRow("firmware over a byte") << u"--firmware 1FF"_s << u"--firmware"_s;
    QTest::newRow("unknown option") << u"--fast"_s << u"fast"_s;
    QTest::newRow("stray argument") << u"image.bin"_s << u"image.bin"_s;
    QTest::newRow("missing image") << u"--image /nonexistent/x.img"_s << u"/nonexistent/x.img"_s;
    QTest::newRow("short image") << u"--image @8191"_s << u"8191 bytes"_s;
    QTest::newRow("missing cabinet file") << u"--cabinet /nonexistent/ship.TWZ"_s
                                          << u"/nonexistent/ship.TWZ"_s;
    QTest::newRow("bad block past the last") << u"--bad-block 65"_s << u"--bad-block"_s;
    QTest::newRow("image and cabinet together") << u"--cabinet %golden --image @8192"_s
                                                << u"cannot be used together"_s;
}

void TestSimProgram::refusesBadOptions()
{
    QFETCH(QString, arguments);
    QStringList args = arguments.split(QLatin1Char(' '));
    args.replaceInStrings(QStringLiteral("%golden"), goldenConfiguration());
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
    QTest::addColumn<QString>("arguments"); // @: an image whose first block is firstBlock()
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected"); // exactly these bytes, then silence
    QTest::addColumn<bool>("extraAllowed");   // stray bytes may follow

    const QByteArray readBlock0 = QByteArrayLiteral("\x04") + "6000";
    const QByteArray readVersion = QByteArrayLiteral("\x11") + "000D";
    const QByteArray block = blockText(firstBlock());
    QTest::newRow("default firmware") << u"--baud 0"_s << readVersion << QByteArray("32") << false;
    QTest::newRow("firmware with 0x")
        << u"--baud 0 --firmware 0x2a"_s << readVersion << QByteArray("2A") << false;
    QTest::newRow("default cabinet tone board")
        << u"--baud 0"_s << QByteArrayLiteral("\x11") + "7F0F" << QByteArray("A0") << false;
    QTest::newRow("image loaded") << u"--baud 0 --image @"_s << readBlock0 << block << false;
    QTest::newRow("paced by default") << u"--image @"_s << readBlock0 << block << false;
    // A damaged checksum is marked "!!": the two digits must be anything but the right ones.
    QByteArray bad = block;
    bad.replace(256, 2, "!!");
    QTest::newRow("corrupt every block")
        << u"--baud 0 --image @ --corrupt-every 1"_s << readBlock0 << bad << false;
    QTest::newRow("drop every reply")
        << u"--baud 0 --drop-every 1"_s << readVersion << QByteArray() << false;
    QTest::newRow("split") << u"--baud 0 --split --image @"_s << readBlock0 << block << false;
    QTest::newRow("noise") << u"--baud 0 --noise"_s << readVersion << QByteArray("32") << true;
    // The golden configuration has a Tie Line board in slot 4 and the password "R&D1".
    QTest::newRow("cabinet from a configuration: its boards")
        << u"--baud 0 --cabinet %golden"_s << QByteArrayLiteral("\x11") + "7F13" << QByteArray("90")
        << false;
    QTest::newRow("cabinet from a configuration: its memory")
        << u"--baud 0 --cabinet %golden"_s << QByteArrayLiteral("\x11") + "7F02" << QByteArray("52")
        << false;
}

void TestSimProgram::serves()
{
    QFETCH(QString, arguments);
    QStringList args = arguments.split(QLatin1Char(' '));
    args.replaceInStrings(QStringLiteral("%golden"), goldenConfiguration());
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
        QVERIFY(got.bytes.mid(256, 2) != blockText(firstBlock()).right(2));
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
