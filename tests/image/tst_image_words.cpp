// The small encodings of the exchange image: BCD words, flagged words, the
// guaranteed-access mask and the PIN word.
#include "BcdCodec.h"

#include <QtTest>

Q_DECLARE_METATYPE(ExchWord)

namespace {
ExchWord w(int low, int high)
{
    return {static_cast<uint8_t>(low), static_cast<uint8_t>(high)};
}
} // namespace

char *toString(const ExchWord &word)
{
    return qstrdup(QString::asprintf("%02X %02X", word.low, word.high).toLatin1().constData());
}

class TestImageWords : public QObject {
    Q_OBJECT
private slots:
    void bcdWord_data();
    void bcdWord();
    void bcdDecodeIrregular_data();
    void bcdDecodeIrregular();
    void flaggedWord_data();
    void flaggedWord();
    void guaranteedMask_data();
    void guaranteedMask();
    void pinWord_data();
    void pinWord();
    void pinDecodeIrregular_data();
    void pinDecodeIrregular();
};

void TestImageWords::bcdWord_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<ExchWord>("word");
    QTest::newRow("zero") << 0 << w(0x00, 0x00);
    QTest::newRow("units") << 7 << w(0x07, 0x00);
    QTest::newRow("extension 123") << 123 << w(0x23, 0x01);
    QTest::newRow("group 500") << 500 << w(0x00, 0x05);
    QTest::newRow("tens only") << 910 << w(0x10, 0x09);
    QTest::newRow("thousands") << 1000 << w(0x00, 0x10);
    QTest::newRow("largest") << 9999 << w(0x99, 0x99);
}

void TestImageWords::bcdWord()
{
    QFETCH(int, number);
    QFETCH(ExchWord, word);
    QCOMPARE(encodeBcdWord(number), word);
    QCOMPARE(decodeBcdWord(word), number);
}

void TestImageWords::bcdDecodeIrregular_data()
{
    QTest::addColumn<ExchWord>("word");
    QTest::addColumn<int>("number");
    // High byte without leading zero, low byte always two digits; a hex
    // digit above 9 ends the number.
    QTest::newRow("low hex digit") << w(0x3A, 0x01) << 13;
    QTest::newRow("high hex digit") << w(0x23, 0x1A) << 1;
    QTest::newRow("all F") << w(0xFF, 0xFF) << 0;
    QTest::newRow("only low") << w(0x45, 0x00) << 45;
    QTest::newRow("exponent-like digit") << w(0x02, 0x1E) << 1;
}

void TestImageWords::bcdDecodeIrregular()
{
    QFETCH(ExchWord, word);
    QFETCH(int, number);
    QCOMPARE(decodeBcdWord(word), number);
}

void TestImageWords::flaggedWord_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<ExchWord>("word");
    QTest::newRow("none") << 0 << w(0x00, 0x58);
    QTest::newRow("extension 210") << 210 << w(0x10, 0x5A);
    QTest::newRow("extension 499") << 499 << w(0x99, 0x5C);
    QTest::newRow("group 500") << 500 << w(0x00, 0x5D);
    QTest::newRow("group 599") << 599 << w(0x99, 0x5D);
}

void TestImageWords::flaggedWord()
{
    QFETCH(int, number);
    QFETCH(ExchWord, word);
    QCOMPARE(encodeFlaggedWord(number), word);
    QCOMPARE(decodeFlaggedWord(word), number);
}

void TestImageWords::guaranteedMask_data()
{
    QTest::addColumn<QList<int>>("ga");
    QTest::addColumn<int>("low");
    QTest::newRow("none") << QList<int>{-1, -1, -1} << 0xFF;
    QTest::newRow("one") << QList<int>{105, -1, -1} << 0xFE;
    QTest::newRow("two") << QList<int>{105, 210, -1} << 0xFA;
    QTest::newRow("three") << QList<int>{105, 210, 333} << 0xEA;
    QTest::newRow("count stops at first empty") << QList<int>{105, -1, 333} << 0xFE;
    QTest::newRow("first empty") << QList<int>{-1, 210, 333} << 0xFF;
}

void TestImageWords::guaranteedMask()
{
    QFETCH(QList<int>, ga);
    QFETCH(int, low);
    SystemRecord sys;
    sys.GA[3] = 400; // the spare entry never counts
    for (int k = 0; k < 3; ++k)
        sys.GA[k] = static_cast<int16_t>(ga[k]);
    QCOMPARE(guaranteedAccessMask(sys), w(low, 0xFF));
}

void TestImageWords::pinWord_data()
{
    QTest::addColumn<int>("pin");
    QTest::addColumn<ExchWord>("word");
    QTest::newRow("no PIN") << 0 << w(0x00, 0x00);
    QTest::newRow("no zero digit") << 1234 << w(0x34, 0x12);
    QTest::newRow("1000") << 1000 << w(0xAA, 0x1A);
    QTest::newRow("zeros between") << 9009 << w(0xA9, 0x9A);
    QTest::newRow("short PIN") << 5 << w(0xA5, 0xAA);
    QTest::newRow("largest") << 9999 << w(0x99, 0x99);
}

void TestImageWords::pinWord()
{
    QFETCH(int, pin);
    QFETCH(ExchWord, word);
    QCOMPARE(encodePinWord(pin), word);
    QCOMPARE(decodePinWord(word), pin);
    if (pin >= 1000)
        QVERIFY(word.low != 0 && word.high != 0);
}

void TestImageWords::pinDecodeIrregular_data()
{
    QTest::addColumn<ExchWord>("word");
    QTest::addColumn<int>("pin");
    QTest::newRow("erased memory") << w(0xFF, 0xFF) << 0;
    QTest::newRow("erased low byte") << w(0xFF, 0x12) << 0;
    QTest::newRow("erased high byte") << w(0x34, 0xFF) << 0;
    QTest::newRow("digit B ends the number") << w(0xB4, 0x12) << 12;
}

void TestImageWords::pinDecodeIrregular()
{
    QFETCH(ExchWord, word);
    QFETCH(int, pin);
    QCOMPARE(decodePinWord(word), pin);
}

QTEST_APPLESS_MAIN(TestImageWords)
#include "tst_image_words.moc"
