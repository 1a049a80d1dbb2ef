#pragma once
// How many records the tables and the exchange hold, and how long a name may be.
#include <cstdint>

namespace tidelex {

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

} // namespace tidelex
