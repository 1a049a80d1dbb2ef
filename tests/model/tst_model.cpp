// The configuration model: defaults, lookups, edits that reach several
// records at once (a slot's board, a class's options), and comparing two
// configurations record by record.
#include "BoardChange.h"
#include "ClassEdits.h"
#include "ConfigDiff.h"
#include "Configuration.h"
#include "Equipment.h"
#include "GroupUsers.h"
#include "Names.h"
#include "RecordSearch.h"
#include "SmallShip.h"

#include <QtTest>
#include <functional>

using namespace tidelex;

using Change = std::function<void(Configuration &)>;
Q_DECLARE_METATYPE(Change)

namespace {

// Slots 2 and 3 Subscriber (extensions 0..15 live), slot 4 Tie Line (tie
// lines 8..11 live), the rest empty.
Configuration boardedShip()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Slots[2] = c.SysConfig.Slots[3] = BoardSubscriber;
    c.SysConfig.Slots[4] = BoardTieLine;
    for (int i = 0; i < 16; ++i) {
        c.Extensions[i].Active = true;
        c.Extensions[i].Class = ClassCrew;
        c.Extensions[i].Status = c.ExtClasses[ClassCrew].Status;
    }
    for (int t = 8; t < 12; ++t)
        c.TieLines[t].Active = true;
    return c;
}

// Every extension number out of the way, then `taken` given to extensions 0, 1, ...
Configuration withNumbers(const QList<int> &taken)
{
    Configuration c = boardedShip();
    for (int i = 0; i < MaxExtensions; ++i)
        c.Extensions[i].ExtNum = 0;
    for (int k = 0; k < taken.size(); ++k)
        c.Extensions[k].ExtNum = int16_t(taken[k]);
    return c;
}

// Numbers as `numbers` gives them: "E24=0" an extension's number, "T8=129" a
// tie line's, "G0=126" a group's, which also becomes active.
void giveNumbers(Configuration &c, const QString &numbers)
{
    for (const QString &item : numbers.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int index = item.section(QLatin1Char('='), 0, 0).mid(1).toInt();
        const auto number = int16_t(item.section(QLatin1Char('='), 1).toInt());
        if (item.startsWith(QLatin1Char('E'))) {
            c.Extensions[index].ExtNum = number;
        } else if (item.startsWith(QLatin1Char('T'))) {
            c.TieLines[index].DirNum = number;
        } else {
            c.Groups[index].Active = true;
            c.Groups[index].DirNum = number;
        }
    }
}

constexpr ClassStatus editedStatus{0x80, 0x41, 0x03, 0, 0x10, 0};

// The small ship with extension 01.1 an Officer, 01.4 Custom, 01.5 a hot
// line to 101, tie lines with the Shore class's options, and PIN 1234.
Configuration ship()
{
    Configuration c = fixtures::smallShip();
    c.SysConfig.PIN = 1234;
    c.SysConfig.LastUpdate = QStringLiteral("01/02/2026 10:00");
    c.Extensions[0].Class = ClassOfficer;
    c.Extensions[3].Class = ClassCustom;
    c.Extensions[4].Class = ClassHotLine;
    c.Extensions[4].DirectDial = 101;
    for (int i : {0, 4})
        c.Extensions[i].Status = c.ExtClasses[c.Extensions[i].Class].Status;
    for (int t = 4; t < 8; ++t)
        std::copy_n(c.TieClasses[TieClassShore].Status.begin(), TieStatusBytes,
                    c.TieLines[t].Status.begin());
    return c;
}

