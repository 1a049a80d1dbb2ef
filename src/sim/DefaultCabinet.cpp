#include "DefaultCabinet.h"

namespace
{

// A directory number as the exchange stores it: four decimal digits, the last two in the
// byte at the lower offset.
void putNumber(QByteArray &image, int offset, int number, quint8 highFlag = 0)
{
    auto bcd = [](int n) { return char(((n / 10) % 10) << 4 | (n % 10)); };
    image[offset] = bcd(number % 100);
    image[offset + 1] = char(quint8(bcd(number / 100)) + highFlag);
}

enum : quint8 { Tone8 = 0xA0, Subscriber = 0xC0, TieLine = 0x90, Empty = 0xF0 };

} // namespace

QByteArray defaultCabinetImage()
{
    QByteArray image(8192, '\0');

    // Cabinet: tone board, processor, two Subscriber boards, one Tie Line board.
    for (int s = 0; s < 18; ++s)
        image[7951 + s] = char(Empty);
    image[7951 + 0] = char(Tone8);
    image[7951 + 2] = char(Subscriber);
    image[7951 + 3] = char(Subscriber);
    image[7951 + 4] = char(TieLine);

    // Extensions 100..115; the first two are officers, the rest crew.
    for (int i = 0; i < 16; ++i) {
        putNumber(image, 2 * i, 100 + i);
        const bool officer = i < 2;
        image[512 + i] = char(officer ? 128 : 0);
        image[768 + i] = char(officer ? 215 : 224);
        image[1024 + i] = char(officer ? 255 : 0);
        image[1281 + 2 * i] = char(officer ? 0x10 : 0x00);
    }
    // No guaranteed-access extension: every mask word is FF FF.
    for (int k = 0; k < 128; ++k)
        image[1792 + 2 * k] = image[1793 + 2 * k] = char(0xFF);
    for (int k = 0; k < 64; ++k)
        image[3072 + 2 * k] = image[3073 + 2 * k] = char(0xFF);

    // Tie lines 900..903 on the board in slot 4 (tie-line entries 8..11: four entries per
    // slot from slot 2), answered by extension 100: two shore lines, a satellite line on
    // route 61 and the public address.
    const quint8 tieClass[4] = {64, 64, 80, 32};
    const int firstTie = (4 - 2) * 4;
    for (int k = 0; k < 4; ++k) {
        const int t = firstTie + k;
        putNumber(image, 2304 + 2 * t, 900 + k);
        putNumber(image, 2816 + 2 * t, 100);
        image[2560 + t] = char(tieClass[k]);
    }
    putNumber(image, 4608, 902); // dial 61
    putNumber(image, 4864, 900); // dial 9: both shore lines
    putNumber(image, 4864 + 2, 901);

    // Hunt group 500 of extensions 102, 103 and 104.
    putNumber(image, 4352, 500);
    image[4352 + 2] = 3;
    image[4352 + 3] = char(64);
    for (int m = 0; m < 3; ++m) {
        image[4352 + 4 + m] = char(2 + m);
        putNumber(image, 5632 + 2 * (2 + m), 500, 0x58);
    }
    for (int k = 0; k < 16; ++k)
        putNumber(image, 4992 + 4 * k, 500 + k);

    image[7936] = char(0xFA);
    image[7937] = char(0x05);
    image.replace(7938, 4, "SHIP");
    // No PIN: the four digit bytes at 0x7FA0 read as "no digit".
    for (int k = 0; k < 4; ++k)
        image[8096 + k] = char(0xFF);
    return image;
}
