// The formats a configuration comes from or goes to besides its own file:
// the DOS ".TDZ" import (files built byte by byte from the DOS layout), the
// new-system board planner and generator, the exported lists (golden files,
// file naming, separators), and the command-line verbs over them (export,
// diff, new).
#include "CliRun.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "DosImport.h"
#include "Equipment.h"
#include "ListExport.h"
#include "NewSystem.h"
#include "TempDir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <array>

using namespace Qt::StringLiterals;

using namespace tidelex;

// Builds ".TDZ" files byte by byte after the DOS tool's layout, so the import
// tests need no sample files: three CR LF lines, "*", the counts, the word
// table, extension, group and tie-line records and the slot section.
namespace tdz {

struct Ext {
    int number = 100;
    int index = 0;
    QByteArray name;
    int flagsA = 0;
    int flagsB = 0;
};

struct Group {
    QByteArray name;
    int pickup = 0, hunt = 0, callForward = 0;
    QList<int> members; // lead first
    int count = -1;     // member count byte; -1 = members.size()
    int trailer = 0;    // the ignored word at the end of the record
};

struct Tie {
    QByteArray name;
    char kind = 'S';
    char dialling = 'L';
    int ext1 = 0, ext2 = 0;
    int ddi = 0, dial9 = 0;
    std::array<int, 8> routes{};
};

inline void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

inline void putName(QByteArray &out, const QByteArray &name)
{
    QByteArray field = name.left(13);
    field.append(QByteArray(13 - field.size(), '\0'));
    out.append(field);
}

struct File {
    QByteArray line1 = "HELMWISE V02.03";
    QByteArray line2 = "Ship tool";
    QByteArray line3 = "";
    char tag = '*';
    QList<Ext> exts;
    QList<Group> groups;
    QList<Tie> ties;
    bool slotMap = false;
    std::array<int, 15> map{};

    QByteArray bytes() const
    {
        QByteArray out = line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n";
        out.append(tag);
        out.append(char(exts.size()));
        out.append(char(ties.size()));
        for (int k = 0; k < exts.size(); ++k)
            putWord(out, 0x1234 + k);
        for (const Ext &e : exts) {
            putWord(out, e.number);
            putWord(out, e.index);
            putName(out, e.name);
            out.append('\0');
            out.append(char(e.flagsA));
            out.append(char(e.flagsB));
            out.append(QByteArray(3, '\0'));
        }
        out.append(char(groups.size()));
        for (const Group &g : groups) {
            putName(out, g.name);
            out.append(char(g.pickup));
            out.append(char(g.hunt));
            out.append(char(g.callForward));
            out.append(char(g.count < 0 ? g.members.size() : g.count));
            for (int m = 0; m < 10; ++m)
                putWord(out, m < g.members.size() ? g.members[m] : 0);
            putWord(out, g.trailer);
        }
        for (const Tie &t : ties) {
            putName(out, t.name);
            out.append(t.kind);
            out.append(t.dialling);
            putWord(out, t.ext1);
            putWord(out, t.ext2);
            out.append(char(t.ddi));
            out.append(char(t.dial9));
            for (int r : t.routes)
                putWord(out, r);
        }
        if (!slotMap) {
            out.append('$');
        } else {
            out.append('#');
            putWord(out, 0);
            for (int w : map)
                putWord(out, w);
        }
        return out;
    }
};

} // namespace tdz

Q_DECLARE_METATYPE(tdz::File)

namespace {

// A configuration that differs from anything an import writes, so a failed
// import that touched it shows.
Configuration livedInConfiguration()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = u"Before"_s;
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.Extensions[0].Active = true;
    c.Extensions[0].Name = u"Bridge"_s;
    c.Groups[3].Active = true;
    return c;
}

bool import(const QByteArray &bytes, Configuration &config, QString *message)
{
    QBuffer buffer;
    buffer.setData(bytes);
    return importDos(buffer, config, message);
}

Configuration imported(const tdz::File &file)
{
    Configuration c = livedInConfiguration();
    QString message;
    if (!import(file.bytes(), c, &message))
        qWarning("import failed: %s", qPrintable(message));
    return c;
}

// A file with something in every section: flags that make 101 a recall
// extension with guaranteed access, a pickup group and one shore line.
tdz::File dosShip()
{
    tdz::File f;
    f.exts = {{101, 0, "BRIDGE", 0x40, 0x80}, {102, 1, "ENGINE", 0, 0}};
    f.groups = {{"DECK", 1, 0, 0, {101, 102}, -1, 0}};
    tdz::Tie tie;
    tie.name = "SHORE A";
    tie.ext1 = 101;
    f.ties = {tie};
    return f;
}

// Boards as letters, S Subscriber, T Tie Line, . Empty: the fifteen line
// slots of a slot list from slot 2, or of a board plan from position 1.
template <typename Boards> QString boardLetters(const Boards &boards, int first)
{
    QString text;
    for (int k = first; k < first + LineSlotCount; ++k)
        text += boards[k] == BoardSubscriber ? u'S'
                : boards[k] == BoardTieLine  ? u'T'
                : boards[k] == BoardEmpty    ? u'.'
                                             : u'?';
    return text;
}

