// The editing panes driven as a user drives them: typing and leaving a box,
// ticking boxes, choosing in combos and grids, answering the group questions.
#include "ChoiceDelegate.h"
#include "ConfigDocument.h"
#include "ExtensionPane.h"
#include "GroupPane.h"
#include "Names.h"
#include "PaneFixture.h"
#include "PaneSupport.h"
#include "ScriptedPrompter.h"
#include "SystemPane.h"
#include "TieLinePane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

using namespace tdl;

namespace {

template <typename T> T *child(QWidget &pane, const char *name)
{
    T *w = pane.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QString lastText(const QSignalSpy &spy)
{
    return spy.isEmpty() ? QString() : spy.last().at(0).toString();
}

bool cellRed(QTableWidget *grid, int row)
{
    return grid->item(row, 0)->background().color() == panes::errorColour() &&
           grid->item(row, 0)->background().style() != Qt::NoBrush;
}

QList<int> redRows(QTableWidget *grid)
{
    QList<int> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (cellRed(grid, r))
            rows << r;
    }
    return rows;
}

void setClass(ConfigDocument &doc, int i, int cls)
{
    doc.config.Extensions[i].Class = int16_t(cls);
    doc.config.Extensions[i].Status = doc.config.ExtClasses[cls].Status;
}

} // namespace

class TestPanes : public QObject {
    Q_OBJECT
private slots:
    void extensionNumber_data();
    void extensionNumber();
    void hotLineTarget_data();
    void hotLineTarget();
    void optionBoxes_data();
    void optionBoxes();
    void classChoice_data();
    void classChoice();
    void extensionGroupList_data();
    void extensionGroupList();
    void pendingEditStored_data();
    void pendingEditStored();
    void focusLeavingCommits();
    void showingChangesNothing_data();
    void showingChangesNothing();
    void tieClassShown_data();
    void tieClassShown();
    void tieClassChosen_data();
    void tieClassChosen();
    void tieDesignatedGrid_data();
    void tieDesignatedGrid();
    void groupTypeQuestion_data();
    void groupTypeQuestion();
    void disableGroup_data();
    void disableGroup();
    void memberCompaction_data();
    void memberCompaction();
    void memberHighlights_data();
    void memberHighlights();
    void gaCompaction_data();
    void gaCompaction();
    void password_data();
    void password();
    void tiePin_data();
    void tiePin();
    void delegateWritesChosenNumber_data();
    void delegateWritesChosenNumber();
};

// ---------------------------------------------------------------- extension

void TestPanes::extensionNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("changed");

    const QString invalid = QStringLiteral("WARNING: Extension Number %1 is invalid");
    const QString inUse = QStringLiteral("WARNING: Extension Number %1 Already in Use");
    QTest::newRow("above range") << "600" << 600 << invalid.arg(600) << true << true;
    QTest::newRow("below range") << "99" << 99 << invalid.arg(99) << true << true;
    QTest::newRow("highest valid") << "499" << 499 << QString() << false << true;
    QTest::newRow("duplicate of a live extension") << "100" << 100 << inUse.arg(100) << true << true;
    // Record 40 sits on an empty slot but still holds number 140.
    QTest::newRow("duplicate on an empty slot") << "140" << 140 << inUse.arg(140) << true << true;
    QTest::newRow("free number") << "250" << 250 << QString() << false << true;
    QTest::newRow("left unchanged") << "103" << 103 << QString() << false << false;
    QTest::newRow("not a number") << "abc" << 103 << invalid.arg(QStringLiteral("abc")) << false
                                  << false;
    QTest::newRow("too large to store") << "70000" << 103 << invalid.arg(70000) << false << false;
}

void TestPanes::extensionNumber()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, status);
    QFETCH(bool, red);
    QFETCH(bool, changed);

    ConfigDocument doc;
    loadSmallShip(doc);
    ExtensionPane pane(doc);
    QSignalSpy statusSpy(&pane, &ExtensionPane::statusMessage);
    QSignalSpy editSpy(&doc, &ConfigDocument::edited);
    pane.ShowExtension(3);
    auto *box = child<QLineEdit>(pane, "txtExtNo");

    typeAndCommit(box, typed);

    QCOMPARE(int(doc.config.Extensions[3].ExtNum), stored);
    QCOMPARE(lastText(statusSpy), status);
    QCOMPARE(panes::fieldInError(box), red);
    QCOMPARE(box->palette().color(QPalette::Base) == panes::errorColour(), red);
    QCOMPARE(doc.ConfigChanged(), changed);
    QCOMPARE(editSpy.isEmpty(), !changed);
    QCOMPARE(box->text(), QString::number(stored));
}

void TestPanes::hotLineTarget_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("red");

    QTest::newRow("itself") << "104" << 104 << "ERROR: Hotline accessing itself!" << true;
    QTest::newRow("another extension") << "100" << 100 << QString() << false;
    QTest::newRow("record on an empty slot") << "140" << 140 << QString() << false;
    QTest::newRow("no such number")
        << "300" << 300 << "WARNING: Extension Number 300 not Found in system" << true;
    QTest::newRow("zero") << "0" << 0 << "WARNING: Extension Number 0 not Found in system" << true;
}

