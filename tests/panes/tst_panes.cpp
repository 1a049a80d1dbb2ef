// The editing panes driven as a user drives them: typing and leaving a box,
// ticking boxes, choosing in combos and grids, answering the group questions.
#include "CheckConfig.h"
#include "ChoiceDelegate.h"
#include "ConfigDocument.h"
#include "Equipment.h"
#include "ExtensionPane.h"
#include "FailOnQtWarnings.h"
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
#include <QTableWidget>
#include <QtTest>
#include <memory>

using namespace tidelex;
using IntList = QList<int>;

using namespace Qt::StringLiterals;

namespace
{

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

IntList redRows(QTableWidget *grid)
{
    IntList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QBrush b = grid->item(r, 0)->background();
        if (b.style() != Qt::NoBrush && b.color() == panes::errorColour())
            rows << r;
    }
    return rows;
}

// Types into a grid cell: numbers into the number column, names into the other.
void typeInCell(QTableWidget *grid, int row, const QString &text)
{
    const bool name = !text.isEmpty() && !panes::parseNumber(text);
    grid->item(row, name ? 1 : 0)->setText(text);
}

// The pane of one kind of record ("E", "T", "G", "S"), its name box and a
// record of the small ship it edits.
struct PaneUnderTest {
    std::unique_ptr<EditPane> pane;
    const char *nameField;
    int record;
};

PaneUnderTest makePane(const QString &kind, ConfigDocument &doc)
{
    if (kind == QLatin1String("E"))
        return {std::make_unique<ExtensionPane>(doc), "txtExtName", 3};
    if (kind == QLatin1String("T"))
        return {std::make_unique<TieLinePane>(doc), "txtTieName", 57};
    if (kind == QLatin1String("G"))
        return {std::make_unique<GroupPane>(doc), "txtGrpName", 1};
    return {std::make_unique<SystemPane>(doc), "txtSysName", 0};
}

QString nameOf(const Configuration &c, const QString &kind, int record)
{
    if (kind == QLatin1String("E"))
        return c.Extensions[record].Name;
    if (kind == QLatin1String("T"))
        return c.TieLines[record].Name;
    if (kind == QLatin1String("G"))
        return c.Groups[record].Name;
    return c.SysConfig.Name;
}

// Whether the error list names extension i: what a red field of its pane must agree with.
bool checkerReports(const ConfigDocument &doc, int i)
{
    const QList<Finding> findings = checkConfig(doc.config).findings;
    return std::any_of(findings.begin(), findings.end(),
                       [i](const Finding &f) { return f.reference == extensionKey(i); });
}

void setClass(ConfigDocument &doc, int i, int cls)
{
    doc.config.Extensions[i].Class = int16_t(cls);
    doc.config.Extensions[i].Status = doc.config.ExtClasses[cls].Status;
}

} // namespace

class TestPanes : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void numberBoxes_data();
    void numberBoxes();
    void optionBoxes_data();
    void optionBoxes();
    void extensionGroupList_data();
    void extensionGroupList();
    void pendingEditStored_data();
    void pendingEditStored();
    void focusLeavingCommits();
    void nameOutsideCodePage_data();
    void nameOutsideCodePage();
    void showingChangesNothing_data();
    void showingChangesNothing();
    void tieClassAndDial9_data();
    void tieClassAndDial9();
    void tieDesignatedGrid_data();
    void tieDesignatedGrid();
    void cellEditorCommitsOnce_data();
    void cellEditorCommitsOnce();
    void groupTypeQuestion_data();
    void groupTypeQuestion();
    void disableGroup_data();
    void disableGroup();
    void grids_data();
    void grids();
    void password_data();
    void password();
    void systemSize_data();
    void systemSize();
    void delegateWritesChosenNumber_data();
    void delegateWritesChosenNumber();
};

