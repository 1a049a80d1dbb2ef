#pragma once
// The configuration of one exchange: the system record, the port tables,
// the groups and the two class tables. Records are never removed; they are
// switched off by their Active flag or by the board in their slot.
#include "NumberingPlan.h"
#include "Limits.h"
#include "BoardTypes.h"
#include "StatusBits.h"
#include "RecordKinds.h"

#include <QString>
#include <array>
#include <cstdint>

struct ExtRecord {
    QString Name;
    bool Active = false;
    bool TrueName = false;
    int16_t ExtNum = 0;
    int16_t Class = 0;
    std::array<uint8_t, tidelex::ExtStatusBytes> Status{};
    int16_t DirectDial = 0;
    int16_t Group = 0; // DirNum of the group the extension belongs to; 0 = none

    bool operator==(const ExtRecord &) const = default;
};

struct TieRecord {
    QString Name;
    bool Active = false;
    int16_t DirNum = 0;
    int16_t Ext1 = 0;
    int16_t Ext2 = 0;
    int16_t Class = 0;
    std::array<uint8_t, tidelex::TieStatusBytes> Status{};
    std::array<bool, 9> Dial6{}; // entries 0..7 = codes 61..68
    bool Dial9 = false;

    bool operator==(const TieRecord &) const = default;
};

struct GroupRecord {
    QString Name;
    bool Active = false;
    int16_t DirNum = 0;
    int16_t Type = 0; // tidelex::GroupMultipleCallForward, GroupHunt, GroupPickup
    int16_t Num = 0;  // entries of Exts in use
    std::array<int16_t, tidelex::GroupExtsSize> Exts{};

    bool operator==(const GroupRecord &) const = default;
};

struct ClassRecord {
    bool Active = false;
    QString Name;
    std::array<uint8_t, tidelex::ExtStatusBytes> Status{};
    QString IconName;
    bool Fixed = false;

    bool operator==(const ClassRecord &) const = default;
};

struct SystemRecord {
    QString Name;
    QString LastUpdate;
    int16_t PIN = 0;
    QString Pass;
    std::array<int16_t, tidelex::SlotCount> Slots{};
    std::array<int16_t, 4> GA{}; // guaranteed-access extension numbers; -1 = none

    bool operator==(const SystemRecord &) const = default;
};

struct Configuration {
    SystemRecord SysConfig;
    std::array<ExtRecord, tidelex::ExtTableSize> Extensions{};
    std::array<TieRecord, tidelex::TieTableSize> TieLines{};
    std::array<GroupRecord, tidelex::GroupTableSize> Groups{};
    std::array<ClassRecord, tidelex::ClassTableSize> ExtClasses{};
    std::array<ClassRecord, tidelex::ClassTableSize> TieClasses{};

    bool operator==(const Configuration &) const = default;
};

// Boards the cabinet reports (slot picture); kept beside the configuration,
// never reset by clearConfig.
using InstalledBoardList = std::array<int16_t, tidelex::SlotCount>;
InstalledBoardList defaultInstalledBoards();

// Fills both class tables with the built-in classes.
void initClasses(Configuration &config);

// Resets everything but the class tables to the empty defaults.
void clearConfig(Configuration &config);

// A configuration as a new run starts with it: cleared, built-in classes.
Configuration makeDefaultConfiguration();