QStringList keys(const char *list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList describe(const QList<Difference> &list)
{
    QStringList lines;
    for (const Difference &d : list)
        lines << QStringList{d.key, d.record, d.field, d.first, d.second}.join(QLatin1Char('|'));
    return lines;
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void clearConfig();
    void findExtension_data();
    void findExtension();
    void positions();
    void liveRecordsNeedBoardAndActive();
    void nameFromNumber_data();
    void nameFromNumber();
    void groupUsersText();
    void freeNumber_data();
    void freeNumber();
    void boardChange_data();
    void boardChange();
    void newBoardNumbers_data();
    void newBoardNumbers();
    void cabinetDifferences();
    void applyClass_data();
    void applyClass();
    void matchingCustomJoinTheClass();
    void classNames_data();
    void classNames();
    void singleChange_data();
    void singleChange();
    void namesIgnoredOnRequest();
    void countedByKind_data();
    void countedByKind();
    void findByNumberOrName_data();
    void findByNumberOrName();
};

// The reset gives every record its place's name and number and clears the
// line boards, but leaves the cabinet's own boards, the classes, the fourth
// guaranteed-access entry and the tie lines the exchange never sees.
void TestModel::clearConfig()
{
    Configuration c = makeDefaultConfiguration();
    QCOMPARE(c.Extensions[119].Name, QStringLiteral("New Ext Brd 15 Port 8"));
    QCOMPARE(c.Extensions[119].Class, int16_t(ClassDisabled));
    QVERIFY(!c.Extensions[119].Active);
    QCOMPARE(c.Extensions[127].ExtNum, int16_t(227));
    const TieRecord &tie = c.TieLines[59];
    QCOMPARE(tie.Name, QStringLiteral("New Tie Brd 15 Port 4"));
    QCOMPARE(tie.DirNum, int16_t(959));
    QCOMPARE(tie.Ext1, int16_t(103));
    QVERIFY(tie.Dial9);
    QCOMPARE(c.SysConfig.GA[2], int16_t(-1));
    QCOMPARE(c.Groups[15].Exts[11], int16_t(0));

    c.SysConfig.Slots = {BoardTone16, BoardProcessor, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2,
                         BoardRinging};
    c.SysConfig.GA[3] = 42;
    c.ExtClasses[9].Name = QStringLiteral("Galley");
    c.TieLines[60].Name = QStringLiteral("spare");
    ::clearConfig(c);
    QCOMPARE(c.SysConfig.Slots[0], int16_t(BoardTone16));
    QCOMPARE(c.SysConfig.Slots[1], int16_t(BoardProcessor));
    QCOMPARE(c.SysConfig.Slots[17], int16_t(BoardRinging));
    for (int s = 2; s <= 16; ++s)
        QCOMPARE(c.SysConfig.Slots[s], int16_t(BoardEmpty));
    QCOMPARE(c.SysConfig.GA[3], int16_t(42));
    QCOMPARE(c.ExtClasses[9].Name, QStringLiteral("Galley"));
    QCOMPARE(c.TieLines[60].Name, QStringLiteral("spare"));
}

void TestModel::findExtension_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("anyRecord");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("live");
    // Boards in slots 2 and 3 (records 0..15); record 50 sits on an empty
    // slot; every other record keeps its reset number 100 + i, inactive.
    QTest::newRow("lowest of duplicates") << 300 << 3 << 3 << 3;
    QTest::newRow("inactive before live") << 330 << 9 << 12 << 12;
    QTest::newRow("active off board") << 310 << 50 << 50 << -1;
    QTest::newRow("inactive record") << 110 << 10 << -1 << -1;
    QTest::newRow("outside the plan still matches") << 42 << 4 << 4 << 4;
    QTest::newRow("spare record never searched") << 400 << -1 << -1 << -1;
    QTest::newRow("none") << 0 << -1 << -1 << -1;
}

void TestModel::findExtension()
{
    QFETCH(int, number);
    QFETCH(int, anyRecord);
    QFETCH(int, active);
    QFETCH(int, live);
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[3] = BoardSubscriber;
    giveNumbers(c, QStringLiteral("E3=300 E60=300 E4=42 E9=330 E12=330 E50=310 E120=400"));
    for (int i : {3, 60, 4, 12, 50, 120})
        c.Extensions[i].Active = true;
    QCOMPARE(findExtensionRecord(c, number), anyRecord);
    QCOMPARE(findActiveExtension(c, number), active);
    QCOMPARE(findLiveExtension(c, number), live);
    // The DOS import alone reaches the spare record.
    QCOMPARE(findExtensionRecord(c, 400, MaxExtensions + 1), 120);
}

// The first records' places show in the comparison's record names and keys.
void TestModel::positions()
{
    QCOMPARE(extensionPosition(119), QStringLiteral("15.8"));
    QCOMPARE(extensionSlot(119), 16);
    QCOMPARE(extensionKey(119), QStringLiteral("E119"));
    QCOMPARE(tieLinePosition(59), QStringLiteral("15.4"));
    QCOMPARE(tieLineSlot(59), 16);
}

