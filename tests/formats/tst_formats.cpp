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

inline void putBytes(QByteArray &out, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        out.append(char(b));
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
        putBytes(out, {tag, int(exts.size()), int(ties.size())});
        for (int k = 0; k < exts.size(); ++k)
            putWord(out, 0x1234 + k);
        for (const Ext &e : exts) {
            putWord(out, e.number);
            putWord(out, e.index);
            putName(out, e.name);
            putBytes(out, {0, e.flagsA, e.flagsB, 0, 0, 0});
        }
        out.append(char(groups.size()));
        for (const Group &g : groups) {
            putName(out, g.name);
            putBytes(out, {g.pickup, g.hunt, g.callForward,
                           int(g.count < 0 ? g.members.size() : g.count)});
            for (int m = 0; m < 10; ++m)
                putWord(out, m < g.members.size() ? g.members[m] : 0);
            putWord(out, g.trailer);
        }
        for (const Tie &t : ties) {
            putName(out, t.name);
            putBytes(out, {t.kind, t.dialling});
            putWord(out, t.ext1);
            putWord(out, t.ext2);
            putBytes(out, {t.ddi, t.dial9});
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

// An extension record as one line, "Name|Active|TrueName|ExtNum|Class|DirectDial|Group|"
// and then its option bytes in hex.
QString extText(const ExtRecord &e)
{
    QString text = e.Name;
    for (int value : {int(e.Active), int(e.TrueName), int(e.ExtNum), int(e.Class),
                      int(e.DirectDial), int(e.Group)})
        text += u'|' + QString::number(value);
    QStringList bytes;
    for (uint8_t b : e.Status)
        bytes << u"%1"_s.arg(b, 2, 16, QLatin1Char('0'));
    return text + u'|' + bytes.join(u' ');
}

// A tie record as one line, "Name|Active|DirNum|Ext1|Ext2|Class|Status 0|Status 1|Dial 9|"
// and then the Dial 6 codes it uses (0 for 61 .. 7 for 68).
QString tieText(const TieRecord &t)
{
    QString text = t.Name;
    for (int value : {int(t.Active), int(t.DirNum), int(t.Ext1), int(t.Ext2), int(t.Class),
                      int(t.Status[0]), int(t.Status[1]), int(t.Dial9)})
        text += u'|' + QString::number(value);
    text += u'|';
    for (int k = 0; k < 8; ++k) {
        if (t.Dial6[k])
            text += QString::number(k);
    }
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

// A live extension numbered 100 + index, with its class's options.
ExtRecord &extension(Configuration &c, int index, const char *name, int cls, int group = 0,
                     int directDial = 0)
{
    ExtRecord &e = c.Extensions[index];
    e.Active = true;
    e.Name = QString::fromUtf8(name);
    e.TrueName = true;
    e.ExtNum = int16_t(100 + index);
    e.Class = int16_t(cls);
    e.Status = c.ExtClasses[cls].Status;
    e.Group = int16_t(group);
    e.DirectDial = int16_t(directDial);
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

    extension(c, 0, "Bridge", ClassOfficer, 545);
    extension(c, 1, "Mess \u20AC\u00E9", ClassCrew, 545);
    extension(c, 2, "Galley", ClassHotLine, 0, 105);
    // A direct-dial number without the hot-line bit: not shown.
    ExtRecord &captain = extension(c, 3, "Captain \"Old Man\", aft", ClassCustom, 544, 107);
    captain.Status = {0x80, 0xD5, 0x05, 0, 0x10, 0};
    extension(c, 4, "Laundry", ClassCrew).Active = false;
    extension(c, 5, "Engine\tRoom", ClassNightBell, 999);
    extension(c, 8, "Off board", ClassCrew);

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
    void slotBoards_data();
    void slotBoards();
    void keepsClassesAndFixedSlots();
    void verbs_data();
    void verbs();
    void boardPlan_data();
    void boardPlan();
    void systemAndGroupRecords();
    void generatedExtensions_data();
    void generatedExtensions();
    void generatedTieLines_data();
    void generatedTieLines();
    void everyLineIsPlacedOnce_data();
    void everyLineIsPlacedOnce();
    void absurdCountsStayInsideTables();
    void fileNamesAndSeparator_data();
    void fileNamesAndSeparator();
    void splitPath_data();
    void splitPath();
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

    QTest::newRow("older version") << with([](auto &f) { f.line1 = "HELMWISE V02.02"; }) << unknown;
    QTest::newRow("XML configuration") << QByteArray("<?xml version=\"1.0\"?>\r\n") << unknown;
    QTest::newRow("tag missing") << with([](auto &f) { f.tag = '#'; }) << corrupted;
    QTest::newRow("122 extension words") << with([](auto &f) {
        f.exts.clear();
        for (int i = 0; i < 122; ++i)
            f.exts.append({100 + i, i, "", 0, 0});
    }) << corrupted;
    QTest::newRow("61 tie lines") << with([](auto &f) { f.ties = QList<tdz::Tie>(61); })
                                  << corrupted;
    QTest::newRow("17 groups") << with([](auto &f) { f.groups = QList<tdz::Group>(17); })
                               << corrupted;
    QTest::newRow("member count 11") << with([](auto &f) { f.groups[0].count = 11; }) << corrupted;
    QTest::newRow("group trailer 0x8000")
        << with([](auto &f) { f.groups[0].trailer = 0x8000; }) << corrupted;
    QTest::newRow("member number 0x8000")
        << with([](auto &f) { f.groups[0].members[1] = 0x8000; }) << corrupted;
    QTest::newRow("extension number 0x8000")
        << with([](auto &f) { f.exts[1].number = 0x8000; }) << corrupted;
    QTest::newRow("equipment index 0x8000")
        << with([](auto &f) { f.exts[1].index = 0x8000; }) << corrupted;
    QTest::newRow("Ext1 0x8000") << with([](auto &f) { f.ties[0].ext1 = 0x8000; }) << corrupted;
    QTest::newRow("Ext2 0xFFFF") << with([](auto &f) { f.ties[0].ext2 = 0xFFFF; }) << corrupted;
    QTest::newRow("route word 256")
        << with([](auto &f) { f.ties[0].routes[7] = 256; }) << corrupted;
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
    QTest::addColumn<QString>("ext"); // Name|Active|TrueName|ExtNum as extText() gives them
    QTest::newRow("plain") << QByteArray("BRIDGE") << 101 << u"BRIDGE|1|1|101"_s;
    QTest::newRow("fills the field")
        << QByteArray("CHIEF ENGINEE") << 110 << u"CHIEF ENGINEE|1|1|110"_s;
    QTest::newRow("ends at the first zero") << QByteArray("AB\0CD", 5) << 120 << u"AB|1|1|120"_s;
    QTest::newRow("ANSI letters") << QByteArray("CAF\xC9 \xC4") << 130
                                  << QString::fromUtf8("CAF\u00C9 \u00C4|1|1|130");
    QTest::newRow("undefined byte kept")
        << QByteArray("A\x81\x80") << 132 << u"A\u0081\u20AC|1|1|132"_s;
    QTest::newRow("leading zero byte") << QByteArray("\0X", 2) << 499 << u"EXT 499|1|0|499"_s;
}

void TestFormats::extensionNames()
{
    QFETCH(QByteArray, name);
    QFETCH(int, number);
    tdz::File f;
    f.exts = {{number, 9, name, 0, 0}};
    QTEST(extText(imported(f).Extensions[9]).section(u'|', 0, 3), "ext");
}

void TestFormats::extensionFlags_data()
{
    QTest::addColumn<int>("flagsA");
    QTest::addColumn<int>("flagsB");
    QTest::addColumn<QString>("status"); // the option bytes as extText() gives them
    QTest::newRow("none: MF and LD") << 0x00 << 0x00 << u"00 c0 00 00 00 00"_s;
    QTest::newRow("A 0x40 recall") << 0x40 << 0x00 << u"80 c0 00 00 00 00"_s;
    QTest::newRow("A 0x20 night bell pickup") << 0x20 << 0x00 << u"00 c4 00 00 00 00"_s;
    QTest::newRow("B 0x02 night bell pickup") << 0x00 << 0x02 << u"00 c4 00 00 00 00"_s;
    QTest::newRow("B 0x04 hash") << 0x00 << 0x04 << u"00 d0 00 00 00 00"_s;
    QTest::newRow("B 0x08 rapid") << 0x00 << 0x08 << u"00 c8 00 00 00 00"_s;
    QTest::newRow("B 0x10 intrude") << 0x00 << 0x10 << u"00 c1 00 00 00 00"_s;
    QTest::newRow("B 0x20 no MF") << 0x00 << 0x20 << u"00 40 00 00 00 00"_s;
    QTest::newRow("B 0x40 no LD") << 0x00 << 0x40 << u"00 80 00 00 00 00"_s;
    QTest::newRow("A 0x10 neither") << 0x10 << 0x00 << u"00 00 00 00 00 00"_s;
    QTest::newRow("A 0x10 beats B 0x20") << 0x10 << 0x20 << u"00 00 00 00 00 00"_s;
    QTest::newRow("A 0x80 dial 9") << 0x80 << 0x00 << u"00 c0 00 00 10 00"_s;
    QTest::newRow("A 0x01..0x08 unused") << 0x0F << 0x01 << u"00 c0 00 00 00 00"_s;
    QTest::newRow("everything") << 0xFF << 0x7F << u"80 1d 00 00 10 00"_s;
}

// The options are the extension's own: a live Custom extension, not a
// "Disabled" one. Byte 5 is never stored in files: nothing goes there.
void TestFormats::extensionFlags()
{
    QFETCH(int, flagsA);
    QFETCH(int, flagsB);
    QFETCH(QString, status);
    tdz::File f;
    f.exts = {{150, 4, "X", flagsA, flagsB}};
    QCOMPARE(extText(imported(f).Extensions[4]), u"X|1|1|150|0|0|0|"_s + status);
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
    const int16_t untouched = livedInConfiguration().SysConfig.GA[3];
    QCOMPARE(c.SysConfig.GA, (std::array<int16_t, 4>{110, 112, 113, untouched}));
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
    for (int k = 0; k < MaxTieLines; ++k)
        f.ties.append({QByteArray("LINE ") + QByteArray::number(k)});
    const Configuration c = imported(f);
    for (int t = 0; t < MaxTieLines; ++t) {
        QCOMPARE(tieText(c.TieLines[t]), u"LINE %1|1|%2|0|0|0|0|0|0|"_s.arg(t).arg(900 + t));
        // Every imported line sits on a Tie Line board.
        QVERIFY2(isLiveTieLine(c, t), qPrintable(QString::number(t)));
    }
}

// Every line here has Ext1 0x7FFF, Ext2 545 and route words 0, 1, 0, 255, 0, 0, 0, 2.
void TestFormats::tieLineOptions_data()
{
    QTest::addColumn<char>("kind");
    QTest::addColumn<char>("dialling");
    QTest::addColumn<int>("ddi");
    QTest::addColumn<int>("dial9");
    QTest::addColumn<QString>("tie"); // as tieText() gives it
    QTest::newRow("shore LD") << 'S' << 'L' << 0 << 0 << u"|1|959|32767|545|0|0|0|0|137"_s;
    QTest::newRow("shore DTMF DDI dial 9")
        << 'S' << 'D' << 1 << 1 << u"|1|959|32767|545|0|200|0|1|137"_s;
    QTest::newRow("SATCOM") << 'C' << 'L' << 0 << 0 << u"|1|959|32767|545|1|16|0|0|137"_s;
    QTest::newRow("public address") << 'A' << 'L' << 0 << 1 << u"|1|959|32767|545|2|32|0|1|137"_s;
    QTest::newRow("pager DDI") << 'P' << 'L' << 1 << 0 << u"|1|959|32767|545|3|56|0|0|137"_s;
    QTest::newRow("unknown kind") << 'X' << 'D' << 0 << 0 << u"|1|959|32767|545|0|192|0|0|137"_s;
    QTest::newRow("lower-case letters")
        << 'c' << 'd' << 2 << 2 << u"|1|959|32767|545|0|0|0|0|137"_s;
}

void TestFormats::tieLineOptions()
{
    QFETCH(char, kind);
    QFETCH(char, dialling);
    QFETCH(int, ddi);
    QFETCH(int, dial9);
    tdz::File f;
    f.ties = {{"", kind, dialling, 0x7FFF, 545, ddi, dial9, {0, 1, 0, 255, 0, 0, 0, 2}}};
    QTEST(tieText(imported(f).TieLines[59]), "tie");
}

void TestFormats::slotBoards_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("ties");
    QTest::addColumn<QString>("layout"); // slots 2..16 as boardLetters() gives them
    QTest::addColumn<QList<int>>("map"); // the slot map's words; empty: no map
    const QList<int> none;
    QTest::newRow("16 extensions, 4 lines") << 16 << 4 << u"SSS...........T"_s << none;
    QTest::newRow("nothing") << 0 << 0 << u"S.............."_s << none;
    QTest::newRow("7 extensions, 5 lines") << 7 << 5 << u"S............TT"_s << none;
    QTest::newRow("part board of lines") << 8 << 3 << u"SS............T"_s << none;
    QTest::newRow("ties overwrite subscribers") << 64 << 60 << u"TTTTTTTTTTTTTTT"_s << none;
    QTest::newRow("120 extensions") << 120 << 0 << u"SSSSSSSSSSSSSSS"_s << none;
    QTest::newRow("121 extensions") << 121 << 8 << u"SSSSSSSSSSSSSTT"_s << none;
    QTest::newRow("a map: the counts do not matter")
        << 40 << 0 << u"SSTT.....TS...S"_s
        << QList<int>{0xC000, 0xC0FF, 0x9000, 0x90AB, 0x0000, 0xC100, 0x00C0, 0x8000,
                      0xFF90, 0x9001, 0xC012, 0x0090, 0xBFFF, 0x9100, 0xC0C0};
}

void TestFormats::slotBoards()
{
    QFETCH(int, extensions);
    QFETCH(int, ties);
    QFETCH(QList<int>, map);
    tdz::File f;
    for (int k = 0; k < extensions; ++k)
        f.exts.append({100 + k, k, "", 0, 0});
    f.ties = QList<tdz::Tie>(ties);
    f.slotMap = !map.isEmpty();
    std::copy(map.cbegin(), map.cend(), f.map.begin());
    const Configuration c = imported(f);
    QTEST(boardLetters(c.SysConfig.Slots, 2), "layout");
    QCOMPARE(c.SysConfig.Slots[17], int16_t(BoardRinging));
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

// export, diff and new over one folder: ship.tdz (a DOS file), IN.TDZ (the
// same cut short), ship.TWZ (its conversion, saved later), renamed.TWZ and
// renumbered.TWZ (one field changed each). export reads DOS files through the
// loader, whatever the case of the name; no verb writes anything when it fails.
void TestFormats::verbs_data()
{
    QTest::addColumn<QString>("line"); // words with a "." are files in the folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // the folder's path left out
    QTest::addColumn<QString>("err"); // the folder's path left out; * = any rest
    const QString header = u"Record\tField\tFirst\tSecond\n"_s;
    QTest::newRow("exported")
        << u"export ship.tdz out.csv"_s << 0
        << u"Wrote out_Extensions.csv\nWrote out_TieLines.csv\nWrote out_Groups.csv\n"_s
        << QString();
    QTest::newRow("export of a corrupted file") << u"export IN.TDZ out.csv"_s << 2 << QString()
                                                << u"Unable to open TDZ File as corrupted file"_s;
    QTest::newRow("export into a missing folder")
        << u"export ship.tdz none/o.csv"_s << 2 << QString()
        << u"Cannot create none/o_Extensions.csv: *"_s;
    QTest::newRow("export to no file name")
        << u"export ship.tdz .csv"_s << 2 << QString() << u"No file name to export to: \".csv\""_s;
    const QString extensions = u"--extensions must be a number from 1 to 120"_s;
    QTest::newRow("new: 120 extensions and a shore line")
        << u"new --extensions 120 --shore 1 new.TWZ"_s << 2 << QString()
        << u"This configuration not possible"_s;
    QTest::newRow("new: officers as many as extensions")
        << u"new --extensions 8 --officers 8 new.TWZ"_s << 2 << QString()
        << u"Must be less than the total number of extensions in the system"_s;
    QTest::newRow("new: no extensions")
        << u"new --extensions 0 new.TWZ"_s << 2 << QString() << extensions;
    QTest::newRow("new: 121 extensions")
        << u"new --extensions 121 new.TWZ"_s << 2 << QString() << extensions;
    QTest::newRow("new: not a number")
        << u"new --extensions eight new.TWZ"_s << 2 << QString() << extensions;
    QTest::newRow("new: 17 pager lines") << u"new --extensions 8 --pager 17 new.TWZ"_s << 2
                                         << QString() << u"--pager must be a number from 0 to 16"_s;
    QTest::newRow("new: negative officers")
        << u"new --extensions 8 --officers -1 new.TWZ"_s << 2 << QString()
        << u"--officers must be a number from 0 to 120"_s;
    QTest::newRow("new: extensions missing")
        << u"new --shore 2 new.TWZ"_s << 2 << QString() << u"--extensions is required"_s;
    QTest::newRow("new: written")
        << u"new --extensions 16 --officers 1 --shore 3 --satcom 1 --pa 0 --pager 0 new.TWZ"_s << 0
        << u"Wrote new.TWZ\n"_s << QString();
    QTest::newRow("a DOS file and its conversion, saved later")
        << u"diff ship.tdz ship.TWZ"_s << 0 << QString() << QString();
    QTest::newRow("a name differs")
        << u"diff ship.TWZ renamed.TWZ"_s << 1
        << header + u"Extension 01.1\tName\tBRIDGE\tWHEELHOUSE\n"_s << QString();
    QTest::newRow("a number differs, names ignored")
        << u"diff ship.tdz --ignore-names renumbered.TWZ"_s << 1
        << header + u"Extension 01.2\tExt No\t102\t150\n"_s << QString();
    QTest::newRow("second file missing")
        << u"diff ship.TWZ missing.TWZ"_s << 2 << QString()
        << u"Unable to load file as error in file\nmissing.TWZ: no such file"_s;
    QTest::newRow("one file only") << u"diff ship.TWZ"_s << 2 << QString()
                                   << u"Usage: helmwise-cli diff A B [--ignore-names]"_s;
}

void TestFormats::verbs()
{
    QFETCH(QString, line);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString ship = dir.filePath(u"ship.tdz"_s);
    QVERIFY(writeFileBytes(ship, dosShip().bytes()));
    QVERIFY(writeFileBytes(dir.filePath(u"IN.TDZ"_s), dosShip().bytes().left(60)));
    Configuration c = makeDefaultConfiguration();
    QVERIFY(loadConfigurationFile(ship, c).importedDos);
    QVERIFY(writeConfigFile(dir.filePath(u"ship.TWZ"_s), c, nullptr, u"01/02/2026 10:00"_s));
    c.Extensions[0].Name = u"WHEELHOUSE"_s;
    QVERIFY(writeConfigFile(dir.filePath(u"renamed.TWZ"_s), c));
    c.Extensions[1].ExtNum = 150;
    QVERIFY(writeConfigFile(dir.filePath(u"renumbered.TWZ"_s), c));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    QStringList args;
    for (const QString &word : line.split(u' '))
        args << (word.contains(u'.') ? dir.filePath(word) : word);
    const CliRun r = runCli(args);
    QTEST(r.status, "status");
    QTEST(QString(r.out).remove(dir.path() + u'/'), "out");
    const QString errors = QString(r.err).remove(dir.path() + u'/').trimmed();
    if (err.endsWith(u'*'))
        QVERIFY2(errors.startsWith(err.chopped(1)), qPrintable(r.err));
    else
        QCOMPARE(errors, err);
    // The run adds to the folder the files it says it wrote, and no other.
    QStringList added = QDir(dir.path()).entryList(QDir::Files);
    for (const QString &name : before)
        added.removeOne(name);
    QCOMPARE(added.size(), int(r.out.count(u"Wrote "_s)));
    if (added.contains(u"out_Extensions.csv"_s)) {
        const QString list =
            QString::fromLatin1(readFileBytes(dir.filePath(u"out_Extensions.csv"_s)));
        QVERIFY2(list.contains(u"\"Board\","_s) && list.contains(u"BRIDGE"_s), qPrintable(list));
    }
    if (added.contains(u"new.TWZ"_s)) {
        Configuration written = makeDefaultConfiguration();
        QCOMPARE(readConfigFile(dir.filePath(u"new.TWZ"_s), written), ReadConfigOk);
        QCOMPARE(written.SysConfig.Slots[16], int16_t(BoardTieLine));
        QCOMPARE(written.Extensions[0].Name, u"Officer 01"_s);
        QCOMPARE(written.TieLines[58].Name, u"Shore 3"_s);
        QVERIFY(!written.SysConfig.LastUpdate.isEmpty());
    }
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

// The system record and sixteen empty groups, whatever was there before.
void TestFormats::systemAndGroupRecords()
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
    QCOMPARE(sys.Slots, (std::array<int16_t, 18>{BoardTone8, BoardProcessor, 1, 1, 0, 0, 0, 0, 0, 0,
                                                 0, 0, 0, 0, 0, 0, 2, BoardEmpty}));
    QCOMPARE(sys.GA[0], int16_t(-1));
    QCOMPARE(config.ExtClasses, before.ExtClasses);
    for (int g = 0; g < 16; ++g) {
        const GroupRecord &group = config.Groups[g];
        QCOMPARE(group.Name, u"Group %1"_s.arg(g + 1, 2, 10, QLatin1Char('0')));
        QCOMPARE(int(group.DirNum), 546 - g);
        QVERIFY(!group.Active);
        QCOMPARE(int(group.Num), 0);
        for (int m = 0; m < 12; ++m)
            QCOMPARE(int(group.Exts[m]), -1);
    }
}

void TestFormats::generatedExtensions_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("ext"); // as extText() gives it
    const QString officer = u"|1|1|%1|1|0|0|80 d7 ff 00 10 00"_s;
    const QString crew = u"|1|1|%1|2|0|0|00 e0 00 00 00 00"_s;
    const QString spare = u"|1|1|%1|6|0|0|00 00 00 00 00 00"_s;
    QTest::newRow("8/1 officer") << counts(8, 1) << 0 << u"Officer 01"_s + officer.arg(100);
    QTest::newRow("8/1 last crew") << counts(8, 1) << 7 << u"Crew 07"_s + crew.arg(107);
    QTest::newRow("8/1 next board")
        << counts(8, 1) << 8 << u"New Ext Brd 2 Port 1|0|1|108|6|0|0|00 00 00 00 00 00"_s;
    QTest::newRow("16/0 crew 16") << counts(16, 0) << 15 << u"Crew 16"_s + crew.arg(115);
    QTest::newRow("120/100 officer 100")
        << counts(120, 100) << 99 << u"Officer 100"_s + officer.arg(199);
    QTest::newRow("120/100 crew keeps 2 digits")
        << counts(120, 100) << 100 << u"Crew 01"_s + crew.arg(200);
    QTest::newRow("120/20 crew of 100") << counts(120, 20) << 20 << u"Crew 001"_s + crew.arg(120);
    QTest::newRow("120/20 last crew") << counts(120, 20) << 119 << u"Crew 100"_s + crew.arg(219);
    QTest::newRow("120/99 officers stay 2 digits")
        << counts(120, 99) << 98 << u"Officer 99"_s + officer.arg(198);
    QTest::newRow("5/0 spare named by record")
        << counts(5, 0) << 5 << u"Spare 05"_s + spare.arg(105);
    QTest::newRow("17/3 spare on board 3") << counts(17, 3) << 23 << u"Spare 23"_s + spare.arg(123);
}

void TestFormats::generatedExtensions()
{
    QFETCH(NewSystemCounts, numbers);
    QFETCH(int, index);
    QTEST(extText(generated(numbers).Extensions[index]), "ext");
}

void TestFormats::generatedTieLines_data()
{
    QTest::addColumn<NewSystemCounts>("numbers");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("tie"); // as tieText() gives it
    const NewSystemCounts mixed = counts(16, 0, 2, 1, 1);
    QTest::newRow("fixed Shore 1") << mixed << 56 << u"Shore 1|1|956|103|0|0|64|0|1|"_s;
    QTest::newRow("fixed PA") << mixed << 58 << u"Public Address 1|1|958|0|0|2|32|0|0|"_s;
    QTest::newRow("fixed SATCOM") << mixed << 59 << u"SATCOM 1|1|959|103|0|1|80|0|0|0"_s;
    const NewSystemCounts shore3 = counts(8, 0, 3);
    QTest::newRow("third shore") << shore3 << 58 << u"Shore 3|1|958|103|0|0|0|0|1|"_s;
    QTest::newRow("spare after shore") << shore3 << 59 << u"Spare 1|1|1015|103|0|0|0|0|1|"_s;
    const NewSystemCounts shore12 = counts(8, 0, 12);
    QTest::newRow("12 shore: next board") << shore12 << 52 << u"Shore 05|1|952|103|0|0|0|0|1|"_s;
    QTest::newRow("12 shore: Shore 12") << shore12 << 51 << u"Shore 12|1|951|103|0|0|0|0|1|"_s;
    QTest::newRow("SATCOM 2 takes 56")
        << counts(8, 0, 0, 3) << 56 << u"SATCOM 2|1|956|103|0|1|80|0|0|1"_s;
    const NewSystemCounts satcom10 = counts(8, 0, 0, 10);
    QTest::newRow("SATCOM 08 on 68") << satcom10 << 55 << u"SATCOM 08|1|955|103|0|1|80|0|0|7"_s;
    QTest::newRow("SATCOM 09 wraps to 61")
        << satcom10 << 48 << u"SATCOM 09|1|948|103|0|1|80|0|0|0"_s;
    QTest::newRow("pager takes the top record")
        << counts(8, 0, 0, 0, 0, 1) << 56 << u"Pager 1|1|956|103|0|3|48|0|0|"_s;
    QTest::newRow("PA 2 after fixed")
        << counts(8, 0, 1, 0, 3, 0) << 57 << u"Public Address 2|1|957|0|0|2|32|0|0|"_s;
}

void TestFormats::generatedTieLines()
{
    QFETCH(NewSystemCounts, numbers);
    QFETCH(int, record);
    QTEST(tieText(generated(numbers).TieLines[record]), "tie");
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

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
