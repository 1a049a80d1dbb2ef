#pragma once
// A small ship for the pane tests: two Subscriber boards (slots 2 and 3,
// extensions 0..15 numbered 100..115), one Tie Line board in slot 16 (tie
// lines 56..59) and three groups; and the ways the tests find and work the
// controls of panes and dialogs.
#include "ConfigDocument.h"
#include "Configuration.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

template <typename T> T *child(QObject &parent, const char *name)
{
    T *w = parent.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// A click where the user aims: on the tick of a box (a box reacts only on
// its tick and caption), in the middle of a button.
inline void clickBox(QAbstractButton *button)
{
    const bool box = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    QTest::mouseClick(button, Qt::LeftButton, {},
                      box ? QPoint(6, button->height() / 2) : button->rect().center());
}

inline void click(QObject &parent, const char *name)
{
    clickBox(child<QAbstractButton>(parent, name));
}

// Extension i joins class cls with the class's options.
inline void setClass(ConfigDocument &doc, int i, int cls)
{
    doc.config.Extensions[i].Class = int16_t(cls);
    doc.config.Extensions[i].Status = doc.config.ExtClasses[cls].Status;
}

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
        setClass(doc, i, ClassCrew);
    }
    c.Extensions[0].Name = QStringLiteral("Bridge");
    c.Extensions[1].Name = QStringLiteral("Mess");
    setClass(doc, 2, ClassOfficer);
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

// A document holding the small ship, as loaded.
struct SmallShip : ConfigDocument {
    SmallShip() { loadSmallShip(*this); }
};

// Types over the whole box without leaving it: the edit is still pending.
inline void typeOnly(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}