void TestModel::liveRecordsNeedBoardAndActive()
{
    Configuration c = makeDefaultConfiguration();
    c.Extensions[0].Active = true;
    QVERIFY(!isLiveExtension(c, 0));
    c.SysConfig.Slots[2] = BoardSubscriber;
    QVERIFY(isLiveExtension(c, 0));
    QVERIFY(!isLiveExtension(c, 1));
    c.SysConfig.Slots[2] = BoardTieLine;
    c.TieLines[0].Active = true;
    QVERIFY(!isLiveExtension(c, 0));
    QVERIFY(isLiveTieLine(c, 0));
    c.TieLines[60].Active = true; // falls on the ringing module's slot
    QVERIFY(!isLiveTieLine(c, 60));
}

void TestModel::nameFromNumber_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("zero") << 0 << "";
    QTest::newRow("extension") << 105 << "New Ext Brd 1 Port 6";
    QTest::newRow("unknown extension") << 499 << "Unknown Extension";
    QTest::newRow("group") << 545 << "Mess";
    QTest::newRow("unknown group") << 599 << "Unknown Group";
    QTest::newRow("invalid") << 600 << "Invalid Extension";
    QTest::newRow("negative") << -1 << "Invalid Extension";
}

void TestModel::nameFromNumber()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    Configuration c = makeDefaultConfiguration();
    c.Groups[1].DirNum = 545;
    c.Groups[1].Name = QStringLiteral("Mess");
    QCOMPARE(getNameFromExt(c, number), name);
}

void TestModel::groupUsersText()
{
    Configuration c = makeDefaultConfiguration();
    c.Groups[0].DirNum = 546;
    QCOMPARE(::groupUsersText(c, 0), QString());
    c.Extensions[4].Group = 546;
    QCOMPARE(::groupUsersText(c, 0), QStringLiteral("104 ( New Ext Brd 1 Port 5) "));
    c.Extensions[9].Group = 546;
    QCOMPARE(::groupUsersText(c, 0), QStringLiteral("104 109 "));
}

void TestModel::freeNumber_data()
{
    QTest::addColumn<QList<int>>("taken");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("expected");
    QTest::newRow("nothing in the range") << QList<int>{100, 140} << 124 << 131 << 124;
    QTest::newRow("first gap in the range") << QList<int>{124, 125, 127} << 124 << 131 << 126;
    QTest::newRow("low end taken") << QList<int>{124} << 124 << 124 + 7 << 125;
    QTest::newRow("full range: lowest free number")
        << QList<int>{124, 125, 126, 127, 128, 129, 130, 131, 100, 101} << 124 << 131 << 102;
    QTest::newRow("range above 499 is cut")
        << QList<int>{495, 496, 497, 498, 499} << 495 << 502 << 100;
}

void TestModel::freeNumber()
{
    QFETCH(QList<int>, taken);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, expected);
    QCOMPARE(findFreeExtensionNumber(withNumbers(taken), low, high), expected);
}

void TestModel::boardChange_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("changed");
    QTest::newRow("Subscriber to Tie Line") << 3 << int(BoardTieLine) << true;
    QTest::newRow("Subscriber to Empty") << 2 << int(BoardEmpty) << true;
    QTest::newRow("Tie Line to Subscriber") << 4 << int(BoardSubscriber) << true;
    QTest::newRow("Tie Line to Empty") << 4 << int(BoardEmpty) << true;
    QTest::newRow("Empty to Tie Line") << 16 << int(BoardTieLine) << true;
    QTest::newRow("Empty to Subscriber") << 16 << int(BoardSubscriber) << true;
    QTest::newRow("processor slot refused") << 1 << int(BoardSubscriber) << false;
    QTest::newRow("ringing module slot refused") << 17 << int(BoardEmpty) << false;
    QTest::newRow("tone slot refused") << 0 << int(BoardTieLine) << false;
    QTest::newRow("not a line board") << 5 << int(BoardProcessor) << false;
    QTest::newRow("already this board") << 2 << int(BoardSubscriber) << false;
}