NewSystemCounts counts(int e, int o, int s = 0, int t = 0, int p = 0, int g = 0)
{
    NewSystemCounts c;
    c.extensions = e, c.officers = o, c.shore = s, c.satcom = t, c.pa = p, c.pager = g;
    return c;
}

Configuration generated(const NewSystemCounts &c)
{
    Configuration config = makeDefaultConfiguration();
    generateNewSystem(config, c, planBoards(c), u"06/12/2026 12:00:00"_s);
    return config;
}

ExtRecord extension(int number, const char *name, int cls, const Configuration &c)
{
    ExtRecord e;
    e.Active = true;
    e.Name = QString::fromUtf8(name);
    e.TrueName = true;
    e.ExtNum = int16_t(number);
    e.Class = int16_t(cls);
    e.Status = c.ExtClasses[cls].Status;
    return e;
}

// The ship of the exported lists: one Subscriber board (slot 2), one Tie
// Line board (slot 16), and records on other slots that must not be exported.
Configuration exportedShip()
{
    Configuration c = makeDefaultConfiguration();
    auto &slots_ = c.SysConfig.Slots;
    slots_[2] = BoardSubscriber;
    slots_[15] = BoardSubscriber;
    slots_[16] = BoardTieLine;
    c.SysConfig.GA = {100, 103, -1, 105}; // entry 3 is not a guaranteed-access entry

    c.Extensions[0] = extension(100, "Bridge", ClassOfficer, c);
    c.Extensions[0].Group = 545;
    c.Extensions[1] = extension(101, "Mess \u20AC\u00E9", ClassCrew, c);
    c.Extensions[1].Group = 545;
    c.Extensions[2] = extension(102, "Galley", ClassHotLine, c);
    c.Extensions[2].DirectDial = 105;
    c.Extensions[3] = extension(103, "Captain \"Old Man\", aft", ClassCustom, c);
    c.Extensions[3].Status = {0x80, 0xD5, 0x05, 0, 0x10, 0};
    c.Extensions[3].Group = 544;
    c.Extensions[3].DirectDial = 107; // no hot-line bit: not shown
    c.Extensions[4] = extension(104, "Laundry", ClassCrew, c);
    c.Extensions[4].Active = false;
    c.Extensions[5] = extension(105, "Engine\tRoom", ClassNightBell, c);
    c.Extensions[5].Group = 999;
    c.Extensions[8] = extension(108, "Off board", ClassCrew, c);

    auto group = [&c](int g, int dirNum, const char *name, int type, int num,
                      std::initializer_list<int> exts) {
        GroupRecord &r = c.Groups[g];
        r.Active = true;
        r.DirNum = int16_t(dirNum);
        r.Name = QString::fromLatin1(name);
        r.Type = int16_t(type);
        r.Num = int16_t(num);
        int m = 0;
        for (int e : exts)
            r.Exts[m++] = int16_t(e);
    };
    group(0, 545, "Deck", GroupHunt, 3, {102, -1, 450, 101});
    group(1, 544, "Officers", GroupMultipleCallForward, 1, {100});
    group(2, 543, "Pickup", GroupPickup, 2, {100, 101});
    group(3, 542, "Unused", GroupHunt, 1, {100});
    c.Groups[3].Active = false;
    group(4, 540, "Odd", 32, 0, {100});

    auto tie = [&c](int t, const char *name, int cls, int ext1, int ext2, int status0, bool dial9,
                    std::initializer_list<int> routes) {
        TieRecord &r = c.TieLines[t];
        r.Active = true;
        r.Name = QString::fromLatin1(name);
        r.DirNum = int16_t(900 + t);
        r.Class = int16_t(cls);
        r.Ext1 = int16_t(ext1);
        r.Ext2 = int16_t(ext2);
        r.Status[0] = uint8_t(status0);
        r.Dial9 = dial9;
        for (int k : routes)
            r.Dial6[k] = true;
    };
    tie(56, "Shore 1", TieClassShore, 100, 545, 0xC8, true, {0});
    tie(57, "Tannoy", TieClassPA, 0, 0, 0x20, false, {});
    tie(58, "Sat", TieClassSatComm, 0, 200, 0x90, false, {1, 7});
    tie(52, "Wrong board", TieClassShore, 100, 0, 0, true, {});
    return c;
}

QString golden(const QString &name)
{
    return QStringLiteral(HELMWISE_TEST_DATA "/export/") + name;
}

} // namespace

