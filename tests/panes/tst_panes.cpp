// The editing panes driven as a user drives them: typing and leaving a box,
// ticking boxes, choosing in combos and grids, answering the group questions;
// the class editor and the group members dialog they open; and the New
// System dialog: the board plan and its refusal, the officer box, OK running
// the generator, Cancel and "Open...".
#include "CheckConfig.h"
#include "ClassEdits.h"
#include "ClassIconDialog.h"
#include "ClassRightsDialog.h"
#include "ConfigDocument.h"
#include "Equipment.h"
#include "ExtensionPane.h"
#include "FailOnQtWarnings.h"
#include "GroupMembersDialog.h"
#include "GroupPane.h"
#include "Icons.h"
#include "MainWindow.h"
#include "Names.h"
#include "NavTree.h"
#include "NewClassDialog.h"
#include "NewSystem.h"
#include "NewSystemDialog.h"
#include "PaneFixture.h"
#include "PaneSupport.h"
#include "ScriptedPrompter.h"
#include "SystemPane.h"
#include "TieLinePane.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace tidelex;
using IntList = QList<int>;
using Buttons = QList<QMessageBox::StandardButton>;

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Buttons)
Q_DECLARE_METATYPE(NewSystemCounts)

namespace
{

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

// Types into a cell through its drop-down and presses Return ("return"), or
// picks the last entry showing the text from the list ("list").
void editInCell(QTableWidget *grid, int row, const QString &how, const QString &text)
{
    const int column = panes::parseNumber(text) ? 0 : 1;
    grid->setCurrentCell(row, column);
    grid->editItem(grid->item(row, column));
    auto *box = grid->viewport()->findChild<QComboBox *>();
    QVERIFY(box && box->lineEdit());
    if (how == QLatin1String("list")) {
        int entry = -1;
        for (int k = 0; k < box->count(); ++k)
            entry = box->itemText(k) == text ? k : entry;
        QVERIFY(entry >= 0);
        box->showPopup();
        QAbstractItemView *list = box->view();
        list->setCurrentIndex(list->model()->index(entry, 0));
        QTest::keyClick(list, Qt::Key_Return);
    } else {
        // Keys go to the drop-down, the focus widget while a cell is edited.
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The pane of one kind of record ("E", "T", "G", "S"), a record of the small
// ship it edits, the record's node in the tree and another record to show.
struct PaneUnderTest {
    std::unique_ptr<EditPane> pane;
    int record;
    QString key;
    int other;
};

PaneUnderTest makePane(const QString &kind, ConfigDocument &doc)
{
    if (kind == QLatin1String("E"))
        return {std::make_unique<ExtensionPane>(doc), 4, QStringLiteral("E004"), 3};
    if (kind == QLatin1String("T"))
        return {std::make_unique<TieLinePane>(doc), 57, QStringLiteral("T057"), 58};
    if (kind == QLatin1String("G"))
        return {std::make_unique<GroupPane>(doc), 1, QStringLiteral("G001"), 0};
    return {std::make_unique<SystemPane>(doc), 0, QString(), 0};
}

// What the record holds for a box, as the box shows it.
QString storedText(const Configuration &c, const QString &box, int record)
{
    if (box == QLatin1String("txtExtNo"))
        return QString::number(c.Extensions[record].ExtNum);
    if (box == QLatin1String("txtExtDD"))
        return QString::number(c.Extensions[record].DirectDial);
    if (box == QLatin1String("txtExtName"))
        return c.Extensions[record].Name;
    if (box == QLatin1String("txtTieName"))
        return c.TieLines[record].Name;
    if (box == QLatin1String("txtGrpName"))
        return c.Groups[record].Name;
    if (box == QLatin1String("txtSysPass"))
        return c.SysConfig.Pass;
    return c.SysConfig.Name;
}

// Whether the error list names extension i: what a red field of its pane must agree with.
bool checkerReports(const ConfigDocument &doc, int i)
{
    const QList<Finding> findings = checkConfig(doc.config).findings;
    return std::any_of(findings.begin(), findings.end(),
                       [i](const Finding &f) { return f.reference == extensionKey(i); });
}

QStringList comboTexts(QComboBox *combo)
{
    QStringList texts;
    for (int k = 0; k < combo->count(); ++k)
        texts << combo->itemText(k);
    return texts;
}

void choose(NewSystemDialog &dlg, const char *combo, int value)
{
    auto *c = child<QComboBox>(dlg, combo);
    const int at = c->findData(value);
    QVERIFY2(at >= 0, combo);
    c->setCurrentIndex(at);
}

// Colours of the board plan as the cabinet legend gives them.
QColor documentedColour(int board)
{
    if (board == BoardEmpty)
        return Qt::black;
    return board == BoardSubscriber ? QColor(255, 0, 0)
           : board == BoardTieLine  ? QColor(0, 0, 255)
                                    : QColor(Qt::white);
}

QColor shapeColour(NewSystemDialog &dlg, int slot)
{
    return child<QFrame>(dlg, qPrintable(QStringLiteral("Shape1_%1").arg(slot)))
        ->palette()
        .color(QPalette::Window);
}

} // namespace

class TestPanes : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup() { prompts_.reset(); }
    void typedBox_data();
    void typedBox();
    void optionBoxes_data();
    void optionBoxes();
    void extensionGroupList_data();
    void extensionGroupList();
    void showingChangesNothing_data();
    void showingChangesNothing();
    void tieClassAndDial9_data();
    void tieClassAndDial9();
    void groupQuestions_data();
    void groupQuestions();
    void grids_data();
    void grids();
    void systemSize_data();
    void systemSize();

    void applyOrLeave_data();
    void applyOrLeave();
    void className_data();
    void className();
    void classRightsFromTheMenu();
    void members_data();
    void members();

    void newSystem_data();
    void newSystem();
    void cancelOrOpen_data();
    void cancelOrOpen();

  private:
    std::unique_ptr<ScriptedPrompter> prompts_;
};

void TestPanes::init()
{
    failOnQtWarnings();
    prompts_ = std::make_unique<ScriptedPrompter>();
}

void TestPanes::typedBox_data()
{
    QTest::addColumn<QString>("box"); // on extension 4, a hot line to 105, or a record of its kind
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("leave"); // Return, focus moved on, other record shown, pane left
    QTest::addColumn<QString>("stored"); // what the record then holds, as the box shows it
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("red");
    const auto row = [](const char *name, const char *box, const QString &typed,
                        const char *leave, const QString &stored, const QString &status, bool red) {
        QTest::newRow(name) << QString::fromLatin1(box) << typed << QString::fromLatin1(leave)
                            << stored << status << red;
    };

    const QString bad = u"WARNING: Extension Number %1 is invalid"_s;
    const QString inUse = u"WARNING: Extension Number %1 Already in Use"_s;
    const QString notFound = u"WARNING: Extension Number %1 not Found in system"_s;
    row("number above range", "txtExtNo", u"600"_s, "return", u"600"_s, bad.arg(600), true);
    row("number used, live", "txtExtNo", u"100"_s, "return", u"100"_s, inUse.arg(100), true);
    row("number unchanged", "txtExtNo", u"104"_s, "return", u"104"_s, {}, false);
    row("number not a number", "txtExtNo", u"abc"_s, "return", u"104"_s, bad.arg(u"abc"_s), false);
    row("number too large to store", "txtExtNo", u"70000"_s, "return", u"104"_s, bad.arg(70000),
        false);
    // A hot-line target is stored whatever it names: the checker keeps reporting it.
    row("hot line to itself", "txtExtDD", u"104"_s, "return", u"104"_s,
        u"ERROR: Hotline accessing itself!"_s, true);
    row("hot line to another", "txtExtDD", u"100"_s, "return", u"100"_s, {}, false);
    row("hot line to no such number", "txtExtDD", u"300"_s, "return", u"300"_s, notFound.arg(300),
        true);

    // A name the configuration file would keep only as "?" is warned about.
    const QString lost =
        u"WARNING: %1 cannot be kept in the configuration file and will be saved as \"?\""_s;
    const QString snowman = u"Bridge \u2603"_s, greek = u"\u03a9 Tern"_s;
    row("E name, a snowman", "txtExtName", snowman, "return", snowman, lost.arg(u"\u2603"_s), true);
    row("T name, a snowman", "txtTieName", snowman, "return", snowman, lost.arg(u"\u2603"_s), true);
    row("G name, a snowman", "txtGrpName", snowman, "return", snowman, lost.arg(u"\u2603"_s), true);
    row("S name, Greek", "txtSysName", greek, "return", greek, lost.arg(u"\u03a9"_s), true);
    row("E name, accents and the euro sign fit", "txtExtName", u"Caf\u00e9 \u20ac"_s, "return",
        u"Caf\u00e9 \u20ac"_s, {}, false);

    // A name still being typed is stored however the box is left.
    const QString chief = u"Chief Engineer"_s;
    row("E name, focus moved on", "txtExtName", chief, "focus", chief, {}, false);
    row("E name, other record shown", "txtExtName", chief, "show", chief, {}, false);
    row("T name, other record shown", "txtTieName", chief, "show", chief, {}, false);
    row("G name, other record shown", "txtGrpName", chief, "show", chief, {}, false);
    row("S name, pane left", "txtSysName", chief, "left", chief, {}, false);

    // The password box takes capitals as typed.
    row("password, lower case", "txtSysPass", u"ab1d"_s, "return", u"AB1D"_s, {}, false);
    row("password, three letters", "txtSysPass", u"hmw"_s, "return", u"HMW"_s, {}, true);
    row("password, lower q becomes Q", "txtSysPass", u"hmwq"_s, "return", u"HMWQ"_s, {}, true);
}

void TestPanes::typedBox()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, leave);
    QFETCH(QString, stored);
    QFETCH(bool, red);
    const QString pane = box.mid(3, 1); // txtExt..., txtTie..., txtGrp..., txtSys...

    SmallShip doc;
    setClass(doc, 4, ClassHotLine);
    doc.config.Extensions[4].DirectDial = 105;
    const PaneUnderTest tested = makePane(pane, doc);
    EditPane &shown = *tested.pane;
    shown.showRecord(tested.record);
    const QString before = storedText(doc.config, box, tested.record);
    QSignalSpy statusSpy(&shown, &EditPane::statusMessage);
    QSignalSpy nodes(&shown, &EditPane::nodeTextChanged);
    auto *field = child<QLineEdit>(shown, qPrintable(box));
    QVERIFY(field->isVisibleTo(&shown));
    if (leave == QLatin1String("focus")) {
        shown.show();
        QApplication::setActiveWindow(&shown);
        QVERIFY(QTest::qWaitForWindowActive(&shown));
        field->setFocus();
    }

    // Key clicks type Latin-1 only: other text goes in as a paste or an input method puts it.
    if (std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 0x100; })) {
        typeOnly(field, typed);
    } else {
        field->selectAll();
        field->insert(typed);
    }
    QCOMPARE(storedText(doc.config, box, tested.record), before); // not stored while typed
    if (leave == QLatin1String("return"))
        QTest::keyClick(field, Qt::Key_Return);
    else if (leave == QLatin1String("focus"))
        child<QLineEdit>(shown, "txtExtNo")->setFocus();
    else if (leave == QLatin1String("show"))
        shown.showRecord(tested.other);
    else
        shown.commitPending();

    QCOMPARE(storedText(doc.config, box, tested.record), stored);
    if (leave == QLatin1String("return") || leave == QLatin1String("focus"))
        QCOMPARE(field->text(), stored);
    if (leave == QLatin1String("focus"))
        QCOMPARE(field->selectedText(), stored); // ready to be typed over
    QTEST(lastText(statusSpy), "status");
    QCOMPARE(panes::fieldInError(field), red);
    QCOMPARE(field->palette().color(QPalette::Base) == panes::errorColour(), red);
    if (box == QLatin1String("txtExtNo") || box == QLatin1String("txtExtDD"))
        QCOMPARE(checkerReports(doc, 4), red);
    QCOMPARE(doc.configChanged(), stored != before);
    // A new name is told to the record's node in the tree; the system has none.
    const bool named = box.endsWith(QLatin1String("Name")) && !tested.key.isEmpty();
    QCOMPARE(nodes.isEmpty() ? QVariantList() : nodes.last(),
             (named ? QVariantList{tested.key, stored} : QVariantList()));
    // A name put right turns the box back to normal and clears the warning.
    if (red && box.endsWith(QLatin1String("Name"))) {
        field->selectAll();
        field->insert(u"Bridge"_s);
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!panes::fieldInError(field));
        QCOMPARE(lastText(statusSpy), QString());
    }
}

