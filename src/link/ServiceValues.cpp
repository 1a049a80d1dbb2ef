#include "ServiceValues.h"

#include "ExchangeMap.h"

#include <QRegularExpression>
#include <iterator>

using namespace ExchMap;

QString convertDTMF(int value)
{
    switch (value) {
    case PinDigitZero:
        return QStringLiteral("0");
    case PinDigitStar:
        return QStringLiteral("*");
    case PinDigitHash:
        return QStringLiteral("#");
    case PinNoDigit:
        return QString();
    default:
        return QString::number(value);
    }
}

QString extractDigits(const QString &text)
{
    QString digits;
    for (int k = 0; k + 1 < text.size(); k += 2) {
        bool ok = false;
        const int value = text.mid(k, 2).toInt(&ok, 16);
        if (ok)
            digits += convertDTMF(value);
    }
    return digits;
}

namespace
{

// A packed PIN word: four digits 1..9, each 0 written as the digit A.
std::optional<QString> pinFromPackedWord(uint8_t low, uint8_t high)
{
    QString pin;
    for (uint8_t byte : {high, low}) {
        for (int nibble : {byte >> 4, byte & 0x0F}) {
            if (nibble < 1 || nibble > 0x0A)
                return std::nullopt;
            pin += QString::number(nibble % 10);
        }
    }
    return pin;
}

} // namespace

std::optional<QString> pinFromStoredBytes(const QByteArray &bytes)
{
    if (bytes.size() != PinDigits)
        return std::nullopt;
    if (bytes == QByteArray(PinDigits, char(PinNoDigit)) || bytes == QByteArray(PinDigits, '\0'))
        return QString();
    auto at = [&bytes](int k) { return static_cast<uint8_t>(bytes.at(k)); };
    if (at(2) == 0 && at(3) == 0)
        return pinFromPackedWord(at(0), at(1));
    QString pin;
    for (int k = 0; k < PinDigits; ++k) {
        if (at(k) < 1 || at(k) > PinDigitZero) // digits 1..9, then 0
            return std::nullopt;
        pin += convertDTMF(at(k));
    }
    return pin;
}

QString pinUnreadableMessage()
{
    return QStringLiteral("The exchange's PIN could not be read");
}

int pinDigitByte(QChar digit)
{
    const int value = digit.digitValue();
    return value == 0 ? PinDigitZero : value;
}

QString pinProblem(const QString &pin)
{
    if (pin.isEmpty())
        return QString();
    if (pin.size() < PinDigits)
        return pin + QStringLiteral(" is too short");
    if (pin.size() > PinDigits)
        return pin + QStringLiteral(" is too long");
    for (QChar c : pin) {
        if (c < u'0' || c > u'9')
            return pin + QStringLiteral(" must only contain digits");
    }
    // As the dialog asks: "4 Digit PIN between 1000 and 9999".
    if (pin.front() == u'0')
        return pin + QStringLiteral(" must be between 1000 and 9999");
    return QString();
}

QString typedPassword(const QString &typed)
{
    QString password = typed.toUpper();
    password.remove(u'Q');
    return password;
}

QString passwordProblem(const QString &password)
{
    if (password.size() < PasswordLength)
        return password + QStringLiteral(" is too short");
    if (password.size() > PasswordLength)
        return password + QStringLiteral(" is too long");
    // Each character is stored as one byte code.
    for (QChar c : password) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return password + QStringLiteral(" must only contain plain ASCII characters");
    }
    return QString();
}

std::optional<QString> clockTextFromReply(const QString &sixteen)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{16}$"));
    if (!digits.match(sixteen).hasMatch())
        return std::nullopt;
    auto pair = [&](ClockByte byte) { return sixteen.mid(ByteDigits * byte, ByteDigits); };
    auto number = [&](ClockByte byte) { return pair(byte).toInt(); };
    if (!QTime::isValid(number(ClockHours), number(ClockMinutes), number(ClockSeconds)) ||
        !QDate::isValid(2000 + number(ClockYear), number(ClockMonth), number(ClockDay)))
        return std::nullopt;
    return pair(ClockHours) + u':' + pair(ClockMinutes) + u':' + pair(ClockSeconds) + u' ' +
           pair(ClockDay) + u'/' + pair(ClockMonth) + u'/' + pair(ClockYear);
}

QString clockText(const QDateTime &when)
{
    return when.toString(QStringLiteral("hh:mm:ss dd/MM/yy"));
}

std::optional<QByteArray> clockBytes(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{2}):([0-9]{2}):([0-9]{2}) ([0-9]{2})/([0-9]{2})/([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    // The byte each field of the text goes to, in the text's order.
    static constexpr ClockByte fields[] = {ClockHours, ClockMinutes, ClockSeconds,
                                           ClockDay,   ClockMonth,   ClockYear};
    QByteArray bytes(ClockLength, char(ClockLeadValue));
    bytes[ClockControl] = char(ClockControlValue);
    // Two decimal digits read as hexadecimal make the BCD byte.
    for (int k = 0; k < int(std::size(fields)); ++k)
        bytes[fields[k]] = char(match.captured(k + 1).toInt(nullptr, 16));
    // The exchange would keep whatever it is given; refuse what no clock shows.
    if (!clockTextFromReply(QString::fromLatin1(bytes.toHex())))
        return std::nullopt;
    return bytes;
}

QString badClockMessage()
{
    return QStringLiteral("Bad Time and Date recieved - leaving as PC time");
}

QString versionMessage(const QString &reply)
{
    const QString verdict =
        reply == QString::number(FirmwareVersion1, 16)
            ? QStringLiteral("Exchange has version 1 firmware. Needs to be updated to Version 2.23")
            : QStringLiteral("Exchange has version 2+ firmware");
    // The byte is the version's digit as a character: 0x31 is version 1.
    const QString byte = QStringLiteral("0x") + reply.toUpper();
    const QChar digit = QChar(reply.toInt(nullptr, 16));
    const QString read =
        digit >= u'1' && digit <= u'9'
            ? QStringLiteral("Firmware version %1 (version byte %2).").arg(digit).arg(byte)
            : QStringLiteral("Version byte %1.").arg(byte);
    return verdict + u'\n' + read;
}

bool versionReadable(const QString &reply)
{
    bool ok = false;
    const int value = reply.toInt(&ok, 16);
    return ok && value != 0x00 && value != 0xFF;
}

QString versionUnreadableMessage(const QString &reply)
{
    return QStringLiteral("The exchange's firmware version could not be read (it answered %1).")
        .arg(reply);
}
