#pragma once
// The values of the service commands as the exchange holds them: PIN digit
// bytes, password character codes, BCD clock bytes, and the checks a new
// value must pass before anything is sent.
// Where the exchange holds them is in ExchangeMap.h.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// One PIN byte as a dial digit: 10 is "0", 11 "*", 12 "#", 255 nothing,
// anything else its decimal number.
QString convertDTMF(int value);
// A text of hexadecimal byte pairs as dial digits.
QString extractDigits(const QString &text);
// The PIN the exchange's four PIN bytes hold, in either form written there:
// four digit bytes (set as a PIN by itself), or the packed PIN word of a
// configuration followed by two zero bytes (an upload). "" when no PIN is
// set (every byte "no digit", or all zero). Nothing when the bytes are
// neither form.
std::optional<QString> pinFromStoredBytes(const QByteArray &bytes);
QString pinUnreadableMessage(); // "The exchange's PIN could not be read"
// The byte a PIN digit is stored as: 0 becomes 0x0A.
int pinDigitByte(QChar digit);

// Why a PIN cannot be sent: the text followed by " is too short",
// " is too long", " must only contain digits" or " must be between 1000 and
// 9999" (a first digit 0); empty when it can (an empty PIN removes the PIN).
QString pinProblem(const QString &pin);
// What the password box holds after typing `typed`: upper case, no Q.
QString typedPassword(const QString &typed);
// " is too short" / " is too long" after the text, or the refusal of a
// character that is not plain ASCII; empty when the password can be sent.
QString passwordProblem(const QString &password);

// The 16 characters of the clock bytes as read, shown as
// "hh:mm:ss dd/mm/yy"; nothing when they are not all decimal digits or not
// a real time and date.
std::optional<QString> clockTextFromReply(const QString &sixteen);
// "hh:mm:ss dd/mm/yy" of a moment, as the boxes show it.
QString clockText(const QDateTime &when);
// The eight clock bytes to write for "hh:mm:ss dd/mm/yy": 0x00,
// seconds, minutes, hours, 0x10, day, month, year, each as BCD. Nothing
// when the text is not a real time and date in that form.
std::optional<QByteArray> clockBytes(const QString &text);

QString badClockMessage(); // "Bad Time and Date recieved - leaving as PC time"
// The firmware message for the version byte's two characters, and on a
// second line the version read: "Firmware version 2 (version byte 0x32)."
QString versionMessage(const QString &reply);
// False for a byte that says nothing (00 or FF: memory that holds no version).
bool versionReadable(const QString &reply);
QString versionUnreadableMessage(const QString &reply);
