// Configuration files. Writing: the golden file, value encodings, round
// trips over random configurations, failing devices and paths, the header
// test. Reading: every malformed file is refused with a reason and leaves the
// configuration in use untouched; every well-formed one is read whatever its
// element order, escaping or line ends. The loader turns the reader's
// results into the user's messages. Whole-file writes under every failure (a
// really full filesystem, a read-only one, targets that are not plain files)
// say why and leave what was there before exactly as it was.
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "ConfigSamples.h"
#include "FailingDevice.h"
#include "SafeWrite.h"
#include "SmallFilesystem.h"
#include "TempDir.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace tidelex;

namespace
{

const QString goldenLastUpdate = QStringLiteral("06/12/2026 09:41");

QString goldenPath()
{
    return QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ");
}

QByteArray written(const Configuration &c, const QString &lastUpdate = goldenLastUpdate)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeConfig(buffer, c, lastUpdate, &error))
        qWarning() << "write failed:" << error;
    return buffer.data();
}

ReadConfigResult readBytes(const QByteArray &bytes, Configuration &c, QString *error = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readConfig(buffer, c, error);
}

// Names the first record that differs, so a failing round trip says where.
QString firstDifference(const Configuration &a, const Configuration &b)
{
    SystemRecord sa = a.SysConfig, sb = b.SysConfig;
    sa.GA[3] = sb.GA[3] = 0; // not kept in files
    if (!(sa == sb))
        return QStringLiteral("system record");
    for (int i = 0; i < MaxExtensions; ++i)
        if (!(a.Extensions[i] == b.Extensions[i]))
            return QStringLiteral("extension %1 (%2 / %3)")
                .arg(i)
                .arg(a.Extensions[i].Name, b.Extensions[i].Name);
    for (int t = 0; t < FileTieLines; ++t)
        if (!(a.TieLines[t] == b.TieLines[t]))
            return QStringLiteral("tie line %1").arg(t);
    for (int g = 0; g < MaxGroups; ++g)
        if (!(a.Groups[g] == b.Groups[g]))
            return QStringLiteral("group %1").arg(g);
    for (int k = 0; k < MaxClasses; ++k) {
        if (!(a.ExtClasses[k] == b.ExtClasses[k]))
            return QStringLiteral("extension class %1").arg(k);
        if (!(a.TieClasses[k] == b.TieClasses[k]))
            return QStringLiteral("tie-line class %1").arg(k);
    }
    return QString();
}

// The golden file (Windows-1252 bytes) with the first match of `pattern`
// replaced; \1..\9 in the replacement stand for the captures.
QByteArray mutated(const QString &pattern, const QString &replacement, bool *matched = nullptr)
{
    const QString text = QString::fromLatin1(readFileBytes(goldenPath()));
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(text);
    if (matched)
        *matched = m.hasMatch();
    if (!m.hasMatch())
        return QByteArray();
    QString with = replacement;
    for (int k = 9; k >= 1; --k)
        with.replace(QStringLiteral("\\%1").arg(k), m.captured(k));
    return (text.left(m.capturedStart()) + with + text.mid(m.capturedEnd())).toLatin1();
}

// A configuration that differs from anything a file gives, to show what a
// read keeps and what it replaces.
Configuration sentinel()
{
    Configuration c = RandomConfiguration(99).make();
    c.SysConfig.Slots[0] = BoardTone8;
    c.SysConfig.Slots[17] = BoardEmpty;
    c.ExtClasses[0].Name = QStringLiteral("Sentinel");
    return c;
}

QString joined(const auto &values, int count)
{
    QStringList parts;
    for (int k = 0; k < count; ++k)
        parts << QVariant(values[k]).toString();
    return parts.join(QLatin1Char(','));
}

const QByteArray oldContents = "the configuration that was there before\r\n";

// A whole configuration file.
QByteArray newContents()
{
    return readFileBytes(goldenPath());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

// One field of a configuration as text, for the rows of changedGoldenFile().
using FieldText = std::function<QString(const Configuration &)>;

} // namespace

Q_DECLARE_METATYPE(FieldText)