void TestPanes::hotLineTarget()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, status);
    QFETCH(bool, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    setClass(doc, 4, ClassHotLine);
    doc.config.Extensions[4].DirectDial = 105;
    ExtensionPane pane(doc);
    QSignalSpy statusSpy(&pane, &ExtensionPane::statusMessage);
    pane.ShowExtension(4);
    auto *box = child<QLineEdit>(pane, "txtExtDD");
    QVERIFY(box->isVisibleTo(&pane));

    typeAndCommit(box, typed);

    QCOMPARE(int(doc.config.Extensions[4].DirectDial), stored);
    QCOMPARE(lastText(statusSpy), status);
    QCOMPARE(panes::fieldInError(box), red);
    QVERIFY(doc.ConfigChanged());
}

void TestPanes::optionBoxes_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("Officer adds Rapid Ring") << ClassOfficer << "chkSub_2" << 1 << 0x08 << true;
    QTest::newRow("Officer drops Dial 9") << ClassOfficer << "chkSub_7" << 4 << 0x10 << true;
    QTest::newRow("Crew drops Dial LD") << ClassCrew << "chkSub_5" << 1 << 0x40 << true;
    QTest::newRow("Crew adds Recall") << ClassCrew << "chkSub_0" << 0 << 0x80 << true;
    QTest::newRow("Crew adds 63") << ClassCrew << "chkSub6_2" << 2 << 0x04 << true;
    QTest::newRow("Custom adds Intrude") << ClassCustom << "chkSub_1" << 1 << 0x01 << true;
    QTest::newRow("Night Bell is fixed") << ClassNightBell << "chkSub_0" << 0 << 0x80 << false;
    QTest::newRow("Hot Line is fixed") << ClassHotLine << "chkSub6_0" << 2 << 0x01 << false;
    QTest::newRow("Disabled is fixed") << ClassDisabled << "chkSub_6" << 1 << 0x80 << false;
}

void TestPanes::optionBoxes()
{
    QFETCH(int, cls);
    QFETCH(QString, box);
    QFETCH(int, byte);
    QFETCH(int, bit);
    QFETCH(bool, enabled);

    ConfigDocument doc;
    loadSmallShip(doc);
    setClass(doc, 3, cls);
    auto expected = doc.config.Extensions[3].Status;
    expected[byte] ^= uint8_t(bit);
    ExtensionPane pane(doc);
    pane.ShowExtension(3);
    auto *check = pane.findChild<QCheckBox *>(box);
    QVERIFY(check);
    QCOMPARE(check->isEnabled(), enabled);
    if (!enabled) {
        QCOMPARE(check->isChecked(), bool(doc.config.Extensions[3].Status[byte] & bit));
        return;
    }

    check->click();

    QCOMPARE(int(doc.config.Extensions[3].Class), ClassCustom);
    QCOMPARE(doc.config.Extensions[3].Status, expected);
    QCOMPARE(child<QComboBox>(pane, "cboExtClass")->currentText(), QStringLiteral("Custom"));
    QVERIFY(doc.ConfigChanged());
    // The boxes stay usable: a Custom extension keeps its own options.
    QVERIFY(check->isEnabled());
}

void TestPanes::classChoice_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("expectedClass");
    QTest::addColumn<bool>("hotLineBox");
    QTest::addColumn<bool>("greyNode");

    QTest::newRow("Crew to Hot Line") << ClassCrew << "Hot Line" << ClassHotLine << true << false;
    QTest::newRow("Crew to Disabled") << ClassCrew << "Disabled" << ClassDisabled << false << true;
    QTest::newRow("Hot Line to Officer") << ClassHotLine << "Officer" << ClassOfficer << false
                                         << false;
    QTest::newRow("Officer to Custom keeps bits") << ClassOfficer << "Custom" << ClassCustom
                                                  << false << false;
}

void TestPanes::classChoice()
{
    QFETCH(int, from);
    QFETCH(QString, chosen);
    QFETCH(int, expectedClass);
    QFETCH(bool, hotLineBox);
    QFETCH(bool, greyNode);

    ConfigDocument doc;
    loadSmallShip(doc);
    setClass(doc, 6, from);
    const auto before = doc.config.Extensions[6].Status;
    ExtensionPane pane(doc);
    QSignalSpy greySpy(&pane, &ExtensionPane::nodeDisabledChanged);
    pane.ShowExtension(6);
    auto *combo = child<QComboBox>(pane, "cboExtClass");

    combo->setCurrentIndex(combo->findText(chosen));

    const ExtRecord &e = doc.config.Extensions[6];
    QCOMPARE(int(e.Class), expectedClass);
    QCOMPARE(e.Status, expectedClass == ClassCustom ? before
                                                    : doc.config.ExtClasses[expectedClass].Status);
    QCOMPARE(child<QLineEdit>(pane, "txtExtDD")->isVisibleTo(&pane), hotLineBox);
    QCOMPARE(greySpy.size(), 1);
    QCOMPARE(greySpy.last().at(0).toString(), QStringLiteral("E006"));
    QCOMPARE(greySpy.last().at(1).toBool(), greyNode);
    QVERIFY(doc.ConfigChanged());
}

