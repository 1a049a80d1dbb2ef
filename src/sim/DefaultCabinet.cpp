#include "DefaultCabinet.h"

#include "ExchangeSimulator.h"

namespace
{

// Where the fields of the configuration image sit: the simulator's own copy,
// written down from the exchange's layout rather than taken from the
// program's, so the two are checked against each other.
namespace Field
{
constexpr int ExtNumbers = 0;   // a word per extension
constexpr int ExtStatus0 = 512; // a byte per extension
constexpr int ExtStatus1 = 768;
constexpr int ExtStatus2 = 1024;
constexpr int ExtOptions = 1281; // high byte of the hot-line word per extension
constexpr int ExtGuaranteed = 1792;
constexpr int GuaranteedEntries = 128;
constexpr int TieNumbers = 2304; // a word per tie line
constexpr int TieStatus0 = 2560; // a byte per tie line
constexpr int TieExt1 = 2816;    // a word per tie line
constexpr int TieMask = 3072;
constexpr int TieMaskEntries = 64;
constexpr int Groups = 4352; // 16 bytes per group: number, count, type, member indexes
constexpr int Dial6Routes = 4608;
constexpr int Dial9Route = 4864;
constexpr int GroupNumberTable = 4992; // 4 bytes per group
constexpr int ExtGroups = 5632;        // a flagged word per extension
constexpr int SystemMarker = 7936;
constexpr int Password = 7938;
constexpr int Pin = 8096; // four digit bytes
} // namespace Field

constexpr quint8 GroupFlag = 0x58; // added to the high byte of a membership word
constexpr int FirstTieSlot = 2;
constexpr int TiesPerBoard = 4;

// A directory number as the exchange stores it: four decimal digits, the last two in the
// byte at the lower offset.
void putNumber(QByteArray &image, int offset, int number, quint8 highFlag = 0)
{
    auto bcd = [](int n) { return char(((n / 10) % 10) << 4 | (n % 10)); };
    image[offset] = bcd(number % 100);
    image[offset + 1] = char(quint8(bcd(number / 100)) + highFlag);
}

void putWords(QByteArray &image, int offset, int count, quint8 value)
{
    for (int k = 0; k < 2 * count; ++k)
        image[offset + k] = char(value);
}

enum : quint8 { Tone8 = 0xA0, Subscriber = 0xC0, TieLine = 0x90, Empty = 0xF0 };

} // namespace

QByteArray defaultCabinetImage()
{
    using Sim = ExchangeSimulator;
    QByteArray image(Sim::ConfigSize, '\0');

    // Cabinet: tone board, processor, two Subscriber boards, one Tie Line board.
    image.replace(Sim::SlotOffset, Sim::SlotCount, QByteArray(Sim::SlotCount, char(Empty)));
    image[Sim::SlotOffset + 0] = char(Tone8);
    image[Sim::SlotOffset + 2] = char(Subscriber);
    image[Sim::SlotOffset + 3] = char(Subscriber);
    image[Sim::SlotOffset + 4] = char(TieLine);

    // Extensions 100..115; the first two are officers, the rest crew.
    for (int i = 0; i < 16; ++i) {
        putNumber(image, Field::ExtNumbers + 2 * i, 100 + i);
        const bool officer = i < 2;
        image[Field::ExtStatus0 + i] = char(officer ? 128 : 0);
        image[Field::ExtStatus1 + i] = char(officer ? 215 : 224);
        image[Field::ExtStatus2 + i] = char(officer ? 255 : 0);
        image[Field::ExtOptions + 2 * i] = char(officer ? 0x10 : 0x00);
    }
    // No guaranteed-access extension: every mask word is FF FF.
    putWords(image, Field::ExtGuaranteed, Field::GuaranteedEntries, 0xFF);
    putWords(image, Field::TieMask, Field::TieMaskEntries, 0xFF);

    // Tie lines 900..903 on the board in slot 4, answered by extension 100: two shore
    // lines, a satellite line on route 61 and the public address.
    const quint8 tieClass[4] = {64, 64, 80, 32};
    const int firstTie = (4 - FirstTieSlot) * TiesPerBoard;
    for (int k = 0; k < 4; ++k) {
        const int t = firstTie + k;
        putNumber(image, Field::TieNumbers + 2 * t, 900 + k);
        putNumber(image, Field::TieExt1 + 2 * t, 100);
        image[Field::TieStatus0 + t] = char(tieClass[k]);
    }
    putNumber(image, Field::Dial6Routes, 902); // dial 61
    putNumber(image, Field::Dial9Route, 900);  // dial 9: both shore lines
    putNumber(image, Field::Dial9Route + 2, 901);

    // Hunt group 500 of extensions 102, 103 and 104.
    putNumber(image, Field::Groups, 500);
    image[Field::Groups + 2] = 3;
    image[Field::Groups + 3] = char(64);
    for (int m = 0; m < 3; ++m) {
        image[Field::Groups + 4 + m] = char(2 + m);
        putNumber(image, Field::ExtGroups + 2 * (2 + m), 500, GroupFlag);
    }
    for (int k = 0; k < 16; ++k)
        putNumber(image, Field::GroupNumberTable + 4 * k, 500 + k);

    image[Field::SystemMarker] = char(0xFA);
    image[Field::SystemMarker + 1] = char(0x05);
    image.replace(Field::Password, 4, "SHIP");
    // No PIN: the four digit bytes read as "no digit".
    image.replace(Field::Pin, 4, QByteArray(4, char(0xFF)));
    return image;
}