void TestPanes::optionBoxes_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("Officer drops Dial 9") << ClassOfficer << "chkSub_7" << 4 << 0x10 << true;
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

    SmallShip doc;
    setClass(doc, 3, cls);
    auto expected = doc.config.Extensions[3].Status;
    expected[byte] ^= uint8_t(bit);
    ExtensionPane pane(doc);
    pane.showRecord(3);
    auto *check = child<QCheckBox>(pane, qPrintable(box));
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
    QFETCH(bool, red);
    QFETCH(int, chosenEntry);

    SmallShip doc;
    doc.config.Extensions[5].Group = int16_t(group);
    doc.setConfigChanged(false); // as loaded
    ExtensionPane pane(doc);
    pane.showRecord(5);
    auto *combo = child<QComboBox>(pane, "cboExtGroup");
    QTEST(comboTexts(combo), "items");
    QCOMPARE(combo->currentData().toInt(), group);
    QCOMPARE(panes::fieldInError(combo), red);
    QCOMPARE(checkerReports(doc, 5), red);

    combo->setCurrentIndex(chosenEntry);

    QTEST(int(doc.config.Extensions[5].Group), "chosenGroup");
    QVERIFY(!panes::fieldInError(combo));
    QVERIFY(doc.configChanged());
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

    SmallShip doc;
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

    SmallShip doc;
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

