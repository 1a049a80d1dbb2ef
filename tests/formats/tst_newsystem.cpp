// New-system board planner and generator.
#include "Equipment.h"
#include "NewSystem.h"

#include <QtTest>

using namespace tdl;

namespace {

NewSystemCounts counts(int e, int o, int s = 0, int t = 0, int p = 0, int g = 0)
{
    NewSystemCounts c;
    c.extensions = e, c.officers = o, c.shore = s, c.satcom = t, c.pa = p, c.pager = g;
    return c;
}

// Line positions 1..15 as letters: S Subscriber, T Tie Line, . Empty.
QString planText(const BoardPlanResult &plan)
{
    QString text;
    for (int k = 1; k <= 15; ++k)
        text += plan.BoardPlan[k] == BoardSubscriber ? u'S'
                : plan.BoardPlan[k] == BoardTieLine  ? u'T'
                : plan.BoardPlan[k] == BoardEmpty    ? u'.'
                                                     : u'?';
    return text;
}

Configuration generated(const NewSystemCounts &c)
{
    Configuration config = makeDefaultConfiguration();
    generateNewSystem(config, c, planBoards(c), QStringLiteral("06/12/2026 12:00:00"));
    return config;
}

} // namespace

Q_DECLARE_METATYPE(NewSystemCounts)

class TestNewSystem : public QObject {
    Q_OBJECT
private slots:
    void boardPlan_data();
    void boardPlan();
    void officersFitTotal_data();
    void officersFitTotal();
    void systemRecord();
    void extensions_data();
    void extensions();
    void tieLines_data();
    void tieLines();
    void everyLineIsPlacedOnce_data();
    void everyLineIsPlacedOnce();
    void groups();
    void absurdCountsStayInsideTables();
};

void TestNewSystem::boardPlan_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<bool>("overflow");
    QTest::newRow("8 extensions") << counts(8, 0) << QStringLiteral("S..............") << false;
    QTest::newRow("9 extensions") << counts(9, 0) << QStringLiteral("SS.............") << false;
    QTest::newRow("no extensions, no lines") << counts(0, 0) << QStringLiteral("...............")
                                             << false;
    QTest::newRow("16 ext, 2 shore 1 satcom 1 PA")
        << counts(16, 0, 2, 1, 1) << QStringLiteral("SS............T") << false;
    QTest::newRow("one pager") << counts(8, 0, 0, 0, 0, 1) << QStringLiteral("S.............T")
                               << false;
    QTest::newRow("5 lines: two tie boards") << counts(8, 0, 1, 1, 1, 2)
                                             << QStringLiteral("S............TT") << false;
    QTest::newRow("120 ext full cabinet") << counts(120, 0)
                                          << QStringLiteral("SSSSSSSSSSSSSSS") << false;
    QTest::newRow("120 ext and a shore line")
        << counts(120, 0, 1) << QStringLiteral("SSSSSSSSSSSSSSS") << true;
    QTest::newRow("112 ext and 4 lines fill it") << counts(112, 0, 1, 1, 1, 1)
                                                 << QStringLiteral("SSSSSSSSSSSSSST") << false;
    QTest::newRow("112 ext and 5 lines") << counts(112, 0, 5) << QStringLiteral("SSSSSSSSSSSSSST")
                                         << true;
    QTest::newRow("64 lines need 16 boards") << counts(8, 0, 16, 16, 16, 16)
                                             << QStringLiteral("STTTTTTTTTTTTTT") << true;
    QTest::newRow("no extensions, 61 lines") << counts(0, 0, 16, 16, 16, 13)
                                             << QStringLiteral("TTTTTTTTTTTTTTT") << true;
    QTest::newRow("no extensions, 60 lines") << counts(0, 0, 16, 16, 16, 12)
                                             << QStringLiteral("TTTTTTTTTTTTTTT") << false;
    QTest::newRow("more than 120 extensions") << counts(121, 0)
                                              << QStringLiteral("SSSSSSSSSSSSSSS") << true;
}

void TestNewSystem::boardPlan()
{
    QFETCH(NewSystemCounts, numbers);
    const BoardPlanResult plan = planBoards(numbers);
    QTEST(planText(plan), "plan");
    QTEST(plan.overflow, "overflow");
    QCOMPARE(plan.BoardPlan[0], 0);
    QCOMPARE(plan.BoardPlan[16], 0);
}

