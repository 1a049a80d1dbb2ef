// The simulated exchange on a pseudo-terminal: line pacing and a host on the other end.
#include "BlockText.h"
#include "ExchangeSimulator.h"
#include "LinePacer.h"
#include "PtyExchange.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

namespace
{

struct Push {
    qint64 atNs;
    int count;
    qint64 pauseNs = 0; // silence asked for before this push
};

} // namespace

class TestSimLine : public QObject
{
    Q_OBJECT
  private slots:
    void pacing_data();
    void pacing();
    void blockOverPty_data();
    void blockOverPty();
    void hangupDeliversTheLastReplyFirst();
    void serialPortOpensTheLine();
};

void TestSimLine::pacing_data()
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

void TestSimLine::pacing()
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

void TestSimLine::blockOverPty_data()
{
    QTest::addColumn<int>("baud");
    QTest::newRow("unpaced") << 0;
    QTest::newRow("57600") << 57600;
    QTest::newRow("9600") << 9600;
}

void TestSimLine::blockOverPty()
{
    QFETCH(int, baud);
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
    if (baud > 0)
        QVERIFY(elapsedNs >= (7 + 258) * 10'000'000'000LL / baud);
}

void TestSimLine::hangupDeliversTheLastReplyFirst()
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

void TestSimLine::serialPortOpensTheLine()
{
    ExchangeSimulator exchange;
    exchange.setFirmware(0x31);
    PtyExchange line(&exchange);
    QVERIFY(line.open());
    QSerialPort port;
    port.setPortName(line.slavePath());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    port.setBaudRate(57600);
    port.write(QByteArrayLiteral("\x03\x05\x11") + "000D");
    QByteArray got;
    QDeadlineTimer deadline(5000);
    while (got.size() < 2 && !deadline.hasExpired()) {
        port.waitForReadyRead(50);
        got += port.readAll();
        QCoreApplication::processEvents();
    }
    QCOMPARE(got, QByteArray("31"));
}

QTEST_GUILESS_MAIN(TestSimLine)
#include "tst_sim_line.moc"