class TestConfigFile : public QObject
{
    Q_OBJECT
  private slots:
    void goldenFileIsReproduced();
    void valueEncodings_data();
    void valueEncodings();
    void roundTrip_data();
    void roundTrip();
    void deviceFailure_data();
    void deviceFailure();
    void toFile_data();
    void toFile();
    void existFile_data();
    void existFile();
    void changedGoldenFile_data();
    void changedGoldenFile();
    void handWrittenMinimalFile();
    void loader_data();
    void loader();
    void fullOrReadOnlyFilesystem_data();
    void fullOrReadOnlyFilesystem();
    void whatStandsAtTheTarget_data();
    void whatStandsAtTheTarget();
    void setIsWrittenWholeOrNotAtAll_data();
    void setIsWrittenWholeOrNotAtAll();
};

void TestConfigFile::goldenFileIsReproduced()
{
    const QByteArray golden = readFileBytes(goldenPath());
    QVERIFY2(!golden.isEmpty(), "golden.TWZ is missing");
    const QByteArray bytes = written(variedConfiguration());
    const QByteArrayList want = golden.split('\n');
    const QByteArrayList got = bytes.split('\n');
    for (qsizetype n = 0; n < qMin(want.size(), got.size()); ++n)
        QVERIFY2(want[n] == got[n],
                 qPrintable(QStringLiteral("line %1: expected %2, got %3")
                                .arg(n + 1)
                                .arg(QString::fromLatin1(want[n]), QString::fromLatin1(got[n]))));
    QCOMPARE(bytes.size(), golden.size());
}

// How texts the golden file lacks land in the file, checked on the system name.
// clang-format off
void TestConfigFile::valueEncodings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected");

    // Markup, Latin-1 letters, empty texts and negative numbers are in the golden file.
    QTest::newRow("euro sign from the 0x80 row")
        << QStringLiteral("\u20ac\u0153\u2122") << QByteArray("\t<Name>\x80\x9c\x99</Name>\r\n");
    QTest::newRow("characters outside the code page become ?")
        << QStringLiteral("\u03a9-\U0001F6A2-\u0081") << QByteArray("\t<Name>?-?-?</Name>\r\n");
    QTest::newRow("control character becomes ?, tab stays")
        << QStringLiteral("a\x01\tb") << QByteArray("\t<Name>a?\tb</Name>\r\n");
    QTest::newRow("line breaks as references")
        << QStringLiteral("a\r\nb") << QByteArray("\t<Name>a&#13;&#10;b</Name>\r\n");
}
// clang-format on

void TestConfigFile::valueEncodings()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = name;
    const QByteArray bytes = written(c);
    QVERIFY2(bytes.contains(expected), bytes.left(400).constData());
    // Whatever the text, the file must stay readable.
    Configuration back = makeDefaultConfiguration();
    QString error;
    QCOMPARE(readBytes(bytes, back, &error), ReadConfigOk);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

