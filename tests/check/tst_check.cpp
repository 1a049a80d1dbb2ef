#include "CheckConfig.h"
#include "Equipment.h"

#include <QtTest>
#include <functional>

using namespace tidelex;

namespace {

// A small clean system: one Subscriber board (extensions 0..7, numbers
// 100..107), one Tie Line board in slot 16 (tie lines 56..59 inactive),
// and a valid password. It checks without findings.
Configuration cleanSystem()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[16] = BoardTieLine;
    c.SysConfig.Pass = QStringLiteral("HMWS");
    for (int i = 0; i < 8; ++i) {
        c.Extensions[i].Active = true;
        c.Extensions[i].Class = ClassCrew;
        c.Extensions[i].Name = QStringLiteral("Crew %1").arg(i + 1);
    }
    return c;
}

TieRecord &liveTie(Configuration &c, int t, const char *name, int ext1, int cls = 0)
{
    TieRecord &tie = c.TieLines[t];
    tie.Active = true;
    tie.Name = QString::fromLatin1(name);
    tie.Ext1 = int16_t(ext1);
    tie.Class = int16_t(cls);
    tie.Dial9 = cls == 0;
    return tie;
}

GroupRecord &activeGroup(Configuration &c, int g, const char *name, int dirNum, int type)
{
    GroupRecord &group = c.Groups[g];
    group.Active = true;
    group.Name = QString::fromLatin1(name);
    group.DirNum = int16_t(dirNum);
    group.Type = int16_t(type);
    return group;
}

// Extension 5 (number 105) made a hot line calling `number`.
void hotLine(Configuration &c, int number)
{
    c.Extensions[5].Class = ClassHotLine;
    c.Extensions[5].DirectDial = int16_t(number);
}

// Extension 2 (Crew 3) in group 546, "Galley", of that type.
GroupRecord &galley(Configuration &c, int type)
{
    c.Extensions[2].Group = 546;
    return activeGroup(c, 0, "Galley", 546, type);
}

// Findings as the error list rows them, "Number|Type|Where|Problem|Reference"
// (the list separates them by tabs).
QStringList describe(const CheckResult &r)
{
    QStringList rows;
    for (const Finding &f : r.findings)
        rows << f.row().replace(QLatin1Char('\t'), QLatin1Char('|'));
    return rows;
}

struct Case {
    const char *name;
    std::function<void(Configuration &)> edit;
    QStringList findings;
    QStringList highlighted;
};

QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *s : items)
        list << QString::fromUtf8(s);
    return list;
}

