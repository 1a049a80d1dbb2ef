// Edits of the configuration that reach several records at once: a slot's
// board, a class's options, the extensions that use a group.
#include "BoardChange.h"
#include "ClassEdits.h"
#include "Equipment.h"
#include "GroupUsers.h"

#include <QtTest>
#include <functional>

using namespace tidelex;

using Change = std::function<void(Configuration &)>;
Q_DECLARE_METATYPE(Change)

namespace {

// Slots 2 and 3 Subscriber (extensions 0..15 live), slot 4 Tie Line (tie
// lines 8..11 live), the rest empty.
Configuration smallShip()
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
    Configuration c = smallShip();
    for (int i = 0; i < MaxExtensions; ++i)
        c.Extensions[i].ExtNum = 0;
    for (int k = 0; k < taken.size(); ++k)
        c.Extensions[k].ExtNum = int16_t(taken[k]);
    return c;
}

QList<int> range(int first, int last)
{
    QList<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers << n;
    return numbers;
}

constexpr ClassStatus editedStatus{0x80, 0x41, 0x03, 0, 0x10, 0};

} // namespace

class TestEdits : public QObject {
    Q_OBJECT
private slots:
    void freeNumber_data();
    void freeNumber();
    void boardChange_data();
    void boardChange();
    void newBoardNumbers_data();
    void newBoardNumbers();
    void boardChangeRefused_data();
    void boardChangeRefused();
    void cabinetDifferences();

    void applyClass_data();
    void applyClass();
    void matchingCustomJoinTheClass();
    void classNames_data();
    void classNames();
    void newClassStartsClean();

};

void TestEdits::freeNumber_data()
{
    QTest::addColumn<QList<int>>("taken");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("expected");
    QTest::newRow("nothing in the range") << QList<int>{100, 140} << 124 << 131 << 124;
    QTest::newRow("first gap in the range") << QList<int>{124, 125, 127} << 124 << 131 << 126;
    QTest::newRow("low end taken") << QList<int>{124} << 124 << 124 + 7 << 125;
    QTest::newRow("full range: lowest free number")
        << range(124, 131) + QList<int>{100, 101} << 124 << 131 << 102;
    QTest::newRow("range above 499 is cut") << range(495, 499) << 495 << 502 << 100;
}

void TestEdits::freeNumber()
{
    QFETCH(QList<int>, taken);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, expected);
    QCOMPARE(findFreeExtensionNumber(withNumbers(taken), low, high), expected);
}

void TestEdits::boardChange_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("board");
    QTest::newRow("Subscriber to Tie Line") << 3 << int(BoardTieLine);
    QTest::newRow("Subscriber to Empty") << 2 << int(BoardEmpty);
    QTest::newRow("Tie Line to Subscriber") << 4 << int(BoardSubscriber);
    QTest::newRow("Tie Line to Empty") << 4 << int(BoardEmpty);
    QTest::newRow("Empty to Tie Line") << 16 << int(BoardTieLine);
    QTest::newRow("Empty to Subscriber") << 16 << int(BoardSubscriber);
}

void TestEdits::boardChange()
{
    QFETCH(int, slot);
    QFETCH(int, board);
    const Configuration before = smallShip();
    Configuration c = before;
    const BoardChangeResult result = changeSlotBoard(c, slot, board);
    QVERIFY(result.changed);
    QVERIFY(result.unnumbered.isEmpty());
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
    // Nothing of the other kind stays live on the slot.
    for (int i = 0; i < MaxExtensions; ++i)
        QVERIFY(!(isLiveExtension(c, i) && extensionSlot(i) == slot && board != BoardSubscriber));
}

// Slot 5 gets a Subscriber board: ports 24..31, numbered 124..131 unless a
// row says otherwise. A port keeps its number unless it would clash.
void TestEdits::newBoardNumbers_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("renumbered"); // "port:number ..."; every other port keeps its own
    auto row = [](const char *name, Change change, const char *renumbered) {
        QTest::newRow(name) << change << QString::fromLatin1(renumbered);
    };
    // 25 searches 125..131: 125 went to 24, 126..131 stay with their ports;
    // the lowest free number is 100, left by extension 0.
    row(
        "numbered 0",
        [](Configuration &c) {
            c.Extensions[24].ExtNum = c.Extensions[25].ExtNum = 0;
            c.Extensions[0].ExtNum = 124;
        },
        "24:125 25:100");
    row(
        "number of a live extension", [](Configuration &c) { c.Extensions[0].ExtNum = 130; },
        "30:100");
    row(
        "number of a record on an empty slot",
        [](Configuration &c) { c.Extensions[40].ExtNum = 127; }, "");
    row(
        "number of an active group",
        [](Configuration &c) {
            c.Groups[0].Active = true;
            c.Groups[0].DirNum = 126;
        },
        "26:116");
    row(
        "number of a live tie line", [](Configuration &c) { c.TieLines[8].DirNum = 129; },
        "29:116");
    row(
        "number twice on the board", [](Configuration &c) { c.Extensions[25].ExtNum = 124; },
        "25:125");
    row(
        "number outside the plan", [](Configuration &c) { c.Extensions[28].ExtNum = 600; },
        "28:128");
}

