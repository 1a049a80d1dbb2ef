#pragma once
// The map of the Tidelex Analog exchange as the Programming Module presents
// it: the configuration memory and its blocks, where each field of the
// configuration image sits, the addresses the service commands read and
// write, and the bytes of the serial protocol. All of it is the exchange
// firmware's own and fixed; nothing here may change without the firmware.
#include <cstdint>

namespace ExchMap
{

// ---- The configuration memory -------------------------------------------

constexpr int MemorySize = 8192;    // the whole configuration image
constexpr int BaseAddress = 0x6000; // exchange address of image offset 0
constexpr int BlockSize = 128;      // bytes per block read or written
constexpr int BlockCount = MemorySize / BlockSize;

constexpr int address(int offset)
{
    return BaseAddress + offset;
}
constexpr int blockAddress(int block)
{
    return address(block * BlockSize);
}

// ---- Fields of the image, as offsets from BaseAddress --------------------
// clang-format off
// "Word" entries are two bytes, low byte first.
constexpr int WordSize = 2;

constexpr int ExtNumbers = 0;          // word per extension: ExtNum as BCD
constexpr int ExtStatus0 = 512;        // byte per extension
constexpr int ExtStatus1 = 768;
constexpr int ExtStatus2 = 1024;       // bit k = may dial 6(k+1)
constexpr int ExtHotLine = 1280;       // word per extension: hot-line digits + Status[4] bits
constexpr uint8_t HotLineOptionBits = 0xF0;   // of the high byte: Status[4]'s own
constexpr uint8_t HotLineHundredsBits = 0x0F; // of the high byte: the hundreds digit
constexpr int ExtGuaranteed = 1792;    // word per entry
constexpr int GuaranteedEntries = 128;
constexpr int ReservedZero = 2048;     // 256 bytes, always 0
constexpr int TieNumbers = 2304;       // word per tie line: DirNum
constexpr int TieStatus0 = 2560;       // byte per tie line
constexpr int TieStatus1 = 2688;
constexpr int TieExt1 = 2816;          // word per tie line: Ext1
constexpr int TieMask = 3072;          // words of the guaranteed-access mask
constexpr int TieMaskEntries = 64;
constexpr int Groups = 4352;           // one record per group
constexpr int GroupRecordSize = 16;
constexpr int GroupMemberCount = 2;    // within a record, after the DirNum word
constexpr int GroupType = 3;
constexpr int GroupMembers = 4;        // member bytes, 12 of them
constexpr int Dial6Routes = 4608;      // one route per code 61..68
constexpr int Dial6RouteSize = 16;
constexpr int Dial6RouteLines = 8;     // BCD words per route
constexpr int Dial9Route = 4864;
constexpr int Dial9RouteLines = 64;
constexpr int GroupNumberTable = 4992; // 4 bytes per group: BCD word of its number, 0, 0
constexpr int GroupNumberEntrySize = 4;
constexpr int ExtGroups = 5632;        // word per extension: Group as a flagged word
constexpr int SecondExtensions = 6144; // word per extension: a tie line's Ext2, flagged
constexpr int SystemMarker = 7936;     // the two marker bytes below
constexpr uint8_t SystemMarkerBytes[] = {0xFA, 0x05};
constexpr int Password = 7938;         // one character code per byte
constexpr int PasswordLength = 4;
constexpr int SlotCodes = 7951;        // one byte per cabinet slot, written by the exchange only
constexpr int SlotCodeCount = 18;
constexpr int Pin = 8096;              // the PIN word an upload writes
constexpr int PinWordLength = WordSize;
// clang-format on

// An upload clears everything below the system marker (blocks 0..61) and
// rewrites it; the marker, password and PIN go as words afterwards, and the
// rest of the top blocks, slot codes among them, stays the exchange's own.
constexpr int ClearedLength = SystemMarker;
constexpr int ClearedBlocks = ClearedLength / BlockSize;
static_assert(ClearedLength % BlockSize == 0, "the fill clears whole blocks");

// Board codes in the high nibble of a slot byte.
constexpr uint8_t SlotCodeBits = 0xF0;
constexpr uint8_t SlotCodeSubscriber = 0xC0;
constexpr uint8_t SlotCodeTieLine = 0x90;
constexpr uint8_t SlotCodeTone8 = 0xA0;
constexpr uint8_t SlotCodeEmpty = 0xF0;

// ---- Addresses of the service commands -----------------------------------

constexpr int FirmwareAddress = 0x000D; // the firmware version byte
constexpr uint8_t FirmwareVersion1 = 0x31;
constexpr int PasswordAddress = address(Password);
// The PIN as the service commands hold it: one byte per digit from the PIN
// word's address on.
constexpr int PinAddress = address(Pin);
constexpr int PinDigits = 4;
constexpr uint8_t PinDigitZero = 0x0A; // 1..9 stand for themselves
constexpr uint8_t PinDigitStar = 0x0B;
constexpr uint8_t PinDigitHash = 0x0C;
constexpr uint8_t PinNoDigit = 0xFF;

// The clock: eight bytes as read and as written, the time and date in BCD.
constexpr int ClockReadAddress = 0xC010;
constexpr int ClockWriteAddress = 0xC018;
enum ClockByte {
    ClockLead, // written as 0x00
    ClockSeconds,
    ClockMinutes,
    ClockHours,
    ClockControl, // written as 0x10
    ClockDay,
    ClockMonth,
    ClockYear, // two digits
    ClockLength
};
constexpr uint8_t ClockLeadValue = 0x00;
constexpr uint8_t ClockControlValue = 0x10;

// ---- The serial protocol --------------------------------------------------
// A command byte, then fields as upper-case hexadecimal digits: four for an
// address or a count, two for a byte.

namespace Cmd
{
constexpr char EnterSetup1 = 0x03;
constexpr char ReadBlock = 0x04;
constexpr char EnterSetup2 = 0x05;
constexpr char Ack = 0x06; // a verified block reply
constexpr char WriteBlock = 0x0C;
constexpr char Reboot = 0x0F;
constexpr char ReadByte = 0x11;
constexpr char WriteByte = 0x12;
constexpr char WriteWord = 0x14;
constexpr char Resend = 0x15; // the block reply again
constexpr char Fill = 0x18;
constexpr char ClockUpdate = 0x19;
} // namespace Cmd

// Bytes from the exchange with a meaning of their own.
namespace Reply
{
constexpr char Ack = 0x06;
constexpr char Refused = 0x0F;
constexpr char Timeout = 0x07;
} // namespace Reply

constexpr int AddressDigits = 4;
constexpr int CountDigits = 4;
constexpr int ByteDigits = 2;
constexpr int ByteReplyLength = ByteDigits;
// The block's digits, then two digits of its sum modulo 256.
constexpr int BlockReplyLength = BlockSize * ByteDigits + ByteDigits;

} // namespace ExchMap