// clang-format off
void TestConfigFile::roundTrip_data()
{
    QTest::addColumn<quint32>("seed"); // 0: the golden file's configuration
    for (quint32 seed = 0; seed <= 30; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}
// clang-format on

void TestConfigFile::roundTrip()
{
    QFETCH(quint32, seed);
    Configuration original = seed ? RandomConfiguration(seed).make() : variedConfiguration();
    const QString stamp = QStringLiteral("stamp %1").arg(seed);
    const QByteArray bytes = written(original, stamp);

    // Read over a different configuration: nothing of it may survive.
    Configuration back = RandomConfiguration(seed + 1000).make();
    back.Extensions[120] = ExtRecord(); // spare records are never in files
    QString error;
    QCOMPARE(readBytes(bytes, back, &error), ReadConfigOk);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    original.SysConfig.LastUpdate = stamp;
    // Bytes the file does not hold stay as they were in memory.
    for (int i = 0; i < MaxExtensions; ++i)
        original.Extensions[i].Status[5] = back.Extensions[i].Status[5];
    for (int t = 0; t < FileTieLines; ++t)
        original.TieLines[t].Dial6[8] = back.TieLines[t].Dial6[8];
    QCOMPARE(firstDifference(back, original), QString());
    // Writing what was read gives the same file again.
    QCOMPARE(written(back, stamp), bytes);
}

// clang-format off
void TestConfigFile::deviceFailure_data()
{
    QTest::addColumn<qint64>("limit");
    const qint64 size = written(variedConfiguration()).size();
    QTest::newRow("refuses the first byte") << qint64(0);
    QTest::newRow("mid-file") << size / 2;
    QTest::newRow("one byte short") << size - 1;
}
// clang-format on

void TestConfigFile::deviceFailure()
{
    QFETCH(qint64, limit);
    FailingDevice device(limit);
    QString error;
    QVERIFY(!writeConfig(device, variedConfiguration(), goldenLastUpdate, &error));
    QVERIFY2(error.contains(QStringLiteral("simulated write failure")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("after %1 of").arg(limit)), qPrintable(error));
    QCOMPARE(device.written.size(), limit);
}

// clang-format off
void TestConfigFile::toFile_data()
{
    QTest::addColumn<QString>("relative"); // inside the test's folder; "" = no name at all
    QTest::addColumn<bool>("ok");
    QTest::newRow("new file") << QStringLiteral("now.TWZ") << true;
    QTest::newRow("no file name") << QString() << false;
    QTest::newRow("folder does not exist") << QStringLiteral("missing/sub/x.TWZ") << false;
    QTest::newRow("a file stands where the folder should be") << QStringLiteral("plain.txt/x.TWZ") << false;
}
// clang-format on

// A name that cannot be written is refused with a reason; a good one gets
// the file, saved now (the empty lastUpdate), while memory keeps its own time.
void TestConfigFile::toFile()
{
    QFETCH(QString, relative);
    QFETCH(bool, ok);
    QTemporaryDir dir;
    QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("plain.txt")), "not a folder"));
    const QString path = relative.isEmpty() ? QString() : dir.filePath(relative);
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.LastUpdate = QStringLiteral("kept in memory");
    const QString before = currentLastUpdate();
    QString error;
    QCOMPARE(writeConfigFile(path, c, &error), ok);
    const QString after = currentLastUpdate();
    QCOMPARE(c.SysConfig.LastUpdate, QStringLiteral("kept in memory"));
    QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("not a folder"));
    if (!ok) {
        QVERIFY2(!error.isEmpty(), "no reason given");
        return;
    }
    Configuration back = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(path, back), ReadConfigOk);
    QVERIFY(!back.SysConfig.LastUpdate.isEmpty());
    QVERIFY2(back.SysConfig.LastUpdate == before || back.SysConfig.LastUpdate == after,
             qPrintable(back.SysConfig.LastUpdate));
}

// clang-format off
void TestConfigFile::existFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<bool>("expected");

    const QByteArray line1 = "<?xml version=\"1.0\"?>";
    QTest::newRow("header with CR LF") << line1 + "\r\n<TidelexAnalog>\r\n\t<VERSION>" << false << true;
    QTest::newRow("header with LF") << line1 + "\n<TidelexAnalog>\n" << false << true;
    QTest::newRow("file ends after line 2") << line1 + "\r\n<TidelexAnalog>" << false << true;
    QTest::newRow("quoted name") << line1 + "\r\n<TidelexAnalog>\r\n" << true << true;
    QTest::newRow("space before bracket of root") << line1 + "\r\n<TidelexAnalog >\r\n" << false << false;
    QTest::newRow("declaration with encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TidelexAnalog>\r\n") << false << false;
    QTest::newRow("both on one line") << line1 + "<TidelexAnalog>\r\n" << false << false;
    QTest::newRow("only one line") << line1 + "\r\n" << false << false;
    QTest::newRow("leading blank line") << "\r\n" + line1 + "\r\n<TidelexAnalog>\r\n" << false << false;
    QTest::newRow("no such file") << QByteArray() << false << false;
}
// clang-format on

void TestConfigFile::existFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, quoted);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.TWZ"));
    if (!content.isEmpty())
        QVERIFY(writeFileBytes(path, content));
    QString name = quoted ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    QCOMPARE(::existFile(name), expected);
    QCOMPARE(name, path); // quotes are gone from the caller's string
}

