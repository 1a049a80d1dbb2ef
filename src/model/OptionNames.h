#pragma once
// The extension option bits under the names the extension pane gives them,
// shared by the pane and the comparison of configurations.
#include "tdlConsts.h"

struct OptionBit {
    const char *caption;
    int byte; // Status byte
    uint8_t bit;
};

// Options a technician sets on a Custom extension. Dial 61..68 are Status
// byte 2, bit k for code 61 + k.
inline constexpr OptionBit extensionOptions[8] = {
    {"Recall", 0, tdl::ExtRecall},    {"Intrude", 1, tdl::ExtIntrude},
    {"Rapid Ring", 1, tdl::ExtRapid}, {"Night Bell Pickup", 1, tdl::ExtNightPickup},
    {"Dial #", 1, tdl::ExtHash},      {"Dial LD", 1, tdl::ExtLD},
    {"Dial MF", 1, tdl::ExtMF},       {"Dial 9", 4, tdl::ExtDial9},
};

// Flags the class decides, shown read-only in the pane.
inline constexpr OptionBit extensionClassFlags[4] = {
    {"Night Bell", 0, tdl::ExtNightBell},
    {"Emergency", 0, tdl::ExtEmergency},
    {"COS 'B'", 1, tdl::ExtCOSB},
    {"Direct Dial", 4, tdl::ExtHotLine},
};