void TestPanes::numberBoxes_data()
{
    QTest::addColumn<QString>("box"); // on extension 4 (104), a hot line to 105
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("changed");

    const QString no = QStringLiteral("txtExtNo"), dd = QStringLiteral("txtExtDD");
    const QString bad = QStringLiteral("WARNING: Extension Number %1 is invalid");
    const QString inUse = QStringLiteral("WARNING: Extension Number %1 Already in Use");
    const QString notFound = QStringLiteral("WARNING: Extension Number %1 not Found in system");
    QTest::newRow("number above range") << no << "600" << 600 << bad.arg(600) << true << true;
    QTest::newRow("highest valid number") << no << "499" << 499 << QString() << false << true;
    QTest::newRow("number used, live") << no << "100" << 100 << inUse.arg(100) << true << true;
    // Record 40 sits on an empty slot: its number 140 clashes with nothing live.
    QTest::newRow("number held off the boards") << no << "140" << 140 << QString() << false << true;
    QTest::newRow("number unchanged") << no << "104" << 104 << QString() << false << false;
    QTest::newRow("number not a number")
        << no << "abc" << 104 << bad.arg(QStringLiteral("abc")) << false << false;
    QTest::newRow("number too large to store")
        << no << "70000" << 104 << bad.arg(70000) << false << false;
    // A hot-line target is stored whatever it names: the checker keeps reporting it.
    QTest::newRow("hot line to itself")
        << dd << "104" << 104 << QStringLiteral("ERROR: Hotline accessing itself!") << true << true;
    QTest::newRow("hot line to another") << dd << "100" << 100 << QString() << false << true;
    QTest::newRow("hot line to a record on an empty slot")
        << dd << "140" << 140 << notFound.arg(140) << true << true;
    QTest::newRow("hot line to no such number")
        << dd << "300" << 300 << notFound.arg(300) << true << true;
}

void TestPanes::numberBoxes()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, status);
    QFETCH(bool, red);
    QFETCH(bool, changed);

    ConfigDocument doc;
    loadSmallShip(doc);
    setClass(doc, 4, ClassHotLine);
    doc.config.Extensions[4].DirectDial = 105;
    ExtensionPane pane(doc);
    QSignalSpy statusSpy(&pane, &ExtensionPane::statusMessage);
    QSignalSpy editSpy(&doc, &ConfigDocument::edited);
    pane.showRecord(4);
    auto *field = pane.findChild<QLineEdit *>(box);
    QVERIFY(field && field->isVisibleTo(&pane));

    typeAndCommit(field, typed);

    const ExtRecord &e = doc.config.Extensions[4];
    QCOMPARE(int(box == QLatin1String("txtExtNo") ? e.ExtNum : e.DirectDial), stored);
    QCOMPARE(lastText(statusSpy), status);
    QCOMPARE(field->palette().color(QPalette::Base) == panes::errorColour(), red);
    QCOMPARE(panes::fieldInError(field), red);
    QCOMPARE(doc.configChanged(), changed);
    QCOMPARE(editSpy.isEmpty(), !changed);
    QCOMPARE(field->text(), QString::number(stored));
    QCOMPARE(checkerReports(doc, 4), red);
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
    QTest::newRow("Crew adds Recall") << ClassCrew << "chkSub_0" << 0 << 0x80 << true;
    QTest::newRow("Crew adds 63") << ClassCrew << "chkSub6_2" << 2 << 0x04 << true;
    QTest::newRow("Night Bell is fixed") << ClassNightBell << "chkSub_0" << 0 << 0x80 << false;
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
    pane.showRecord(3);
    auto *check = pane.findChild<QCheckBox *>(box);
    QVERIFY(check);
    QCOMPARE(check->isEnabled(), enabled);
    QCOMPARE(check->isChecked(), bool(doc.config.Extensions[3].Status[byte] & bit));
    if (!enabled)
        return;

    check->click();

    QCOMPARE(int(doc.config.Extensions[3].Class), ClassCustom);
    QCOMPARE(doc.config.Extensions[3].Status, expected);
    QCOMPARE(child<QComboBox>(pane, "cboExtClass")->currentText(), QStringLiteral("Custom"));
    QVERIFY(doc.configChanged());
}

