#include "Configuration.h"
#include "Equipment.h"
#include "Names.h"

#include <QtTest>

using namespace tidelex;

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void clearConfigDefaults();
    void clearConfigKeepsFixedSlotsAndClasses();
    void findExtension_data();
    void findExtension();
    void positions_data();
    void positions();
    void liveRecordsNeedBoardAndActive();
    void nameFromNumber_data();
    void nameFromNumber();
    void groupUsersText();
};

void TestModel::clearConfigDefaults()
{
    Configuration c = makeDefaultConfiguration();
    const ExtRecord &last = c.Extensions[119];
    QCOMPARE(last.Name, QStringLiteral("New Ext Brd 15 Port 8"));
    QCOMPARE(last.ExtNum, int16_t(219));
    QCOMPARE(last.Class, int16_t(ClassDisabled));
    QVERIFY(!last.Active);
    QCOMPARE(c.Extensions[0].Name, QStringLiteral("New Ext Brd 1 Port 1"));
    QCOMPARE(c.Extensions[127].ExtNum, int16_t(227));
    const TieRecord &tie = c.TieLines[59];
    QCOMPARE(tie.Name, QStringLiteral("New Tie Brd 15 Port 4"));
    QCOMPARE(tie.DirNum, int16_t(959));
    QCOMPARE(tie.Ext1, int16_t(103));
    QVERIFY(tie.Dial9);
    QCOMPARE(c.SysConfig.GA[0], int16_t(-1));
    QCOMPARE(c.SysConfig.GA[2], int16_t(-1));
    QCOMPARE(c.Groups[15].Exts[11], int16_t(0));
}

void TestModel::clearConfigKeepsFixedSlotsAndClasses()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Slots = {BoardTone16, BoardProcessor, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2,
                         BoardRinging};
    c.SysConfig.GA[3] = 42;
    c.ExtClasses[9].Name = QStringLiteral("Galley");
    c.TieLines[60].Name = QStringLiteral("spare");
    clearConfig(c);
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
    const struct {
        int index, number;
        bool active;
    } records[] = {{3, 300, true},  {60, 300, true}, {4, 42, true},   {9, 330, false},
                   {12, 330, true}, {50, 310, true}, {120, 400, true}};
    for (const auto &r : records) {
        c.Extensions[r.index].ExtNum = int16_t(r.number);
        c.Extensions[r.index].Active = r.active;
    }
    QCOMPARE(findExtensionRecord(c, number), anyRecord);
    QCOMPARE(findActiveExtension(c, number), active);
    QCOMPARE(findLiveExtension(c, number), live);
    // The DOS import alone reaches the spare record.
    QCOMPARE(findExtensionRecord(c, 400, MaxExtensions + 1), 120);
}

void TestModel::positions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("extSlot");
    QTest::addColumn<QString>("key");
    QTest::newRow("first") << 0 << "01.1" << 2 << "E000";
    QTest::newRow("ninth") << 8 << "02.1" << 3 << "E008";
    QTest::newRow("last") << 119 << "15.8" << 16 << "E119";
}

void TestModel::positions()
{
    QFETCH(int, index);
    QFETCH(QString, ext);
    QFETCH(int, extSlot);
    QFETCH(QString, key);
    QCOMPARE(extensionPosition(index), ext);
    QCOMPARE(extensionSlot(index), extSlot);
    QCOMPARE(extensionKey(index), key);
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

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"
