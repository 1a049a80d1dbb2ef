#pragma once
// The Windows-1252 ("ANSI") code page the configuration files are kept in,
// on every platform. Qt 6 has no codec for it, and the table is small.
#include <QByteArray>
#include <QString>

namespace win1252
{

// Characters the code page lacks become '?', one per character.
QByteArray encode(QStringView text);

// False when `bytes` holds one of the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D); `offset` then names the first.
bool decode(const QByteArray &bytes, QString &text, qsizetype *offset = nullptr);

// Whether the code page has the character (Latin-1 outside 0x80..0x9F).
bool canEncode(char32_t ch);

// The characters of `text` the code page lacks, each once, in order of
// appearance; empty when the whole text can be written.
QString unencodable(QStringView text);

} // namespace win1252