void TestPanes::extensionGroupList_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("red");
    QTest::addColumn<int>("chosenEntry");
    QTest::addColumn<int>("chosenGroup");

    const QString hunt = QStringLiteral("Deck Hunt");
    QTest::newRow("no group") << 0 << QStringList{{}, hunt} << false << 1 << 546;
    QTest::newRow("hunt group") << 546 << QStringList{{}, hunt} << false << 0 << 0;
    // A pickup group is offered only to its own members, and is no valid choice.
    QTest::newRow("own pickup group")
        << 545 << QStringList{{}, hunt, QStringLiteral("Galley Pickup")} << true << 1 << 546;
    QTest::newRow("inactive group")
        << 544 << QStringList{{}, hunt, QStringLiteral("Spare Group")} << true << 0 << 0;
    QTest::newRow("no such group")
        << 530 << QStringList{{}, hunt, QStringLiteral("Unknown Group")} << true << 1 << 546;
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
    doc.setConfigChanged(false); // as loaded
    ExtensionPane pane(doc);
    pane.showRecord(5);
    auto *combo = child<QComboBox>(pane, "cboExtGroup");
    QStringList shown;
    for (int k = 0; k < combo->count(); ++k)
        shown << combo->itemText(k);
    QCOMPARE(shown, items);
    QCOMPARE(combo->currentData().toInt(), group);
    QCOMPARE(panes::fieldInError(combo), red);
    QCOMPARE(checkerReports(doc, 5), red);

    combo->setCurrentIndex(chosenEntry);

    QCOMPARE(int(doc.config.Extensions[5].Group), chosenGroup);
    QVERIFY(!panes::fieldInError(combo));
    QVERIFY(doc.configChanged());
}

void TestPanes::pendingEditStored_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<int>("next");    // shown instead of leaving the pane; -1: the pane is left
    QTest::addColumn<QString>("key"); // the node told of the new name; empty: none

    QTest::newRow("E, pane left") << "E" << -1 << "E003";
    QTest::newRow("E, other record shown") << "E" << 4 << "E003";
    QTest::newRow("T, pane left") << "T" << -1 << "T057";
    QTest::newRow("T, other record shown") << "T" << 58 << "T057";
    QTest::newRow("G, pane left") << "G" << -1 << "G001";
    QTest::newRow("G, other record shown") << "G" << 0 << "G001";
    QTest::newRow("system, pane left") << "S" << -1 << QString();
}

void TestPanes::pendingEditStored()
{
    QFETCH(QString, pane);
    QFETCH(int, next);
    QFETCH(QString, key);

    ConfigDocument doc;
    loadSmallShip(doc);
    const QString typed = QStringLiteral("Chief Engineer");
    const PaneUnderTest tested = makePane(pane, doc);
    const int record = tested.record;
    tested.pane->showRecord(record);
    QSignalSpy nodes(tested.pane.get(), &EditPane::nodeTextChanged);

    typeOnly(child<QLineEdit>(*tested.pane, tested.nameField), typed);
    QVERIFY(nameOf(doc.config, pane, record) != typed);
    next < 0 ? tested.pane->commitPending() : tested.pane->showRecord(next);

    QCOMPARE(nameOf(doc.config, pane, record), typed);
    QVERIFY(doc.configChanged());
    QCOMPARE(nodes.size(), key.isEmpty() ? 0 : 1);
    if (!key.isEmpty())
        QCOMPARE(nodes.first(), (QVariantList{key, typed}));
}

// clang-format off
void TestPanes::nameOutsideCodePage_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("lost"); // the characters named in the warning; empty: none
    for (const char *pane : {"E", "T", "G", "S"})
        QTest::addRow("%s, a snowman", pane) << pane << u"Bridge \u2603"_s << u"\u2603"_s;
    QTest::newRow("E, accents and the euro sign fit") << "E" << u"Caf\u00e9 \u20ac"_s << QString();
    QTest::newRow("S, Greek") << "S" << u"\u03a9 Tern"_s << u"\u03a9"_s;
}
// clang-format on