void TestPanes::extensionGroupList_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("red");
    QTest::addColumn<int>("chosenEntry");
    QTest::addColumn<int>("chosenGroup");

    const QString none;
    const QString hunt = QStringLiteral("Deck Hunt");
    QTest::newRow("no group") << 0 << QStringList{none, hunt} << false << 1 << 546;
    QTest::newRow("hunt group") << 546 << QStringList{none, hunt} << false << 0 << 0;
    // A pickup group is offered only to its own members, and is no valid choice.
    QTest::newRow("own pickup group")
        << 545 << QStringList{none, hunt, QStringLiteral("Galley Pickup")} << true << 1 << 546;
    QTest::newRow("inactive group") << 544 << QStringList{none, hunt, QStringLiteral("Spare Group")}
                                    << true << 0 << 0;
    QTest::newRow("no such group") << 530
                                   << QStringList{none, hunt, QStringLiteral("Unknown Group")}
                                   << true << 1 << 546;
}

void TestPanes::extensionGroupList()
{
    QFETCH(int, group);
    QFETCH(QStringList, items);
    QFETCH(bool, red);
    QFETCH(int, chosenEntry);
    QFETCH(int, chosenGroup);

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[5].Group = int16_t(group);
    ExtensionPane pane(doc);
    pane.ShowExtension(5);
    auto *combo = child<QComboBox>(pane, "cboExtGroup");

    QStringList shown;
    for (int k = 0; k < combo->count(); ++k)
        shown << combo->itemText(k);
    QCOMPARE(shown, items);
    QCOMPARE(combo->currentData().toInt(), group);
    QCOMPARE(panes::fieldInError(combo), red);
    QVERIFY(!doc.ConfigChanged());

    combo->setCurrentIndex(chosenEntry);
    QCOMPARE(int(doc.config.Extensions[5].Group), chosenGroup);
    QVERIFY(!panes::fieldInError(combo));
    QVERIFY(doc.ConfigChanged());
}

// ------------------------------------------------------------ leaving a pane

void TestPanes::pendingEditStored_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<bool>("bySwitching");
    QTest::addColumn<QString>("key");

    QTest::newRow("extension, pane left") << "E" << false << "E003";
    QTest::newRow("extension, other record shown") << "E" << true << "E003";
    QTest::newRow("tie line, pane left") << "T" << false << "T057";
    QTest::newRow("tie line, other record shown") << "T" << true << "T057";
    QTest::newRow("group, pane left") << "G" << false << "G001";
    QTest::newRow("group, other record shown") << "G" << true << "G001";
    QTest::newRow("system, pane left") << "S" << false << QString();
}

void TestPanes::pendingEditStored()
{
    QFETCH(QString, pane);
    QFETCH(bool, bySwitching);
    QFETCH(QString, key);

    ConfigDocument doc;
    loadSmallShip(doc);
    const QString typed = QStringLiteral("Chief Engineer");
    ExtensionPane ext(doc);
    TieLinePane tie(doc);
    GroupPane grp(doc);
    SystemPane sys(doc);
    QSignalSpy extNode(&ext, &ExtensionPane::nodeTextChanged);
    QSignalSpy tieNode(&tie, &TieLinePane::nodeTextChanged);
    QSignalSpy grpNode(&grp, &GroupPane::nodeTextChanged);
    QString stored;
    QSignalSpy *nodeSpy = nullptr;

    if (pane == QLatin1String("E")) {
        ext.ShowExtension(3);
        typeOnly(child<QLineEdit>(ext, "txtExtName"), typed);
        QVERIFY(doc.config.Extensions[3].Name != typed);
        bySwitching ? ext.ShowExtension(4) : ext.commitPending();
        stored = doc.config.Extensions[3].Name;
        QVERIFY(doc.config.Extensions[3].TrueName);
        nodeSpy = &extNode;
    } else if (pane == QLatin1String("T")) {
        tie.ShowTieLine(57);
        typeOnly(child<QLineEdit>(tie, "txtTieName"), typed);
        bySwitching ? tie.ShowTieLine(58) : tie.commitPending();
        stored = doc.config.TieLines[57].Name;
        nodeSpy = &tieNode;
    } else if (pane == QLatin1String("G")) {
        grp.ShowGroup(1);
        typeOnly(child<QLineEdit>(grp, "txtGrpName"), typed);
        bySwitching ? grp.ShowGroup(0) : grp.commitPending();
        stored = doc.config.Groups[1].Name;
        nodeSpy = &grpNode;
    } else {
        sys.DisplaySysConfig();
        typeOnly(child<QLineEdit>(sys, "txtSysName"), typed);
        sys.commitPending();
        stored = doc.config.SysConfig.Name;
    }

    QCOMPARE(stored, typed);
    QVERIFY(doc.ConfigChanged());
    if (nodeSpy) {
        QCOMPARE(nodeSpy->size(), 1);
        QCOMPARE(nodeSpy->first().at(0).toString(), key);
        QCOMPARE(nodeSpy->first().at(1).toString(), typed);
    }
}

