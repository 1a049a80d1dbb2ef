// New-system board planner and generator, and the command-line verb "new".
#include "CliRun.h"
#include "ConfigFile.h"
#include "Equipment.h"
#include "NewSystem.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace tidelex;

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
    generateNewSystem(config, c, planBoards(c), u"06/12/2026 12:00:00"_s);
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
    void newRefusals_data();
    void newRefusals();
    void newWritesGeneratedSystem();
};

void TestNewSystem::boardPlan_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<bool>("overflow");
    QTest::newRow("8 extensions") << counts(8, 0) << u"S.............."_s << false;
    QTest::newRow("9 extensions") << counts(9, 0) << u"SS............."_s << false;
    QTest::newRow("no extensions, no lines") << counts(0, 0) << u"..............."_s << false;
    QTest::newRow("16 ext, 2 shore 1 satcom 1 PA")
        << counts(16, 0, 2, 1, 1) << u"SS............T"_s << false;
    QTest::newRow("5 lines: two tie boards")
        << counts(8, 0, 1, 1, 1, 2) << u"S............TT"_s << false;
    QTest::newRow("120 ext full cabinet") << counts(120, 0) << u"SSSSSSSSSSSSSSS"_s << false;
    QTest::newRow("120 ext and a shore line") << counts(120, 0, 1) << u"SSSSSSSSSSSSSSS"_s << true;
    QTest::newRow("112 ext and 4 lines fill it")
        << counts(112, 0, 1, 1, 1, 1) << u"SSSSSSSSSSSSSST"_s << false;
    QTest::newRow("112 ext and 5 lines") << counts(112, 0, 5) << u"SSSSSSSSSSSSSST"_s << true;
    QTest::newRow("no extensions, 61 lines")
        << counts(0, 0, 16, 16, 16, 13) << u"TTTTTTTTTTTTTTT"_s << true;
    QTest::newRow("no extensions, 60 lines")
        << counts(0, 0, 16, 16, 16, 12) << u"TTTTTTTTTTTTTTT"_s << false;
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
    QTest::newRow("one less") << 8 << 7 << true;
    QTest::newRow("as many") << 8 << 8 << false;
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
    before.ExtClasses[7].Name = u"Mine"_s;
    const NewSystemCounts c = counts(16, 2, 1);
    Configuration config = before;
    generateNewSystem(config, c, planBoards(c), u"stamp"_s);
    const SystemRecord &sys = config.SysConfig;
    QCOMPARE(sys.Pass, u"HMWS"_s);
    QCOMPARE(sys.Name, u"Tidelex Analogue"_s);
    QCOMPARE(sys.LastUpdate, u"stamp"_s);
    QCOMPARE(sys.PIN, int16_t(0));
    const int16_t expected[18] = {
        BoardTone8, BoardProcessor, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, BoardEmpty};
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
    QTest::newRow("8/1 officer") << counts(8, 1) << 0 << u"Officer 01"_s << 1 << true;
    QTest::newRow("8/1 last crew") << counts(8, 1) << 7 << u"Crew 07"_s << 2 << true;
    QTest::newRow("8/1 next board") << counts(8, 1) << 8 << u"New Ext Brd 2 Port 1"_s << 6 << false;
    QTest::newRow("16/0 crew 16") << counts(16, 0) << 15 << u"Crew 16"_s << 2 << true;
    QTest::newRow("120/100 officer 100") << counts(120, 100) << 99 << u"Officer 100"_s << 1 << true;
    QTest::newRow("120/100 crew keeps 2 digits")
        << counts(120, 100) << 100 << u"Crew 01"_s << 2 << true;
    QTest::newRow("120/20 crew of 100") << counts(120, 20) << 20 << u"Crew 001"_s << 2 << true;
    QTest::newRow("120/20 last crew") << counts(120, 20) << 119 << u"Crew 100"_s << 2 << true;
    QTest::newRow("120/99 officers stay 2 digits")
        << counts(120, 99) << 98 << u"Officer 99"_s << 1 << true;
    QTest::newRow("5/0 spare named by record") << counts(5, 0) << 5 << u"Spare 05"_s << 6 << true;
    QTest::newRow("17/3 spare on board 3") << counts(17, 3) << 23 << u"Spare 23"_s << 6 << true;
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
    QTest::newRow("fixed Shore 1")
        << mixed << 56 << u"Shore 1"_s << 956 << 103 << 0 << 64 << true << -1;
    QTest::newRow("fixed PA") << mixed << 58 << u"Public Address 1"_s << 958 << 0 << 2 << 32
                              << false << -1;
    QTest::newRow("fixed SATCOM") << mixed << 59 << u"SATCOM 1"_s << 959 << 103 << 1 << 80 << false
                                  << 0;
    const NewSystemCounts shore3 = counts(8, 0, 3);
    QTest::newRow("third shore") << shore3 << 58 << u"Shore 3"_s << 958 << 103 << 0 << 0 << true
                                 << -1;
    QTest::newRow("spare after shore")
        << shore3 << 59 << u"Spare 1"_s << 1015 << 103 << 0 << 0 << true << -1;
    const NewSystemCounts shore12 = counts(8, 0, 12);
    QTest::newRow("12 shore: next board")
        << shore12 << 52 << u"Shore 05"_s << 952 << 103 << 0 << 0 << true << -1;
    QTest::newRow("12 shore: Shore 12")
        << shore12 << 51 << u"Shore 12"_s << 951 << 103 << 0 << 0 << true << -1;
    const NewSystemCounts satcom = counts(8, 0, 0, 3);
    QTest::newRow("SATCOM 2 takes 56")
        << satcom << 56 << u"SATCOM 2"_s << 956 << 103 << 1 << 80 << false << 1;
    const NewSystemCounts satcom10 = counts(8, 0, 0, 10);
    QTest::newRow("SATCOM 08 on 68")
        << satcom10 << 55 << u"SATCOM 08"_s << 955 << 103 << 1 << 80 << false << 7;
    QTest::newRow("SATCOM 09 wraps to 61")
        << satcom10 << 48 << u"SATCOM 09"_s << 948 << 103 << 1 << 80 << false << 0;
    const NewSystemCounts pager = counts(8, 0, 0, 0, 0, 1);
    QTest::newRow("pager takes the top record")
        << pager << 56 << u"Pager 1"_s << 956 << 103 << 3 << 48 << false << -1;
    const NewSystemCounts pa = counts(8, 0, 1, 0, 3, 0);
    QTest::newRow("PA 2 after fixed")
        << pa << 57 << u"Public Address 2"_s << 957 << 0 << 2 << 32 << false << -1;
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
        QCOMPARE(group.Name, u"Group %1"_s.arg(g + 1, 2, 10, QLatin1Char('0')));
        QCOMPARE(int(group.DirNum), 546 - g);
        QVERIFY(!group.Active);
        QCOMPARE(int(group.Num), 0);
        for (int m = 0; m < 12; ++m)
            QCOMPARE(int(group.Exts[m]), -1);
    }
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
    QCOMPARE(config.Extensions[119].Name, u"Officer 120"_s);
}