const QList<Case> &cases()
{
    static const QList<Case> table = {
        {"clean system", [](Configuration &) {}, {}, {}},
        {"two equal numbers",
         [](Configuration &c) { c.Extensions[1].ExtNum = 201, c.Extensions[4].ExtNum = 201; },
         texts({"1|Error|Crew 2|Duplicate Extension number (201)|E001",
            "2|Error|Crew 5|Duplicate Extension number (201)|E004"}),
         texts({"E001", "E004"})},
        {"three equal numbers give three pairs",
         [](Configuration &c) {
             c.Extensions[1].ExtNum = 201;
             c.Extensions[4].ExtNum = 201;
             c.Extensions[6].ExtNum = 201;
         },
         texts({"1|Error|Crew 2|Duplicate Extension number (201)|E001",
            "2|Error|Crew 5|Duplicate Extension number (201)|E004",
            "3|Error|Crew 2|Duplicate Extension number (201)|E001",
            "4|Error|Crew 7|Duplicate Extension number (201)|E006",
            "5|Error|Crew 5|Duplicate Extension number (201)|E004",
            "6|Error|Crew 7|Duplicate Extension number (201)|E006"}),
         texts({"E001", "E004", "E006"})},
        {"duplicate of an inactive extension is not counted",
         [](Configuration &c) {
             c.Extensions[1].ExtNum = 201;
             c.Extensions[4].ExtNum = 201;
             c.Extensions[4].Active = false;
         },
         {}, {}},
        {"duplicate on a board that is not a Subscriber board is not counted",
         [](Configuration &c) {
             c.Extensions[8].Active = true;
             c.Extensions[8].ExtNum = 100; // slot 3 is empty
         },
         {}, {}},
        {"number 99 is invalid and not compared",
         [](Configuration &c) { c.Extensions[0].ExtNum = 99, c.Extensions[1].ExtNum = 99; },
         texts({"1|Error|Crew 1|Invalid Extension Number (99)|E000",
            "2|Error|Crew 2|Invalid Extension Number (99)|E001"}),
         texts({"E000", "E001"})},
        {"number 500 is invalid",
         [](Configuration &c) { c.Extensions[3].ExtNum = 500; },
         texts({"1|Error|Crew 4|Invalid Extension Number (500)|E003"}), texts({"E003"})},
        {"group of a pickup group is invalid",
         [](Configuration &c) { galley(c, GroupPickup); },
         texts({"1|Error|Crew 3|Invalid Group (546)|E002"}), texts({"E002"})},
        {"group of a hunt group is fine",
         [](Configuration &c) { galley(c, GroupHunt); }, {}, {}},
        {"group of an inactive group is invalid",
         [](Configuration &c) { galley(c, GroupMultipleCallForward).Active = false; },
         texts({"1|Error|Crew 3|Invalid Group (546)|E002"}), texts({"E002"})},
        {"hot line without number",
         [](Configuration &c) { hotLine(c, 0); },
         texts({"1|Error|Crew 6|No Hotline number being called|E005"}), texts({"E005"})},
        {"hot line calling itself gives one error",
         [](Configuration &c) { hotLine(c, 105); },
         texts({"1|Error|Crew 6|Hotline calling own extension|E005"}), texts({"E005"})},
        {"hot line to an unknown number",
         [](Configuration &c) { hotLine(c, 300); },
         texts({"1|Error|Crew 6|Invalid Hotline Extension number (300)|E005"}), texts({"E005"})},
        {"hot line to a live extension",
         [](Configuration &c) { hotLine(c, 101); }, {}, {}},
        {"hot line options on another class are not checked",
         [](Configuration &c) { c.Extensions[5].Status[4] = ExtHotLine; }, {}, {}},
        {"shore line to an inactive extension",
         [](Configuration &c) {
             c.Extensions[3].Active = false;
             liveTie(c, 56, "Shore 1", 103);
         },
         texts({"1|Error|Shore 1|No such Extension (103)|T056"}), texts({"T056"})},
        {"public address needs no incoming extension",
         [](Configuration &c) { liveTie(c, 57, "PA 1", 0, TieClassPA); }, {}, {}},
        {"shore line needs an incoming extension",
         [](Configuration &c) { liveTie(c, 57, "Shore 2", 0); },
         texts({"1|Error|Shore 2|No default incoming extension|T057"}), texts({"T057"})},
        {"dial 9 on a satellite line warns with the shore class name",
         [](Configuration &c) {
             c.TieClasses[0].Name = QStringLiteral("Harbour");
             liveTie(c, 58, "Sat 1", 101, TieClassSatComm).Dial9 = true;
         },
         texts({"1|Warning|Sat 1|Dial 9 is only allowed on Harbour|T058"}), {}},
        {"second designated 550 without group",
         [](Configuration &c) { liveTie(c, 56, "Shore 1", 101).Ext2 = 550; },
         texts({"1|Error|Shore 1|No such group (550)|T056"}), texts({"T056"})},
        {"second designated 500 is looked up as extension but named a group",
         [](Configuration &c) { liveTie(c, 56, "Shore 1", 101).Ext2 = 500; },
         texts({"1|Error|Shore 1|No such group (500)|T056"}), texts({"T056"})},
        {"second designated 650 is invalid",
         [](Configuration &c) { liveTie(c, 56, "Shore 1", 101).Ext2 = 650; },
         texts({"1|Error|Shore 1|Invalid Extension Number (650)|T056"}), texts({"T056"})},
        {"second designated 450 without extension",
         [](Configuration &c) { liveTie(c, 56, "Shore 1", 101).Ext2 = 450; },
         texts({"1|Error|Shore 1|No such extension (450)|T056"}), texts({"T056"})},
        {"second designated group of any type",
         [](Configuration &c) {
             activeGroup(c, 3, "Bridge", 543, GroupPickup);
             liveTie(c, 56, "Shore 1", 101).Ext2 = 543;
         },
         {}, {}},
        {"effective second designated extension warned once",
         [](Configuration &c) {
             liveTie(c, 56, "Shore 1", 101).Ext2 = 102;
             liveTie(c, 57, "Shore 2", 101).Ext2 = 102;
             liveTie(c, 58, "Shore 3", 101);
         },
         texts({"1|Warning|Shore 3|There is an effective 2nd Designated Extension of 102|T056"}),
         {}},
        {"incompatible second designated extensions",
         [](Configuration &c) {
             liveTie(c, 56, "Shore 1", 101).Ext2 = 102;
             liveTie(c, 57, "Shore 2", 101).Ext2 = 103;
         },
         texts({"1|Error|Shore 1|2nd Designated Extension not compatible with Shore 2|T056",
            "2|Error|Shore 2|2nd Designated Extension not compatible with Shore 1|T057"}),
         texts({"T056", "T057"})},
        {"eight lines on one dial 6 code are accepted",
         [](Configuration &c) {
             c.SysConfig.Slots[15] = BoardTieLine;
             for (int t = 52; t < 60; ++t)
                 liveTie(c, t, "Line", 101).Dial6[2] = true;
         },
         {}, {}},
        {"nine lines of two kinds on code 63",
         [](Configuration &c) {
             c.SysConfig.Slots[14] = BoardTieLine;
             c.SysConfig.Slots[15] = BoardTieLine;
             for (int t = 51; t < 60; ++t)
                 liveTie(c, t, "Line", 101).Dial6[2] = true;
             c.TieLines[51].Class = TieClassPager;
             c.TieLines[51].Dial9 = false;
         },
         texts({"1|Error|Dial 63|Too many tie lines using Dial 63|XXX",
            "2|Warning|Dial 63|Different tie lines types using 63|XXX"}),
         texts({"T051", "T052", "T053", "T054", "T055", "T056", "T057", "T058", "T059"})},
        {"group member missing and repeated",
         [](Configuration &c) {
             GroupRecord &g = activeGroup(c, 2, "Deck", 544, GroupHunt);
             g.Num = 3;
             g.Exts = {101, 250, 101, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
         },
         texts({"1|Error|Deck|No such extension (250)|G002",
            "2|Error|Deck|Duplicate Extensions (101)|G002"}),
         texts({"G002"})},
        {"group entries beyond Num are ignored",
         [](Configuration &c) {
             GroupRecord &g = activeGroup(c, 2, "Deck", 544, GroupHunt);
             g.Num = 0;
             g.Exts[0] = 999;
         },
         {}, {}},
        {"guaranteed access to an unknown extension",
         [](Configuration &c) { c.SysConfig.GA = {101, 300, -1, 0}; },
         texts({"1|Error|Guaranteed Access|No such extension (300)|RRR"}), texts({"RRR"})},
        {"password of three characters",
         [](Configuration &c) { c.SysConfig.Pass = QStringLiteral("ABC"); },
         texts({"1|Error|System|tdlSetup Password must be 4 characters long|RRR"}), {}},
        {"password with capital Q",
         [](Configuration &c) { c.SysConfig.Pass = QStringLiteral("AQBC"); },
         texts({"1|Error|System|tdlSetup password can not contain the letter 'Q'|RRR"}), {}},
        {"password with small q",
         [](Configuration &c) { c.SysConfig.Pass = QStringLiteral("aqbc"); }, {}, {}},
    };
    return table;
}

} // namespace