// A name the configuration file would keep only as "?" is warned about and
// stays red until it is fixed.
void TestPanes::nameOutsideCodePage()
{
    QFETCH(QString, pane);
    QFETCH(QString, typed);
    QFETCH(QString, lost);
    ConfigDocument doc;
    loadSmallShip(doc);
    const PaneUnderTest tested = makePane(pane, doc);
    tested.pane->showRecord(tested.record);
    auto *box = child<QLineEdit>(*tested.pane, tested.nameField);
    QSignalSpy status(tested.pane.get(), &EditPane::statusMessage);

    // Beyond what key clicks can type: inserted as a paste or an input method would.
    box->selectAll();
    box->insert(typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(panes::fieldInError(box), !lost.isEmpty());
    const QString said = status.isEmpty() ? QString() : status.last().first().toString();
    if (!lost.isEmpty()) {
        QVERIFY2(said.startsWith(QStringLiteral("WARNING: ")) && said.contains(lost),
                 qPrintable(said));
    }

    typeAndCommit(box, QStringLiteral("Bridge"));
    QVERIFY(!panes::fieldInError(box));
    QVERIFY2(status.last().first().toString().isEmpty(), qPrintable(status.last().first().toString()));
}

void TestPanes::focusLeavingCommits()
{
    ConfigDocument doc;
    loadSmallShip(doc);
    ExtensionPane pane(doc);
    pane.showRecord(3);
    pane.show();
    QApplication::setActiveWindow(&pane);
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    auto *name = child<QLineEdit>(pane, "txtExtName");
    name->setFocus();
    typeOnly(name, QStringLiteral("Purser"));

    child<QLineEdit>(pane, "txtExtNo")->setFocus();

    QCOMPARE(doc.config.Extensions[3].Name, QStringLiteral("Purser"));
    QVERIFY(doc.configChanged());
    QCOMPARE(name->selectedText(), QStringLiteral("Purser")); // ready to be typed over
}

void TestPanes::showingChangesNothing_data()
{
    QTest::addColumn<QString>("pane");
    for (const char *pane : {"E", "T", "G", "S"})
        QTest::newRow(pane) << pane;
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

    const PaneUnderTest tested = makePane(pane, doc);
    for (int k = 0; k < MaxExtensions; ++k)
        tested.pane->showRecord(k);
    tested.pane->commitPending();

    QVERIFY(c == before);
    QVERIFY(!doc.configChanged());
}

void TestPanes::tieClassAndDial9_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("dial9Before");
    QTest::addColumn<bool>("byCombo"); // chosen in the pane instead of stored beforehand
    QTest::addColumn<bool>("incoming");

    QTest::newRow("shore keeps Dial 9") << TieClassShore << true << false << true;
    QTest::newRow("sat comm shown with Dial 9 from a file")
        << TieClassSatComm << true << false << true;
    QTest::newRow("PA shown with Dial 9 from a file") << TieClassPA << true << false << false;
    QTest::newRow("pager without Dial 9") << TieClassPager << false << false << false;
    QTest::newRow("Sat Comm chosen") << TieClassSatComm << true << true << true;
    QTest::newRow("Public Addr chosen") << TieClassPA << true << true << false;
}

void TestPanes::tieClassAndDial9()
{
    QFETCH(int, cls);
    QFETCH(bool, dial9Before);
    QFETCH(bool, byCombo);
    QFETCH(bool, incoming);

    ConfigDocument doc;
    loadSmallShip(doc);
    TieRecord &t = doc.config.TieLines[58];
    t.Dial9 = dial9Before;
    t.Status[0] = TieDTMF | TieDDI;
    if (!byCombo)
        t.Class = int16_t(cls);
    TieLinePane pane(doc);
    pane.showRecord(58);
    if (byCombo) {
        QVERIFY(child<QCheckBox>(pane, "chkTie9")->isChecked());
        child<QComboBox>(pane, "cboTieClass")->setCurrentIndex(cls);
        // A class brings its own option bits.
        for (int b = 0; b < TieStatusBytes; ++b)
            QCOMPARE(t.Status[b], doc.config.TieClasses[cls].Status[b]);
    }

    // Choosing another type than Shore drops Dial 9 with the type, as one
    // step; showing a line never changes it, so a flag read from a file stays
    // ticked (and untickable) for the technician to clear.
    const bool shore = cls == TieClassShore;
    const bool kept = dial9Before && (shore || !byCombo);
    auto *box = child<QCheckBox>(pane, "chkTie9");
    QCOMPARE(box->isEnabled(), shore || kept);
    QCOMPARE(box->isChecked(), kept);
    QCOMPARE(t.Dial9, kept);
    QCOMPARE(doc.configChanged(), byCombo);
    QCOMPARE(child<QTableWidget>(pane, "vsTieExt")->isEnabled(), incoming);
    QCOMPARE(child<QCheckBox>(pane, "chkTieDDI")->isEnabled(), incoming);
    QCOMPARE(child<QCheckBox>(pane, "chkTieMCF")->isEnabled(), incoming);
}

