#pragma once
// A small ship for the pane tests: two Subscriber boards (slots 2 and 3,
// extensions 0..15 numbered 100..115), one Tie Line board in slot 16 (tie
// lines 56..59) and three groups.
#include "ConfigDocument.h"
#include "Configuration.h"

#include <QLineEdit>
#include <QtTest>

inline void loadSmallShip(ConfigDocument &doc)
{
    using namespace tidelex;
    Configuration &c = doc.config;
    c = makeDefaultConfiguration();
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[3] = BoardSubscriber;
    c.SysConfig.Slots[16] = BoardTieLine;
    c.SysConfig.Pass = QStringLiteral("HMWS");
    for (int i = 0; i < 16; ++i) {
        ExtRecord &e = c.Extensions[i];
        e.Active = true;
        e.Name = QStringLiteral("Cabin %1").arg(i);
        e.Class = ClassCrew;
        e.Status = c.ExtClasses[ClassCrew].Status;
    }
    c.Extensions[0].Name = QStringLiteral("Bridge");
    c.Extensions[1].Name = QStringLiteral("Mess");
    c.Extensions[2].Class = ClassOfficer;
    c.Extensions[2].Status = c.ExtClasses[ClassOfficer].Status;
    for (int t = 56; t < 60; ++t) {
        TieRecord &tie = c.TieLines[t];
        tie.Active = true;
        tie.Name = QStringLiteral("Shore %1").arg(t - 55);
        tie.Ext1 = 100;
        tie.Ext2 = 0;
        tie.Class = TieClassShore;
        tie.Dial9 = true;
    }
    GroupRecord &hunt = c.Groups[0];
    hunt.Active = true;
    hunt.Name = QStringLiteral("Deck Hunt");
    hunt.DirNum = 546;
    hunt.Type = GroupHunt;
    GroupRecord &pickup = c.Groups[1];
    pickup.Active = true;
    pickup.Name = QStringLiteral("Galley Pickup");
    pickup.DirNum = 545;
    pickup.Type = GroupPickup;
    GroupRecord &spare = c.Groups[2];
    spare.Name = QStringLiteral("Spare Group");
    spare.DirNum = 544;
    doc.setConfigChanged(false);
}

// Types over the whole box without leaving it: the edit is still pending.
inline void typeOnly(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Types over the whole box and leaves it with Return, as a user would.
inline void typeAndCommit(QLineEdit *box, const QString &text)
{
    typeOnly(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}