void TestPanes::groupQuestions_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("activeUsers");
    QTest::addColumn<int>("inactiveUsers");
    QTest::addColumn<int>("chosen"); // a type chosen in the combo; -1: "Enabled" clicked
    QTest::addColumn<IntList>("answers"); // every one of them asked for
    QTest::addColumn<bool>("done");

    const int yes = QMessageBox::Yes, no = QMessageBox::No, enabled = -1;
    const int pickup = GroupPickup;
    QTest::newRow("Pickup, in use, No") << 0 << 1 << 0 << pickup << IntList{no} << false;
    QTest::newRow("Pickup, in use, Yes") << 0 << 2 << 0 << pickup << IntList{yes} << true;
    QTest::newRow("Pickup, unused") << 0 << 0 << 0 << pickup << IntList{} << true;
    QTest::newRow("Pickup, inactive users only") << 0 << 0 << 2 << pickup << IntList{} << true;
    QTest::newRow("MCF, in use")
        << 0 << 3 << 0 << int(GroupMultipleCallForward) << IntList{} << true;
    // One question per user until a No.
    QTest::newRow("disabled, three users, No at the second")
        << 0 << 3 << 0 << enabled << IntList{yes, no} << false;
    QTest::newRow("disabled, three users, all Yes")
        << 0 << 3 << 0 << enabled << IntList{yes, yes, yes} << true;
    QTest::newRow("disabled, unused") << 0 << 0 << 0 << enabled << IntList{} << true;
    QTest::newRow("inactive group switched on") << 2 << 0 << 0 << enabled << IntList{} << true;
}

// A group in use asks before it turns Pickup or is disabled; No keeps it as it was.
void TestPanes::groupQuestions()
{
    QFETCH(int, group);
    QFETCH(int, activeUsers);
    QFETCH(int, inactiveUsers);
    QFETCH(int, chosen);
    QFETCH(IntList, answers);
    QFETCH(bool, done);

    SmallShip doc;
    for (int i = 0; i < activeUsers + inactiveUsers; ++i) {
        doc.config.Extensions[4 + i].Group = doc.config.Groups[group].DirNum;
        doc.config.Extensions[4 + i].Active = i < activeUsers;
    }
    for (int a : answers)
        prompts_->buttons.enqueue(QMessageBox::StandardButton(a));
    GroupPane pane(doc);
    QSignalSpy nodeSpy(&pane, &GroupPane::nodeDisabledChanged);
    pane.showRecord(group);
    GroupRecord &g = doc.config.Groups[group];
    GroupRecord expected = g;
    auto *combo = child<QComboBox>(pane, "cboGrpType");

    if (chosen >= 0)
        combo->setCurrentIndex(combo->findData(chosen));
    else
        child<QCheckBox>(pane, "chkGrpActive")->click();

    const QString question = chosen >= 0
                                 ? QStringLiteral("This group is in use.\nAre you sure that "
                                                  "you want to change it to a Pickup group?")
                                 : QStringLiteral("This group is in use.\nAre you sure that "
                                                  "you want to disable it?");
    QCOMPARE(prompts_->texts(), QStringList(answers.size(), question));
    if (done && chosen >= 0)
        expected.Type = int16_t(chosen);
    if (done && chosen < 0)
        expected.Active = !expected.Active;
    QVERIFY(g == expected);
    QCOMPARE(doc.configChanged(), done);
    QCOMPARE(nodeSpy.size(), done && chosen < 0 ? 1 : 0);
    QCOMPARE(combo->currentData().toInt(), int(g.Type));
    auto *users = child<QLineEdit>(pane, "txtGroupLead");
    QCOMPARE(users->text() == QStringLiteral("Not used for pickup groups"), g.Type == GroupPickup);
    QCOMPARE(users->isEnabled(), g.Type != GroupPickup);
    QCOMPARE(child<QCheckBox>(pane, "chkGrpActive")->isChecked(), g.Active);
    QCOMPARE(child<QGroupBox>(pane, "fmeGrpExts")->isVisibleTo(&pane), g.Active);
    QCOMPARE(combo->isEnabled(), g.Active);
}