void TestPanes::tieDesignatedGrid_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("mcf");
    QTest::addColumn<int>("otherExt2"); // Ext2 of tie line 57, which has the same Ext1
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");

    const QString unknown = QStringLiteral("Unkown Extension");
    QTest::newRow("default by number") << 0 << false << 0 << "101" << 101 << "Mess" << false;
    QTest::newRow("default by name") << 0 << false << 0 << "Mess" << 101 << "Mess" << false;
    QTest::newRow("default emptied") << 0 << false << 0 << "" << 0 << "" << true;
    QTest::newRow("default names nothing") << 0 << false << 0 << "300" << 300 << unknown << true;
    QTest::newRow("default off the boards") << 0 << false << 0 << "140" << 140 << unknown << true;
    QTest::newRow("second extension") << 1 << false << 0 << "102" << 102 << "Cabin 2" << false;
    QTest::newRow("second as other line")
        << 1 << false << 102 << "102" << 102 << "Cabin 2" << false;
    QTest::newRow("second clashes") << 1 << false << 101 << "102" << 102 << "Cabin 2" << true;
    QTest::newRow("MCF group") << 1 << true << 0 << "546" << 546 << "Deck Hunt" << false;
    QTest::newRow("MCF group by name")
        << 1 << true << 0 << "Galley Pickup" << 545 << "Galley Pickup" << false;
    QTest::newRow("MCF names nothing") << 1 << true << 0 << "550" << 550 << "Unkown Group" << true;
}

void TestPanes::tieDesignatedGrid()
{
    QFETCH(int, row);
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
    pane.showRecord(56);
    child<QCheckBox>(pane, "chkTieMCF")->setChecked(mcf);
    auto *grid = child<QTableWidget>(pane, "vsTieExt");

    typeInCell(grid, row, typed);

    const TieRecord &t = doc.config.TieLines[56];
    QCOMPARE(int(row == 0 ? t.Ext1 : t.Ext2), stored);
    QCOMPARE(grid->item(row, 0)->text(), stored ? QString::number(stored) : QString());
    QCOMPARE(grid->item(row, 1)->text(), name);
    QCOMPARE(redRows(grid).contains(row), red);
    QVERIFY(doc.configChanged());
}

// clang-format off
void TestPanes::cellEditorCommitsOnce_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("how");   // "return": typed then Return; "list": picked from the list
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");    // the extension number the record then holds
    for (const char *grid : {"vsTieExt", "vsGroupExt"}) {
        QTest::addRow("%s, number typed, Return", grid) << grid << 0 << "return" << "103" << 103;
        QTest::addRow("%s, number not listed, Return", grid) << grid << 0 << "return" << "450" << 450;
        QTest::addRow("%s, name typed, Return", grid) << grid << 1 << "return" << "Mess" << 101;
        QTest::addRow("%s, number picked from the list", grid) << grid << 0 << "list" << "104" << 104;
    }
}
// clang-format on