// Golden files with one thing changed: refused with a reason, leaving the
// configuration in use alone, or read with the changed field as it says.
// clang-format off
void TestConfigFile::changedGoldenFile_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("result");
    QTest::addColumn<FieldText>("field"); // none for a refused file
    QTest::addColumn<QString>("text");    // the reason given, or the field's value
    const auto refused = [](const char *name, auto pattern, auto replacement, auto reason, int result = ReadConfigFailed) {
        QTest::newRow(name) << pattern << replacement << result << FieldText() << reason;
    };
    const auto accepted = [](const char *name, auto pattern, auto replacement, const FieldText &field, auto value) {
        QTest::newRow(name) << pattern << replacement << int(ReadConfigOk) << field << value;
    };

    // Malformed XML.
    refused("unescaped ampersand", "<Name>Bridge</Name>", "<Name>R&D</Name>", "line");
    refused("file cut short", "\t</Groups>[\\s\\S]*", "", "line");
    refused("two roots", "</TidelexAnalog>\r\n$", "</TidelexAnalog>\r\n<TidelexAnalog/>", "line");
    refused("empty file", "[\\s\\S]*", "", "line");
    refused("other root", "<TidelexAnalog>([\\s\\S]*)</TidelexAnalog>", "<Tidelex>\\1</Tidelex>", "Tidelex");
    // Bytes that are no text.
    refused("byte 0x81 has no character", "<Name>Bridge", "<Name>Br\u0081dge", "0x81");
    refused("NUL byte", "<Name>Bridge", QStringLiteral("<Name>Br%1dge").arg(QChar(0)), "line");
    // Version.
    refused("VERSION 3.00", "<VERSION>3.0<", "<VERSION>3.00<", "3.00", ReadConfigBadVersion);
    refused("VERSION with a blank", "<VERSION>3.0<", "<VERSION> 3.0<", "version", ReadConfigBadVersion);
    refused("VERSION missing", "\t<VERSION>3.0</VERSION>\r\n", "", "VERSION");
    // Missing sections and fields.
    refused("no Groups section", "\t<Groups>[\\s\\S]*</Groups>\r\n", "", "<Groups>");
    refused("no SlotsList", "\t<SlotsList>[\\s\\S]*</SlotsList>\r\n", "", "SlotsList");
    refused("no PIN", "\t<PIN>[^\n]*\n", "", "PIN");
    refused("extension without DirectDial", "\t\t\t<DirectDial>[^\n]*\n", "", "DirectDial");
    refused("group without Exts", "\t\t\t<Exts>[^\n]*\n", "", "Exts");
    refused("class without Type", "\t\t\t<Type>Extension</Type>\r\n", "", "Type");
    // Indexes outside their tables.
    refused("extension 129", "<Equipment>0<", "<Equipment>129<", "0..128");
    refused("extension index not a number", "<Equipment>0<", "<Equipment>one<", "Equipment");
    refused("tie line 65", "(<Tie>\r\n\t\t\t<Equipment>)0<", "\\165<", "0..64");
    refused("group 17", "<ID>0</ID>", "<ID>17</ID>", "0..16");
    refused("class 33", "(<Type>TieLine</Type>\r\n\t\t\t<ID>)0<", "\\133<", "0..32");
    refused("extension of class 33", "<Class>1</Class>", "<Class>33</Class>", "Class");
    refused("tie line of class -1", "(<Tie>(?:(?!</Tie>)[\\s\\S])*<Class>)0<", "\\1-1<", "Class");
    refused("group of 13 members", "<Num>3</Num>", "<Num>13</Num>", "Num");
    refused("19 slots", "</SlotsList>", "\t<Slot>Empty</Slot>\r\n\t</SlotsList>", "slots");
    // Numbers that do not fit.
    refused("extension number 70000", "<ExtNum>100<", "<ExtNum>70000<", "70000");
    refused("GA 40000", "<GA>101<", "<GA>40000<", "GA");
    refused("very long number", "<ExtNum>100<", "<ExtNum>99999999999999999999999<", "ExtNum");
    refused("status byte 256", "<Status>128,215", "<Status>256,215", "Status");
    refused("status byte -1", "<Status>0,0,0,0,0<", "<Status>0,0,-1,0,0<", "value 3");
    refused("group member 70000", "<Exts>100,101", "<Exts>100,70000", "Exts");
    // Texts where a number or Boolean must be.
    refused("DirNum not a number", "<DirNum>900<", "<DirNum>9x<", "DirNum");
    refused("DirNum empty", "<DirNum>900</DirNum>", "<DirNum/>", "DirNum");
    refused("Active is Yes", "<Active>True<", "<Active>Yes<", "Active");
    refused("Dial6 entry maybe", "<Dial6>True,", "<Dial6>maybe,", "Dial6");
    // Lists too short.
    refused("extension status of two values", "<Status>128,215,255,3,48<", "<Status>1,2<", "has 2 values, needs 5");
    refused("Dial6 of seven values", "<Dial6>True,False,True,False,False,False,False,False<", "<Dial6>True,False,True,False,False,False,False<", "needs 8");
    refused("two GA entries", "\t\t<GA>0</GA>\r\n", "", "GuaranteedAccess");

    const FieldText name = [](const Configuration &c) { return c.Extensions[0].Name; };
    const FieldText number = [](const Configuration &c) { return QString::number(c.Extensions[0].ExtNum); };
    const FieldText status = [](const Configuration &c) { return joined(c.Extensions[2].Status, 6); };

    accepted("escaped name", "<Name>Bridge<", "<Name>Fish &amp; Chips<", name, "Fish & Chips");
    accepted("old unescaped > and quotes", "<Name>Bridge<", "<Name>a>b\"c'<", name, "a>b\"c'");
    accepted("character reference", "<Name>Bridge<", "<Name>Caf&#233;<", name, "Caf\u00e9");
    accepted("CDATA", "<Name>Bridge<", "<Name><![CDATA[<x & y>]]><", name, "<x & y>");
    accepted("leading blanks kept", "<Name>Bridge<", "<Name>  Bridge <", name, "  Bridge ");
    accepted("Windows-1252 bytes", "<Name>Bridge<", "<Name>\u0080\u0099\u00ff<", name, "\u20ac\u2122\u00ff");
    accepted("status of seven values keeps five", "<Status>128,215,255,3,48<", "<Status>1,2,3,4,5,6,7<", status, "1,2,3,4,5,0");
    accepted("empty list value is 0", "<Status>128,215,255,3,48<", "<Status>1,,3,4,5<", status, "1,0,3,4,5,0");
    accepted("number with trailing text", "<ExtNum>100<", "<ExtNum>123abc<", number, "123");
    accepted("number with no digits is 0", "<ExtNum>100<", "<ExtNum>abc<", number, "0");
    accepted("smallest 16-bit number", "<ExtNum>100<", "<ExtNum>-32768<", number, "-32768");
    accepted("largest DirNum", "<DirNum>900<", "<DirNum> 32767 <", FieldText([](const Configuration &c) { return QString::number(c.TieLines[0].DirNum); }), "32767");
    accepted("Boolean as -1", "<Active>False<", "<Active>-1<", FieldText([](const Configuration &c) { return QVariant(c.Extensions[4].Active).toString(); }), "true");
    accepted("Boolean as 0", "<Active>True<", "<Active>0<", FieldText([](const Configuration &c) { return QVariant(c.Extensions[0].Active).toString(); }), "false");
    accepted("Boolean in lower case", "<Active>False<", "<Active>true<", FieldText([](const Configuration &c) { return QVariant(c.Extensions[4].Active).toString(); }), "true");
    accepted("Dial6 with a ninth value", "<Dial6>True,False,True,", "<Dial6>False,True,True,", FieldText([](const Configuration &c) { return joined(c.TieLines[0].Dial6, 9); }), "false,true,true,false,false,false,false,false,false");
    accepted("twelve members", "<Num>3<", "<Num>12<", FieldText([](const Configuration &c) { return QString::number(c.Groups[0].Num); }), "12");
    accepted("slot name in other case stays reset", "<Slot>Subscriber<", "<Slot>subscriber<", FieldText([](const Configuration &c) { return QString::number(c.SysConfig.Slots[2]); }), "0");
    accepted("unknown slot 0 keeps the board in use", "<Slot>Tone 16 Channels<", "<Slot>Tone 32<", FieldText([](const Configuration &c) { return QString::number(c.SysConfig.Slots[0]); }), "4");
    accepted("short slot list keeps slot 17", "\t\t<Slot>Ringing Module</Slot>\r\n", "", FieldText([](const Configuration &c) { return QString::number(c.SysConfig.Slots[17]); }), "0");
    accepted("fourth GA ignored", "</GuaranteedAccess>", "\t<GA>333</GA>\r\n\t</GuaranteedAccess>", FieldText([](const Configuration &c) { return joined(c.SysConfig.GA, 4); }), QStringLiteral("101,-1,0,%1").arg(sentinel().SysConfig.GA[3]));
    accepted("spare extension 128", "<Equipment>0<", "<Equipment>128<", FieldText([](const Configuration &c) { return c.Extensions[128].Name; }), "Bridge");
    accepted("class of unknown type skipped", "<Type>Extension</Type>", "<Type>Phone</Type>", FieldText([](const Configuration &c) { return c.ExtClasses[0].Name; }), "Sentinel");
    accepted("sections in another order", "(\t<Extensions>[\\s\\S]*</TieLines>\r\n)(\t<Groups>[\\s\\S]*</Groups>\r\n)", "\\2\\1", FieldText([](const Configuration &c) { return c.Groups[0].Name; }), "Bridge pickup");
    accepted("fields in another order", "(\t\t\t<Equipment>0</Equipment>\r\n)(\t\t\t<Name>Bridge</Name>\r\n)", "\\2\\1", name, "Bridge");
    accepted("unknown elements ignored", "<Name>Bridge</Name>", "<Colour>red</Colour><Name>Bridge</Name>", name, "Bridge");
    accepted("comments ignored", "<Name>Bridge</Name>", "<!-- x --><Name>Brid<!-- y -->ge</Name>", name, "Bridge");
    accepted("declaration naming UTF-8", "<\\?xml version=\"1.0\"\\?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", FieldText([](const Configuration &c) { return c.Extensions[1].Name; }), "Salon Caf\u00e9 \u20ac");
}
// clang-format on