void TestModel::boardChange()
{
    QFETCH(int, slot);
    QFETCH(int, board);
    QFETCH(bool, changed);
    Configuration c = boardedShip();
    c.Extensions[3].Active = false; // an already-Subscriber slot is not switched on again
    const Configuration before = c;
    const BoardChangeResult result = changeSlotBoard(c, slot, board);
    QCOMPARE(result.changed, changed);
    QVERIFY(result.unnumbered.isEmpty());
    if (!changed) {
        QVERIFY(c == before);
        return;
    }
    QCOMPARE(c.SysConfig.Slots[slot], int16_t(board));
    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &ext = c.Extensions[i];
        if (extensionSlot(i) == slot) {
            // Only the slot's own ports change, and only whether they are in use.
            QCOMPARE(ext.Active, board == BoardSubscriber);
            QCOMPARE(ext.ExtNum, before.Extensions[i].ExtNum);
            QCOMPARE(ext.Name, before.Extensions[i].Name);
        } else {
            QCOMPARE(ext, before.Extensions[i]);
        }
    }
    for (int t = 0; t < MaxTieLines; ++t) {
        if (tieLineSlot(t) == slot)
            QCOMPARE(c.TieLines[t].Active, board == BoardTieLine);
        else
            QCOMPARE(c.TieLines[t], before.TieLines[t]);
    }
}

// Slot 5 gets a Subscriber board: ports 24..31, numbered 124..131 unless a
// row says otherwise. A port keeps its number unless it would clash.
// clang-format off
void TestModel::newBoardNumbers_data()
{
    QTest::addColumn<QString>("numbers");    // given before the board goes in (giveNumbers)
    QTest::addColumn<QString>("renumbered"); // "E25=100 ..."; every other port keeps its own
    // 25 searches 125..131: 125 went to 24, 126..131 stay with their ports;
    // the lowest free number is 100, left by extension 0.
    QTest::newRow("numbered 0") << "E24=0 E25=0 E0=124" << "E24=125 E25=100";
    QTest::newRow("number of a live extension") << "E0=130" << "E30=100";
    QTest::newRow("number of a record on an empty slot") << "E40=127" << "";
    QTest::newRow("number of an active group") << "G0=126" << "E26=116";
    QTest::newRow("number of a live tie line") << "T8=129" << "E29=116";
    QTest::newRow("number twice on the board") << "E25=124" << "E25=125";
    QTest::newRow("number outside the plan") << "E28=600" << "E28=128";
}
// clang-format on

void TestModel::newBoardNumbers()
{
    QFETCH(QString, numbers);
    QFETCH(QString, renumbered);
    Configuration c = boardedShip();
    giveNumbers(c, numbers);
    Configuration expected = c;
    giveNumbers(expected, renumbered);
    QVERIFY(changeSlotBoard(c, 5, BoardSubscriber).changed);
    for (int i = 24; i < 32; ++i) {
        QCOMPARE(c.Extensions[i].ExtNum, expected.Extensions[i].ExtNum);
        QVERIFY(isLiveExtension(c, i));
    }
}

void TestModel::cabinetDifferences()
{
    const Configuration c = boardedShip();
    InstalledBoardList installed = defaultInstalledBoards();
    installed[0] = BoardTone8; // the cabinet's own boards are not compared
    installed[2] = installed[3] = BoardSubscriber;
    installed[4] = BoardSubscriber;
    installed[9] = BoardTieLine;
    const QList<SlotDifference> found = ::cabinetDifferences(c, installed);
    const QList<SlotDifference> expected = {{4, BoardTieLine, BoardSubscriber},
                                            {9, BoardEmpty, BoardTieLine}};
    QCOMPARE(found, expected);
    QCOMPARE(slotDifferenceText(found.first()),
             QStringLiteral("Slot 4: configuration Tie Line, exchange Subscriber"));
}

void TestModel::applyClass_data()
{
    QTest::addColumn<bool>("follow");
    QTest::newRow("extensions take the new options") << true;
    QTest::newRow("extensions become Custom") << false;
}

