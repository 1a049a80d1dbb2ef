// The simulated exchange on a pseudo-terminal: line pacing and a host on the
// other end; and tidelex-sim as a program: its options, its first line, and a
// host on its terminal.
#include "BlockText.h"
#include "ExchangeSimulator.h"
#include "LinePacer.h"
#include "PtyExchange.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace
{

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

// The simulator's words, split at blanks: %golden stands for the golden
// configuration, "@" for an image whose first block is pattern(9), "@N" for
// an image of N zero bytes; the image is written to `image`.
QStringList simArguments(const QString &line, QTemporaryFile &image)
{
    QStringList args = line.split(QLatin1Char(' '));
    args.replaceInStrings(QStringLiteral("%golden"),
                          QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ"));
    for (QString &arg : args) {
        if (!arg.startsWith(QLatin1Char('@')) || !image.open())
            continue;
        image.write(arg == QLatin1String("@") ? pattern(9).leftJustified(8192, '\x5A')
                                              : QByteArray(arg.mid(1).toInt(), '\0'));
        image.close();
        arg = image.fileName();
    }
    return args;
}

struct Push {
    qint64 atNs;
    int count;
    qint64 pauseNs = 0; // silence asked for before this push
};

} // namespace

class TestSimProgram : public QObject
{
    Q_OBJECT
  private slots:
    void refusesOrServes_data();
    void refusesOrServes();
    void endsCleanly_data();
    void endsCleanly();
    void pacing_data();
    void pacing();
    void blockOverPty();
    void hangupDeliversTheLastReplyFirst();
};

void TestSimProgram::refusesOrServes_data()
{
    // In the arguments "@" is an image whose first block is pattern(9), "@N"
    // an image of N bytes.
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("complaint"); // why the simulator does not start; empty: it does
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected"); // exactly these bytes, then silence
    QTest::addColumn<bool>("extraAllowed");   // stray bytes may follow
    const auto refused = [](const char *name, const QString &arguments, const QString &complaint) {
        QTest::newRow(name) << arguments << complaint << QByteArray() << QByteArray() << false;
    };
    const auto serves = [](const char *name, const QString &arguments, const QByteArray &command,
                           const QByteArray &expected, bool extraAllowed = false) {
        QTest::newRow(name) << arguments << QString() << command << expected << extraAllowed;
    };
    refused("baud not a number", u"--baud fast"_s, u"--baud"_s);
    refused("negative count", u"--drop-every -2"_s, u"--drop-every"_s);
    refused("firmware over a byte", u"--firmware 1FF"_s, u"--firmware"_s);
    refused("unknown option", u"--fast"_s, u"fast"_s);
    refused("stray argument", u"image.bin"_s, u"image.bin"_s);
    refused("missing image", u"--image /nonexistent/x.img"_s, u"/nonexistent/x.img"_s);
    refused("short image", u"--image @8191"_s, u"8191 bytes"_s);
    refused("missing cabinet file", u"--cabinet /nonexistent/ship.TWZ"_s,
            u"/nonexistent/ship.TWZ"_s);
    refused("bad block past the last", u"--bad-block 65"_s, u"--bad-block"_s);
    refused("image and cabinet together", u"--cabinet %golden --image @8192"_s,
            u"cannot be used together"_s);
    const QByteArray readBlock0 = QByteArrayLiteral("\x04") + "6000";
    const QByteArray readVersion = QByteArrayLiteral("\x11") + "000D";
    const QByteArray block = blockText(pattern(9));
    serves("default firmware", u"--baud 0"_s, readVersion, "32");
    serves("firmware with 0x", u"--baud 0 --firmware 0x2a"_s, readVersion, "2A");
    serves("default cabinet tone board", u"--baud 0"_s, QByteArrayLiteral("\x11") + "7F0F", "A0");
    serves("image loaded", u"--baud 0 --image @"_s, readBlock0, block);
    serves("paced by default", u"--image @"_s, readBlock0, block);
    // A damaged checksum is marked "!!": the two digits must be anything but the right ones.
    QByteArray bad = block;
    bad.replace(256, 2, "!!");
    serves("corrupt every block", u"--baud 0 --image @ --corrupt-every 1"_s, readBlock0, bad);
    serves("drop every reply", u"--baud 0 --drop-every 1"_s, readVersion, {});
    serves("refuse writes", u"--baud 0 --refuse-writes 1"_s,
           QByteArrayLiteral("\x18") + "6000000055", "\x0F");
    serves("split", u"--baud 0 --split --image @"_s, readBlock0, block);
    serves("noise", u"--baud 0 --noise"_s, readVersion, "32", true);
    // The golden configuration has a Tie Line board in slot 4 and the password "R&D1".
    serves("cabinet from a configuration: its boards", u"--baud 0 --cabinet %golden"_s,
           QByteArrayLiteral("\x11") + "7F13", "90");
    serves("cabinet from a configuration: its memory", u"--baud 0 --cabinet %golden"_s,
           QByteArrayLiteral("\x11") + "7F02", "52");
}

void TestSimProgram::refusesOrServes()
{
    QFETCH(QString, arguments);
    QFETCH(QString, complaint);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    QFETCH(bool, extraAllowed);
    QTemporaryFile image;
    QProcess sim;
    if (!complaint.isEmpty()) {
        sim.start(QStringLiteral(TIDELEX_SIM), simArguments(arguments, image));
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardOutput().isEmpty()); // no path: nobody may try to connect
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.contains(complaint), qPrintable(err));
        return;
    }
    const QString path = startSim(sim, simArguments(arguments, image));
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
        QVERIFY(got.bytes.mid(256, 2) != blockText(pattern(9)).right(2));
        QVERIFY(std::isxdigit(got.bytes.at(256)) && std::isxdigit(got.bytes.at(257)));
        got.bytes.replace(256, 2, "!!"); // for the length check below
    }
    QCOMPARE(got.bytes.left(expected.size()), expected);
    if (extraAllowed)
        QVERIFY(got.bytes.size() > expected.size());
    else
        QCOMPARE(got.bytes.size(), expected.size());
}

