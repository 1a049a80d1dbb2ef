#include "Windows1252.h"

#include <QList>

namespace win1252
{
namespace
{

// 0x80..0x9F; 0 marks a byte the code page does not define.
constexpr char16_t highTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char32_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return int(ch);
    for (int i = 0; i < 32; ++i) {
        if (highTable[i] != 0 && highTable[i] == ch)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

bool canEncode(char32_t ch)
{
    return byteFor(ch) >= 0;
}

QString unencodable(QStringView text)
{
    QString found;
    for (const char32_t ch : text.toUcs4()) {
        const QString character = QString::fromUcs4(&ch, 1);
        if (!canEncode(ch) && !found.contains(character))
            found += character;
    }
    return found;
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        // A surrogate pair is one character: one '?'.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int b = byteFor(ch);
        out.append(b >= 0 ? char(b) : '?');
    }
    return out;
}

bool decode(const QByteArray &bytes, QString &text, qsizetype *offset)
{
    QString result(bytes.size(), Qt::Uninitialized);
    QChar *dst = result.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        char16_t ch = b;
        if (b >= 0x80 && b <= 0x9F) {
            ch = highTable[b - 0x80];
            if (ch == 0) {
                if (offset)
                    *offset = i;
                return false;
            }
        }
        dst[i] = QChar(ch);
    }
    text = result;
    return true;
}

} // namespace win1252
