#pragma once
// The extension option bits under the names the extension pane gives them,
// shared by the pane and the comparison of configurations.
#include "Limits.h"
#include "StatusBits.h"

#include <QString>

struct OptionBit {
    const char *caption;
    int byte; // Status byte
    uint8_t bit;
};

// Options a technician sets on a Custom extension. Dial 61..68 are Status
// byte 2, bit k for code 61 + k.
inline constexpr OptionBit extensionOptions[8] = {
    {"Recall", 0, tidelex::ExtRecall},    {"Intrude", 1, tidelex::ExtIntrude},
    {"Rapid Ring", 1, tidelex::ExtRapid}, {"Night Bell Pickup", 1, tidelex::ExtNightPickup},
    {"Dial #", 1, tidelex::ExtHash},      {"Dial LD", 1, tidelex::ExtLD},
    {"Dial MF", 1, tidelex::ExtMF},       {"Dial 9", 4, tidelex::ExtDial9},
};

// Flags the class decides, shown read-only in the pane.
inline constexpr OptionBit extensionClassFlags[4] = {
    {"Night Bell", 0, tidelex::ExtNightBell},
    {"Emergency", 0, tidelex::ExtEmergency},
    {"COS 'B'", 1, tidelex::ExtCOSB},
    {"Direct Dial", 4, tidelex::ExtHotLine},
};

// The caption of an option bit: "Recall" ... "Dial 9", "Dial 61" ... "Dial 68"
// for Status byte 2, or empty when no option box edits it.
inline QString optionCaption(int byte, uint8_t bit)
{
    if (byte == 2) {
        for (int k = 0; k < tidelex::Dial6Codes; ++k) {
            if (bit == (1u << k))
                return QStringLiteral("Dial %1").arg(61 + k);
        }
    }
    for (const OptionBit &option : extensionOptions) {
        if (option.byte == byte && option.bit == bit)
            return QLatin1String(option.caption);
    }
    return QString();
}