void TestNewSystem::officersFitTotal_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("officers");
    QTest::addColumn<bool>("fits");
    QTest::newRow("none") << 8 << 0 << true;
    QTest::newRow("one less") << 8 << 7 << true;
    QTest::newRow("as many") << 8 << 8 << false;
    QTest::newRow("more") << 16 << 40 << false;
}

void TestNewSystem::officersFitTotal()
{
    QFETCH(int, extensions);
    QFETCH(int, officers);
    QTEST(officersFit(counts(extensions, officers)), "fits");
}

void TestNewSystem::systemRecord()
{
    Configuration before = makeDefaultConfiguration();
    before.SysConfig.Slots[17] = BoardEmpty; // slot 17 is not the generator's
    before.SysConfig.PIN = 1234;
    before.ExtClasses[7].Name = QStringLiteral("Mine");
    const NewSystemCounts c = counts(16, 2, 1);
    Configuration config = before;
    generateNewSystem(config, c, planBoards(c), QStringLiteral("stamp"));
    const SystemRecord &sys = config.SysConfig;
    QCOMPARE(sys.Pass, QStringLiteral("HMWS"));
    QCOMPARE(sys.Name, QStringLiteral("Tidelex Analogue"));
    QCOMPARE(sys.LastUpdate, QStringLiteral("stamp"));
    QCOMPARE(sys.PIN, int16_t(0));
    const int16_t expected[18] = {BoardTone8, BoardProcessor, 1, 1, 0, 0, 0, 0, 0,
                                  0,          0,              0, 0, 0, 0, 0, 2, BoardEmpty};
    for (int slot = 0; slot < 18; ++slot)
        QCOMPARE(sys.Slots[slot], expected[slot]);
    QCOMPARE(sys.GA[0], int16_t(-1));
    QCOMPARE(config.ExtClasses, before.ExtClasses);
}

void TestNewSystem::extensions_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("active");
    QTest::newRow("8/1 officer") << counts(8, 1) << 0 << QStringLiteral("Officer 01") << 1 << true;
    QTest::newRow("8/1 first crew") << counts(8, 1) << 1 << QStringLiteral("Crew 01") << 2 << true;
    QTest::newRow("8/1 last crew") << counts(8, 1) << 7 << QStringLiteral("Crew 07") << 2 << true;
    QTest::newRow("8/1 next board") << counts(8, 1) << 8 << QStringLiteral("New Ext Brd 2 Port 1")
                                    << 6 << false;
    QTest::newRow("16/0 crew 16") << counts(16, 0) << 15 << QStringLiteral("Crew 16") << 2 << true;
    QTest::newRow("16/0 crew 09") << counts(16, 0) << 8 << QStringLiteral("Crew 09") << 2 << true;
    QTest::newRow("120/100 first officer") << counts(120, 100) << 0
                                           << QStringLiteral("Officer 001") << 1 << true;
    QTest::newRow("120/100 officer 100") << counts(120, 100) << 99
                                         << QStringLiteral("Officer 100") << 1 << true;
    QTest::newRow("120/100 crew keeps 2 digits") << counts(120, 100) << 100
                                                 << QStringLiteral("Crew 01") << 2 << true;
    QTest::newRow("120/20 crew of 100") << counts(120, 20) << 20 << QStringLiteral("Crew 001")
                                        << 2 << true;
    QTest::newRow("120/20 last crew") << counts(120, 20) << 119 << QStringLiteral("Crew 100")
                                      << 2 << true;
    QTest::newRow("120/99 officers stay 2 digits") << counts(120, 99) << 98
                                                   << QStringLiteral("Officer 99") << 1 << true;
    QTest::newRow("5/0 spare named by record") << counts(5, 0) << 5
                                               << QStringLiteral("Spare 05") << 6 << true;
    QTest::newRow("5/0 last spare") << counts(5, 0) << 7 << QStringLiteral("Spare 07") << 6
                                    << true;
    QTest::newRow("17/3 spare on board 3") << counts(17, 3) << 23 << QStringLiteral("Spare 23")
                                           << 6 << true;
}

void TestNewSystem::extensions()
{
    QFETCH(NewSystemCounts, numbers);
    QFETCH(int, index);
    QFETCH(int, cls);
    const Configuration c = generated(numbers);
    const ExtRecord &ext = c.Extensions[index];
    QTEST(ext.Name, "name");
    QCOMPARE(int(ext.Class), cls);
    QTEST(ext.Active, "active");
    QCOMPARE(int(ext.ExtNum), 100 + index);
    QVERIFY(ext.TrueName);
    QCOMPARE(int(ext.DirectDial), 0);
    QCOMPARE(int(ext.Group), 0);
    const std::array<uint8_t, 5> officer{128, 215, 255, 0, 16};
    const std::array<uint8_t, 5> crew{0, 224, 0, 0, 0};
    const std::array<uint8_t, 5> none{};
    const auto &expected = cls == ClassOfficer ? officer : cls == ClassCrew ? crew : none;
    for (int b = 0; b < 5; ++b)
        QCOMPARE(ext.Status[b], expected[b]);
}

