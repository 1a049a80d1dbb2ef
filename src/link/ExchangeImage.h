#pragma once
// The exchange memory image: the 8192 bytes the exchange keeps its whole
// configuration in (exchange addresses 0x6000..0x7FFF), and the conversion
// between that image and the configuration tables in both directions.
// The layout is the exchange firmware's own; every offset below is fixed.
#include "BcdCodec.h"
#include "Configuration.h"

#include <QByteArray>
#include <QList>

constexpr int ExchMemorySize = 8192;
constexpr int ExchBaseAddress = 0x6000;
constexpr int ExchBlockSize = 128;
constexpr int ExchBlockCount = 64;

// Offsets into the image, in bytes from exchange address 0x6000.
namespace ExchLayout {
constexpr int ExtNumbers = 0;          // 2 bytes per extension: ExtNum as BCD word
constexpr int ExtStatus0 = 512;        // 1 byte per extension
constexpr int ExtStatus1 = 768;
constexpr int ExtStatus2 = 1024;       // bit k = may dial 6(k+1)
constexpr int ExtHotLine = 1280;       // 2 bytes per extension: hot-line digits + Status[4] bits
constexpr int ExtGuaranteed = 1792;    // 2 bytes per entry, 128 entries
constexpr int GuaranteedEntries = 128;
constexpr int ReservedZero = 2048;     // 256 bytes, always 0
constexpr int TieNumbers = 2304;       // 2 bytes per tie line: DirNum
constexpr int TieStatus0 = 2560;       // 1 byte per tie line
constexpr int TieStatus1 = 2688;
constexpr int TieExt1 = 2816;          // 2 bytes per tie line: Ext1
constexpr int TieMask = 3072;          // 64 words of GAMask
constexpr int TieMaskEntries = 64;
constexpr int Groups = 4352;           // 16 bytes per group
constexpr int GroupRecordSize = 16;
constexpr int GroupMembers = 4;        // member bytes start at +4; 12 of them
constexpr int Dial6Routes = 4608;      // 16 bytes per route 61..68 (8 BCD words)
constexpr int Dial6RouteSize = 16;
constexpr int Dial6RouteLines = 8;
constexpr int Dial9Route = 4864;       // 64 BCD words
constexpr int Dial9RouteLines = 64;
constexpr int GroupNumberTable = 4992; // 16 entries of 4 bytes: 500 + k, 0, 0
constexpr int ExtGroups = 5632;        // 2 bytes per extension: Group as flagged word
constexpr int SecondExtensions = 6144; // 2 bytes per extension: a tie line's Ext2, flagged
constexpr int SystemMarker = 7936;     // 0xFA, 0x05
constexpr int Password = 7938;         // 4 character codes
constexpr int PasswordLength = 4;
constexpr int SlotCodes = 7951;        // 18 bytes, written by the exchange only
constexpr int Pin = 8096;              // PIN word, low byte first
} // namespace ExchLayout

// Board codes in the high nibble of the slot bytes the exchange reports.
constexpr uint8_t SlotCodeSubscriber = 0xC0;
constexpr uint8_t SlotCodeTieLine = 0x90;
constexpr uint8_t SlotCodeTone8 = 0xA0;
constexpr uint8_t SlotCodeEmpty = 0xF0;

struct ImageBuild {
    QByteArray image;            // ExchMemorySize bytes
    QList<int> missingMembers;   // group member numbers with no active extension, once per member
};

// Encodes the tables into a fresh image. Never opens a window: members
// that match no active extension are listed in missingMembers (their byte
// stays 0) and the caller shows "Can not find extension" for each.
ImageBuild BuildExchMemory(const Configuration &config);

// Replaces the configuration by the contents of a downloaded image:
// ClearConfig, then every table filled from the image. The class tables are
// only read (to find each extension's class). An image that is not exactly
// ExchMemorySize bytes is refused with false and the configuration is left
// untouched.
bool decodeExchMemory(const QByteArray &image, Configuration &config);

// The highest number, counting down from 546, that no group's DirNum equals.
int NextFreeGroupNumber(const Configuration &config);

// The slot bytes as the exchange fills them in for the boards it holds
// (board code in the high nibble). The program never writes them into an
// image it sends; the simulator and tests use this to stand in for the
// exchange.
uint8_t slotCodeForBoard(int boardType);
void stampSlotCodes(QByteArray &image, const std::array<int16_t, tdl::SlotCount> &boards);