void TestConfigFile::changedGoldenFile()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(int, result);
    QFETCH(FieldText, field);
    QFETCH(QString, text);
    bool matched = false;
    const QByteArray bytes = mutated(pattern, replacement, &matched);
    QVERIFY2(matched, "the pattern does not match the golden file");
    Configuration c = sentinel();
    QString error;
    QCOMPARE(int(readBytes(bytes, c, &error)), result);
    if (!field) {
        QVERIFY2(error.contains(text, Qt::CaseInsensitive), qPrintable(error));
        QVERIFY2(c == sentinel(), "the configuration in use was changed");
        return;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(field(c), text);
    // The rest of the file was read too, not only the changed field.
    QCOMPARE(c.Groups[15].Name, QStringLiteral("Galley hunt"));
}

// A file typed by hand: LF line ends, no indentation, only a few records;
// everything the file does not name takes the reset values.
void TestConfigFile::handWrittenMinimalFile()
{
    const QByteArray text =
        "<?xml version=\"1.0\"?>\n<TidelexAnalog>\n<VERSION>3.0</VERSION>\n"
        "<Name>Test &amp; Trial</Name><LastUpdate>yesterday</LastUpdate><PIN>12</PIN><Pass/>\n"
        "<SlotsList><Slot>Empty</Slot><Slot>Processor</Slot><Slot>Subscriber</Slot></SlotsList>\n"
        "<GuaranteedAccess><GA>100</GA><GA>-1</GA><GA>-1</GA></GuaranteedAccess>\n"
        "<Extensions><Ext><Equipment>1</Equipment><Name>Mess</Name><TrueName>True</TrueName>"
        "<ExtNum>150</ExtNum><Class>2</Class><Active>True</Active><Status>0,224,0,0,0</Status>"
        "<DirectDial>0</DirectDial><Group>0</Group></Ext></Extensions>\n"
        "<TieLines/><Groups/><Classes/>\n</TidelexAnalog>\n";
    Configuration c = sentinel();
    QString error;
    QCOMPARE(readBytes(text, c, &error), ReadConfigOk);
    Configuration expected = sentinel();
    clearConfig(expected);
    expected.SysConfig.Name = QStringLiteral("Test & Trial");
    expected.SysConfig.LastUpdate = QStringLiteral("yesterday");
    expected.SysConfig.PIN = 12;
    expected.SysConfig.Slots[0] = BoardEmpty;
    expected.SysConfig.Slots[1] = BoardProcessor;
    expected.SysConfig.Slots[2] = BoardSubscriber;
    expected.SysConfig.GA = {100, -1, -1, expected.SysConfig.GA[3]};
    expected.Extensions[1] = {QStringLiteral("Mess"), true, true, 150, ClassCrew, {0, 224}, 0, 0};
    QVERIFY(c == expected);
}

