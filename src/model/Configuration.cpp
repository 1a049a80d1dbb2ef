#include "Configuration.h"

#include "TypeNames.h"

using namespace tidelex;

InstalledBoardList defaultInstalledBoards()
{
    InstalledBoardList boards{};
    boards[1] = BoardProcessor;
    boards[17] = BoardRinging;
    return boards;
}

namespace {

struct BuiltInClass {
    const char *name;
    std::array<uint8_t, ExtStatusBytes> status;
    const char *icon;
    bool fixed;
};

const BuiltInClass builtInExtClasses[] = {
    {"Custom", {0, 0, 0, 0, 0, 0}, "Ext", false},
    {"Officer", {128, 215, 255, 0, 16, 0}, "ExtCosA", false},
    {"Crew", {0, 224, 0, 0, 0, 0}, "ExtCosB", false},
    {"Night Bell", {8, 36, 0, 0, 0, 0}, "Ext", true},
    {"Emergency Phone", {16, 36, 0, 0, 0, 0}, "Ext", true},
    {"Hot Line", {0, 36, 0, 0, 32, 0}, "Ext", true},
    {"Disabled", {0, 0, 0, 0, 0, 0}, "Disabled", true},
};

} // namespace

void initClasses(Configuration &config)
{
    for (int c = 0; c < MaxClasses; ++c)
        config.ExtClasses[c].Active = false;
    int index = 0;
    for (const auto &builtIn : builtInExtClasses) {
        ClassRecord &cls = config.ExtClasses[index++];
        cls.Active = true;
        cls.Name = QString::fromLatin1(builtIn.name);
        cls.Status = builtIn.status;
        cls.IconName = QString::fromLatin1(builtIn.icon);
        cls.Fixed = builtIn.fixed;
    }
    for (const TieClassNames &builtIn : builtInTieClasses) {
        ClassRecord &cls = config.TieClasses[builtIn.index];
        cls.Active = true;
        cls.Name = QString::fromLatin1(builtIn.name);
        cls.Status[0] = builtIn.status0;
        cls.Status[1] = 0;
        cls.IconName = QStringLiteral("Tie");
    }
}

void clearConfig(Configuration &config)
{
    SystemRecord &sys = config.SysConfig;
    sys.Name.clear();
    sys.LastUpdate.clear();
    sys.PIN = 0;
    sys.Pass.clear();
    for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot)
        sys.Slots[slot] = BoardEmpty;
    for (int k = 0; k < GAEntries; ++k)
        sys.GA[k] = -1;

    for (int i = 0; i < 128; ++i) {
        ExtRecord &ext = config.Extensions[i];
        ext.Active = false;
        ext.Name = QStringLiteral("New Ext Brd %1 Port %2").arg(i / 8 + 1).arg(i % 8 + 1);
        ext.TrueName = true;
        ext.ExtNum = static_cast<int16_t>(defaultExtensionNumber(i));
        ext.Class = ClassDisabled;
        for (int b = 0; b < 5; ++b)
            ext.Status[b] = 0;
        ext.DirectDial = 0;
        ext.Group = 0;
    }
    for (int t = 0; t < MaxTieLines; ++t) {
        TieRecord &tie = config.TieLines[t];
        tie.Active = false;
        tie.Name = QStringLiteral("New Tie Brd %1 Port %2").arg(t / 4 + 1).arg(t % 4 + 1);
        tie.DirNum = static_cast<int16_t>(defaultTieLineNumber(t));
        tie.Ext1 = 103;
        tie.Ext2 = 0;
        tie.Class = TieClassShore;
        tie.Status[0] = 0;
        tie.Status[1] = 0;
        for (int k = 0; k < Dial6Codes; ++k)
            tie.Dial6[k] = false;
        tie.Dial9 = true;
    }
    for (int g = 0; g < MaxGroups; ++g) {
        GroupRecord &group = config.Groups[g];
        group.Name.clear();
        group.Active = false;
        group.DirNum = 0;
        group.Type = 0;
        group.Num = 0;
        for (int m = 0; m < MaxGroupMembers; ++m)
            group.Exts[m] = 0;
    }
}

Configuration makeDefaultConfiguration()
{
    Configuration config;
    const InstalledBoardList boards = defaultInstalledBoards();
    config.SysConfig.Slots[1] = boards[1];
    config.SysConfig.Slots[17] = boards[17];
    initClasses(config);
    clearConfig(config);
    return config;
}