Q_DECLARE_METATYPE(NewSystemCounts)

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void failures_data();
    void failures();
    void everyTruncationIsCorrupted();
    void extensionNames_data();
    void extensionNames();
    void extensionFlags_data();
    void extensionFlags();
    void extensionRecordsGoByEquipmentIndex();
    void guaranteedAccessKeepsFirstThree();
    void groups_data();
    void groups();
    void tieLinesFillTopOfTable();
    void tieLineOptions_data();
    void tieLineOptions();
    void slotRuleWithoutMap_data();
    void slotRuleWithoutMap();
    void slotMap();
    void keepsClassesAndFixedSlots();
    void exportVerb_data();
    void exportVerb();
    void diff_data();
    void diff();
    void boardPlan_data();
    void boardPlan();
    void systemRecord();
    void generatedExtensions_data();
    void generatedExtensions();
    void generatedTieLines_data();
    void generatedTieLines();
    void everyLineIsPlacedOnce_data();
    void everyLineIsPlacedOnce();
    void generatedGroups();
    void absurdCountsStayInsideTables();
    void newVerb_data();
    void newVerb();
    void fileNamesAndSeparator_data();
    void fileNamesAndSeparator();
    void splitPath_data();
    void splitPath();
    void unwritableFolderNamesTheFile();
};

void TestFormats::failures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString unknown = dosUnknownVersionText();
    const QString corrupted = dosCorruptedText();

    auto with = [](auto change) {
        tdz::File f = dosShip();
        change(f);
        return f.bytes();
    };

    QTest::newRow("older version")
        << with([](tdz::File &f) { f.line1 = "HELMWISE V02.02"; }) << unknown;
    QTest::newRow("XML configuration") << QByteArray("<?xml version=\"1.0\"?>\r\n") << unknown;
    QTest::newRow("tag missing") << with([](tdz::File &f) { f.tag = '#'; }) << corrupted;
    QTest::newRow("122 extension words") << with([](tdz::File &f) {
        f.exts.clear();
        for (int i = 0; i < 122; ++i)
            f.exts.append({100 + i, i, "", 0, 0});
    }) << corrupted;
    QTest::newRow("61 tie lines") << with([](tdz::File &f) { f.ties = QList<tdz::Tie>(61); })
                                  << corrupted;
    QTest::newRow("17 groups") << with([](tdz::File &f) { f.groups = QList<tdz::Group>(17); })
                               << corrupted;
    QTest::newRow("member count 11")
        << with([](tdz::File &f) { f.groups[0].count = 11; }) << corrupted;
    QTest::newRow("group trailer 0x8000")
        << with([](tdz::File &f) { f.groups[0].trailer = 0x8000; }) << corrupted;
    QTest::newRow("member number 0x8000")
        << with([](tdz::File &f) { f.groups[0].members[1] = 0x8000; }) << corrupted;
    QTest::newRow("extension number 0x8000")
        << with([](tdz::File &f) { f.exts[1].number = 0x8000; }) << corrupted;
    QTest::newRow("equipment index 0x8000")
        << with([](tdz::File &f) { f.exts[1].index = 0x8000; }) << corrupted;
    QTest::newRow("Ext1 0x8000") << with([](tdz::File &f) { f.ties[0].ext1 = 0x8000; })
                                 << corrupted;
    QTest::newRow("Ext2 0xFFFF") << with([](tdz::File &f) { f.ties[0].ext2 = 0xFFFF; })
                                 << corrupted;
    QTest::newRow("route word 256")
        << with([](tdz::File &f) { f.ties[0].routes[7] = 256; }) << corrupted;
}

void TestFormats::failures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const Configuration before = livedInConfiguration();
    Configuration config = before;
    QString got;
    QVERIFY(!import(bytes, config, &got));
    QCOMPARE(got, message);
    QVERIFY2(config == before, "a failed import changed the configuration");
}

// Whatever byte a file ends at (a count beyond its records included), the
// import fails cleanly and leaves the configuration alone; only the full file reads.
void TestFormats::everyTruncationIsCorrupted()
{
    tdz::File f = dosShip();
    f.slotMap = true;
    const QByteArray bytes = f.bytes();
    const int headerLength = int(QByteArray("HELMWISE V02.03").size());
    for (int n = 0; n < bytes.size(); ++n) {
        Configuration config = livedInConfiguration();
        QString message;
        QVERIFY2(!import(bytes.left(n), config, &message), qPrintable(QString::number(n)));
        QCOMPARE(message, n == headerLength || n > headerLength + 1 ? dosCorruptedText()
                                                                    : dosUnknownVersionText());
        QVERIFY2(config == livedInConfiguration(), qPrintable(QString::number(n)));
    }
    Configuration config = livedInConfiguration();
    QVERIFY(import(bytes, config, nullptr));
}

