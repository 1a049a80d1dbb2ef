// What the lists show and the settings keep, without a window.
#include "AppSettings.h"
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"
#include "ListTexts.h"
#include "Names.h"
#include "SortToggle.h"

#include <QtTest>

using namespace tidelex;

class TestGuiTexts : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void extensionOptionText_data();
    void extensionOptionText();
    void tieLineTexts_data();
    void tieLineTexts();
    void groupRowTexts();
    void listedRecords_data();
    void listedRecords();
    void recentFiles_data();
    void recentFiles();
    void sortToggle_data();
    void sortToggle();

  private:
    QTemporaryDir settingsDir_;
};

void TestGuiTexts::initTestCase()
{
    QVERIFY(settingsDir_.isValid());
}

void TestGuiTexts::init()
{
    failOnQtWarnings();
    fixtures::useTemporarySettings(settingsDir_);
}

void TestGuiTexts::extensionOptionText_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<QList<int>>("bits"); // byte * 256 + mask
    QTest::addColumn<int>("directDial");
    QTest::addColumn<QString>("expected");
    auto bit = [](int byte, int mask) { return byte * 256 + mask; };
    QTest::newRow("custom: every option, in the fixed order")
        << ClassCustom << QList<int>{bit(4, ExtDial9),       bit(0, ExtRecall), bit(1, ExtMF),
                                     bit(1, ExtLD),          bit(1, ExtCOSB),   bit(1, ExtHash),
                                     bit(1, ExtNightPickup), bit(1, ExtRapid),  bit(1, ExtIntrude),
                                     bit(4, ExtHotLine)}
        << 0 << QStringLiteral("9 Recall MF LD COSB # 8 Rapid Intrude Hot ");
    QTest::newRow("custom: none") << ClassCustom << QList<int>{} << 0 << QString();
    QTest::newRow("officer: options are the class's, not listed")
        << ClassOfficer << QList<int>{bit(0, ExtRecall), bit(1, ExtMF)} << 0 << QString();
    QTest::newRow("hot line names its target")
        << ClassHotLine << QList<int>{} << 103 << QStringLiteral("Calls Mess (103)");
    QTest::newRow("hot line to a missing number")
        << ClassHotLine << QList<int>{} << 450 << QStringLiteral("Calls Unknown Extension (450)");
}

void TestGuiTexts::extensionOptionText()
{
    QFETCH(int, cls);
    QFETCH(QList<int>, bits);
    QFETCH(int, directDial);
    QFETCH(QString, expected);
    Configuration c = fixtures::smallShip();
    ExtRecord &e = c.Extensions[4];
    e.Class = int16_t(cls);
    e.Status = {};
    for (int b : bits)
        e.Status[b / 256] |= uint8_t(b % 256);
    e.DirectDial = int16_t(directDial);
    QCOMPARE(::extensionOptionText(c, 4), expected);
    // The list's "Options" column and the grid's last column carry the same text.
    const PortRow row = addExtItem(c, 4);
    QCOMPARE(row.listCells.value(5), expected);
    QCOMPARE(row.gridCells.value(6), expected);
}

void TestGuiTexts::tieLineTexts_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("dtmf");
    QTest::addColumn<bool>("dial9");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<bool>("ddi");
    QTest::addColumn<QString>("dial");
    QTest::addColumn<QString>("outgoing");
    QTest::addColumn<QString>("ext1Cell");
    QTest::addColumn<QString>("options");
    QTest::newRow("shore, DTMF, 9 and 61, 63")
        << TieClassShore << true << true << QList<int>{0, 2} << true << QStringLiteral("DTMF")
        << QStringLiteral("DTMF 9 61 63 ") << QStringLiteral("Bridge (101)")
        << QStringLiteral("DDI ");
    QTest::newRow("sat comm, loop dial")
        << TieClassSatComm << false << false << QList<int>{7} << false << QStringLiteral("LD")
        << QStringLiteral("LD 68 ") << QStringLiteral("Bridge (101)") << QString();
    QTest::newRow("public address has no incoming side")
        << TieClassPA << true << false << QList<int>{1} << false << QString()
        << QStringLiteral("62 ") << QString() << QString();
    QTest::newRow("pager, nothing set") << TieClassPager << false << false << QList<int>{} << false
                                        << QString() << QString() << QString() << QString();
}

void TestGuiTexts::tieLineTexts()
{
    QFETCH(int, cls);
    QFETCH(bool, dtmf);
    QFETCH(bool, dial9);
    QFETCH(QList<int>, codes);
    QFETCH(bool, ddi);
    Configuration c = fixtures::smallShip();
    TieRecord &tie = c.TieLines[5];
    tie.Class = int16_t(cls);
    tie.Status[0] = uint8_t((dtmf ? TieDTMF : 0) | (ddi ? TieDDI : 0));
    tie.Dial9 = dial9;
    for (int k : codes)
        tie.Dial6[k] = true;
    QFETCH(QString, dial);
    QFETCH(QString, outgoing);
    QFETCH(QString, ext1Cell);
    QFETCH(QString, options);
    const PortRow row = addTieItem(c, 5);
    QCOMPARE(row.key, QStringLiteral("T005"));
    QCOMPARE(row.listCells.value(4), dial);
    QCOMPARE(row.gridCells.value(7), outgoing);
    QCOMPARE(row.gridCells.value(5), ext1Cell);
    QCOMPARE(row.gridCells.value(8), options);
    QCOMPARE(row.gridCells.value(2), QStringLiteral("02.2"));
    QCOMPARE(row.listCells.value(5), QStringLiteral("02"));
}