void TestPanes::focusLeavingCommits()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    ExtensionPane pane(doc);
    pane.ShowExtension(3);
    pane.show();
    QApplication::setActiveWindow(&pane);
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    auto *name = child<QLineEdit>(pane, "txtExtName");
    name->setFocus();
    typeOnly(name, QStringLiteral("Purser"));

    child<QLineEdit>(pane, "txtExtNo")->setFocus();

    QCOMPARE(doc.config.Extensions[3].Name, QStringLiteral("Purser"));
    QVERIFY(doc.ConfigChanged());
    // The committed text is selected, ready to be typed over.
    QCOMPARE(name->selectedText(), QStringLiteral("Purser"));
}

void TestPanes::showingChangesNothing_data()
{
    QTest::addColumn<QString>("pane");
    QTest::newRow("extensions") << "E";
    QTest::newRow("tie lines") << "T";
    QTest::newRow("groups") << "G";
    QTest::newRow("system") << "S";
}

// Filling a pane writes into its controls; none of that may reach the tables.
void TestPanes::showingChangesNothing()
{
    QFETCH(QString, pane);

    ConfigDocument doc;
    loadSmallShip(doc);
    Configuration &c = doc.config;
    setClass(doc, 4, ClassHotLine);
    c.Extensions[4].DirectDial = 104;
    c.Extensions[5].Group = 545;
    c.Extensions[6].Group = 530;
    setClass(doc, 7, ClassCustom);
    c.Extensions[7].Status = {0x80, 0x41, 0x05, 0, 0x10, 0};
    c.Extensions[8].Class = 20; // a class that is not defined
    c.TieLines[57].Class = TieClassPA;
    c.TieLines[57].Dial9 = false;
    c.TieLines[58].Ext2 = 546;
    c.TieLines[59].Status[0] = TieDTMF | TieDDI;
    c.Groups[0].Num = 2;
    c.Groups[0].Exts = {101, 300, 177, -1};
    c.SysConfig.GA = {101, -1, 300, -1};
    c.SysConfig.PIN = 1234;
    const Configuration before = c;

    ExtensionPane ext(doc);
    TieLinePane tie(doc);
    GroupPane grp(doc);
    SystemPane sys(doc);
    if (pane == QLatin1String("E")) {
        for (int i = 0; i < MaxExtensions; ++i)
            ext.ShowExtension(i);
    } else if (pane == QLatin1String("T")) {
        for (int t = 0; t < MaxTieLines; ++t)
            tie.ShowTieLine(t);
    } else if (pane == QLatin1String("G")) {
        for (int g = 0; g < MaxGroups; ++g)
            grp.ShowGroup(g);
    } else {
        sys.DisplaySysConfig();
        sys.commitPending();
    }

    QVERIFY(c == before);
    QVERIFY(!doc.ConfigChanged());
}

// ---------------------------------------------------------------- tie lines

void TestPanes::tieClassShown_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("dial9Before");
    QTest::addColumn<bool>("dial9Usable");
    QTest::addColumn<bool>("dial9After");
    QTest::addColumn<bool>("incoming");

    QTest::newRow("shore keeps Dial 9") << TieClassShore << true << true << true << true;
    QTest::newRow("shore without Dial 9") << TieClassShore << false << true << false << true;
    QTest::newRow("sat comm loses Dial 9") << TieClassSatComm << true << false << false << true;
    QTest::newRow("PA loses Dial 9") << TieClassPA << true << false << false << false;
    QTest::newRow("pager without Dial 9") << TieClassPager << false << false << false << false;
}

void TestPanes::tieClassShown()
{
    QFETCH(int, cls);
    QFETCH(bool, dial9Before);
    QFETCH(bool, dial9Usable);
    QFETCH(bool, dial9After);
    QFETCH(bool, incoming);

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.TieLines[58].Class = int16_t(cls);
    doc.config.TieLines[58].Dial9 = dial9Before;
    TieLinePane pane(doc);
    pane.ShowTieLine(58);

    auto *box = child<QCheckBox>(pane, "chkTie9");
    QCOMPARE(box->isEnabled(), dial9Usable);
    QCOMPARE(box->isChecked(), dial9After);
    QCOMPARE(doc.config.TieLines[58].Dial9, dial9After);
    // Clearing the flag is an edit: the file on disk still has it.
    QCOMPARE(doc.ConfigChanged(), dial9Before != dial9After);
    QCOMPARE(child<QTableWidget>(pane, "vsTieExt")->isEnabled(), incoming);
    QCOMPARE(child<QCheckBox>(pane, "chkTieDDI")->isEnabled(), incoming);
    QCOMPARE(child<QCheckBox>(pane, "chkTieMCF")->isEnabled(), incoming);
}