// clang-format off
void TestConfigFile::loader_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message");

    const QString errorInFile = QStringLiteral("Unable to load file as error in file");
    const QByteArray good = readFileBytes(goldenPath());
    QTest::newRow("good file") << "ship.TWZ" << good << true << QString();
    QTest::newRow("quoted name") << "\"ship.TWZ\"" << good << true << QString();
    QTest::newRow("any extension but TDZ") << "ship.xml" << good << true << QString();
    QTest::newRow("version 3.00")
        << "old.TWZ" << mutated(QStringLiteral("<VERSION>3.0<"), QStringLiteral("<VERSION>3.00<")) << false
        << QStringLiteral("Unable to load file as unknown Tidelex for Windows version");
    QTest::newRow("error in file")
        << "bad.TWZ" << mutated(QStringLiteral("<ExtNum>100<"), QStringLiteral("<ExtNum>70000<")) << false << errorInFile;
    QTest::newRow("second line with a space")
        << "space.TWZ" << mutated(QStringLiteral("<TidelexAnalog>\r\n"), QStringLiteral("<TidelexAnalog >\r\n")) << false << errorInFile;
    QTest::newRow("no such file") << "missing.TWZ" << QByteArray() << false << errorInFile;
    // Far beyond any configuration: refused before it is read.
    QTest::newRow("far too large")
        << "huge.TWZ" << good + QByteArray(MaxConfigFileBytes, ' ') << false << errorInFile;
    // A name ending in TDZ, any case, goes to the DOS import, never to the
    // XML reader, whatever the file holds.
    QTest::newRow("TDZ name goes to the DOS import")
        << "ship.tdz" << good << false << QStringLiteral("Unable to open TDZ File as unknown type/ version");
    QTest::newRow("no such DOS file") << "gone.TDZ" << QByteArray() << false << QStringLiteral("Unable to open TDZ File as unknown type/ version");
}
// clang-format on