void TestFormats::extensionNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("trueName");
    QTest::newRow("plain") << QByteArray("BRIDGE") << 101 << u"BRIDGE"_s << true;
    QTest::newRow("fills the field")
        << QByteArray("CHIEF ENGINEE") << 110 << u"CHIEF ENGINEE"_s << true;
    QTest::newRow("ends at the first zero") << QByteArray("AB\0CD", 5) << 120 << u"AB"_s << true;
    QTest::newRow("ANSI letters") << QByteArray("CAF\xC9 \xC4") << 130
                                  << QString::fromUtf8("CAF\u00C9 \u00C4") << true;
    QTest::newRow("undefined byte kept")
        << QByteArray("A\x81\x80") << 132 << u"A\u0081\u20AC"_s << true;
    QTest::newRow("leading zero byte") << QByteArray("\0X", 2) << 499 << u"EXT 499"_s << false;
}

void TestFormats::extensionNames()
{
    QFETCH(QByteArray, name);
    QFETCH(int, number);
    QFETCH(QString, expected);
    QFETCH(bool, trueName);
    tdz::File f;
    f.exts = {{number, 9, name, 0, 0}};
    const Configuration c = imported(f);
    QCOMPARE(c.Extensions[9].Name, expected);
    QCOMPARE(c.Extensions[9].TrueName, trueName);
    QCOMPARE(c.Extensions[9].ExtNum, int16_t(number));
}

void TestFormats::extensionFlags_data()
{
    QTest::addColumn<int>("flagsA");
    QTest::addColumn<int>("flagsB");
    QTest::addColumn<int>("byte0");
    QTest::addColumn<int>("byte1");
    QTest::addColumn<int>("byte4");
    QTest::newRow("none: MF and LD") << 0x00 << 0x00 << 0 << 0xC0 << 0;
    QTest::newRow("A 0x40 recall") << 0x40 << 0x00 << 0x80 << 0xC0 << 0;
    QTest::newRow("A 0x20 night bell pickup") << 0x20 << 0x00 << 0 << 0xC4 << 0;
    QTest::newRow("B 0x02 night bell pickup") << 0x00 << 0x02 << 0 << 0xC4 << 0;
    QTest::newRow("B 0x04 hash") << 0x00 << 0x04 << 0 << 0xD0 << 0;
    QTest::newRow("B 0x08 rapid") << 0x00 << 0x08 << 0 << 0xC8 << 0;
    QTest::newRow("B 0x10 intrude") << 0x00 << 0x10 << 0 << 0xC1 << 0;
    QTest::newRow("B 0x20 no MF") << 0x00 << 0x20 << 0 << 0x40 << 0;
    QTest::newRow("B 0x40 no LD") << 0x00 << 0x40 << 0 << 0x80 << 0;
    QTest::newRow("A 0x10 neither") << 0x10 << 0x00 << 0 << 0x00 << 0;
    QTest::newRow("A 0x10 beats B 0x20") << 0x10 << 0x20 << 0 << 0x00 << 0;
    QTest::newRow("A 0x80 dial 9") << 0x80 << 0x00 << 0 << 0xC0 << 0x10;
    QTest::newRow("A 0x01..0x08 unused") << 0x0F << 0x01 << 0 << 0xC0 << 0;
    QTest::newRow("everything") << 0xFF << 0x7F << 0x80 << 0x1D << 0x10;
}

void TestFormats::extensionFlags()
{
    QFETCH(int, flagsA);
    QFETCH(int, flagsB);
    tdz::File f;
    f.exts = {{150, 4, "X", flagsA, flagsB}};
    const Configuration c = imported(f);
    const ExtRecord &e = c.Extensions[4];
    QTEST(int(e.Status[0]), "byte0");
    QTEST(int(e.Status[1]), "byte1");
    QCOMPARE(int(e.Status[2]), 0);
    QCOMPARE(int(e.Status[3]), 0);
    QTEST(int(e.Status[4]), "byte4");
    QCOMPARE(int(e.Status[5]), 0); // never stored in files: nothing goes there
    QVERIFY(e.Active);
    // The options are its own: a Custom extension, not a "Disabled" one.
    QCOMPARE(e.Class, int16_t(ClassCustom));
    QCOMPARE(e.DirectDial, int16_t(0));
}

void TestFormats::extensionRecordsGoByEquipmentIndex()
{
    tdz::File f;
    f.exts = {{300, 119, "LAST", 0, 0},
              {301, 120, "BEYOND", 0, 0},
              {302, 5000, "FAR", 0, 0},
              {303, 0, "FIRST", 0, 0}};
    const Configuration c = imported(f);
    QCOMPARE(c.Extensions[119].Name, u"LAST"_s);
    QCOMPARE(c.Extensions[0].ExtNum, int16_t(303));
    QVERIFY(!c.Extensions[120].Active);
    QCOMPARE(c.Extensions[120].ExtNum, int16_t(220)); // as the reset left it
    for (int i = 1; i < 119; ++i)
        QVERIFY2(!c.Extensions[i].Active, qPrintable(QString::number(i)));
}

