#pragma once
// A block of the exchange's memory as it travels on the line: the data as
// upper-case hex digits and two digits of their sum modulo 256. Worked out
// here independently of the link and the simulator; delta spoils the sum.
#include <QByteArray>

inline QByteArray sumDigits(const QByteArray &data, int delta = 0)
{
    int sum = delta;
    for (char c : data)
        sum += static_cast<unsigned char>(c);
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

inline QByteArray blockText(const QByteArray &data, int delta = 0)
{
    return data.toHex().toUpper() + sumDigits(data, delta);
}

// A block of 128 bytes that differs from seed to seed, for blocks whose
// content does not matter as long as it is not uniform.
inline QByteArray pattern(int seed)
{
    QByteArray data(128, '\0');
    for (int k = 0; k < 128; ++k)
        data[k] = char((k * 37 + seed) & 0xFF);
    return data;
}