void TestPanes::grids_data()
{
    QTest::addColumn<QString>("grid"); // group 0's members, the system's GA, tie line 56's two
    QTest::addColumn<IntList>("before"); // members, GA entries, or Ext1 and Ext2
    QTest::addColumn<IntList>("other"); // members left past the count, or tie line 57's Ext2
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<IntList>("expected"); // members, GA entries, or Ext1 and Ext2 afterwards
    QTest::addColumn<QString>("name"); // then shown in the row typed into
    QTest::addColumn<IntList>("red");
    QTest::addColumn<QString>("how"); // set in the cell, or through its drop-down

    const IntList three{101, 102, 103}, none, no57{0};
    IntList twelve;
    for (int n = 100; n < 112; ++n)
        twelve << n;
    IntList twelveEdited = twelve;
    twelveEdited[0] = 112;
    const QString mess = u"Mess"_s, cabin2 = u"Cabin 2"_s;

    // Members and GA entries close up their gaps.
    QTest::newRow("members: middle emptied")
        << "vsGroupExt" << three << none << 1 << "" << IntList{101, 103} << "Cabin 3" << none << "";
    QTest::newRow("members: not a number") << "vsGroupExt" << three << none << 0 << "junk"
                                           << IntList{102, 103} << cabin2 << none << "";
    QTest::newRow("members: typed below a gap") << "vsGroupExt" << three << none << 6 << "104"
                                                << IntList{101, 102, 103, 104} << "" << none << "";
    QTest::newRow("members: chosen by name")
        << "vsGroupExt" << IntList{101} << none << 1 << "Bridge" << IntList{101, 100} << "Bridge"
        << none << "";
    QTest::newRow("members: duplicate") << "vsGroupExt" << three << none << 2 << "101"
                                        << IntList{101, 102, 101} << mess << IntList{0, 2} << "";
    QTest::newRow("members: names nothing")
        << "vsGroupExt" << three << none << 1 << "300" << IntList{101, 300, 103}
        << "Unknown Extension" << IntList{1} << "";
    QTest::newRow("members: off the boards")
        << "vsGroupExt" << three << none << 0 << "140" << IntList{140, 102, 103}
        << "New Ext Brd 6 Port 1" << IntList{0} << "";
    QTest::newRow("members: twelve keep the last")
        << "vsGroupExt" << twelve << none << 0 << "112" << twelveEdited << "Cabin 12" << none << "";
    QTest::newRow("members: stale entries stay out")
        << "vsGroupExt" << IntList{101, 102} << IntList{109, 110} << 0 << "" << IntList{102}
        << cabin2 << none << "";
    QTest::newRow("GA: first emptied")
        << "vsGA" << three << none << 0 << "" << IntList{102, 103, -1} << cabin2 << none << "";
    QTest::newRow("GA: two gaps closed") << "vsGA" << IntList{-1, -1, 103} << none << 2 << "105"
                                         << IntList{105, -1, -1} << "" << none << "";

    const IntList tie{100, 0}, mcf{100, 546};
    const QString unknown = u"Unkown Extension"_s;
    QTest::newRow("tie: default by number")
        << "vsTieExt" << tie << no57 << 0 << "101" << IntList{101, 0} << mess << none << "";
    QTest::newRow("tie: default emptied")
        << "vsTieExt" << tie << no57 << 0 << "" << IntList{0, 0} << "" << IntList{0} << "";
    QTest::newRow("tie: default names nothing") << "vsTieExt" << tie << no57 << 0 << "300"
                                                << IntList{300, 0} << unknown << IntList{0} << "";
    // Text that names no extension leaves the default empty: there is no number to keep.
    QTest::newRow("tie: default, text naming nothing")
        << "vsTieExt" << tie << no57 << 0 << "Galley" << IntList{0, 0} << "" << IntList{0} << "";
    QTest::newRow("tie: second as other line") << "vsTieExt" << tie << IntList{102} << 1 << "102"
                                               << IntList{100, 102} << cabin2 << none << "";
    QTest::newRow("tie: second clashes") << "vsTieExt" << tie << IntList{101} << 1 << "102"
                                         << IntList{100, 102} << cabin2 << IntList{1} << "";
    // A group as the second ticks "Call MCF Group". Deck Hunt is group 0: found at the first index.
    QTest::newRow("tie: MCF group") << "vsTieExt" << IntList{100, 545} << no57 << 1 << "546" << mcf
                                    << "Deck Hunt" << none << "";
    QTest::newRow("tie: MCF group by name") << "vsTieExt" << mcf << no57 << 1 << "Galley Pickup"
                                            << IntList{100, 545} << "Galley Pickup" << none << "";
    QTest::newRow("tie: MCF names nothing")
        << "vsTieExt" << mcf << no57 << 1 << "550" << IntList{100, 550} << "Unkown Group"
        << IntList{1} << "";

    // The drop-down ends its edit once, whichever way it is left: a second
    // commit to an editor the grid has already let go makes Qt warn (and the
    // warning fails the test). Extension 104 is a second "Mess".
    for (const bool onTie : {true, false}) {
        const char *grid = onTie ? "vsTieExt" : "vsGroupExt";
        const int row = onTie ? 1 : 0; // the tie line's second, the group's first member
        const IntList start = onTie ? tie : none, other = onTie ? no57 : none;
        const auto held = [onTie](int n) { return onTie ? IntList{100, n} : IntList{n}; };
        QTest::addRow("%s, number typed, Return", grid)
            << grid << start << other << row << "103" << held(103) << "Cabin 3" << none << "return";
        QTest::addRow("%s, name typed, Return", grid) << grid << start << other << row << "Bridge"
                                                      << held(100) << "Bridge" << none << "return";
        QTest::addRow("%s, number picked from the list", grid)
            << grid << start << other << row << "104" << held(104) << mess << none << "list";
        QTest::addRow("%s, second of two names picked", grid)
            << grid << start << other << row << mess << held(104) << mess << none << "list";
    }
}