void TestGuiTexts::groupRowTexts()
{
    Configuration c = fixtures::smallShip();
    c.Extensions[3].Group = 501; // Engine uses the hunt group
    GroupRecord &g = c.Groups[0];
    g.Num = 3;
    g.Exts[0] = 101;
    g.Exts[1] = -1; // an empty place is skipped
    g.Exts[2] = 103;
    PortRow row = addGroupItem(c, 0);
    QCOMPARE(row.listCells,
             (QStringList{QStringLiteral("Officers"), QStringLiteral("501"), QStringLiteral("Hunt"),
                          QStringLiteral("101"), QStringLiteral("103")}));
    QCOMPARE(row.iconKey, QStringLiteral("GrpHunt"));
    QCOMPARE(row.gridCells.value(5), QStringLiteral("104 ( Engine)"));
    QCOMPARE(row.gridCells.value(6), QStringLiteral("Bridge (101), Mess (103)"));

    g.Type = GroupPickup;
    row = addGroupItem(c, 0);
    QCOMPARE(row.listCells.value(2), QStringLiteral("PickUp"));
    QCOMPARE(row.gridCells.value(4), QStringLiteral("128"));
    QVERIFY2(row.gridCells.value(5).isEmpty(), "a pickup group has no lead extension");

    g.Type = 7;
    QCOMPARE(addGroupItem(c, 0).listCells.value(2), QStringLiteral("Unknown"));
}

void TestGuiTexts::listedRecords_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expectedKeys");
    const QStringList allExts = {QStringLiteral("E000"), QStringLiteral("E001"),
                                 QStringLiteral("E002"), QStringLiteral("E003"),
                                 QStringLiteral("E004"), QStringLiteral("E005"),
                                 QStringLiteral("E006"), QStringLiteral("E007")};
    QTest::newRow("extensions of the board") << 1 << QString() << allExts;
    QTest::newRow("extension 120 active is never listed")
        << 1 << QStringLiteral("ext120") << allExts;
    QTest::newRow("inactive extension left out")
        << 1 << QStringLiteral("ext3off") << QStringList(allExts.mid(0, 3) + allExts.mid(4));
    QTest::newRow("tie lines of the tie board")
        << 2 << QString()
        << QStringList{QStringLiteral("T004"), QStringLiteral("T005"), QStringLiteral("T006"),
                       QStringLiteral("T007")};
    QTest::newRow("active groups only")
        << 3 << QStringLiteral("group2") << QStringList{QStringLiteral("G000")};
}

void TestGuiTexts::listedRecords()
{
    QFETCH(int, category);
    QFETCH(QString, change);
    QFETCH(QStringList, expectedKeys);
    Configuration c = fixtures::smallShip();
    if (change == QLatin1String("ext120")) {
        c.Extensions[120].Active = true;
        c.SysConfig.Slots[16] = BoardSubscriber;
    } else if (change == QLatin1String("ext3off")) {
        c.Extensions[3].Active = false;
    } else if (change == QLatin1String("group2")) {
        c.Groups[2].Name = QStringLiteral("Idle"); // never made active
    }
    QStringList keys;
    for (const PortRow &row : listRows(c, ListCategory(category)))
        keys << row.key;
    QCOMPARE(keys, expectedKeys);
    for (const PortRow &row : listRows(c, ListCategory(category))) {
        QCOMPARE(row.listCells.size(), listColumns(ListCategory(category)).size());
        QCOMPARE(row.gridCells.size(), gridHeader(ListCategory(category)).size());
    }
}

void TestGuiTexts::recentFiles_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("expectedMenu");
    QTest::addColumn<int>("expectedCount");
    QStringList eleven;
    for (int i = 1; i <= 11; ++i)
        eleven << QStringLiteral("/ship/f%1.TWZ").arg(i);
    QStringList newestNine;
    for (int i = 11; i >= 3; --i)
        newestNine << QStringLiteral("/ship/f%1.TWZ").arg(i);
    QTest::newRow("eleven files: the oldest falls off, nine shown") << eleven << newestNine << 10;
    const QString a = QStringLiteral("/s/a.TWZ"), b = QStringLiteral("/s/b.TWZ"),
                  c = QStringLiteral("/s/c.TWZ"), d = QStringLiteral("/s/d.TWZ"),
                  e = QStringLiteral("/s/e.TWZ");
    QTest::newRow("the top entry again changes nothing")
        << QStringList{a, b, b} << QStringList{b, a} << 2;
    QTest::newRow("fourth moves to the top")
        << QStringList{a, b, c, d, e, b} << QStringList{b, e, d, c, a} << 5;
    QTest::newRow("case matters") << QStringList{a, QStringLiteral("/s/A.TWZ")}
                                  << QStringList{QStringLiteral("/s/A.TWZ"), a} << 2;
}

void TestGuiTexts::recentFiles()
{
    QFETCH(QStringList, opened);
    QFETCH(QStringList, expectedMenu);
    QFETCH(int, expectedCount);
    for (const QString &path : opened)
        AppSettings::checkMRU(path);
    QCOMPARE(AppSettings::recentFiles(), expectedMenu);
    QSettings s(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
    QCOMPARE(s.value(QStringLiteral("Settings/MRU/Count")).toInt(), expectedCount);
}

void TestGuiTexts::sortToggle_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    // The first and second click are also seen through the list in the window tests.
    QTest::newRow("three times back to ascending") << QList<int>{2, 2, 2} << 2 << false;
    QTest::newRow("another column starts ascending") << QList<int>{2, 2, 4} << 4 << false;
}

void TestGuiTexts::sortToggle()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, column);
    QFETCH(bool, descending);
    SortToggle sort;
    for (int c : clicks)
        sort.click(c);
    QCOMPARE(sort.column, column);
    QCOMPARE(sort.order == Qt::DescendingOrder, descending);
}

QTEST_GUILESS_MAIN(TestGuiTexts)
#include "tst_guitexts.moc"