void TestFormats::guaranteedAccessKeepsFirstThree()
{
    tdz::File f;
    for (int k = 0; k < 5; ++k)
        f.exts.append({110 + k, k, "GA", 0, k == 1 ? 0 : 0x80});
    const Configuration c = imported(f);
    QCOMPARE(c.SysConfig.GA[0], int16_t(110));
    QCOMPARE(c.SysConfig.GA[1], int16_t(112));
    QCOMPARE(c.SysConfig.GA[2], int16_t(113));
    QCOMPARE(c.SysConfig.GA[3], livedInConfiguration().SysConfig.GA[3]);
}

// The type comes from the pickup, hunt and call-forward flags (bytes 13..15):
// of those set to 1, the later one wins.
void TestFormats::groups_data()
{
    QTest::addColumn<QList<int>>("members");
    QTest::addColumn<int>("leadIndex");
    QTest::addColumn<int>("num");
    QTest::addColumn<QList<int>>("exts");
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("type");
    // Extensions in the file: 101 at 0, 102 at 1, 103 at 2 (records the file
    // does not fill keep the numbers the reset gave them).
    QTest::newRow("lead only, pickup") << QList<int>{101} << 0 << 0 << QList<int>{0, 0, 0}
                                       << QList<int>{1, 0, 0} << int(GroupPickup);
    QTest::newRow("lead and two, pickup and hunt")
        << QList<int>{102, 101, 103} << 1 << 2 << QList<int>{101, 103, 0} << QList<int>{1, 1, 0}
        << int(GroupHunt);
    QTest::newRow("unknown member keeps its entry, all three flags")
        << QList<int>{101, 600, 102} << 0 << 2 << QList<int>{0, 102, 0} << QList<int>{1, 1, 1}
        << int(GroupMultipleCallForward);
    QTest::newRow("no members at all, no flags")
        << QList<int>{} << -1 << 0 << QList<int>{0, 0, 0} << QList<int>{0, 0, 0}
        << int(GroupMultipleCallForward);
    QTest::newRow("unknown lead, byte 2 is not a flag")
        << QList<int>{999, 103} << -1 << 1 << QList<int>{103, 0, 0} << QList<int>{2, 0, 0}
        << int(GroupMultipleCallForward);
    QTest::newRow("ten members") << QList<int>{101, 102, 103, 101, 102, 103, 101, 102, 103, 101}
                                 << 0 << 9 << QList<int>{102, 103, 101} << QList<int>{1, 0, 0}
                                 << int(GroupPickup);
}

void TestFormats::groups()
{
    QFETCH(QList<int>, members);
    QFETCH(int, leadIndex);
    QFETCH(QList<int>, flags);
    tdz::File f;
    f.exts = {{101, 0, "A", 0, 0}, {102, 1, "B", 0, 0}, {103, 2, "C", 0, 0}};
    f.groups = {{"FIRST", 0, 0, 0, {}, -1, 0}, {"", flags[0], flags[1], flags[2], members, -1, 0}};
    const Configuration c = imported(f);
    const GroupRecord &g = c.Groups[1];
    QCOMPARE(g.Name, u"Grp 1"_s);
    QCOMPARE(c.Groups[0].Name, u"FIRST"_s);
    QCOMPARE(c.Groups[0].DirNum, int16_t(544));
    QCOMPARE(g.DirNum, int16_t(545)); // the last group gets 545
    QVERIFY(g.Active);
    QTEST(int(g.Type), "type");
    QTEST(int(g.Num), "num");
    QFETCH(QList<int>, exts);
    for (int j = 0; j < exts.size(); ++j)
        QCOMPARE(int(g.Exts[j]), exts[j]);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(int(c.Extensions[i].Group), i == leadIndex ? 545 : 0);
    QVERIFY(!c.Groups[2].Active);
}

// A full table of sixty lines; a single line lands in record 59 (tieLineOptions).
void TestFormats::tieLinesFillTopOfTable()
{
    tdz::File f;
    for (int k = 0; k < MaxTieLines; ++k) {
        tdz::Tie tie;
        tie.name = QByteArray("LINE ") + QByteArray::number(k);
        f.ties.append(tie);
    }
    const Configuration c = imported(f);
    for (int t = 0; t < MaxTieLines; ++t) {
        const TieRecord &tie = c.TieLines[t];
        QVERIFY(tie.Active);
        QCOMPARE(tie.Name, u"LINE %1"_s.arg(t));
        QCOMPARE(int(tie.DirNum), 900 + t);
        // Every imported line sits on a Tie Line board.
        QVERIFY2(isLiveTieLine(c, t), qPrintable(QString::number(t)));
    }
}