void TestSimProgram::endsCleanly_data()
{
    QTest::addColumn<int>("signal"); // 0: none, the exchange hangs up after its first block
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("hangup") << 0;
}

void TestSimProgram::endsCleanly()
{
    QFETCH(int, signal);
    QProcess sim;
    const QString path = startSim(sim, {u"--baud"_s, u"0"_s, u"--hangup-after"_s, u"1"_s});
    QVERIFY(!path.isEmpty());
    if (signal) {
        ::kill(pid_t(sim.processId()), signal);
    } else {
        const int host = openRawLine(path);
        QVERIFY(host >= 0);
        QVERIFY(writeLine(host, QByteArrayLiteral("\x04") + "6000"));
        QCOMPARE(readLine(host, 258, 5000).bytes.size(), 258);
        QVERIFY(readLine(host, 1, 5000).closed);
        ::close(host);
    }
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

void TestSimProgram::pacing_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<QList<Push>>("pushes");
    QTest::addColumn<qint64>("askAtNs");
    QTest::addColumn<int>("due");

    const qint64 b9600 = 1'041'666; // 10 bits at 9600 baud, in ns (truncated)
    QTest::newRow("first byte needs a whole byte time")
        << 9600 << QList<Push>{{0, 10}} << b9600 - 1 << 0;
    QTest::newRow("one byte time, one byte") << 9600 << QList<Push>{{0, 10}} << b9600 << 1;
    QTest::newRow("later push waits for the line")
        << 9600 << QList<Push>{{0, 4}, {b9600, 4}} << 5 * b9600 << 5;
    QTest::newRow("idle line starts afresh")
        << 9600 << QList<Push>{{0, 1}, {100'000'000, 1}} << 100'000'000 + b9600 - 1 << 1;
    QTest::newRow("57600 baud, block reply takes 44.8 ms")
        << 57600 << QList<Push>{{0, 258}} << 44'700'000LL << 257;
    QTest::newRow("unpaced: all at once") << 0 << QList<Push>{{0, 258}} << 0LL << 258;
    QTest::newRow("unpaced pause holds the next piece")
        << 0 << QList<Push>{{0, 3}, {0, 3, 2'000'000}} << 1'999'999LL << 3;
    QTest::newRow("pause ends") << 0 << QList<Push>{{0, 3}, {0, 3, 2'000'000}} << 2'000'000LL << 6;
    QTest::newRow("pause adds to paced time")
        << 9600 << QList<Push>{{0, 2}, {0, 1, 1'000'000}} << 2 * b9600 + 1'000'000 + b9600 - 1 << 2;
}

void TestSimProgram::pacing()
{
    QFETCH(int, baud);
    QFETCH(QList<Push>, pushes);
    QFETCH(qint64, askAtNs);
    QFETCH(int, due);
    LinePacer line;
    line.setBaudRate(baud);
    int total = 0;
    for (const Push &p : pushes) {
        if (p.pauseNs)
            line.pause(p.pauseNs, p.atNs);
        line.push(QByteArray(p.count, 'x'), p.atNs);
        total += p.count;
    }
    QCOMPARE(line.takeDue(askAtNs).size(), due);
    QCOMPARE(line.isEmpty(), due == total);
}

// At 9600 baud; unpaced lines are served in the tests of the program.
void TestSimProgram::blockOverPty()
{
    const int baud = 9600;
    ExchangeSimulator exchange;
    exchange.setBytes(0x6000 + 5 * 128, pattern(5));
    PtyExchange line(&exchange);
    line.setBaudRate(baud);
    QVERIFY2(line.open(), qPrintable(line.errorString()));
    const int host = openRawLine(line.slavePath());
    QVERIFY(host >= 0);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(writeLine(host, QByteArrayLiteral("\x03\x05\x04") + "6280"));
    const LineRead got = readLine(host, 258, 5000);
    const qint64 elapsedNs = clock.nsecsElapsed();
    ::close(host);

    QCOMPARE(got.bytes, blockText(pattern(5)));
    QCOMPARE(exchange.counters().setupEntries, 1);
    // 7 bytes in, 258 out, 10 bits each: the line cannot be faster than that.
    QVERIFY(elapsedNs >= (7 + 258) * 10'000'000'000LL / baud);
}

void TestSimProgram::hangupDeliversTheLastReplyFirst()
{
    ExchangeSimulator exchange;
    exchange.setFaults({.hangupAfter = 2});
    PtyExchange line(&exchange);
    line.setBaudRate(0);
    QSignalSpy closed(&line, &PtyExchange::closed);
    QVERIFY(line.open());
    const int host = openRawLine(line.slavePath());
    QVERIFY(host >= 0);
    QVERIFY(writeLine(host, QByteArrayLiteral("\x04") + "6000"));
    QCOMPARE(readLine(host, 258, 5000).bytes.size(), 258);
    QVERIFY(writeLine(host, QByteArrayLiteral("\x04") + "6080"));
    QTest::qWait(50); // the host is slow to read: the reply must still be there
    const LineRead last = readLine(host, 258, 5000);
    QCOMPARE(last.bytes, blockText(QByteArray(128, '\0')));
    const LineRead after = readLine(host, 1, 5000);
    ::close(host);
    QVERIFY(after.closed);
    QVERIFY(after.bytes.isEmpty());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!line.isOpen());
}

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_sim_program.moc"
