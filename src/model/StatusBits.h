#pragma once
// Option bits of the extension and tie-line status bytes, and booleans as stored.
#include <cstdint>

namespace tidelex {

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


// Booleans as the 16-bit values the old tables and the exchange use.
constexpr int16_t VbTrue = -1;
constexpr int16_t VbFalse = 0;

} // namespace tidelex