// The drop-down editor of a grid cell ends its edit once, whichever way it
// is left: a second commit to an editor the grid has already let go makes
// Qt warn (and the warning fails the test).
void TestPanes::cellEditorCommitsOnce()
{
    QFETCH(QString, grid);
    QFETCH(int, column);
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    ConfigDocument doc;
    loadSmallShip(doc);
    TieLinePane tie(doc);
    GroupPane grp(doc);
    tie.showRecord(56);
    grp.showRecord(0);
    QWidget &pane = grid == QLatin1String("vsTieExt") ? static_cast<QWidget &>(tie) : grp;
    pane.show();
    auto *table = child<QTableWidget>(pane, grid.toLatin1().constData());
    // Row 1: the tie line's second extension; row 0: the group's first member.
    const int row = grid == QLatin1String("vsTieExt") ? 1 : 0;
    table->setCurrentCell(row, column);
    table->editItem(table->item(row, column));
    auto *box = table->viewport()->findChild<QComboBox *>();
    QVERIFY(box && box->lineEdit());

    if (how == QLatin1String("list")) {
        const int entry = box->findText(typed);
        QVERIFY(entry >= 0);
        box->showPopup();
        QAbstractItemView *list = box->view();
        list->setCurrentIndex(list->model()->index(entry, 0));
        QTest::keyClick(list, Qt::Key_Return);
    } else {
        // Keys go to the drop-down, the focus widget while a cell is edited.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const int held = grid == QLatin1String("vsTieExt") ? doc.config.TieLines[56].Ext2
                                                       : doc.config.Groups[0].Exts[0];
    QCOMPARE(held, stored);
    QVERIFY(!table->viewport()->findChild<QComboBox *>());
}

void TestPanes::groupTypeQuestion_data()
{
    QTest::addColumn<int>("activeUsers");
    QTest::addColumn<int>("inactiveUsers");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("type");

    const int no = QMessageBox::No, yes = QMessageBox::Yes;
    QTest::newRow("in use, No") << 1 << 0 << int(GroupPickup) << no << true << int(GroupHunt);
    QTest::newRow("in use, Yes") << 2 << 0 << int(GroupPickup) << yes << true << int(GroupPickup);
    QTest::newRow("unused") << 0 << 0 << int(GroupPickup) << no << false << int(GroupPickup);
    QTest::newRow("inactive users only")
        << 0 << 2 << int(GroupPickup) << no << false << int(GroupPickup);
    QTest::newRow("in use, to MCF")
        << 3 << 0 << int(GroupMultipleCallForward) << no << false << int(GroupMultipleCallForward);
}

void TestPanes::groupTypeQuestion()
{
    QFETCH(int, activeUsers);
    QFETCH(int, inactiveUsers);
    QFETCH(int, chosen);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(int, type);

    ConfigDocument doc;
    loadSmallShip(doc);
    for (int i = 0; i < activeUsers + inactiveUsers; ++i) {
        doc.config.Extensions[4 + i].Group = 546;
        doc.config.Extensions[4 + i].Active = i < activeUsers;
    }
    ScriptedPrompter prompts;
    prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    GroupPane pane(doc);
    pane.showRecord(0);
    auto *combo = child<QComboBox>(pane, "cboGrpType");

    combo->setCurrentIndex(combo->findData(chosen));

    QCOMPARE(prompts.asked.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(prompts.asked.first().title, QStringLiteral("Change Group Type"));
        QCOMPARE(prompts.asked.first().text,
                 QStringLiteral("This group is in use.\nAre you sure that you want to "
                                "change it to a Pickup group?"));
        QVERIFY(prompts.asked.first().buttons.testFlags(QMessageBox::Yes | QMessageBox::No));
    }
    QCOMPARE(int(doc.config.Groups[0].Type), type);
    QCOMPARE(combo->currentData().toInt(), type);
    QCOMPARE(doc.configChanged(), type != GroupHunt);
    auto *users = child<QLineEdit>(pane, "txtGroupLead");
    QCOMPARE(users->text() == QStringLiteral("Not used for pickup groups"), type == GroupPickup);
    QCOMPARE(users->isEnabled(), type != GroupPickup);
}

void TestPanes::disableGroup_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("users");
    QTest::addColumn<IntList>("answers");
    QTest::addColumn<bool>("active");

    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("three users, No at the second") << 0 << 3 << IntList{yes, no} << true;
    QTest::newRow("three users, all Yes") << 0 << 3 << IntList{yes, yes, yes} << false;
    QTest::newRow("one user, No") << 0 << 1 << IntList{no} << true;
    QTest::newRow("unused") << 0 << 0 << IntList{} << false;
    QTest::newRow("inactive group switched on") << 2 << 0 << IntList{} << true;
}

void TestPanes::disableGroup()
{
    QFETCH(int, group);
    QFETCH(int, users);
    QFETCH(IntList, answers);
    QFETCH(bool, active);

    ConfigDocument doc;
    loadSmallShip(doc);
    for (int i = 0; i < users; ++i)
        doc.config.Extensions[7 + i].Group = doc.config.Groups[group].DirNum;
    ScriptedPrompter prompts;
    for (int a : answers)
        prompts.buttons.enqueue(QMessageBox::StandardButton(a));
    GroupPane pane(doc);
    QSignalSpy nodeSpy(&pane, &GroupPane::nodeDisabledChanged);
    pane.showRecord(group);
    const bool before = doc.config.Groups[group].Active;

    child<QCheckBox>(pane, "chkGrpActive")->click();

    QCOMPARE(prompts.asked.size(), answers.size()); // one question per user until a No
    for (const Prompt &p : prompts.asked) {
        QCOMPARE(p.title, QStringLiteral("Disable Group"));
        QCOMPARE(p.text, QStringLiteral(
                             "This group is in use.\nAre you sure that you want to disable it?"));
    }
    QCOMPARE(doc.config.Groups[group].Active, active);
    QCOMPARE(child<QCheckBox>(pane, "chkGrpActive")->isChecked(), active);
    QCOMPARE(child<QGroupBox>(pane, "fmeGrpExts")->isVisibleTo(&pane), active);
    QCOMPARE(child<QComboBox>(pane, "cboGrpType")->isEnabled(), active);
    QCOMPARE(nodeSpy.size(), before != active ? 1 : 0);
}