void TestModel::applyClass()
{
    QFETCH(bool, follow);
    Configuration c = boardedShip();
    c.Extensions[2].Class = ClassOfficer;
    c.Extensions[2].Status = c.ExtClasses[ClassOfficer].Status;
    c.Extensions[40].Class = ClassOfficer; // on an empty slot: an officer once the board is back
    c.Extensions[40].Status = c.ExtClasses[ClassOfficer].Status;
    c.Extensions[5].Active = false;
    c.Extensions[5].Class = ClassOfficer;
    c.Extensions[5].Status = c.ExtClasses[ClassOfficer].Status;
    const Configuration before = c;
    QCOMPARE(liveClassMembers(c, ClassOfficer), 1);

    ::applyClass(c, ClassOfficer, editedStatus, QStringLiteral("ExtCosB"),
                 follow ? MemberUpdate::FollowClass : MemberUpdate::MakeCustom);

    // The class keeps options and icon in both cases.
    QCOMPARE(c.ExtClasses[ClassOfficer].Status, editedStatus);
    QCOMPARE(c.ExtClasses[ClassOfficer].IconName, QStringLiteral("ExtCosB"));
    for (int i : {2, 5, 40}) {
        const ExtRecord &ext = c.Extensions[i];
        QCOMPARE(ext.Class, int16_t(follow ? ClassOfficer : ClassCustom));
        QCOMPARE(ext.Status, follow ? editedStatus : before.Extensions[i].Status);
    }
    // Other classes' extensions are left alone.
    QCOMPARE(c.Extensions[3], before.Extensions[3]);
    QCOMPARE(c.ExtClasses[ClassCrew], before.ExtClasses[ClassCrew]);
}

void TestModel::matchingCustomJoinTheClass()
{
    Configuration c = boardedShip();
    c.ExtClasses[ClassOfficer].Status = editedStatus;
    for (int i : {6, 7, 8, 40}) {
        c.Extensions[i].Class = ClassCustom;
        c.Extensions[i].Status = editedStatus;
    }
    c.Extensions[8].Status[2] ^= 0x01;   // one dial-6 code apart
    c.Extensions[7].Active = false;      // not live
    QCOMPARE(matchingCustomExtensions(c, editedStatus), 1);
    QCOMPARE(adoptMatchingCustom(c, ClassOfficer), 1);
    QCOMPARE(c.Extensions[6].Class, int16_t(ClassOfficer));
    for (int i : {7, 8, 40})
        QCOMPARE(c.Extensions[i].Class, int16_t(ClassCustom));
}

void TestModel::classNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("copyOf"); // -1: a new class
    QTest::addColumn<int>("problem");
    const int none = int(ClassNameProblem::None);
    const int taken = int(ClassNameProblem::Taken);
    QTest::newRow("new name") << QStringLiteral("Galley") << -1 << none;
    QTest::newRow("copy of a class") << QStringLiteral("Deck Officer") << int(ClassOfficer) << none;
    QTest::newRow("exact name taken") << QStringLiteral("Officer") << -1 << taken;
    QTest::newRow("taken once trimmed") << QStringLiteral("  Crew ") << -1 << taken;
    QTest::newRow("built-in name taken") << QStringLiteral("Hot Line") << -1 << taken;
    QTest::newRow("other letter case") << QStringLiteral("officer") << -1 << none;
    QTest::newRow("blanks only") << QStringLiteral("   ") << -1 << int(ClassNameProblem::Blank);
    QTest::newRow("inactive class's name") << QStringLiteral("Old Galley") << -1 << none;
}

// A new class starts clean, or as a copy of the class it is made from,
// whatever the unused record held before.
void TestModel::classNames()
{
    QFETCH(QString, name);
    QFETCH(int, copyOf);
    QFETCH(int, problem);
    Configuration c = boardedShip();
    c.ExtClasses[9].Name = QStringLiteral("Old Galley"); // left behind, not active
    c.ExtClasses[7] = {false, QString(), editedStatus, QStringLiteral("Disabled"), true};
    const Configuration before = c;
    ClassNameProblem found = ClassNameProblem::None;
    const int index = createClass(c, name, copyOf, &found);
    QCOMPARE(int(found), problem);
    if (problem != int(ClassNameProblem::None)) {
        QCOMPARE(index, -1);
        QVERIFY(c == before);
        return;
    }
    QCOMPARE(index, 7); // the lowest free index after the built-in classes
    const ClassRecord &made = c.ExtClasses[index];
    QCOMPARE(made.Name, name.trimmed());
    QVERIFY(isEditableClass(c, index)); // active, not fixed
    QCOMPARE(made.Status, copyOf < 0 ? ClassStatus{} : c.ExtClasses[copyOf].Status);
    QCOMPARE(made.IconName, c.ExtClasses[copyOf < 0 ? ClassCustom : copyOf].IconName);
}

