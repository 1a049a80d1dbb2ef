#include "BcdCodec.h"

namespace {

// Two decimal digits as one byte, tens in the high nibble.
uint8_t packDigits(int tens, int units)
{
    return static_cast<uint8_t>((tens << 4) | units);
}

QString hexByte(uint8_t byte, bool leadingZero)
{
    return QString::number(byte, 16).toUpper().rightJustified(leadingZero ? 2 : 0, QLatin1Char('0'));
}

} // namespace

int leadingDecimalValue(const QString &text)
{
    int value = 0;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            break;
        value = value * 10 + (ch.unicode() - '0');
        if (value > 99999) // no word holds more than four digits; stay clear of overflow
            break;
    }
    return value;
}

ExchWord encodeBcdWord(int number)
{
    if (number < 0 || number > 9999)
        return {};
    const int d1 = number / 1000, d2 = number / 100 % 10, d3 = number / 10 % 10, d4 = number % 10;
    return {packDigits(d3, d4), packDigits(d1, d2)};
}

int decodeBcdWord(ExchWord word)
{
    return leadingDecimalValue(hexByte(word.high, false) + hexByte(word.low, true));
}

ExchWord encodeFlaggedWord(int number)
{
    ExchWord word = encodeBcdWord(number);
    word.high = static_cast<uint8_t>(word.high + FlaggedNumberOffset); // at most 0x99 + 0x58
    return word;
}

int decodeFlaggedWord(ExchWord word)
{
    word.high &= 0x07;
    return decodeBcdWord(word);
}

ExchWord guaranteedAccessMask(const SystemRecord &sys)
{
    static constexpr uint8_t lowByUse[] = {0xFF, 0xFE, 0xFA, 0xEA};
    int used = 0;
    while (used < tidelex::GAEntries && sys.GA[used] != -1)
        ++used;
    return {lowByUse[used], 0xFF};
}

ExchWord encodePinWord(int pin)
{
    if (pin < 1 || pin > 9999)
        return {};
    // A zero digit would make a 0x00 byte, which the exchange cannot hold in
    // a PIN; the digit A stands for it.
    auto digit = [](int d) { return d == 0 ? 0xA : d; };
    const int d1 = pin / 1000, d2 = pin / 100 % 10, d3 = pin / 10 % 10, d4 = pin % 10;
    return {packDigits(digit(d3), digit(d4)), packDigits(digit(d1), digit(d2))};
}

int decodePinWord(ExchWord word)
{
    if (word.low == 0xFF || word.high == 0xFF)
        return 0;
    QString text = hexByte(word.high, true) + hexByte(word.low, true);
    text.replace(QLatin1Char('A'), QLatin1Char('0'));
    return leadingDecimalValue(text);
}