void TestPanes::grids()
{
    QFETCH(QString, grid);
    QFETCH(IntList, before);
    QFETCH(IntList, other);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(IntList, expected);
    QFETCH(QString, how);

    SmallShip doc;
    doc.config.Extensions[4].Name = QStringLiteral("Mess");
    GroupRecord &g = doc.config.Groups[0];
    TieRecord &t = doc.config.TieLines[56];
    auto &gaList = doc.config.SysConfig.GA;
    const IntList all = before + other;
    const bool tie = grid == QLatin1String("vsTieExt");
    if (grid == QLatin1String("vsGA")) {
        std::copy(all.begin(), all.end(), gaList.begin());
    } else if (tie) {
        t.Ext1 = int16_t(before[0]);
        t.Ext2 = int16_t(before[1]);
        doc.config.TieLines[57].Ext2 = int16_t(other[0]);
    } else {
        g.Exts.fill(-1);
        std::copy(all.begin(), all.end(), g.Exts.begin());
        g.Num = int16_t(before.size());
    }
    const PaneUnderTest tested = makePane(tie ? u"T"_s : grid == "vsGA"_L1 ? u"S"_s : u"G"_s, doc);
    tested.pane->showRecord(tie ? 56 : 0);
    tested.pane->show();
    auto *table = child<QTableWidget>(*tested.pane, qPrintable(grid));

    if (how.isEmpty())
        typeInCell(table, row, typed);
    else
        editInCell(table, row, how, typed);

    IntList held{t.Ext1, t.Ext2};
    if (grid == QLatin1String("vsGA"))
        held = IntList(gaList.begin(), gaList.begin() + GAEntries);
    else if (!tie)
        held = IntList(g.Exts.begin(), g.Exts.begin() + g.Num);
    QCOMPARE(held, expected);
    for (int r = 0; r < table->rowCount(); ++r) {
        const int n = expected.value(r, 0);
        QCOMPARE(table->item(r, 0)->text(), n > 0 ? QString::number(n) : QString());
        if (r != row)
            QCOMPARE(table->item(r, 1)->text(), n > 0 ? getNameFromExt(doc.config, n) : QString());
    }
    QTEST(table->item(row, 1)->text(), "name");
    QTEST(redRows(table), "red");
    QVERIFY(doc.configChanged());
    QVERIFY(!table->viewport()->findChild<QComboBox *>());
}

void TestPanes::systemSize_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<IntList>("counts"); // extensions, shore, satcom, PA, pager, groups

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

    SmallShip doc;
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

void TestPanes::applyOrLeave_data()
{
    QTest::addColumn<QString>("how"); // Apply Changes, another class picked, or Close
    QTest::addColumn<int>("officers"); // live Officer extensions
    QTest::addColumn<bool>("customMatch"); // a Custom extension with the edited options
    QTest::addColumn<Buttons>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("stays"); // on Officer, with the edits kept to apply later
    QTest::addColumn<bool>("swapped"); // the officers became Custom, the match joined

    const QString save = QStringLiteral("Do you want to save the changes?");
    const QString one = QStringLiteral("Are you sure that you want to update 1 Extension?");
    const QString three = QStringLiteral("Are you sure that you want to update 3 Extensions?");
    const QString match = QStringLiteral("There is 1 custom class extension matching this class.\n"
                                         "Do you want to update the class type?");
    const QString none = QStringLiteral("There are no extensions to be updated");
    using B = QMessageBox;
    using Texts = QStringList;
    QTest::newRow("officers follow")
        << "apply" << 3 << false << Buttons{B::Yes} << Texts{three} << true << false << false;
    QTest::newRow("officers become Custom, the match joins")
        << "apply" << 3 << true << Buttons{B::No, B::Yes} << Texts{three, match} << true << false
        << true;
    QTest::newRow("update cancelled")
        << "apply" << 3 << true << Buttons{B::Cancel} << Texts{three} << false << true << false;
    QTest::newRow("no extensions, OK")
        << "apply" << 0 << false << Buttons{B::Ok} << Texts{none} << true << false << false;
    QTest::newRow("no extensions, Cancel")
        << "apply" << 0 << false << Buttons{B::Cancel} << Texts{none} << false << true << false;
    // Declining the move still keeps the class's new options.
    QTest::newRow("only a Custom match, declined")
        << "apply" << 0 << true << Buttons{B::No} << Texts{match} << true << false << false;
    QTest::newRow("switch, save")
        << "switch" << 1 << false << Buttons{B::Yes, B::Yes} << Texts{save, one} << true << false
        << false;
    QTest::newRow("switch, save, then cancel the update")
        << "switch" << 1 << false << Buttons{B::Yes, B::Cancel} << Texts{save, one} << false
        << true << false;
    QTest::newRow("switch, discard")
        << "switch" << 1 << false << Buttons{B::No} << Texts{save} << false << false << false;
    QTest::newRow("switch, stay")
        << "switch" << 1 << false << Buttons{B::Cancel} << Texts{save} << false << true << false;
    QTest::newRow("Close, save")
        << "close" << 1 << false << Buttons{B::Yes, B::Yes} << Texts{save, one} << true << false
        << false;
    QTest::newRow("Close, discard")
        << "close" << 1 << false << Buttons{B::No} << Texts{save} << false << false << false;
    QTest::newRow("Close, stay")
        << "close" << 1 << false << Buttons{B::Cancel} << Texts{save} << false << true << false;
}