void TestConfigFile::loader()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString bare = fileName;
    bare.remove(QLatin1Char('"'));
    if (!content.isEmpty())
        QVERIFY(writeFileBytes(dir.filePath(bare), content));
    const QString name = QString(fileName).replace(bare, dir.filePath(bare)); // quotes kept
    Configuration c = sentinel();
    const LoadOutcome outcome = loadConfigurationFile(name, c);
    QCOMPARE(outcome.ok, ok);
    QCOMPARE(outcome.message, message);
    QVERIFY(!outcome.importedDos);
    QCOMPARE(outcome.fileName, dir.filePath(bare));
    if (ok)
        QCOMPARE(c.SysConfig.Name, variedConfiguration().SysConfig.Name);
    else
        QVERIFY2(c == sentinel(), "a failed load changed the configuration");
}

// clang-format off
void TestConfigFile::fullOrReadOnlyFilesystem_data()
{
    QTest::addColumn<qint64>("room"); // bytes left free before the write; -1: read-only
    QTest::addColumn<QString>("reason"); // empty: the write fits
    const qint64 size = newContents().size();
    const qint64 page = 4096;
    const QString full = QStringLiteral("No space left on device");
    QTest::newRow("no room at all") << qint64(0) << full;
    // The last few KiB are what a buffered writer keeps back for the end.
    QTest::newRow("all but the last block") << size / page * page << full;
    QTest::newRow("room to spare") << (size / page + 4) * page << QString();
    QTest::newRow("read-only") << qint64(-1) << QStringLiteral("is not writable");
}
// clang-format on

