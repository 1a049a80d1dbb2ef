#pragma once
// A small configuration without errors, built in code, for the tests.
#include "Configuration.h"
#include "Equipment.h"

namespace fixtures
{

using namespace tidelex;

// One subscriber board (extensions 0..7, numbers 101..108), one tie-line
// board (tie lines 4..7, slot 3), a hunt group 501 of 101 and 102, and a
// valid password: a configuration without errors.
inline Configuration smallShip()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = QStringLiteral("MV Test");
    c.SysConfig.Pass = QStringLiteral("ABCD");
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[3] = BoardTieLine;
    const char *names[] = {"Bridge", "Galley", "Mess",  "Engine",
                           "Radio",  "Master", "Chief", "Deck"};
    for (int i = 0; i < 8; ++i) {
        ExtRecord &e = c.Extensions[i];
        e.Active = true;
        e.Name = QString::fromLatin1(names[i]);
        e.TrueName = true;
        e.ExtNum = int16_t(101 + i);
        e.Class = ClassCrew;
        e.Status = c.ExtClasses[ClassCrew].Status;
    }
    for (int t = 4; t < 8; ++t) {
        TieRecord &tie = c.TieLines[t];
        tie.Active = true;
        tie.Name = QStringLiteral("Shore %1").arg(t - 3);
        tie.Class = TieClassShore;
        tie.Ext1 = 101;
        tie.Dial9 = false;
    }
    GroupRecord &g = c.Groups[0];
    g.Active = true;
    g.Name = QStringLiteral("Officers");
    g.DirNum = 501;
    g.Type = GroupHunt;
    g.Num = 2;
    g.Exts[0] = 101;
    g.Exts[1] = 102;
    return c;
}

} // namespace fixtures
