#pragma once
// Bounds, board codes and option bits of the Tidelex Analog configuration.
#include <cstdint>

namespace tdl {

// Table sizes (one spare record above what the exchange uses, as the files expect).
constexpr int ExtTableSize = 129;   // indexes 0..128
constexpr int TieTableSize = 65;    // indexes 0..64
constexpr int GroupTableSize = 17;  // indexes 0..16
constexpr int ClassTableSize = 33;  // indexes 0..32

// What the exchange holds.
constexpr int MaxExtensions = 120;  // extension indexes 0..119
constexpr int MaxTieLines = 60;     // tie-line indexes 0..59
constexpr int FileTieLines = 64;    // tie-line records 0..63 are written to files
constexpr int MaxGroups = 16;       // groups 0..15
constexpr int MaxClasses = 32;      // classes 0..31
constexpr int SlotCount = 18;       // slots 0..17
constexpr int FirstLineSlot = 2;
constexpr int LastLineSlot = 16;
constexpr int LineSlotCount = 15;
constexpr int ExtsPerBoard = 8;
constexpr int TiesPerBoard = 4;
constexpr int GAEntries = 3;        // GA[0..2] used, GA[3] spare
constexpr int GroupExtsSize = 13;   // Exts[0..12]
constexpr int MaxGroupMembers = 12;
constexpr int Dial6Codes = 8;       // 61..68
constexpr int ExtStatusBytes = 6;
constexpr int TieStatusBytes = 3;

// The longest name the editor writes from the clipboard: room for every
// generated name ("New Ext Brd 15 Port 8"), short enough for the report cells.
constexpr int MaxNameLength = 30;

// Board type codes of the slot list.
enum BoardType : int16_t {
    BoardEmpty = 0,
    BoardSubscriber = 1,
    BoardTieLine = 2,
    BoardProcessor = 3,
    BoardTone8 = 4,
    BoardTone16 = 5,
    BoardRinging = 6,
};
constexpr int BoardTypeCount = 7;

// Extension option bits: Status byte 0.
constexpr uint8_t ExtRecall = 0x80;
constexpr uint8_t ExtEmergency = 0x10;
constexpr uint8_t ExtNightBell = 0x08;
// Status byte 1.
constexpr uint8_t ExtMF = 0x80;
constexpr uint8_t ExtLD = 0x40;
constexpr uint8_t ExtCOSB = 0x20;
constexpr uint8_t ExtHash = 0x10;
constexpr uint8_t ExtRapid = 0x08;
constexpr uint8_t ExtNightPickup = 0x04; // "8"
constexpr uint8_t ExtOfficerBit = 0x02;
constexpr uint8_t ExtIntrude = 0x01;
// Status byte 2: bit k = may dial 6(k+1).
// Status byte 4.
constexpr uint8_t ExtHotLine = 0x20;
constexpr uint8_t ExtDial9 = 0x10;

// Tie-line Status byte 0.
constexpr uint8_t TieOutDTMF = 0x80;
constexpr uint8_t TieInDTMF = 0x40;
constexpr uint8_t TieDTMF = TieOutDTMF | TieInDTMF;
constexpr uint8_t TieClassBits = 0x30;
constexpr uint8_t TieDDI = 0x08;

// Group types.
constexpr int16_t GroupMultipleCallForward = 0;
constexpr int16_t GroupHunt = 64;
constexpr int16_t GroupPickup = 128;

// Built-in extension classes.
constexpr int ClassCustom = 0;
constexpr int ClassOfficer = 1;
constexpr int ClassCrew = 2;
constexpr int ClassNightBell = 3;
constexpr int ClassEmergency = 4;
constexpr int ClassHotLine = 5;
constexpr int ClassDisabled = 6;

// Built-in tie-line classes.
constexpr int TieClassShore = 0;
constexpr int TieClassSatComm = 1;
constexpr int TieClassPA = 2;
constexpr int TieClassPager = 3;

// Booleans as the 16-bit values the old tables and the exchange use.
constexpr int16_t VbTrue = -1;
constexpr int16_t VbFalse = 0;

} // namespace tdl