void TestConfigFile::fullOrReadOnlyFilesystem()
{
    QFETCH(qint64, room);
    QFETCH(QString, reason);
    SmallFilesystem fs(256 * 1024);
    if (!fs.mounted())
        QSKIP(qPrintable(fs.whyNot()));
    const QString target = fs.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(target, oldContents));
    QVERIFY(room < 0 ? fs.makeReadOnly() : fs.leaveRoom(room));
    const QStringList before = entries(fs.filePath(QString()));

    QString error;
    const bool ok = writeWholeFile(target, newContents(), &error);

    QCOMPARE(ok, reason.isEmpty());
    QCOMPARE(entries(fs.filePath(QString())), before); // no temporary file left behind
    if (ok) {
        QCOMPARE(readFileBytes(target), newContents());
        return;
    }
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QCOMPARE(readFileBytes(target), oldContents);
}

// clang-format off
void TestConfigFile::whatStandsAtTheTarget_data()
{
    QTest::addColumn<QString>("kind");   // what stands at the target's name
    QTest::addColumn<bool>("viaLink");   // the name is a link to it
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("socket") << "socket" << false;
    QTest::newRow("link to a pipe") << "pipe" << true;
    QTest::newRow("link to a folder") << "folder" << true;
    // A link to a plain file stays a link; the file it names gets the bytes.
    QTest::newRow("link to a plain file") << "file" << true;
}
// clang-format on

void TestConfigFile::whatStandsAtTheTarget()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(bool, viaLink);
    QTemporaryDir dir;
    const QString node = dir.filePath(QStringLiteral("node"));
    const QByteArray nodeName = QFile::encodeName(node);
    int socketFd = -1;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(node));
    } else if (kind == QLatin1String("file")) {
        QVERIFY(writeFileBytes(node, oldContents));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(nodeName.constData(), 0644), 0);
    } else {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(nodeName.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, nodeName.constData(), nodeName.size());
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    }
    const QString target = viaLink ? dir.filePath(QStringLiteral("link")) : node;
    if (viaLink)
        QVERIFY(QFile::link(node, target));

    QString error;
    const bool ok = writeWholeFile(target, newContents(), &error);
    if (socketFd >= 0)
        ::close(socketFd);

    QCOMPARE(QFileInfo(target).isSymLink(), viaLink);
    if (kind == QLatin1String("file")) {
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(readFileBytes(node), newContents());
        return;
    }
    QVERIFY(!ok);
    QVERIFY2(error.contains(QStringLiteral("not a file")), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    const QFileInfo after(node);
    QVERIFY(after.exists());
    QVERIFY2(!after.isFile(), "the node was replaced by a plain file");
#else
    QSKIP("pipes and sockets are Unix things");
#endif
}

void TestConfigFile::setIsWrittenWholeOrNotAtAll_data()
{
    QTest::addColumn<int>("bad"); // which of the three targets is a folder; -1: none
    QTest::newRow("first") << 0;
    QTest::newRow("second") << 1;
    QTest::newRow("last") << 2;
    QTest::newRow("none") << -1;
}

// Three files that belong together (the lists of an export, say), one of
// them existing before: either all three get their new bytes, or none does.
void TestConfigFile::setIsWrittenWholeOrNotAtAll()
{
    QFETCH(int, bad);
    QTemporaryDir dir;
    QList<FileContents> set;
    for (int k = 0; k < 3; ++k)
        set.append({dir.filePath(QStringLiteral("list%1.csv").arg(k)), newContents()});
    const int old = bad == 1 ? 2 : 1; // a file of the set that was there before
    QVERIFY(writeFileBytes(set[old].fileName, oldContents));
    if (bad >= 0)
        QVERIFY(QDir().mkdir(set[bad].fileName));
    const QStringList before = entries(dir.path());

    QString error;
    const bool ok = writeWholeFiles(set, &error);
    QCOMPARE(ok, bad < 0);
    if (ok) {
        for (const FileContents &file : set)
            QCOMPARE(readFileBytes(file.fileName), newContents());
        return;
    }
    QVERIFY2(error.contains(QDir::toNativeSeparators(set[bad].fileName)), qPrintable(error));
    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(readFileBytes(set[old].fileName), oldContents);
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