void TestPanes::tieClassChosen_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("cls");

    QTest::newRow("Sat Comm") << "Sat Comm" << TieClassSatComm;
    QTest::newRow("Public Addr") << "Public Addr" << TieClassPA;
    QTest::newRow("Pager") << "Pager" << TieClassPager;
}

void TestPanes::tieClassChosen()
{
    QFETCH(QString, chosen);
    QFETCH(int, cls);

    ConfigDocument doc;
    loadSmallShip(doc);
    TieRecord &t = doc.config.TieLines[56];
    t.Status[0] = TieDTMF | TieDDI;
    TieLinePane pane(doc);
    pane.ShowTieLine(56);
    QVERIFY(child<QCheckBox>(pane, "chkTie9")->isChecked());
    auto *combo = child<QComboBox>(pane, "cboTieClass");

    combo->setCurrentIndex(combo->findText(chosen));

    QCOMPARE(int(t.Class), cls);
    for (int b = 0; b < TieStatusBytes; ++b)
        QCOMPARE(t.Status[b], doc.config.TieClasses[cls].Status[b]);
    QVERIFY(!t.Dial9);
    QVERIFY(!child<QCheckBox>(pane, "chkTie9")->isEnabled());
    QVERIFY(!child<QCheckBox>(pane, "chkTie9")->isChecked());
    QVERIFY(!child<QCheckBox>(pane, "chkTieDDI")->isChecked());
    QVERIFY(doc.ConfigChanged());
}

void TestPanes::tieDesignatedGrid_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("mcf");
    QTest::addColumn<int>("otherExt2"); // Ext2 of tie line 57, same Ext1
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");

    const QString unknownExt = QStringLiteral("Unkown Extension");
    QTest::newRow("default by number") << 0 << 0 << false << 0 << "101" << 101 << "Mess" << false;
    QTest::newRow("default by name") << 0 << 1 << false << 0 << "Mess" << 101 << "Mess" << false;
    QTest::newRow("default emptied") << 0 << 0 << false << 0 << "" << 0 << "" << true;
    QTest::newRow("default not a number") << 0 << 1 << false << 0 << "xyz" << 0 << "" << true;
    QTest::newRow("default names nothing") << 0 << 0 << false << 0 << "300" << 300 << unknownExt
                                           << true;
    QTest::newRow("default off the boards") << 0 << 0 << false << 0 << "140" << 140 << unknownExt
                                            << true;
    QTest::newRow("second extension") << 1 << 0 << false << 0 << "102" << 102 << "Cabin 2"
                                      << false;
    QTest::newRow("second agrees with other line")
        << 1 << 0 << false << 102 << "102" << 102 << "Cabin 2" << false;
    QTest::newRow("second clashes with other line")
        << 1 << 0 << false << 101 << "102" << 102 << "Cabin 2" << true;
    QTest::newRow("MCF group by number") << 1 << 0 << true << 0 << "546" << 546 << "Deck Hunt"
                                         << false;
    QTest::newRow("MCF group by name")
        << 1 << 1 << true << 0 << "Galley Pickup" << 545 << "Galley Pickup" << false;
    QTest::newRow("MCF group names nothing")
        << 1 << 0 << true << 0 << "550" << 550 << "Unkown Group" << true;
}

void TestPanes::tieDesignatedGrid()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, mcf);
    QFETCH(int, otherExt2);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, name);
    QFETCH(bool, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.TieLines[57].Ext2 = int16_t(otherExt2);
    TieLinePane pane(doc);
    pane.ShowTieLine(56);
    child<QCheckBox>(pane, "chkTieMCF")->setChecked(mcf);
    auto *grid = child<QTableWidget>(pane, "vsTieExt");

    grid->item(row, column)->setText(typed);

    const TieRecord &t = doc.config.TieLines[56];
    QCOMPARE(int(row == 0 ? t.Ext1 : t.Ext2), stored);
    QCOMPARE(grid->item(row, 0)->text(), stored ? QString::number(stored) : QString());
    QCOMPARE(grid->item(row, 1)->text(), name);
    QCOMPARE(cellRed(grid, row), red);
    QVERIFY(doc.ConfigChanged());
}

// ------------------------------------------------------------------ groups

void TestPanes::groupTypeQuestion_data()
{
    QTest::addColumn<int>("activeUsers");
    QTest::addColumn<int>("inactiveUsers");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("type");

    QTest::newRow("in use, No") << 1 << 0 << "Pick up" << int(QMessageBox::No) << 1
                                << int(GroupHunt);
    QTest::newRow("in use, Yes") << 2 << 0 << "Pick up" << int(QMessageBox::Yes) << 1
                                 << int(GroupPickup);
    QTest::newRow("unused") << 0 << 0 << "Pick up" << int(QMessageBox::No) << 0
                            << int(GroupPickup);
    QTest::newRow("used by inactive extensions only")
        << 0 << 2 << "Pick up" << int(QMessageBox::No) << 0 << int(GroupPickup);
    QTest::newRow("in use, to Multi-Call Forward")
        << 3 << 0 << "Multi-Call Forward" << int(QMessageBox::No) << 0
        << int(GroupMultipleCallForward);
}