void TestEdits::newBoardNumbers()
{
    QFETCH(Change, change);
    QFETCH(QString, renumbered);
    Configuration c = smallShip();
    change(c);
    const Configuration before = c;
    QVERIFY(changeSlotBoard(c, 5, BoardSubscriber).changed);
    QMap<int, int> expected;
    for (const QString &pair : renumbered.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        expected.insert(pair.section(QLatin1Char(':'), 0, 0).toInt(),
                        pair.section(QLatin1Char(':'), 1).toInt());
    for (int i = 24; i < 32; ++i) {
        QCOMPARE(int(c.Extensions[i].ExtNum), expected.value(i, before.Extensions[i].ExtNum));
        QVERIFY(isLiveExtension(c, i));
    }
}

void TestEdits::boardChangeRefused_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("board");
    QTest::newRow("processor slot") << 1 << int(BoardSubscriber);
    QTest::newRow("ringing module slot") << 17 << int(BoardEmpty);
    QTest::newRow("tone slot") << 0 << int(BoardTieLine);
    QTest::newRow("not a line board") << 5 << int(BoardProcessor);
    QTest::newRow("already this board") << 2 << int(BoardSubscriber);
}

void TestEdits::boardChangeRefused()
{
    QFETCH(int, slot);
    QFETCH(int, board);
    Configuration c = smallShip();
    c.Extensions[3].Active = false; // an already-Subscriber slot is not switched on again
    const Configuration before = c;
    QVERIFY(!changeSlotBoard(c, slot, board).changed);
    QVERIFY(c == before);
}

void TestEdits::cabinetDifferences()
{
    const Configuration c = smallShip();
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

void TestEdits::applyClass_data()
{
    QTest::addColumn<bool>("follow");
    QTest::newRow("extensions take the new options") << true;
    QTest::newRow("extensions become Custom") << false;
}

void TestEdits::applyClass()
{
    QFETCH(bool, follow);
    Configuration c = smallShip();
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

void TestEdits::matchingCustomJoinTheClass()
{
    Configuration c = smallShip();
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

void TestEdits::classNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    QTest::newRow("new name") << QStringLiteral("Galley") << int(ClassNameProblem::None);
    QTest::newRow("exact name taken") << QStringLiteral("Officer") << int(ClassNameProblem::Taken);
    QTest::newRow("taken once trimmed") << QStringLiteral("  Crew ") << int(ClassNameProblem::Taken);
    QTest::newRow("built-in name taken") << QStringLiteral("Hot Line") << int(ClassNameProblem::Taken);
    QTest::newRow("other letter case") << QStringLiteral("officer") << int(ClassNameProblem::None);
    QTest::newRow("blanks only") << QStringLiteral("   ") << int(ClassNameProblem::Blank);
    QTest::newRow("inactive class's name") << QStringLiteral("Old Galley")
                                           << int(ClassNameProblem::None);
}

void TestEdits::classNames()
{
    QFETCH(QString, name);
    QFETCH(int, problem);
    Configuration c = smallShip();
    c.ExtClasses[9].Name = QStringLiteral("Old Galley"); // left behind, not active
    const Configuration before = c;
    ClassNameProblem found = ClassNameProblem::None;
    const int index = createClass(c, name, -1, &found);
    QCOMPARE(int(found), problem);
    if (problem != int(ClassNameProblem::None)) {
        QCOMPARE(index, -1);
        QVERIFY(c == before);
        return;
    }
    QCOMPARE(index, 7); // the lowest free index after the built-in classes
    QVERIFY(c.ExtClasses[index].Active);
    QCOMPARE(c.ExtClasses[index].Name, name.trimmed());
}

void TestEdits::newClassStartsClean()
{
    Configuration c = smallShip();
    ClassRecord &stale = c.ExtClasses[7];
    stale.Status = editedStatus;
    stale.Fixed = true;
    stale.IconName = QStringLiteral("Disabled");
    const int plain = createClass(c, QStringLiteral("Galley"), -1);
    QCOMPARE(plain, 7);
    QCOMPARE(c.ExtClasses[plain].Status, ClassStatus{});
    QVERIFY(!c.ExtClasses[plain].Fixed);
    QCOMPARE(c.ExtClasses[plain].IconName, c.ExtClasses[ClassCustom].IconName);
    QVERIFY(isEditableClass(c, plain));

    const int copy = createClass(c, QStringLiteral("Deck Officer"), ClassOfficer);
    QCOMPARE(copy, 8);
    QCOMPARE(c.ExtClasses[copy].Status, c.ExtClasses[ClassOfficer].Status);
    QCOMPARE(c.ExtClasses[copy].IconName, c.ExtClasses[ClassOfficer].IconName);
}

QTEST_GUILESS_MAIN(TestEdits)
#include "tst_edits.moc"