void TestPanes::grids_data()
{
    QTest::addColumn<bool>("ga"); // the system pane's GA grid, or group 0's member grid
    QTest::addColumn<IntList>("before");
    QTest::addColumn<IntList>("stale"); // members left in Exts after the member count
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<IntList>("expected"); // the entries in use afterwards, gaps closed
    QTest::addColumn<IntList>("red");

    const IntList three{101, 102, 103}, none;
    IntList twelve;
    for (int n = 100; n < 112; ++n)
        twelve << n;
    IntList twelveEdited = twelve;
    twelveEdited[0] = 112;

    QTest::newRow("members: middle emptied")
        << false << three << none << 1 << "" << IntList{101, 103} << none;
    QTest::newRow("members: not a number")
        << false << three << none << 0 << "junk" << IntList{102, 103} << none;
    QTest::newRow("members: typed below a gap")
        << false << three << none << 6 << "104" << IntList{101, 102, 103, 104} << none;
    QTest::newRow("members: chosen by name")
        << false << IntList{101} << none << 1 << "Bridge" << IntList{101, 100} << none;
    QTest::newRow("members: duplicate")
        << false << three << none << 2 << "101" << IntList{101, 102, 101} << IntList{0, 2};
    QTest::newRow("members: names nothing")
        << false << three << none << 1 << "300" << IntList{101, 300, 103} << IntList{1};
    QTest::newRow("members: off the boards")
        << false << three << none << 0 << "140" << IntList{140, 102, 103} << IntList{0};
    QTest::newRow("members: twelve keep the last")
        << false << twelve << none << 0 << "112" << twelveEdited << none;
    QTest::newRow("members: stale entries stay out")
        << false << IntList{101, 102} << IntList{109, 110} << 0 << "" << IntList{102} << none;
    QTest::newRow("GA: first emptied")
        << true << three << none << 0 << "" << IntList{102, 103} << none;
    QTest::newRow("GA: typed in the third row")
        << true << IntList{101, -1, -1} << none << 2 << "105" << IntList{101, 105} << none;
    QTest::newRow("GA: two gaps closed")
        << true << IntList{-1, -1, 103} << none << 2 << "105" << IntList{105} << none;
}

void TestPanes::grids()
{
    QFETCH(bool, ga);
    QFETCH(IntList, before);
    QFETCH(IntList, stale);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(IntList, expected);
    QFETCH(IntList, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    GroupRecord &g = doc.config.Groups[0];
    auto &gaList = doc.config.SysConfig.GA;
    const IntList all = before + stale;
    if (ga) {
        for (int k = 0; k < 3; ++k)
            gaList[k] = int16_t(all[k]);
    } else {
        g.Exts.fill(-1);
        for (int m = 0; m < all.size(); ++m)
            g.Exts[m] = int16_t(all[m]);
        g.Num = int16_t(before.size());
    }
    SystemPane sys(doc);
    GroupPane grp(doc);
    sys.showRecord(0);
    grp.showRecord(0);
    auto *grid = ga ? child<QTableWidget>(sys, "vsGA") : child<QTableWidget>(grp, "vsGroupExt");

    typeInCell(grid, row, typed);

    if (ga) {
        for (int k = 0; k < 3; ++k)
            QCOMPARE(int(gaList[k]), expected.value(k, -1));
    } else {
        QCOMPARE(int(g.Num), int(expected.size()));
        for (int k = 0; k < expected.size(); ++k)
            QCOMPARE(int(g.Exts[k]), expected[k]);
    }
    for (int r = 0; r < grid->rowCount(); ++r) {
        const bool used = r < expected.size();
        QCOMPARE(grid->item(r, 0)->text(), used ? QString::number(expected[r]) : QString());
        QCOMPARE(grid->item(r, 1)->text(),
                 used ? getNameFromExt(doc.config, expected[r]) : QString());
    }
    QCOMPARE(redRows(grid), red);
    QVERIFY(doc.configChanged());
}

void TestPanes::password_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("red");
    QTest::addColumn<QString>("stored");

    QTest::newRow("lower case") << "abcd" << false << "ABCD";
    QTest::newRow("digits kept") << "ab1d" << false << "AB1D";
    QTest::newRow("three letters") << "hmw" << true << "HMW";
    QTest::newRow("lower q becomes Q") << "hmwq" << true << "HMWQ";
}