void TestPanes::groupTypeQuestion()
{
    QFETCH(int, activeUsers);
    QFETCH(int, inactiveUsers);
    QFETCH(QString, chosen);
    QFETCH(int, answer);
    QFETCH(int, asked);
    QFETCH(int, type);

    ConfigDocument doc;
    loadSmallShip(doc);
    for (int i = 0; i < activeUsers; ++i)
        doc.config.Extensions[4 + i].Group = 546;
    for (int i = 0; i < inactiveUsers; ++i) {
        doc.config.Extensions[10 + i].Group = 546;
        doc.config.Extensions[10 + i].Active = false;
    }
    ScriptedPrompter prompts;
    prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    GroupPane pane(doc);
    pane.ShowGroup(0);
    auto *combo = child<QComboBox>(pane, "cboGrpType");

    combo->setCurrentIndex(combo->findText(chosen));

    QCOMPARE(prompts.asked.size(), asked);
    if (asked) {
        QCOMPARE(prompts.asked.first().title, QStringLiteral("Change Group Type"));
        QCOMPARE(prompts.asked.first().text,
                 QStringLiteral("This group is in use.\nAre you sure that you want to change it "
                                "to a Pickup group?"));
        QVERIFY(prompts.asked.first().buttons.testFlags(QMessageBox::Yes | QMessageBox::No));
    }
    QCOMPARE(int(doc.config.Groups[0].Type), type);
    QCOMPARE(combo->currentData().toInt(), type);
    QCOMPARE(doc.ConfigChanged(), type != GroupHunt);
    const bool pickup = type == GroupPickup;
    QCOMPARE(child<QLineEdit>(pane, "txtGroupLead")->text() ==
                 QStringLiteral("Not used for pickup groups"),
             pickup);
    QCOMPARE(child<QLineEdit>(pane, "txtGroupLead")->isEnabled(), !pickup);
}

void TestPanes::disableGroup_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("users");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("active");

    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("three users, No at the second") << 0 << 3 << QList<int>{yes, no} << 2 << true;
    QTest::newRow("three users, all Yes") << 0 << 3 << QList<int>{yes, yes, yes} << 3 << false;
    QTest::newRow("one user, No") << 0 << 1 << QList<int>{no} << 1 << true;
    QTest::newRow("unused") << 0 << 0 << QList<int>{} << 0 << false;
    QTest::newRow("inactive group switched on") << 2 << 0 << QList<int>{} << 0 << true;
}

void TestPanes::disableGroup()
{
    QFETCH(int, group);
    QFETCH(int, users);
    QFETCH(QList<int>, answers);
    QFETCH(int, asked);
    QFETCH(bool, active);

    ConfigDocument doc;
    loadSmallShip(doc);
    const int dirNum = doc.config.Groups[group].DirNum;
    for (int i = 0; i < users; ++i)
        doc.config.Extensions[7 + i].Group = int16_t(dirNum);
    ScriptedPrompter prompts;
    for (int a : answers)
        prompts.buttons.enqueue(QMessageBox::StandardButton(a));
    GroupPane pane(doc);
    QSignalSpy nodeSpy(&pane, &GroupPane::nodeDisabledChanged);
    pane.ShowGroup(group);
    const bool before = doc.config.Groups[group].Active;

    child<QCheckBox>(pane, "chkGrpActive")->click();

    QCOMPARE(prompts.asked.size(), asked);
    for (const Prompt &p : prompts.asked) {
        QCOMPARE(p.title, QStringLiteral("Disable Group"));
        QCOMPARE(p.text, QStringLiteral("This group is in use.\nAre you sure that you want to "
                                        "disable it?"));
    }
    QCOMPARE(doc.config.Groups[group].Active, active);
    QCOMPARE(child<QCheckBox>(pane, "chkGrpActive")->isChecked(), active);
    QCOMPARE(child<QGroupBox>(pane, "fmeGrpExts")->isVisibleTo(&pane), active);
    QCOMPARE(child<QComboBox>(pane, "cboGrpType")->isEnabled(), active);
    QCOMPARE(nodeSpy.size(), before != active ? 1 : 0);
    if (before != active)
        QCOMPARE(nodeSpy.first().at(1).toBool(), !active);
}

