// Comparing two configurations record by record, and finding records by
// number or name.
#include "ConfigDiff.h"
#include "Configuration.h"
#include "Equipment.h"
#include "RecordSearch.h"
#include "SmallShip.h"

#include <QtTest>
#include <functional>

using namespace tidelex;

using Change = std::function<void(Configuration &)>;
Q_DECLARE_METATYPE(Change)

namespace
{

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

class TestConfigDiff : public QObject
{
    Q_OBJECT
  private slots:
    void singleChange_data();
    void singleChange();
    void sameConfigurationSavedLater();
    void namesIgnoredOnRequest();
    void recordsOutOfUseNotCompared();
    void countedByKind_data();
    void countedByKind();
    void findByNumberOrName_data();
    void findByNumberOrName();
};

// One row per way a field is compared and worded; fields that share a way
// (another option bit, another yes/no) are left out.
// clang-format off
void TestConfigDiff::singleChange_data()
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
}
// clang-format on

void TestConfigDiff::singleChange()
{
    QFETCH(Change, change);
    QFETCH(QString, expected);
    const Configuration before = ship();
    Configuration after = before;
    change(after);
    QCOMPARE(describe(compareConfigurations(before, after)), QStringList{expected});
    // The other way round, the same difference with the values swapped.
    QStringList swapped = expected.split(QLatin1Char('|'));
    swapped.swapItemsAt(3, 4);
    QCOMPARE(describe(compareConfigurations(after, before)),
             QStringList{swapped.join(QLatin1Char('|'))});
}

void TestConfigDiff::sameConfigurationSavedLater()
{
    Configuration later = ship();
    later.SysConfig.LastUpdate = QStringLiteral("03/04/2026 18:30");
    QVERIFY(compareConfigurations(ship(), later).isEmpty());
}

void TestConfigDiff::namesIgnoredOnRequest()
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

void TestConfigDiff::recordsOutOfUseNotCompared()
{
    const Configuration before = ship();
    Configuration after = before;
    after.Extensions[20].Name = QStringLiteral("No board here"); // slot 4 is empty
    after.Extensions[20].Active = true;
    after.TieLines[0].Name = QStringLiteral("On a Subscriber slot");
    after.Groups[5].Name = QStringLiteral("Disabled group");
    after.ExtClasses[20].Name = QStringLiteral("Unused class");
    after.Extensions[125].Name = QStringLiteral("Spare record");
    QVERIFY(compareConfigurations(before, after).isEmpty());
}

void TestConfigDiff::countedByKind_data()
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

void TestConfigDiff::countedByKind()
{
    QFETCH(Change, change);
    QFETCH(QString, summary);
    Configuration other = ship();
    change(other);
    QCOMPARE(differenceSummary(compareConfigurations(ship(), other)), summary);
}

void TestConfigDiff::findByNumberOrName_data()
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

void TestConfigDiff::findByNumberOrName()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    const Configuration c = ship();
    QStringList matched;
    for (int i = 0; i < 8; ++i) {
        if (recordMatches(c, extensionKey(i), text))
            matched << extensionKey(i);
    }
    for (int t = 4; t < 8; ++t) {
        if (recordMatches(c, tieLineKey(t), text))
            matched << tieLineKey(t);
    }
    if (recordMatches(c, groupKey(0), text))
        matched << groupKey(0);
    QCOMPARE(matched, found);
    QVERIFY(recordMatches(c, extensionKey(0), QString())); // no text: everything
    QVERIFY(!recordMatches(c, systemKey(), QStringLiteral("MV")));
}

QTEST_GUILESS_MAIN(TestConfigDiff)
#include "tst_configdiff.moc"