// Edits of a class are stored by Apply Changes, or when the class is left
// and the edits saved; its extensions follow, become Custom or are joined
// by Custom ones with the same options, as the answers say.
void TestPanes::applyOrLeave()
{
    QFETCH(QString, how);
    QFETCH(int, officers);
    QFETCH(bool, customMatch);
    QFETCH(Buttons, answers);
    QFETCH(bool, stored);
    QFETCH(bool, stays);
    QFETCH(bool, swapped);

    SmallShip doc;
    setClass(doc, 2, ClassCrew);
    for (int i = 4; i < 4 + officers; ++i)
        setClass(doc, i, ClassOfficer);
    const Configuration before = doc.config;
    // The class window opened on Officer with "Recall" cleared.
    ClassRightsDialog window(doc);
    window.show();
    ClassStatus edited = doc.config.ExtClasses[ClassOfficer].Status;
    edited[0] &= uint8_t(~ExtRecall);
    click(window, "chkSub_0");
    if (customMatch) {
        doc.config.Extensions[10].Class = ClassCustom;
        doc.config.Extensions[10].Status = edited;
    }
    doc.setConfigChanged(false);
    prompts_->buttons.append(answers);
    auto *combo = child<QComboBox>(window, "cboExtClass");

    if (how == QLatin1String("switch"))
        combo->setCurrentIndex(combo->findData(int(ClassCrew)));
    else
        click(window, how == QLatin1String("close") ? "cmdClose" : "cmdApplyChanges");

    QTEST(prompts_->texts(), "questions");
    // The update question says what No does.
    for (const Prompt &p : std::as_const(prompts_->asked)) {
        if (p.text.startsWith(QLatin1String("Are you sure that you want to update")))
            QVERIFY(p.detail.contains(QLatin1String("Custom")));
    }
    const Configuration &c = doc.config;
    QCOMPARE(c.ExtClasses[ClassOfficer].Status,
             stored ? edited : before.ExtClasses[ClassOfficer].Status);
    QCOMPARE(doc.configChanged(), stored);
    QCOMPARE(window.hasUnappliedEdits(), stays);
    const bool switched = how == QLatin1String("switch") && !stays;
    QCOMPARE(window.loadedClass(), switched ? int(ClassCrew) : int(ClassOfficer));
    QCOMPARE(combo->currentData().toInt(), window.loadedClass());
    QCOMPARE(window.isVisible(), how != QLatin1String("close") || stays);
    for (int i = 4; i < 4 + officers; ++i) {
        QCOMPARE(int(c.Extensions[i].Class), swapped ? int(ClassCustom) : int(ClassOfficer));
        // Custom or not, an extension keeps the options it is meant to have.
        const bool follows = stored && !swapped;
        QCOMPARE(c.Extensions[i].Status, follows ? edited : before.Extensions[i].Status);
    }
    if (customMatch)
        QCOMPARE(int(c.Extensions[10].Class), swapped ? int(ClassOfficer) : int(ClassCustom));
    QCOMPARE(c.Extensions[2], before.Extensions[2]); // a Crew extension is left alone
}

void TestPanes::className_data()
{
    QTest::addColumn<bool>("rename"); // of Officer, with an edit not yet applied
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("named"); // the class that then carries the name
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("full"); // every class in use: no new one is offered
    QTest::newRow("new class, a copy") << false << " officer " << 7 << "officer" << false;
    QTest::newRow("rename") << true << "Master" << int(ClassOfficer) << "Master" << false;
    QTest::newRow("new class, none free") << false << "" << 0 << "" << true;
}

void TestPanes::className()
{
    QFETCH(bool, rename);
    QFETCH(QString, typed);
    QFETCH(int, named);
    QFETCH(QString, name);
    QFETCH(bool, full);
    SmallShip doc;
    doc.config.ExtClasses[9].Active = true; // a class of the ship's own
    doc.config.ExtClasses[9].Name = QStringLiteral("Galley");
    const ClassStatus officer = doc.config.ExtClasses[ClassOfficer].Status;
    ClassRightsDialog window(doc);
    window.show();
    auto *combo = child<QComboBox>(window, "cboExtClass");
    // Custom and the built-in classes are never offered.
    QCOMPARE(comboTexts(combo), (QStringList{u"Officer"_s, u"Crew"_s, u"Galley"_s}));
    QCOMPARE(window.loadedClass(), int(ClassOfficer));
    QVERIFY(!window.hasUnappliedEdits());
    if (rename)
        click(window, "chkSub_0");
    for (int k = 8; full && k < MaxClasses; ++k)
        createClass(doc.config, QStringLiteral("Class %1").arg(k), -1);
    click(window, rename ? "cmdRename" : "cmdNewClass");
    if (full) {
        QVERIFY(!window.findChild<NewClassDialog *>());
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY(prompts_->asked.first().text.startsWith(u"All 31 extension classes"_s));
        return;
    }
    auto *dialog = child<NewClassDialog>(window, "frmNewClass");
    auto *box = child<QLineEdit>(*dialog, "txtClassName");
    auto *copy = child<QCheckBox>(*dialog, "chkCopy");
    QCOMPARE(box->text(), rename ? QStringLiteral("Officer") : QString());
    QCOMPARE(copy->isVisible(), !rename);

    typeOnly(box, QStringLiteral("   "));
    QVERIFY(!child<QPushButton>(*dialog, "cmdOK")->isEnabled()); // blanks are no name
    typeOnly(box, QStringLiteral("Officer")); // taken, for a rename as its own name
    click(*dialog, "cmdOK");
    QCOMPARE(prompts_->texts(),
             QStringList{QStringLiteral("There is already a class with this name")});
    QVERIFY(dialog->isVisible());
    QVERIFY(!doc.configChanged());

    typeOnly(box, typed);
    copy->setChecked(true);
    click(*dialog, "cmdOK");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(window.loadedClass(), named);
    QCOMPARE(doc.config.ExtClasses[named].Name, name);
    QCOMPARE(doc.config.ExtClasses[named].Status, officer); // a copy, or the edit still unapplied
    QVERIFY(doc.configChanged());
    QCOMPARE(combo->currentText(), name);
    QCOMPARE(window.hasUnappliedEdits(), rename);
    QCOMPARE(prompts_->asked.size(), 1); // no save question: the class shown was kept or new
}