void TestFormats::tieLineOptions_data()
{
    QTest::addColumn<char>("kind");
    QTest::addColumn<char>("dialling");
    QTest::addColumn<int>("ddi");
    QTest::addColumn<int>("dial9");
    QTest::addColumn<int>("cls");
    QTest::addColumn<int>("status0");
    QTest::addColumn<bool>("dial9Set");
    QTest::newRow("shore LD") << 'S' << 'L' << 0 << 0 << 0 << 0 << false;
    QTest::newRow("shore DTMF DDI dial 9") << 'S' << 'D' << 1 << 1 << 0 << 200 << true;
    QTest::newRow("SATCOM") << 'C' << 'L' << 0 << 0 << 1 << 16 << false;
    QTest::newRow("public address") << 'A' << 'L' << 0 << 1 << 2 << 32 << true;
    QTest::newRow("pager DDI") << 'P' << 'L' << 1 << 0 << 3 << 56 << false;
    QTest::newRow("unknown kind") << 'X' << 'D' << 0 << 0 << 0 << 192 << false;
    QTest::newRow("lower-case letters") << 'c' << 'd' << 2 << 2 << 0 << 0 << false;
}

void TestFormats::tieLineOptions()
{
    tdz::Tie tie;
    tie.name = "";
    QFETCH(char, kind);
    QFETCH(char, dialling);
    QFETCH(int, ddi);
    QFETCH(int, dial9);
    tie.kind = kind;
    tie.dialling = dialling;
    tie.ddi = ddi;
    tie.dial9 = dial9;
    tie.ext1 = 0x7FFF;
    tie.ext2 = 545;
    tie.routes = {0, 1, 0, 255, 0, 0, 0, 2};
    tdz::File f;
    f.ties = {tie};
    const Configuration c = imported(f);
    const TieRecord &t = c.TieLines[59];
    QTEST(int(t.Class), "cls");
    QTEST(int(t.Status[0]), "status0");
    QTEST(t.Dial9, "dial9Set");
    QCOMPARE(t.Name, QString());
    QCOMPARE(t.Ext1, int16_t(0x7FFF));
    QCOMPARE(t.Ext2, int16_t(545));
    const bool routes[] = {false, true, false, true, false, false, false, true};
    for (int k = 0; k < 8; ++k)
        QCOMPARE(t.Dial6[k], routes[k]);
}

void TestFormats::slotRuleWithoutMap_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("ties");
    QTest::addColumn<QString>("layout"); // slots 2..16 as boardLetters() gives them
    QTest::newRow("16 extensions, 4 lines") << 16 << 4 << u"SSS...........T"_s;
    QTest::newRow("nothing") << 0 << 0 << u"S.............."_s;
    QTest::newRow("7 extensions, 5 lines") << 7 << 5 << u"S............TT"_s;
    QTest::newRow("part board of lines") << 8 << 3 << u"SS............T"_s;
    QTest::newRow("ties overwrite subscribers") << 64 << 60 << u"TTTTTTTTTTTTTTT"_s;
    QTest::newRow("120 extensions") << 120 << 0 << u"SSSSSSSSSSSSSSS"_s;
    QTest::newRow("121 extensions") << 121 << 8 << u"SSSSSSSSSSSSSTT"_s;
}

void TestFormats::slotRuleWithoutMap()
{
    QFETCH(int, extensions);
    QFETCH(int, ties);
    QFETCH(QString, layout);
    tdz::File f;
    for (int k = 0; k < extensions; ++k)
        f.exts.append({100 + k, k, "", 0, 0});
    f.ties = QList<tdz::Tie>(ties);
    const Configuration c = imported(f);
    QCOMPARE(boardLetters(c.SysConfig.Slots, 2), layout);
    QCOMPARE(c.SysConfig.Slots[17], int16_t(BoardRinging));
}

void TestFormats::slotMap()
{
    tdz::File f;
    f.exts = QList<tdz::Ext>(40); // the counts must not matter with a map
    for (int k = 0; k < 40; ++k)
        f.exts[k] = {100 + k, k, "", 0, 0};
    f.slotMap = true;
    f.map = {0xC000, 0xC0FF, 0x9000, 0x90AB, 0x0000, 0xC100, 0x00C0, 0x8000,
             0xFF90, 0x9001, 0xC012, 0x0090, 0xBFFF, 0x9100, 0xC0C0};
    QCOMPARE(boardLetters(imported(f).SysConfig.Slots, 2), u"SSTT.....TS...S"_s);
}

void TestFormats::keepsClassesAndFixedSlots()
{
    Configuration c = livedInConfiguration();
    c.ExtClasses[9].Active = true;
    c.ExtClasses[9].Name = u"Engineers"_s;
    c.SysConfig.Slots[0] = BoardTone16;
    const Configuration before = c;
    QVERIFY(import(dosShip().bytes(), c, nullptr));
    QCOMPARE(c.ExtClasses, before.ExtClasses);
    QCOMPARE(c.TieClasses, before.TieClasses);
    QCOMPARE(c.SysConfig.Slots[0], int16_t(BoardTone16));
    QCOMPARE(c.SysConfig.Slots[1], int16_t(BoardProcessor));
    // The rest was replaced: nothing of the old system remains.
    QCOMPARE(c.SysConfig.Name, QString());
    QVERIFY(!c.Groups[3].Active);
    QCOMPARE(c.Extensions[0].Name, u"BRIDGE"_s);
}

