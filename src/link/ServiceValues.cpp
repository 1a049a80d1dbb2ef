#include "ServiceValues.h"

#include <QRegularExpression>

QString convertDTMF(int value)
{
    switch (value) {
    case 10:
        return QStringLiteral("0");
    case 11:
        return QStringLiteral("*");
    case 12:
        return QStringLiteral("#");
    case 255:
        return QString();
    default:
        return QString::number(value);
    }
}

QString ExtractDigits(const QString &text)
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

std::optional<QString> pinFromDigitBytes(const QByteArray &bytes)
{
    if (bytes == QByteArray(4, char(0xFF)))
        return QString();
    if (bytes.size() != 4)
        return std::nullopt;
    QString pin;
    for (char byte : bytes) {
        const int value = static_cast<unsigned char>(byte);
        if (value < 1 || value > 10) // digits 1..9, and 0x0A for 0
            return std::nullopt;
        pin += convertDTMF(value);
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
    return value == 0 ? 0x0A : value;
}

QString pinProblem(const QString &pin)
{
    if (pin.isEmpty())
        return QString();
    if (pin.size() < 4)
        return pin + QStringLiteral(" is too short");
    if (pin.size() > 4)
        return pin + QStringLiteral(" is too long");
    for (QChar c : pin) {
        if (c < u'0' || c > u'9')
            return pin + QStringLiteral(" must only contain digits");
    }
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
    if (password.size() < 4)
        return password + QStringLiteral(" is too short");
    if (password.size() > 4)
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
    // Bytes 0xC011 seconds, 0xC012 minutes, 0xC013 hours, 0xC015 day, 0xC016 month, 0xC017 year.
    auto pair = [&](int byte) { return sixteen.mid(2 * byte, 2); };
    auto number = [&](int byte) { return pair(byte).toInt(); };
    if (!QTime::isValid(number(3), number(2), number(1)) ||
        !QDate::isValid(2000 + number(7), number(6), number(5)))
        return std::nullopt;
    return pair(3) + u':' + pair(2) + u':' + pair(1) + u' ' + pair(5) + u'/' + pair(6) + u'/' +
           pair(7);
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
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    const int seconds = match.captured(3).toInt();
    const int day = match.captured(4).toInt();
    const int month = match.captured(5).toInt();
    const int year = 2000 + match.captured(6).toInt();
    // The exchange would keep whatever it is given; refuse what no clock shows.
    if (!QTime::isValid(hours, minutes, seconds) || !QDate::isValid(year, month, day))
        return std::nullopt;
    // Two decimal digits read as hexadecimal make the BCD byte.
    const QString hex = QStringLiteral("00") + match.captured(3) + match.captured(2) +
                        match.captured(1) + QStringLiteral("10") + match.captured(4) +
                        match.captured(5) + match.captured(6);
    return QByteArray::fromHex(hex.toLatin1());
}

QString badClockMessage()
{
    return QStringLiteral("Bad Time and Date recieved - leaving as PC time");
}

QString versionMessage(const QString &reply)
{
    if (reply == QLatin1String("31"))
        return QStringLiteral(
            "Exchange has version 1 firmware. Needs to be updated to Version 2.23");
    return QStringLiteral("Exchange has version 2+ firmware");
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