void TestPanes::memberCompaction_data()
{
    QTest::addColumn<QList<int>>("members");
    QTest::addColumn<QList<int>>("stale"); // left in Exts after the member count
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("expected");

    const QList<int> three{101, 102, 103};
    QList<int> twelve;
    for (int n = 100; n < 112; ++n)
        twelve << n;
    QList<int> twelveEdited = twelve;
    twelveEdited[0] = 112;

    QTest::newRow("middle row emptied") << three << QList<int>{} << 1 << "" << QList<int>{101, 103};
    QTest::newRow("first row emptied") << three << QList<int>{} << 0 << "" << QList<int>{102, 103};
    QTest::newRow("last row emptied") << three << QList<int>{} << 2 << "" << QList<int>{101, 102};
    QTest::newRow("not a number empties") << three << QList<int>{} << 0 << "junk"
                                          << QList<int>{102, 103};
    QTest::newRow("typed below a gap") << three << QList<int>{} << 6 << "104"
                                       << QList<int>{101, 102, 103, 104};
    QTest::newRow("replaced") << three << QList<int>{} << 2 << "110" << QList<int>{101, 102, 110};
    QTest::newRow("chosen by name") << QList<int>{101} << QList<int>{} << 1 << "Bridge"
                                    << QList<int>{101, 100};
    QTest::newRow("twelve members keep the last") << twelve << QList<int>{} << 0 << "112"
                                                  << twelveEdited;
    QTest::newRow("stale entries stay out") << QList<int>{101, 102} << QList<int>{109, 110} << 0
                                            << "" << QList<int>{102};
}

void TestPanes::memberCompaction()
{
    QFETCH(QList<int>, members);
    QFETCH(QList<int>, stale);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QList<int>, expected);

    ConfigDocument doc;
    loadSmallShip(doc);
    GroupRecord &g = doc.config.Groups[0];
    g.Exts.fill(-1);
    for (int m = 0; m < members.size(); ++m)
        g.Exts[m] = int16_t(members[m]);
    for (int s = 0; s < stale.size(); ++s)
        g.Exts[members.size() + s] = int16_t(stale[s]);
    g.Num = int16_t(members.size());
    GroupPane pane(doc);
    pane.ShowGroup(0);
    auto *grid = child<QTableWidget>(pane, "vsGroupExt");

    grid->item(row, typed.toInt() || typed.isEmpty() ? 0 : 1)->setText(typed);

    QCOMPARE(int(g.Num), int(expected.size()));
    for (int m = 0; m < expected.size(); ++m) {
        QCOMPARE(int(g.Exts[m]), expected[m]);
        QCOMPARE(grid->item(m, 0)->text(), QString::number(expected[m]));
        QCOMPARE(grid->item(m, 1)->text(), GetNameFromExt(doc.config, expected[m]));
    }
    for (int r = int(expected.size()); r < grid->rowCount(); ++r)
        QVERIFY(grid->item(r, 0)->text().isEmpty());
    QVERIFY(doc.ConfigChanged());
}

void TestPanes::memberHighlights_data()
{
    QTest::addColumn<QList<int>>("members");
    QTest::addColumn<QList<int>>("red");

    QTest::newRow("all live") << QList<int>{101, 102} << QList<int>{};
    QTest::newRow("pair of equal numbers") << QList<int>{101, 101, 102} << QList<int>{0, 1};
    QTest::newRow("number names nothing") << QList<int>{101, 300} << QList<int>{1};
    QTest::newRow("extension off the boards") << QList<int>{140, 101} << QList<int>{0};
    QTest::newRow("both faults") << QList<int>{101, 102, 101, 300} << QList<int>{0, 2, 3};
}

void TestPanes::memberHighlights()
{
    QFETCH(QList<int>, members);
    QFETCH(QList<int>, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    GroupRecord &g = doc.config.Groups[0];
    for (int m = 0; m < members.size(); ++m)
        g.Exts[m] = int16_t(members[m]);
    g.Num = int16_t(members.size());
    GroupPane pane(doc);
    pane.ShowGroup(0);

    QCOMPARE(redRows(child<QTableWidget>(pane, "vsGroupExt")), red);
    QVERIFY(!doc.ConfigChanged());
}

// ------------------------------------------------------------------ system

void TestPanes::gaCompaction_data()
{
    QTest::addColumn<QList<int>>("ga");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QList<int>>("red");

    const QList<int> three{101, 102, 103};
    QTest::newRow("first emptied") << three << 0 << "" << QList<int>{102, 103, -1} << QList<int>{};
    QTest::newRow("second emptied") << three << 1 << "" << QList<int>{101, 103, -1}
                                    << QList<int>{};
    QTest::newRow("third emptied") << three << 2 << "" << QList<int>{101, 102, -1} << QList<int>{};
    QTest::newRow("not a number") << three << 1 << "x" << QList<int>{101, 103, -1} << QList<int>{};
    QTest::newRow("typed in the third row") << QList<int>{101, -1, -1} << 2 << "105"
                                            << QList<int>{101, 105, -1} << QList<int>{};
    QTest::newRow("two gaps closed") << QList<int>{-1, -1, 103} << 2 << "105"
                                     << QList<int>{105, -1, -1} << QList<int>{};
    QTest::newRow("chosen by name") << three << 0 << "Bridge" << QList<int>{100, 102, 103}
                                    << QList<int>{};
    QTest::newRow("names nothing") << three << 1 << "300" << QList<int>{101, 300, 103}
                                   << QList<int>{1};
}

void TestPanes::gaCompaction()
{
    QFETCH(QList<int>, ga);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QList<int>, expected);
    QFETCH(QList<int>, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    for (int k = 0; k < 3; ++k)
        doc.config.SysConfig.GA[k] = int16_t(ga[k]);
    SystemPane pane(doc);
    pane.DisplaySysConfig();
    auto *grid = child<QTableWidget>(pane, "vsGA");

    grid->item(row, typed.toInt() || typed.isEmpty() ? 0 : 1)->setText(typed);

    for (int k = 0; k < 3; ++k) {
        QCOMPARE(int(doc.config.SysConfig.GA[k]), expected[k]);
        const bool used = expected[k] > 0;
        QCOMPARE(grid->item(k, 0)->text(), used ? QString::number(expected[k]) : QString());
        QCOMPARE(grid->item(k, 1)->text(),
                 used ? GetNameFromExt(doc.config, expected[k]) : QString());
    }
    QCOMPARE(redRows(grid), red);
    QVERIFY(doc.ConfigChanged());
}

void TestPanes::password_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("red");

    QTest::newRow("lower case") << "abcd" << "ABCD" << false;
    QTest::newRow("mixed case") << "HmWs" << "HMWS" << false;
    QTest::newRow("digits kept") << "ab1d" << "AB1D" << false;
    QTest::newRow("three letters") << "hmw" << "HMW" << true;
    QTest::newRow("five letters") << "abcde" << "ABCDE" << true;
    QTest::newRow("lower q becomes Q") << "hmwq" << "HMWQ" << true;
}