// export reads DOS files through the loader, whatever the case of the name,
// and writes nothing when the file is corrupted.
void TestFormats::exportVerb_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("err"); // in the first lines printed; empty: success
    const QByteArray good = dosShip().bytes();
    QTest::newRow("exported") << u"ship.tdz"_s << good << u"out.csv"_s << QString();
    QTest::newRow("corrupted") << u"IN.TDZ"_s << good.left(60) << u"out.csv"_s
                               << u"Unable to open TDZ File as corrupted file"_s;
    QTest::newRow("folder missing")
        << u"a.TDZ"_s << good << u"none/o.csv"_s << u"o_Extensions.csv"_s;
}

void TestFormats::exportVerb()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, output);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QVERIFY(writeFileBytes(dir.filePath(input), bytes));
    const CliRun r = runCli({u"export"_s, dir.filePath(input), dir.filePath(output)});
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    if (!err.isEmpty()) {
        QCOMPARE(r.status, int(cli::ExitBadInput));
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        QCOMPARE(files, QStringList{input});
        return;
    }
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));
    QCOMPARE(r.out.count(u"Wrote "_s), 3);
    QCOMPARE(files.size(), 4);
    const QString written =
        QString::fromLatin1(readFileBytes(exportFileNames(dir.filePath(output)).first()));
    QVERIFY2(written.contains(u"\"Board\","_s), qPrintable(written));
    QVERIFY2(written.contains(u"BRIDGE"_s), qPrintable(written));
}

void TestFormats::diff_data()
{
    QTest::addColumn<QStringList>("args"); // file names in the test's folder, then options
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString header = u"Record\tField\tFirst\tSecond\n"_s;
    QTest::newRow("a DOS file and its conversion, saved later")
        << QStringList{u"ship.TDZ"_s, u"ship.TWZ"_s} << 0 << QString() << QString();
    QTest::newRow("a name differs")
        << QStringList{u"ship.TWZ"_s, u"renamed.TWZ"_s} << 1
        << header + u"Extension 01.1\tName\tBRIDGE\tWHEELHOUSE\n"_s << QString();
    QTest::newRow("a number differs, names ignored")
        << QStringList{u"ship.TDZ"_s, u"--ignore-names"_s, u"renumbered.TWZ"_s} << 1
        << header + u"Extension 01.2\tExt No\t102\t150\n"_s << QString();
    QTest::newRow("second file missing")
        << QStringList{u"ship.TWZ"_s, u"missing.TWZ"_s} << 2 << QString()
        << u"Unable to load file as error in file\n"_s;
    QTest::newRow("one file only") << QStringList{u"ship.TWZ"_s} << 2 << QString()
                                   << u"Usage: helmwise-cli diff A B [--ignore-names]\n"_s;
}

void TestFormats::diff()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QVERIFY(writeFileBytes(dir.filePath(u"ship.TDZ"_s), dosShip().bytes()));
    Configuration c = makeDefaultConfiguration();
    QVERIFY(loadConfigurationFile(dir.filePath(u"ship.TDZ"_s), c).importedDos);
    QVERIFY(writeConfigFile(dir.filePath(u"ship.TWZ"_s), c, nullptr, u"01/02/2026 10:00"_s));
    c.Extensions[0].Name = u"WHEELHOUSE"_s;
    QVERIFY(writeConfigFile(dir.filePath(u"renamed.TWZ"_s), c));
    c.Extensions[1].ExtNum = 150;
    QVERIFY(writeConfigFile(dir.filePath(u"renumbered.TWZ"_s), c));

    QStringList line{u"diff"_s};
    for (const QString &arg : args)
        line << (arg.startsWith(u'-') ? arg : dir.filePath(arg));
    const CliRun r = runCli(line);
    QTEST(r.status, "status");
    QCOMPARE(r.out, out);
    // The loader's message first; the reader's reason may follow.
    QCOMPARE(r.err.section(u'\n', 0, 0) + (err.isEmpty() ? QString() : u"\n"_s), err);
}

void TestFormats::boardPlan_data()
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

void TestFormats::boardPlan()
{
    QFETCH(NewSystemCounts, numbers);
    const BoardPlanResult plan = planBoards(numbers);
    QTEST(boardLetters(plan.BoardPlan, 1), "plan");
    QTEST(plan.overflow, "overflow");
    QCOMPARE(plan.BoardPlan[0], 0);
    QCOMPARE(plan.BoardPlan[16], 0);
}

void TestFormats::systemRecord()
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

void TestFormats::generatedExtensions_data()
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

void TestFormats::generatedExtensions()
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

void TestFormats::generatedTieLines_data()
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

void TestFormats::generatedTieLines()
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

void TestFormats::everyLineIsPlacedOnce_data()
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
void TestFormats::everyLineIsPlacedOnce()
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

void TestFormats::generatedGroups()
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

void TestFormats::absurdCountsStayInsideTables()
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