void TestPanes::password()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, red);

    ConfigDocument doc;
    loadSmallShip(doc);
    SystemPane pane(doc);
    pane.showRecord(0);
    auto *box = child<QLineEdit>(pane, "txtSysPass");

    typeOnly(box, typed);
    QCOMPARE(box->text(), stored); // capitals as typed
    QTest::keyClick(box, Qt::Key_Return);

    QCOMPARE(doc.config.SysConfig.Pass, stored);
    QCOMPARE(panes::fieldInError(box), red);
    QVERIFY(doc.configChanged());
}

void TestPanes::systemSize_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<IntList>("counts"); // extensions, shore, satcom, PA, pager, groups

    QTest::newRow("as loaded") << "" << IntList{16, 4, 0, 0, 0, 2};
    // Counts follow the boards and live records, not the tables' contents.
    QTest::newRow("subscriber board added") << "slot" << IntList{24, 4, 0, 0, 0, 2};
    QTest::newRow("lines switched off or retyped") << "ties" << IntList{16, 1, 1, 1, 0, 2};
    QTest::newRow("tie board removed") << "noTies" << IntList{16, 0, 0, 0, 0, 2};
    QTest::newRow("group switched on") << "group" << IntList{16, 4, 0, 0, 0, 3};
}

void TestPanes::systemSize()
{
    QFETCH(QString, change);
    QFETCH(IntList, counts);

    ConfigDocument doc;
    loadSmallShip(doc);
    Configuration &c = doc.config;
    if (change == QLatin1String("slot"))
        c.SysConfig.Slots[4] = BoardSubscriber;
    if (change == QLatin1String("ties")) {
        c.TieLines[56].Active = false;
        c.TieLines[57].Class = TieClassSatComm;
        c.TieLines[58].Class = TieClassPA;
    }
    if (change == QLatin1String("noTies"))
        c.SysConfig.Slots[16] = BoardEmpty;
    if (change == QLatin1String("group"))
        c.Groups[5].Active = true;
    SystemPane pane(doc);
    pane.showRecord(0);

    const char *boxes[] = {"txtSysExts", "txtsysShore", "txtSysSat",
                           "txtSysPA",   "txtSysPage",  "txtSysGrp"};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(child<QLineEdit>(pane, boxes[k])->text(), QString::number(counts[k]));
}

void TestPanes::delegateWritesChosenNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("pick"); // entry picked, or -1 to type
    QTest::addColumn<QString>("written");

    // Two extensions share a name: the one picked must be the one stored.
    QTest::newRow("second of two equal names") << QString() << 1 << "211";
    QTest::newRow("typed name") << "Radio Room" << -1 << "212";
    QTest::newRow("typed number") << "305" << -1 << "305";
    QTest::newRow("typed text naming nothing") << "Galley" << -1 << "Galley";
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
    std::unique_ptr<QWidget> editor(
        delegate.createEditor(grid.viewport(), QStyleOptionViewItem(), cell));
    auto *combo = qobject_cast<QComboBox *>(editor.get());
    QVERIFY(combo);
    QCOMPARE(combo->count(), int(names.size()));
    if (pick >= 0)
        combo->setCurrentIndex(pick);
    else
        combo->setEditText(typed);

    delegate.setModelData(combo, grid.model(), cell);

    QCOMPARE(grid.item(0, 1)->text(), written);
}

QTEST_MAIN(TestPanes)
#include "tst_panes.moc"
