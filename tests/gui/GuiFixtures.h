#pragma once
// Configurations the window tests work on, built in code.
#include "ConfigDocument.h"
#include "Configuration.h"
#include "Equipment.h"
#include "ErrorList.h"
#include "NavTree.h"
#include "PortGrid.h"
#include "PortList.h"
#include "frmMain.h"

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>

namespace fixtures
{

using namespace tdl;

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

// The settings of the program go to a folder of the test's own.
inline void useTemporarySettings(const QTemporaryDir &dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog")).clear();
}

// One run of the program: the document and its window.
struct Session {
    ConfigDocument doc;
    frmMain window{doc};

    explicit Session(const QString &commandLine)
    {
        window.loadStep(commandLine);
        window.show();
    }
    NavTree *tree() { return window.findChild<NavTree *>(QStringLiteral("trvTables")); }
    ErrorList *errors() { return window.findChild<ErrorList *>(QStringLiteral("vsErrors")); }
    PortGrid *grid() { return window.findChild<PortGrid *>(QStringLiteral("vsPorts")); }
    PortList *list() { return window.findChild<PortList *>(QStringLiteral("lvPorts")); }
    QAction *action(const QString &name) { return window.findChild<QAction *>(name); }
    QString view() { return window.currentView()->objectName(); }
    void click(const QString &key) { tree()->setCurrentItem(tree()->findNode(key)); }
};

} // namespace fixtures