void TestFormats::newVerb_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("message"); // empty: written
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
    QTest::newRow("written")
        << u"--extensions 16 --officers 1 --shore 3 --satcom 1 --pa 0 --pager 0"_s << QString();
}

void TestFormats::newVerb()
{
    QFETCH(QString, options);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = dir.filePath(u"new.TWZ"_s);
    const CliRun r = runCli(QStringList{u"new"_s} + options.split(u' ') + QStringList{out});
    if (!message.isEmpty()) {
        QCOMPARE(r.status, int(cli::ExitBadInput));
        QCOMPARE(r.err.trimmed(), message);
        QVERIFY(!QFile::exists(out));
        return;
    }
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));
    Configuration c = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(out, c), ReadConfigOk);
    QCOMPARE(c.SysConfig.Slots[16], int16_t(BoardTieLine));
    QCOMPARE(c.Extensions[0].Name, u"Officer 01"_s);
    QCOMPARE(c.TieLines[58].Name, u"Shore 3"_s);
    QVERIFY(!c.SysConfig.LastUpdate.isEmpty());
}

// Every set is compared with the golden files of its separator.
void TestFormats::fileNamesAndSeparator_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("pattern"); // %1 = Extensions, TieLines, Groups
    QTest::addColumn<QString>("goldenSet");
    const QString tab = u"small_%1.TAB"_s;
    const QString comma = u"small_%1.csv"_s;
    QTest::newRow("small.csv") << u"small.csv"_s << u"small_%1.csv"_s << comma;
    QTest::newRow("Ship.TAB") << u"Ship.TAB"_s << u"Ship_%1.TAB"_s << tab;
    QTest::newRow("Ship.tab is comma") << u"Ship.tab"_s << u"Ship_%1.tab"_s << comma;
    QTest::newRow("earlier tie-line file") << u"ship_tielines.csv"_s << u"ship_%1.csv"_s << comma;
    QTest::newRow("earlier extension file") << u"SHIP_EXTENSIONS.TAB"_s << u"SHIP_%1.TAB"_s << tab;
    QTest::newRow("suffix only once") << u"A_Groups_Groups.csv"_s << u"A_Groups_%1.csv"_s << comma;
    QTest::newRow("two dots") << u"Ship.v2.TAB"_s << u"Ship_%1.v2.TAB"_s << comma;
    QTest::newRow("no extension") << u"Ship"_s << u"Ship_%1"_s << comma;
}

void TestFormats::fileNamesAndSeparator()
{
    QFETCH(QString, chosen);
    QFETCH(QString, pattern);
    QFETCH(QString, goldenSet);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QVERIFY2(exportLists(dir.filePath(chosen), exportedShip(), &message), qPrintable(message));
    QStringList written;
    for (const char *part : {"Extensions", "TieLines", "Groups"}) {
        written << pattern.arg(QLatin1String(part));
        const QString expected = golden(goldenSet.arg(QLatin1String(part)));
        // HELMWISE_UPDATE_GOLDEN=1 rewrites the golden files; review them by hand.
        if (qEnvironmentVariableIsSet("HELMWISE_UPDATE_GOLDEN")) {
            QFile::remove(expected);
            QVERIFY(QFile::copy(dir.filePath(written.last()), expected));
        }
        QCOMPARE(readFileBytes(dir.filePath(written.last())), readFileBytes(expected));
    }
    QCOMPARE(exportFileNames(dir.filePath(chosen)),
             (QStringList{dir.filePath(written[0]), dir.filePath(written[1]),
                          dir.filePath(written[2])}));
    written.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), written);
}

void TestFormats::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("parts"); // folder, file name, base name, extension
    QTest::newRow("windows path") << u"C:\\Ships\\Nordic.csv"_s
                                  << QStringList{u"C:/Ships"_s, u"Nordic.csv"_s, u"Nordic"_s,
                                                 u"csv"_s};
    QTest::newRow("mixed separators")
        << u"/tmp\\x/y.z.csv"_s << QStringList{u"/tmp/x"_s, u"y.z.csv"_s, u"y"_s, u"z.csv"_s};
    QTest::newRow("bare name") << u"Nordic.csv"_s
                               << QStringList{u"."_s, u"Nordic.csv"_s, u"Nordic"_s, u"csv"_s};
    QTest::newRow("empty") << QString() << QStringList{QString(), QString(), QString(), QString()};
}

void TestFormats::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QStringList, parts);
    const PathParts got = ::splitPath(path);
    QCOMPARE((QStringList{got.folder, got.fileName, got.baseName, got.extension}), parts);
}

void TestFormats::unwritableFolderNamesTheFile()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(u"no/such/folder/Ship.csv"_s);
    QString message;
    QVERIFY(!exportLists(chosen, exportedShip(), &message));
    QVERIFY2(message.contains(u"Ship_Extensions.csv"_s), qPrintable(message));
    QVERIFY(!exportLists(QString(), exportedShip(), &message));
    QVERIFY(!message.isEmpty());
}
QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