void TestPanes::password()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    SystemPane pane(doc);
    pane.DisplaySysConfig();
    auto *box = child<QLineEdit>(pane, "txtSysPass");

    typeOnly(box, typed);
    QCOMPARE(box->text(), stored); // capitals as typed
    QTest::keyClick(box, Qt::Key_Return);

    QCOMPARE(doc.config.SysConfig.Pass, stored);
    QCOMPARE(panes::fieldInError(box), red);
    QCOMPARE(doc.ConfigChanged(), stored != QStringLiteral("HMWS"));
}

void TestPanes::tiePin_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("action"); // text to type, or "tick"
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("boxEnabled");

    QTest::newRow("new PIN typed") << 7415 << "1234" << 1234 << "1234" << true;
    QTest::newRow("not a number") << 7415 << "12a4" << 7415 << "7415" << true;
    QTest::newRow("too large") << 7415 << "99999" << 7415 << "7415" << true;
    QTest::newRow("ticked") << 0 << "tick" << 7415 << "7415" << true;
    QTest::newRow("unticked") << 7415 << "tick" << 0 << "" << false;
}

void TestPanes::tiePin()
{
    QFETCH(int, before);
    QFETCH(QString, action);
    QFETCH(int, after);
    QFETCH(QString, shown);
    QFETCH(bool, boxEnabled);

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.SysConfig.PIN = int16_t(before);
    SystemPane pane(doc);
    pane.DisplaySysConfig();
    auto *box = child<QLineEdit>(pane, "txtSysPIN");

    if (action == QLatin1String("tick"))
        child<QCheckBox>(pane, "chkSysPIN")->click();
    else
        typeAndCommit(box, action);

    QCOMPARE(int(doc.config.SysConfig.PIN), after);
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->isEnabled(), boxEnabled);
    QCOMPARE(child<QCheckBox>(pane, "chkSysPIN")->isChecked(), after != 0);
    QCOMPARE(doc.ConfigChanged(), before != after);
}

// ---------------------------------------------------------- grid drop-downs

void TestPanes::delegateWritesChosenNumber_data()
{
    QTest::addColumn<int>("pick");        // entry picked, or -1 to type
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");

    // Two extensions share a name: the one picked must be the one stored.
    QTest::newRow("second of two equal names") << 1 << QString() << "211";
    QTest::newRow("first of two equal names") << 0 << QString() << "210";
    QTest::newRow("typed name") << -1 << "Radio Room" << "212";
    QTest::newRow("typed number") << -1 << "305" << "305";
    QTest::newRow("typed text naming nothing") << -1 << "Galley" << "Galley";
}

void TestPanes::delegateWritesChosenNumber()
{
    QFETCH(int, pick);
    QFETCH(QString, typed);
    QFETCH(QString, written);

    const panes::ChoiceList names{{210, QStringLiteral("Spare")},
                                  {211, QStringLiteral("Spare")},
                                  {212, QStringLiteral("Radio Room")}};
    QTableWidget grid(1, 2);
    panes::ensureItems(&grid);
    ChoiceDelegate delegate([&](int, int) { return names; });
    const QModelIndex cell = grid.model()->index(0, 1);
    QWidget *editor = delegate.createEditor(grid.viewport(), QStyleOptionViewItem(), cell);
    auto *combo = qobject_cast<QComboBox *>(editor);
    QVERIFY(combo);
    QCOMPARE(combo->count(), int(names.size()));
    if (pick >= 0)
        combo->setCurrentIndex(pick);
    else
        combo->setEditText(typed);

    delegate.setModelData(editor, grid.model(), cell);

    QCOMPARE(grid.item(0, 1)->text(), written);
    delete editor;
}

QTEST_MAIN(TestPanes)
#include "tst_panes.moc"
