#pragma once
// A small ship's configuration whose records exercise the report rules:
// records on boards of the wrong kind, inactive records, an out-of-range
// number, mixed-case names, a group with a bad member count.
#include "Configuration.h"
#include "ReportOptions.h"

#include <QStringList>

namespace fixtures {

using namespace tidelex;

inline ReportOptions options(const QString &ticked)
{
    ReportOptions result;
    for (const QString &n : ticked.split(QLatin1Char(','), Qt::SkipEmptyParts))
        result.set(n.toInt(), true);
    return result;
}

inline void addExtension(Configuration &c, int index, int number, const char *name, int cls,
                         std::array<uint8_t, ExtStatusBytes> status = {}, int directDial = 0)
{
    ExtRecord &ext = c.Extensions[index];
    ext.Active = true;
    ext.ExtNum = int16_t(number);
    ext.Name = QString::fromLatin1(name);
    ext.Class = int16_t(cls);
    ext.Status = status;
    ext.DirectDial = int16_t(directDial);
}

inline void addTieLine(Configuration &c, int index, int dirNum, const char *name, int cls, int ext1,
                       int ext2)
{
    TieRecord &tie = c.TieLines[index];
    tie.Active = true;
    tie.DirNum = int16_t(dirNum);
    tie.Name = QString::fromLatin1(name);
    tie.Class = int16_t(cls);
    tie.Ext1 = int16_t(ext1);
    tie.Ext2 = int16_t(ext2);
    tie.Dial9 = false;
}

inline void addGroup(Configuration &c, int g, int dirNum, const char *name, int type,
                     QList<int> members, int num = -1)
{
    GroupRecord &group = c.Groups[g];
    group.Active = true;
    group.DirNum = int16_t(dirNum);
    group.Name = QString::fromLatin1(name);
    group.Type = int16_t(type);
    group.Num = int16_t(num >= 0 ? num : members.size());
    for (int m = 0; m < members.size() && m < GroupExtsSize; ++m)
        group.Exts[m] = int16_t(members[m]);
}

// Slot 2 Subscriber (extensions 0..7), slot 3 Tie Line (tie lines 4..7),
// slot 4 Subscriber (extensions 16..23), the other line slots empty.
inline Configuration ship()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = QStringLiteral("MV Tern");
    c.SysConfig.Slots[0] = BoardTone8;
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[3] = BoardTieLine;
    c.SysConfig.Slots[4] = BoardSubscriber;
    c.SysConfig.GA[0] = 120;

    addExtension(c, 0, 300, "delta", ClassOfficer, {128, 215, 255, 0, 16, 0});
    addExtension(c, 1, 120, "Bravo", ClassCustom, {0x80, 0xDD, 0x03, 0, 0x30, 0}, 150);
    addExtension(c, 2, 205, "alpha", ClassHotLine, {0, 36, 0, 0, 32, 0}, 120);
    c.Extensions[3].Name = QStringLiteral("switched off"); // inactive
    addExtension(c, 8, 330, "ghost on tie board", ClassCrew, {0, 224, 0, 0, 0, 0});
    addExtension(c, 16, 450, "charlie", ClassCrew, {0, 224, 0, 0, 0, 0});
    addExtension(c, 17, 1000, "echo", ClassDisabled);

    addTieLine(c, 0, 990, "ghost on subscriber board", TieClassShore, 300, 0);
    addTieLine(c, 4, 910, "Shore B", TieClassShore, 300, 500);
    c.TieLines[4].Dial9 = true;
    c.TieLines[4].Dial6[0] = c.TieLines[4].Dial6[1] = true;
    c.TieLines[4].Status[0] = TieDTMF | TieDDI;
    addTieLine(c, 5, 905, "PA Aft", TieClassPA, 300, 0);
    addTieLine(c, 7, 902, "Sat A", TieClassSatComm, 0, 0);
    c.TieLines[7].Dial6[7] = true;

    addGroup(c, 0, 520, "Mess", GroupHunt, {300, 120, 205});
    addGroup(c, 1, 500, "Deck", GroupMultipleCallForward, {});
    addGroup(c, 3, 510, "Bridge", GroupPickup,
             {205, 300, -1, 120, 450, 101, 102, 103, 104, 105, 106, 107, 108}, 14);
    c.Groups[2].Name = QStringLiteral("inactive");
    return c;
}

// "noExtensions", "noTieLines", "noGroups", "empty" (none of the three), else the ship.
inline Configuration byName(const QString &name)
{
    Configuration c = ship();
    if (name == QLatin1String("noExtensions")) {
        c.SysConfig.Slots[2] = c.SysConfig.Slots[4] = BoardEmpty;
        c.SysConfig.Slots[5] = BoardTieLine; // extensions 24..31 sit on a tie board
        c.Extensions[24].Active = true;
    }
    const bool empty = name == QLatin1String("empty");
    if (empty || name == QLatin1String("noTieLines")) {
        for (auto &tie : c.TieLines)
            tie.Active = false;
    }
    if (empty || name == QLatin1String("noGroups")) {
        for (auto &group : c.Groups)
            group.Active = false;
    }
    if (empty)
        c.SysConfig.Slots[2] = c.SysConfig.Slots[4] = BoardEmpty;
    return c;
}

} // namespace fixtures
