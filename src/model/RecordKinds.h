#pragma once
// Group types and the built-in extension and tie-line classes.
#include <cstdint>

namespace tidelex {

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

} // namespace tidelex