void TestPanes::classRightsFromTheMenu()
{
    SmallShip doc;
    MainWindow window(doc);
    window.buildTree();
    window.navigateTo(QStringLiteral("E002")); // the officer
    window.show();
    window.findChild<QAction *>(QStringLiteral("mnuEditClass"))->trigger();
    auto *editor = child<ClassRightsDialog>(window, "frmClass");
    click(*editor, "cmdIcon");
    const int cosB = int(ClassIconDialog::iconKeys().indexOf(QStringLiteral("ExtCosB")));
    click(*child<ClassIconDialog>(*editor, "frmClassIcon"),
          qPrintable(QStringLiteral("picIcon_%1").arg(cosB)));
    click(*editor, "chkSub_0"); // Recall off
    prompts_->buttons.enqueue(QMessageBox::Yes);
    click(*editor, "cmdApplyChanges");
    click(*editor, "cmdClose");

    QVERIFY(window.windowTitle().endsWith(QLatin1Char('*')));
    auto *tree = child<NavTree>(window, "trvTables");
    QCOMPARE(tree->findNode(QStringLiteral("E002"))->icon(0).cacheKey(),
             appIcon(QStringLiteral("ExtCosB")).cacheKey());
    // The pane shown follows the class it was showing.
    QVERIFY(!child<QCheckBox>(window, "chkSub_0")->isChecked());
}

void TestPanes::members_data()
{
    QTest::addColumn<int>("group"); // of extension 7
    QTest::addColumn<int>("clicks"); // on its box; negative: then Cancel
    QTest::addColumn<int>("expected");
    const int ours = 546, other = 545;
    // A grey box (an extension in another group) cycles back to "leave it as
    // it is"; a plain one never turns grey.
    QTest::newRow("none, ticked") << 0 << 1 << ours;
    QTest::newRow("none, three clicks") << 0 << 3 << ours;
    QTest::newRow("ours, unticked") << ours << 1 << 0;
    QTest::newRow("ours, left") << ours << 0 << ours;
    QTest::newRow("other, ticked") << other << 1 << ours;
    QTest::newRow("other, unticked") << other << 2 << other;
    QTest::newRow("other, back to grey") << other << 3 << other;
    QTest::newRow("cancelled") << 0 << -1 << 0;
}

// The group pane opens the members dialog, which the keys page through; OK
// stores the boxes and the pane shows the group's users again.
void TestPanes::members()
{
    QFETCH(int, group);
    QFETCH(int, clicks);
    QFETCH(int, expected);
    SmallShip doc;
    Configuration &c = doc.config;
    c.Extensions[3].Active = false; // inactive: no box
    c.Extensions[40].Active = true; // no board in its slot: no box, and it keeps its group
    c.Extensions[40].Group = 546;
    c.Extensions[7].Group = int16_t(group);
    const Configuration before = c;
    GroupPane pane(doc);
    pane.show();
    pane.showRecord(0);
    click(pane, "cmdGrpSelect");
    QVERIFY(!doc.configChanged()); // opening the dialog changes nothing
    auto *dialog = child<GroupMembersDialog>(pane, "frmGroupExts");
    QCOMPARE(dialog->findChildren<QCheckBox *>().size(), 15);
    QVERIFY(!dialog->box(3) && !dialog->box(40));
    QCOMPARE(dialog->box(0)->text(), QStringLiteral("Bridge (100)"));
    // The box shows how the extension stands to the group: in it, in another one (grey), or not.
    QCOMPARE(dialog->box(7)->checkState(),
             group == 546 ? Qt::Checked : group ? Qt::PartiallyChecked : Qt::Unchecked);
    // The first box starts with the focus; Home, End and the page keys move it.
    QCOMPARE(dialog->focusWidget(), dialog->box(0));
    const auto press = [dialog](int from, Qt::Key key) {
        dialog->box(from)->setFocus();
        QTest::keyClick(dialog->box(from), key);
        return dialog->focusWidget();
    };
    QCOMPARE(press(2, Qt::Key_PageDown), dialog->box(13)); // ten boxes on: 3 has none
    QCOMPARE(press(9, Qt::Key_PageDown), dialog->box(15));
    QCOMPARE(press(6, Qt::Key_PageUp), dialog->box(0));
    QCOMPARE(press(8, Qt::Key_Home), dialog->box(0));
    QCOMPARE(press(0, Qt::Key_End), dialog->box(15));

    for (int k = 0; k < std::abs(clicks); ++k)
        clickBox(dialog->box(7));
    click(*dialog, clicks < 0 ? "cmdCancel" : "cmdOK");

    QCOMPARE(int(c.Extensions[7].Group), expected);
    QCOMPARE(doc.configChanged(), expected != group);
    QCOMPARE(child<QLineEdit>(pane, "txtGroupLead")->text(), groupUsersText(c, 0));
    c.Extensions[7].Group = before.Extensions[7].Group;
    QVERIFY(c == before);
    // A pickup group has no users to choose.
    pane.showRecord(1);
    QVERIFY(!child<QPushButton>(pane, "cmdGrpSelect")->isEnabled());
}