// One row per way a field is compared and worded; fields that share a way
// (another option bit, another yes/no) are left out.
// clang-format off
void TestModel::singleChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("expected"); // key|record|field|first|second

    auto row = [](const char *name, Change change, const char *expected) {
        QTest::newRow(name) << change << QString::fromUtf8(expected);
    };
    row("extension number", [](Configuration &c) { c.Extensions[2].ExtNum = 150; },
        "E002|Extension 01.3|Ext No|103|150");
    row("extension name", [](Configuration &c) { c.Extensions[7].Name = QStringLiteral("Cabin"); },
        "E007|Extension 01.8|Name|Deck|Cabin");
    row("class with its own options: the class only", [](Configuration &c) {
            c.Extensions[1].Class = ClassOfficer;
            c.Extensions[1].Status = c.ExtClasses[ClassOfficer].Status;
        }, "E001|Extension 01.2|Class|Crew|Officer");
    row("option of a custom extension", [](Configuration &c) { c.Extensions[3].Status[0] ^= ExtRecall; },
        "E003|Extension 01.4|Recall|N|Y");
    row("dial 63", [](Configuration &c) { c.Extensions[3].Status[2] ^= 0x04; },
        "E003|Extension 01.4|Dial 63|N|Y");
    row("extension joins a group", [](Configuration &c) { c.Extensions[5].Group = 501; },
        "E005|Extension 01.6|Group|None|Officers (501)");
    row("hot line target", [](Configuration &c) { c.Extensions[4].DirectDial = 102; },
        "E004|Extension 01.5|Hotline to|Bridge (101)|Galley (102)");
    row("extension out of use", [](Configuration &c) { c.Extensions[6].Active = false; },
        "E006|Extension 01.7|In use|Y|N");
    row("tie line default extension", [](Configuration &c) { c.TieLines[5].Ext1 = 105; },
        "T005|Tie line 02.2|Default Ext|Bridge (101)|Radio (105)");
    row("tie line second designated", [](Configuration &c) { c.TieLines[4].Ext2 = 501; },
        "T004|Tie line 02.1|2nd Designated|None|Officers (501)");
    row("tie line route 61", [](Configuration &c) { c.TieLines[7].Dial6[0] = true; },
        "T007|Tie line 02.4|Dial 61|N|Y");
    row("tie line DTMF", [](Configuration &c) { c.TieLines[6].Status[0] &= ~TieDTMF; },
        "T006|Tie line 02.3|DTMF|Y|N");
    row("group members", [](Configuration &c) {
            c.Groups[0].Exts[2] = 103;
            c.Groups[0].Num = 3;
        }, "G000|Group 01|Members|Bridge (101), Galley (102)|Bridge (101), Galley (102), Mess (103)");
    row("group type", [](Configuration &c) { c.Groups[0].Type = GroupMultipleCallForward; },
        "G000|Group 01|Type|Hunt|Multi-Call Forward");
    row("tie PIN removed", [](Configuration &c) { c.SysConfig.PIN = 0; },
        "RRR|System|Tie PIN|1234|None");
    row("board fitted in an empty slot", [](Configuration &c) { c.SysConfig.Slots[5] = BoardTieLine; },
        "RRR|System|Slot 5 (Board 04)|Empty|Tie Line");
    row("guaranteed access", [](Configuration &c) { c.SysConfig.GA[0] = 101; },
        "RRR|System|Guaranteed Access|None|Bridge (101)");
    row("class option", [](Configuration &c) { c.ExtClasses[ClassOfficer].Status[1] ^= ExtIntrude; },
        "XXX|Class Officer|Intrude|Y|N");
    row("tie-line class option", [](Configuration &c) { c.TieClasses[TieClassPA].Status[0] ^= TieDDI; },
        "XXX|Tie line class PA|Direct Dial In|N|Y");
    // Saved later, with changes only to records out of use.
    row("nothing compared", [](Configuration &c) {
            c.SysConfig.LastUpdate = QStringLiteral("03/04/2026 18:30");
            c.Extensions[20].Name = QStringLiteral("No board here"); // slot 4 is empty
            c.Extensions[20].Active = true;
            c.TieLines[0].Name = QStringLiteral("On a Subscriber slot");
            c.Groups[5].Name = QStringLiteral("Disabled group");
            c.ExtClasses[20].Name = QStringLiteral("Unused class");
            c.Extensions[125].Name = QStringLiteral("Spare record");
        }, "");
}
// clang-format on

