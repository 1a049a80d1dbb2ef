// DOS ".TDZ" import, built byte by byte from the DOS layout, and the
// command-line verbs that read DOS files (convert, export, diff).
#include "CliRun.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "DosImport.h"
#include "Equipment.h"
#include "ListExport.h"
#include "TempDir.h"

#include <QBuffer>
#include <QDir>
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

} // namespace

class TestDosImport : public QObject {
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
    void groupTypeLaterFlagWins_data();
    void groupTypeLaterFlagWins();
    void tieLinesFillTopOfTable();
    void tieLineOptions_data();
    void tieLineOptions();
    void slotRuleWithoutMap_data();
    void slotRuleWithoutMap();
    void slotMap();
    void keepsClassesAndFixedSlots();
    void verbs_data();
    void verbs();
    void diff_data();
    void diff();
};

void TestDosImport::failures_data()
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

void TestDosImport::failures()
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
void TestDosImport::everyTruncationIsCorrupted()
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

void TestDosImport::extensionNames_data()
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

void TestDosImport::extensionNames()
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

void TestDosImport::extensionFlags_data()
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

void TestDosImport::extensionFlags()
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

void TestDosImport::extensionRecordsGoByEquipmentIndex()
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

void TestDosImport::guaranteedAccessKeepsFirstThree()
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

void TestDosImport::groups_data()
{
    QTest::addColumn<QList<int>>("members");
    QTest::addColumn<int>("leadIndex");
    QTest::addColumn<int>("num");
    QTest::addColumn<QList<int>>("exts");
    // Extensions in the file: 101 at 0, 102 at 1, 103 at 2 (records the file
    // does not fill keep the numbers the reset gave them).
    QTest::newRow("lead only") << QList<int>{101} << 0 << 0 << QList<int>{0, 0, 0};
    QTest::newRow("lead and two") << QList<int>{102, 101, 103} << 1 << 2 << QList<int>{101, 103, 0};
    QTest::newRow("unknown member keeps its entry")
        << QList<int>{101, 600, 102} << 0 << 2 << QList<int>{0, 102, 0};
    QTest::newRow("no members at all") << QList<int>{} << -1 << 0 << QList<int>{0, 0, 0};
    QTest::newRow("unknown lead") << QList<int>{999, 103} << -1 << 1 << QList<int>{103, 0, 0};
    QTest::newRow("ten members") << QList<int>{101, 102, 103, 101, 102, 103, 101, 102, 103, 101}
                                 << 0 << 9 << QList<int>{102, 103, 101};
}

void TestDosImport::groups()
{
    QFETCH(QList<int>, members);
    QFETCH(int, leadIndex);
    tdz::File f;
    f.exts = {{101, 0, "A", 0, 0}, {102, 1, "B", 0, 0}, {103, 2, "C", 0, 0}};
    f.groups = {{"FIRST", 0, 0, 0, {}, -1, 0}, {"", 1, 0, 0, members, -1, 0}};
    const Configuration c = imported(f);
    const GroupRecord &g = c.Groups[1];
    QCOMPARE(g.Name, u"Grp 1"_s);
    QCOMPARE(c.Groups[0].Name, u"FIRST"_s);
    QCOMPARE(c.Groups[0].DirNum, int16_t(544));
    QCOMPARE(g.DirNum, int16_t(545)); // the last group gets 545
    QVERIFY(g.Active);
    QTEST(int(g.Num), "num");
    QFETCH(QList<int>, exts);
    for (int j = 0; j < exts.size(); ++j)
        QCOMPARE(int(g.Exts[j]), exts[j]);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(int(c.Extensions[i].Group), i == leadIndex ? 545 : 0);
    QVERIFY(!c.Groups[2].Active);
}

void TestDosImport::groupTypeLaterFlagWins_data()
{
    QTest::addColumn<int>("pickup");
    QTest::addColumn<int>("hunt");
    QTest::addColumn<int>("forward");
    QTest::addColumn<int>("type");
    QTest::newRow("pickup") << 1 << 0 << 0 << int(GroupPickup);
    QTest::newRow("pickup and hunt") << 1 << 1 << 0 << int(GroupHunt);
    QTest::newRow("all three") << 1 << 1 << 1 << int(GroupMultipleCallForward);
    QTest::newRow("none") << 0 << 0 << 0 << int(GroupMultipleCallForward);
    QTest::newRow("byte 2 is not a flag") << 2 << 0 << 0 << int(GroupMultipleCallForward);
}

void TestDosImport::groupTypeLaterFlagWins()
{
    tdz::File f;
    tdz::Group g;
    QFETCH(int, pickup);
    QFETCH(int, hunt);
    QFETCH(int, forward);
    g.pickup = pickup;
    g.hunt = hunt;
    g.callForward = forward;
    f.groups = {g};
    QTEST(int(imported(f).Groups[0].Type), "type");
}

// A full table of sixty lines; a single line lands in record 59 (tieLineOptions).
void TestDosImport::tieLinesFillTopOfTable()
{
    const int count = MaxTieLines;
    tdz::File f;
    for (int k = 0; k < count; ++k) {
        tdz::Tie tie;
        tie.name = QByteArray("LINE ") + QByteArray::number(k);
        f.ties.append(tie);
    }
    const Configuration c = imported(f);
    for (int t = 0; t < MaxTieLines; ++t) {
        const TieRecord &tie = c.TieLines[t];
        const int k = t - (MaxTieLines - count);
        QCOMPARE(tie.Active, k >= 0);
        if (k >= 0) {
            QCOMPARE(tie.Name, u"LINE %1"_s.arg(k));
            QCOMPARE(int(tie.DirNum), 900 + t);
            // Every imported line sits on a Tie Line board.
            QVERIFY2(isLiveTieLine(c, t), qPrintable(QString::number(t)));
        }
    }
}