// The board plan shows what the planner makes of the lists; a plan the
// cabinet cannot hold is refused until fewer lines are asked for. The
// officer box keeps only digits and refuses more officers than extensions
// when left and at OK; OK runs the generator with every one of the six numbers.
void TestPanes::newSystem_data()
{
    QTest::addColumn<NewSystemCounts>("counts"); // chosen, and the officers the box keeps
    QTest::addColumn<QString>("typed"); // into the officer box

    QTest::newRow("16 extensions, four lines, no officers")
        << NewSystemCounts{16, 0, 2, 1, 1, 0} << QString();
    QTest::newRow("8 extensions, one officer, a pager") << NewSystemCounts{8, 1, 0, 0, 0, 1} << "1";
    QTest::newRow("officers: letters and signs dropped")
        << NewSystemCounts{16, 15, 0, 0, 0, 0} << "-1a5";
    QTest::newRow("officers: more than the total") << NewSystemCounts{8, 12, 0, 0, 0, 0} << "1 2";
    QTest::newRow("120 extensions and a shore line, refused")
        << NewSystemCounts{120, 0, 1, 0, 0, 0} << QString();
}

void TestPanes::newSystem()
{
    QFETCH(NewSystemCounts, counts);
    QFETCH(QString, typed);

    Configuration config = makeDefaultConfiguration();
    config.Extensions[100].Name = QStringLiteral("left over");
    const Configuration before = config;
    NewSystemDialog dlg(config);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    choose(dlg, "cboExtensions", counts.extensions);
    choose(dlg, "cboShore", counts.shore);
    choose(dlg, "cboSATCOM", counts.satcom);
    choose(dlg, "cboPA", counts.pa);
    choose(dlg, "cboPager", counts.pager);
    auto *box = child<QLineEdit>(dlg, "txtOfficer");
    box->setFocus();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), counts.officers ? QString::number(counts.officers) : QString());

    // Leaving the box checks it; where the limit lies is tabled with the model.
    child<QComboBox>(dlg, "cboShore")->setFocus();
    QCoreApplication::processEvents();
    const bool fits = officersFit(counts);
    QCOMPARE(panes::fieldInError(box), !fits);
    QCOMPARE(box->toolTip(), fits ? QStringLiteral("Number of Officer class extensions required")
                                  : QStringLiteral("Must be less than the total number of "
                                                   "extensions in the system"));
    QTRY_COMPARE(QApplication::focusWidget() == box, !fits);

    const BoardPlanResult plan = planBoards(counts);
    for (int k = 1; k <= LineSlotCount; ++k)
        QCOMPARE(shapeColour(dlg, k + 1), documentedColour(plan.BoardPlan[k]));
    auto *ok = child<QPushButton>(dlg, "OKButton");
    QCOMPARE(ok->isEnabled(), !plan.overflow);
    const QString refusal = QStringLiteral("This configuration not possible");
    QCOMPARE(prompts_->texts(), plan.overflow ? QStringList{refusal} : QStringList());
    QVERIFY(config == before); // planning never touches the configuration
    if (plan.overflow) {
        for (const char *combo : {"cboShore", "cboSATCOM", "cboPA", "cboPager"})
            choose(dlg, combo, 0);
        QVERIFY(ok->isEnabled());
        QCOMPARE(shapeColour(dlg, 16), documentedColour(BoardSubscriber));
        QCOMPARE(prompts_->asked.size(), 1);
        return;
    }
    // OK checks the officers again: a refused count never reaches the generator.
    ok->click();
    QCOMPARE(dlg.isVisible(), !fits);
    QCOMPARE(dlg.result(), fits ? int(QDialog::Accepted) : int(QDialog::Rejected));
    Configuration direct = makeDefaultConfiguration();
    if (fits) {
        QVERIFY(!config.SysConfig.LastUpdate.isEmpty());
        generateNewSystem(direct, counts, plan, config.SysConfig.LastUpdate);
    }
    QVERIFY(config == (fits ? direct : before));
    QVERIFY(prompts_->asked.isEmpty());
}

void TestPanes::cancelOrOpen_data()
{
    QTest::addColumn<bool>("openInstead");
    QTest::addColumn<QString>("file"); // name in a scratch folder, chosen in quotes; empty: none
    QTest::addColumn<int>("result"); // -1: the dialog stays open

    // Which files are configurations is tabled with the file layer (existFile).
    QTest::newRow("plain Cancel") << false << QString() << int(QDialog::Rejected);
    QTest::newRow("Open..., nothing chosen") << true << QString() << -1;
    QTest::newRow("Open..., configuration file")
        << true << "ship.TWZ" << int(NewSystemDialog::OpenedFile);
    QTest::newRow("Open..., missing file") << true << "gone.TWZ" << -1;
}

void TestPanes::cancelOrOpen()
{
    QFETCH(bool, openInstead);
    QFETCH(QString, file);
    QFETCH(int, result);

    QTemporaryDir dir;
    const QString path = file.isEmpty() ? QString() : dir.filePath(file);
    if (result == NewSystemDialog::OpenedFile) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\r\n<TidelexAnalog>\r\n<VERSION>3.0</VERSION>\r\n");
    }
    const QString answer = path.isEmpty() ? QString() : u'"' + path + u'"';
    const bool refusal = !file.isEmpty() && result == -1;
    prompts_->files.enqueue(answer);
    Configuration config = makeDefaultConfiguration();
    const Configuration before = config;
    NewSystemDialog dlg(config);
    dlg.setOpenInstead(openInstead);
    dlg.show();
    auto *cancel = child<QPushButton>(dlg, "CancelButton");
    QCOMPARE(cancel->text(), openInstead ? QStringLiteral("Open...") : QStringLiteral("Cancel"));

    cancel->click();

    QCOMPARE(dlg.isVisible(), result == -1);
    if (result != -1)
        QCOMPARE(dlg.result(), result);
    QVERIFY(config == before);
    QCOMPARE(prompts_->asked.size(), (openInstead ? 1 : 0) + (refusal ? 1 : 0));
    if (refusal)
        QCOMPARE(prompts_->asked.last().text, answer + u" is not valid. Not Loading"_s);
    QCOMPARE(dlg.chosenFile(), result == NewSystemDialog::OpenedFile ? path : QString());
}

QTEST_MAIN(TestPanes)
#include "tst_panes.moc"
