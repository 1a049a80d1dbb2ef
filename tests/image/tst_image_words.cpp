// The small encodings of the exchange image: BCD, flagged and PIN words and
// the guaranteed-access mask.
#include "BcdCodec.h"

#include <QtTest>

class TestImageWords : public QObject {
    Q_OBJECT
private slots:
    void words_data();
    void words();
    void guaranteedMask_data();
    void guaranteedMask();
};

enum Kind { Bcd, Flagged, Pin };

void TestImageWords::words_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<bool>("encodes"); // false: a stored word that only decodes
    auto row = [](const char *name, Kind kind, int number, int low, int high, bool encodes = true) {
        QTest::newRow(name) << int(kind) << number << low << high << encodes;
    };
    row("bcd zero", Bcd, 0, 0x00, 0x00);
    row("bcd extension 123", Bcd, 123, 0x23, 0x01);
    row("bcd group 500", Bcd, 500, 0x00, 0x05);
    row("bcd 910", Bcd, 910, 0x10, 0x09);
    row("bcd 9999", Bcd, 9999, 0x99, 0x99);
    row("bcd negative unwritable", Bcd, -1, 0x00, 0x00);
    row("bcd 10000 unwritable", Bcd, 10000, 0x00, 0x00);
    row("bcd hex digit in low byte", Bcd, 13, 0x3A, 0x01, false);
    row("bcd hex digit in high byte", Bcd, 1, 0x23, 0x1E, false);
    row("bcd erased", Bcd, 0, 0xFF, 0xFF, false);
    row("flagged none", Flagged, 0, 0x00, 0x58);
    row("flagged 210", Flagged, 210, 0x10, 0x5A);
    row("flagged 499", Flagged, 499, 0x99, 0x5C);
    row("flagged group 599", Flagged, 599, 0x99, 0x5D);
    row("pin none", Pin, 0, 0x00, 0x00);
    row("pin 1234", Pin, 1234, 0x34, 0x12);
    row("pin 1000", Pin, 1000, 0xAA, 0x1A);
    row("pin 5", Pin, 5, 0xA5, 0xAA);
    row("pin 10000 unwritable", Pin, 10000, 0x00, 0x00);
    row("pin erased", Pin, 0, 0xFF, 0xFF, false);
    row("pin low byte erased", Pin, 0, 0xFF, 0x12, false);
    row("pin digit B ends it", Pin, 12, 0xB4, 0x12, false);
}

void TestImageWords::words()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(bool, encodes);
    const ExchWord word{uint8_t(low), uint8_t(high)};
    const auto encode = kind == Bcd ? encodeBcdWord : kind == Flagged ? encodeFlaggedWord : encodePinWord;
    const auto decode = kind == Bcd ? decodeBcdWord : kind == Flagged ? decodeFlaggedWord : decodePinWord;
    if (encodes) {
        const ExchWord got = encode(number);
        QCOMPARE(got.low, word.low);
        QCOMPARE(got.high, word.high);
    }
    if (number >= 0 && number <= 9999)
        QCOMPARE(decode(word), number);
}

void TestImageWords::guaranteedMask_data()
{
    QTest::addColumn<QList<int>>("ga");
    QTest::addColumn<int>("low");
    QTest::newRow("none") << QList<int>{-1, -1, -1} << 0xFF;
    QTest::newRow("one") << QList<int>{105, -1, -1} << 0xFE;
    QTest::newRow("three") << QList<int>{105, 210, 333} << 0xEA;
    QTest::newRow("count stops at first empty") << QList<int>{105, -1, 333} << 0xFE;
    QTest::newRow("first empty") << QList<int>{-1, 210, 333} << 0xFF;
}

void TestImageWords::guaranteedMask()
{
    QFETCH(QList<int>, ga);
    QFETCH(int, low);
    SystemRecord sys;
    sys.GA = {int16_t(ga[0]), int16_t(ga[1]), int16_t(ga[2]), 400}; // the spare entry never counts
    QCOMPARE(guaranteedAccessMask(sys).low, low);
    QCOMPARE(guaranteedAccessMask(sys).high, 0xFF);
}

QTEST_APPLESS_MAIN(TestImageWords)
#include "tst_image_words.moc"