class TestCheck : public QObject {
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
    void memberCountBeyondTheListStopsAtItsEnd();
    void title_data();
    void title();
};

void TestCheck::findings_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << i;
}

void TestCheck::findings()
{
    QFETCH(int, index);
    const Case &tc = cases()[index];
    Configuration c = cleanSystem();
    tc.edit(c);
    const Configuration before = c;
    const CheckResult r = checkConfig(c);
    QCOMPARE(describe(r), tc.findings);
    QStringList highlighted = r.highlighted;
    QStringList expected = tc.highlighted;
    highlighted.sort();
    expected.sort();
    QCOMPARE(highlighted, expected);
    const int errors = int(tc.findings.filter(QStringLiteral("|Error|")).size());
    QCOMPARE(r.errorCount(), errors);
    QCOMPARE(r.warningCount(), int(tc.findings.size()) - errors);
    QCOMPARE(r.errorsFound, errors > 0);
    QVERIFY(c == before); // the checker never changes the configuration
}

void TestCheck::memberCountBeyondTheListStopsAtItsEnd()
{
    Configuration c = cleanSystem();
    GroupRecord &g = activeGroup(c, 2, "Deck", 544, GroupHunt);
    g.Num = 200;
    g.Exts.fill(101);
    const CheckResult r = checkConfig(c);
    // 13 equal entries make 78 pairs; nothing beyond the list is read.
    QCOMPARE(r.findings.size(), 13 * 12 / 2);
    QCOMPARE(r.findings.last().problem, QStringLiteral("Duplicate Extensions (101)"));
}

void TestCheck::title_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("unchanged keeps title") << false << "/x/a.TWZ" << "helmWISE - /x/a.TWZ";
    QTest::newRow("changed file") << true << "/x/a.TWZ" << "helmWISE - /x/a.TWZ*";
    QTest::newRow("changed new") << true << "" << "helmWISE - New Configuration*";
}

void TestCheck::title()
{
    QFETCH(bool, changed);
    QFETCH(QString, file);
    QFETCH(QString, title);
    QCOMPARE(titleAfterCheck(changed, file, QStringLiteral("helmWISE - /x/a.TWZ")), title);
}

QTEST_APPLESS_MAIN(TestCheck)
#include "tst_check.moc"