void TestNewSystem::tieLines_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("dirNum");
    QTest::addColumn<int>("ext1");
    QTest::addColumn<int>("cls");
    QTest::addColumn<int>("status0");
    QTest::addColumn<bool>("dial9");
    QTest::addColumn<int>("route"); // Dial6 entry set, -1 none
    const NewSystemCounts mixed = counts(16, 0, 2, 1, 1);
    QTest::newRow("fixed Shore 1") << mixed << 56 << QStringLiteral("Shore 1") << 956 << 103 << 0
                                   << 64 << true << -1;
    QTest::newRow("fixed Shore 2") << mixed << 57 << QStringLiteral("Shore 2") << 957 << 103 << 0
                                   << 64 << true << -1;
    QTest::newRow("fixed PA") << mixed << 58 << QStringLiteral("Public Address 1") << 958 << 0
                              << 2 << 32 << false << -1;
    QTest::newRow("fixed SATCOM") << mixed << 59 << QStringLiteral("SATCOM 1") << 959 << 103 << 1
                                  << 80 << false << 0;
    const NewSystemCounts shore3 = counts(8, 0, 3);
    QTest::newRow("third shore") << shore3 << 58 << QStringLiteral("Shore 3") << 958 << 103 << 0
                                 << 0 << true << -1;
    QTest::newRow("spare after shore") << shore3 << 59 << QStringLiteral("Spare 1") << 1015 << 103
                                       << 0 << 0 << true << -1;
    const NewSystemCounts shore12 = counts(8, 0, 12);
    QTest::newRow("12 shore: Shore 01") << shore12 << 56 << QStringLiteral("Shore 01") << 956
                                        << 103 << 0 << 64 << true << -1;
    QTest::newRow("12 shore: Shore 03") << shore12 << 58 << QStringLiteral("Shore 03") << 958
                                        << 103 << 0 << 0 << true << -1;
    QTest::newRow("12 shore: next board") << shore12 << 52 << QStringLiteral("Shore 05") << 952
                                          << 103 << 0 << 0 << true << -1;
    QTest::newRow("12 shore: Shore 12") << shore12 << 51 << QStringLiteral("Shore 12") << 951
                                        << 103 << 0 << 0 << true << -1;
    const NewSystemCounts satcom = counts(8, 0, 0, 3);
    QTest::newRow("SATCOM 2 takes 56") << satcom << 56 << QStringLiteral("SATCOM 2") << 956 << 103
                                       << 1 << 80 << false << 1;
    QTest::newRow("SATCOM 3 on 63") << satcom << 57 << QStringLiteral("SATCOM 3") << 957 << 103
                                    << 1 << 80 << false << 2;
    QTest::newRow("spare beside SATCOM") << satcom << 58 << QStringLiteral("Spare 1") << 1014
                                         << 103 << 0 << 0 << true << -1;
    const NewSystemCounts satcom10 = counts(8, 0, 0, 10);
    QTest::newRow("SATCOM 08 on 68") << satcom10 << 55 << QStringLiteral("SATCOM 08")
                                     << 955 << 103 << 1 << 80 << false << 7;
    QTest::newRow("SATCOM 09 wraps to 61") << satcom10 << 48 << QStringLiteral("SATCOM 09") << 948
                                           << 103 << 1 << 80 << false << 0;
    const NewSystemCounts pager = counts(8, 0, 0, 0, 0, 1);
    QTest::newRow("pager takes the top record") << pager << 56 << QStringLiteral("Pager 1") << 956
                                                << 103 << 3 << 48 << false << -1;
    QTest::newRow("third spare") << pager << 59 << QStringLiteral("Spare 3") << 1015 << 103 << 0
                                 << 0 << true << -1;
    const NewSystemCounts pa = counts(8, 0, 1, 0, 3, 0);
    QTest::newRow("PA 2 after fixed") << pa << 57 << QStringLiteral("Public Address 2") << 957
                                      << 0 << 2 << 32 << false << -1;
    QTest::newRow("PA 3") << pa << 59 << QStringLiteral("Public Address 3") << 959 << 0 << 2 << 32
                          << false << -1;
}