void TestDosImport::tieLineOptions_data()
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

void TestDosImport::tieLineOptions()
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

void TestDosImport::slotRuleWithoutMap_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("ties");
    QTest::addColumn<QString>("layout"); // slots 2..16: S Subscriber, T Tie Line, . Empty
    QTest::newRow("16 extensions, 4 lines") << 16 << 4 << u"SSS...........T"_s;
    QTest::newRow("nothing") << 0 << 0 << u"S.............."_s;
    QTest::newRow("7 extensions, 5 lines") << 7 << 5 << u"S............TT"_s;
    QTest::newRow("part board of lines") << 8 << 3 << u"SS............T"_s;
    QTest::newRow("ties overwrite subscribers") << 64 << 60 << u"TTTTTTTTTTTTTTT"_s;
    QTest::newRow("120 extensions") << 120 << 0 << u"SSSSSSSSSSSSSSS"_s;
    QTest::newRow("121 extensions") << 121 << 8 << u"SSSSSSSSSSSSSTT"_s;
}

void TestDosImport::slotRuleWithoutMap()
{
    QFETCH(int, extensions);
    QFETCH(int, ties);
    QFETCH(QString, layout);
    tdz::File f;
    for (int k = 0; k < extensions; ++k)
        f.exts.append({100 + k, k, "", 0, 0});
    f.ties = QList<tdz::Tie>(ties);
    const Configuration c = imported(f);
    QString got;
    for (int slot = 2; slot <= 16; ++slot) {
        const int b = c.SysConfig.Slots[slot];
        got += b == BoardSubscriber ? u'S'
               : b == BoardTieLine  ? u'T'
               : b == BoardEmpty    ? u'.'
                                    : u'?';
    }
    QCOMPARE(got, layout);
    QCOMPARE(c.SysConfig.Slots[17], int16_t(BoardRinging));
}

void TestDosImport::slotMap()
{
    tdz::File f;
    f.exts = QList<tdz::Ext>(40); // the counts must not matter with a map
    for (int k = 0; k < 40; ++k)
        f.exts[k] = {100 + k, k, "", 0, 0};
    f.slotMap = true;
    f.map = {0xC000, 0xC0FF, 0x9000, 0x90AB, 0x0000, 0xC100, 0x00C0, 0x8000,
             0xFF90, 0x9001, 0xC012, 0x0090, 0xBFFF, 0x9100, 0xC0C0};
    const Configuration c = imported(f);
    const int expected[15] = {1, 1, 2, 2, 0, 0, 0, 0, 0, 2, 1, 0, 0, 0, 1};
    for (int n = 0; n < 15; ++n)
        QCOMPARE(int(c.SysConfig.Slots[2 + n]), expected[n]);
}

void TestDosImport::keepsClassesAndFixedSlots()
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

// convert and export read DOS files through the loader, whatever the case
// of the name, and write nothing when the file is corrupted.
void TestDosImport::verbs_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("err");   // in the first lines printed; empty: success
    QTest::addColumn<QString>("shown"); // in the first file written
    const QByteArray good = dosShip().bytes();
    const QString corrupted = u"Unable to open TDZ File as corrupted file"_s;
    QTest::newRow("convert") << u"convert"_s << u"in.tdz"_s << good << u"OUT.TWZ"_s << QString()
                             << u"<Name>SHORE A</Name>"_s;
    QTest::newRow("convert corrupted")
        << u"convert"_s << u"IN.TDZ"_s << good.left(60) << u"OUT.TWZ"_s << corrupted << QString();
    QTest::newRow("export") << u"export"_s << u"SHIP.TDZ"_s << good << u"out.csv"_s << QString()
                            << u"\"Board\","_s;
    QTest::newRow("export folder missing") << u"export"_s << u"a.TDZ"_s << good << u"none/o.csv"_s
                                           << u"o_Extensions.csv"_s << QString();
}

void TestDosImport::verbs()
{
    QFETCH(QString, verb);
    QFETCH(QString, input);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, output);
    QFETCH(QString, err);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QVERIFY(writeFileBytes(dir.filePath(input), bytes));
    const CliRun r = runCli({verb, dir.filePath(input), dir.filePath(output)});
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    if (!err.isEmpty()) {
        QCOMPARE(r.status, int(cli::ExitBadInput));
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
        QCOMPARE(files, QStringList{input});
        return;
    }
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));
    QCOMPARE(r.out.count(u"Wrote "_s), verb == u"export"_s ? 3 : 1);
    QCOMPARE(files.size(), verb == u"export"_s ? 4 : 2);
    const QString first = exportFileNames(dir.filePath(output)).first();
    const QString written = QString::fromLatin1(
        readFileBytes(verb == u"export"_s ? first : dir.filePath(output)));
    QVERIFY2(written.contains(shown), qPrintable(written));
    QVERIFY2(written.contains(u"BRIDGE"_s), qPrintable(written));
}

void TestDosImport::diff_data()
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

void TestDosImport::diff()
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

QTEST_GUILESS_MAIN(TestDosImport)
#include "tst_dosimport.moc"