void TestModel::singleChange()
{
    QFETCH(Change, change);
    QFETCH(QString, expected);
    const Configuration before = ship();
    Configuration after = before;
    change(after);
    QCOMPARE(describe(compareConfigurations(before, after)).join(u'\n'), expected);
    // The other way round, the same difference with the values swapped.
    QStringList swapped = expected.split(QLatin1Char('|'));
    if (swapped.size() == 5)
        swapped.swapItemsAt(3, 4);
    QCOMPARE(describe(compareConfigurations(after, before)).join(u'\n'),
             swapped.join(QLatin1Char('|')));
}

void TestModel::namesIgnoredOnRequest()
{
    const Configuration named = ship();
    Configuration renamed = named;
    renamed.SysConfig.Name = QStringLiteral("Other ship");
    renamed.Extensions[0].Name = QStringLiteral("Ext 101");
    renamed.TieLines[4].Name = QStringLiteral("Tie 904");
    renamed.Groups[0].Name = QStringLiteral("Group 1");
    renamed.ExtClasses[ClassCrew].Name = QStringLiteral("Ratings");
    QCOMPARE(compareConfigurations(named, renamed).size(), 5);
    for (const Difference &d : compareConfigurations(named, renamed))
        QCOMPARE(d.field, QStringLiteral("Name"));
    DiffOptions options;
    options.ignoreNames = true;
    QVERIFY(compareConfigurations(named, renamed, options).isEmpty());
    // Everything else still counts, numbers shown without names.
    renamed.Extensions[0].ExtNum = 199;
    renamed.TieLines[4].Ext1 = 102;
    QCOMPARE(describe(compareConfigurations(named, renamed, options)),
             (QStringList{QStringLiteral("E000|Extension 01.1|Ext No|101|199"),
                          QStringLiteral("T004|Tie line 02.1|Default Ext|101|102")}));
}

void TestModel::countedByKind_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("summary");
    QTest::newRow("one field") << Change([](Configuration &c) { c.Extensions[1].ExtNum = 150; })
                               << "1 extension";
    QTest::newRow("two fields of one record, and a tie line") << Change([](Configuration &c) {
        c.Extensions[1].ExtNum = 150;
        c.Extensions[1].Group = 501;
        c.TieLines[5].Dial9 = true;
    }) << "1 extension and 1 tie line";
    QTest::newRow("every kind once") << Change([](Configuration &c) {
        c.SysConfig.PIN = 0;
        c.Groups[0].Type = GroupPickup;
        c.Groups[1].Active = true;
        c.ExtClasses[ClassCrew].Status[0] ^= ExtRecall;
    }) << "the system, 2 groups and 1 extension class";
}

void TestModel::countedByKind()
{
    QFETCH(Change, change);
    QFETCH(QString, summary);
    Configuration other = ship();
    change(other);
    QCOMPARE(differenceSummary(compareConfigurations(ship(), other)), summary);
}

void TestModel::findByNumberOrName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("part of a number")
        << QStringLiteral("10") << keys("E000 E001 E002 E003 E004 E005 E006 E007");
    QTest::newRow("whole number") << QStringLiteral("104") << keys("E003");
    QTest::newRow("group number") << QStringLiteral("501") << keys("G000");
    QTest::newRow("tie line number") << QStringLiteral("906") << keys("T006");
    QTest::newRow("part of a name, any case")
        << QStringLiteral("SHORE") << keys("T004 T005 T006 T007");
    QTest::newRow("group name") << QStringLiteral("off") << keys("G000");
    QTest::newRow("names of two kinds")
        << QStringLiteral("e")
        << keys("E000 E001 E002 E003 E005 E006 E007 T004 T005 T006 T007 G000");
    QTest::newRow("spaces around") << QStringLiteral("  mess ") << keys("E002");
    QTest::newRow("nothing") << QStringLiteral("xyz") << QStringList{};
}

void TestModel::findByNumberOrName()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    const Configuration c = ship();
    const auto all = keys("E000 E001 E002 E003 E004 E005 E006 E007 T004 T005 T006 T007 G000");
    QStringList matched;
    for (const QString &key : all) {
        if (recordMatches(c, key, text))
            matched << key;
    }
    QCOMPARE(matched, found);
    QVERIFY(recordMatches(c, extensionKey(0), QString())); // no text: everything
    QVERIFY(!recordMatches(c, systemKey(), QStringLiteral("MV")));
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