void TestNewSystem::tieLines()
{
    QFETCH(NewSystemCounts, numbers);
    QFETCH(int, record);
    QFETCH(int, route);
    const Configuration c = generated(numbers);
    const TieRecord &tie = c.TieLines[record];
    QVERIFY(tie.Active);
    QTEST(tie.Name, "name");
    QTEST(int(tie.DirNum), "dirNum");
    QTEST(int(tie.Ext1), "ext1");
    QCOMPARE(int(tie.Ext2), 0);
    QTEST(int(tie.Class), "cls");
    QTEST(int(tie.Status[0]), "status0");
    QCOMPARE(int(tie.Status[1]), 0);
    QTEST(tie.Dial9, "dial9");
    for (int k = 0; k < 8; ++k)
        QCOMPARE(tie.Dial6[k], k == route);
}

void TestNewSystem::everyLineIsPlacedOnce_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::newRow("none") << counts(8, 0);
    QTest::newRow("2/1/1/0") << counts(16, 0, 2, 1, 1, 0);
    QTest::newRow("0/0/0/4") << counts(8, 0, 0, 0, 0, 4);
    QTest::newRow("5/4/3/2") << counts(24, 4, 5, 4, 3, 2);
    QTest::newRow("16 each minus") << counts(0, 0, 16, 16, 16, 12);
    QTest::newRow("1/0/0/0") << counts(8, 0, 1);
}

// Lines of each kind appear once each, on live records of the planned tie
// boards, and the last board is filled up with spares.
void TestNewSystem::everyLineIsPlacedOnce()
{
    QFETCH(NewSystemCounts, numbers);
    const Configuration c = generated(numbers);
    QMap<int, int> perClass;
    int spares = 0;
    int active = 0;
    QSet<QString> names;
    for (int t = 0; t < TieTableSize; ++t) {
        const TieRecord &tie = c.TieLines[t];
        if (!tie.Active)
            continue;
        ++active;
        QVERIFY2(isLiveTieLine(c, t), qPrintable(tie.Name));
        QVERIFY2(!names.contains(tie.Name), qPrintable(tie.Name));
        names.insert(tie.Name);
        if (tie.Name.startsWith(QLatin1String("Spare")))
            ++spares;
        else
            ++perClass[tie.Class];
    }
    const int lines = numbers.shore + numbers.satcom + numbers.pa + numbers.pager;
    QCOMPARE(perClass.value(TieClassShore), numbers.shore);
    QCOMPARE(perClass.value(TieClassSatComm), numbers.satcom);
    QCOMPARE(perClass.value(TieClassPA), numbers.pa);
    QCOMPARE(perClass.value(TieClassPager), numbers.pager);
    QCOMPARE(active, (lines + 3) / 4 * 4);
    QCOMPARE(spares, active - lines);
}

void TestNewSystem::groups()
{
    const Configuration c = generated(counts(8, 0));
    for (int g = 0; g < 16; ++g) {
        const GroupRecord &group = c.Groups[g];
        QCOMPARE(group.Name, QStringLiteral("Group %1").arg(g + 1, 2, 10, QLatin1Char('0')));
        QCOMPARE(int(group.DirNum), 546 - g);
        QVERIFY(!group.Active);
        QCOMPARE(int(group.Num), 0);
        for (int m = 0; m < 12; ++m)
            QCOMPARE(int(group.Exts[m]), -1);
    }
    QCOMPARE(c.Groups[8].Name, QStringLiteral("Group 09"));
    QCOMPARE(c.Groups[15].Name, QStringLiteral("Group 16"));
}

void TestNewSystem::absurdCountsStayInsideTables()
{
    const NewSystemCounts c = counts(500, 900, 100, 100, 100, 100);
    Configuration config = makeDefaultConfiguration();
    generateNewSystem(config, c, planBoards(c), QString());
    for (int i = MaxExtensions; i < ExtTableSize; ++i)
        QVERIFY(!config.Extensions[i].Active);
    for (int t = MaxTieLines; t < TieTableSize; ++t)
        QVERIFY(!config.TieLines[t].Active);
    // All 120 records are officers: never more extensions than the cabinet holds.
    QCOMPARE(config.Extensions[119].Name, QStringLiteral("Officer 120"));
}

QTEST_GUILESS_MAIN(TestNewSystem)
#include "tst_newsystem.moc"