void TestNewSystem::newRefusals_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("message");
    const QString extensions = u"--extensions must be a number from 1 to 120"_s;
    QTest::newRow("120 extensions and a shore line")
        << u"--extensions 120 --shore 1"_s << u"This configuration not possible"_s;
    QTest::newRow("officers as many as extensions")
        << u"--extensions 8 --officers 8"_s
        << u"Must be less than the total number of extensions in the system"_s;
    QTest::newRow("no extensions") << u"--extensions 0"_s << extensions;
    QTest::newRow("121 extensions") << u"--extensions 121"_s << extensions;
    QTest::newRow("not a number") << u"--extensions eight"_s << extensions;
    QTest::newRow("17 pager lines")
        << u"--extensions 8 --pager 17"_s << u"--pager must be a number from 0 to 16"_s;
    QTest::newRow("negative officers")
        << u"--extensions 8 --officers -1"_s << u"--officers must be a number from 0 to 120"_s;
    QTest::newRow("extensions missing") << u"--shore 2"_s << u"--extensions is required"_s;
}

void TestNewSystem::newRefusals()
{
    QFETCH(QString, options);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = dir.filePath(u"new.TWZ"_s);
    const CliRun r = runCli(QStringList{u"new"_s} + options.split(u' ') + QStringList{out});
    QCOMPARE(r.status, int(cli::ExitBadInput));
    QCOMPARE(r.err.trimmed(), message);
    QVERIFY(!QFile::exists(out));
}

void TestNewSystem::newWritesGeneratedSystem()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"ship.TWZ"_s);
    const CliRun r = runCli(u"new --extensions 16 --officers 1 --shore 3 --satcom 1 --pa 0 --pager 0"_s
                              .split(u' ') + QStringList{out});
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));
    Configuration c = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(out, c), ReadConfigOk);
    QCOMPARE(c.SysConfig.Slots[16], int16_t(BoardTieLine));
    QCOMPARE(c.Extensions[0].Name, u"Officer 01"_s);
    QCOMPARE(c.TieLines[58].Name, u"Shore 3"_s);
    QVERIFY(!c.SysConfig.LastUpdate.isEmpty());
}

QTEST_GUILESS_MAIN(TestNewSystem)
#include "tst_newsystem.moc"
