// Reading configuration files: every malformed file is refused with a reason
// and leaves the configuration in use untouched; every well-formed one is
// read whatever its element order, escaping or line ends. The loader turns
// the reader's results into the user's messages.
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "ConfigSamples.h"
#include "TempDir.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtTest>

using namespace tidelex;

namespace
{

QByteArray goldenBytes()
{
    return readFileBytes(QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ"));
}

// The golden file (Windows-1252 bytes) with the first match of `pattern`
// replaced; \1..\9 in the replacement stand for the captures.
QByteArray mutated(const QString &pattern, const QString &replacement, bool *matched = nullptr)
{
    const QString text = QString::fromLatin1(goldenBytes());
    if (matched)
        *matched = true;
    if (pattern.isEmpty())
        return goldenBytes();
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(text);
    if (!m.hasMatch()) {
        if (matched)
            *matched = false;
        return QByteArray();
    }
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

int readBytes(const QByteArray &bytes, Configuration &c, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readConfig(buffer, c, error);
}

QString joined(const auto &values, int count)
{
    QStringList parts;
    for (int k = 0; k < count; ++k)
        parts << QVariant(values[k]).toString();
    return parts.join(QLatin1Char(','));
}

// One field of a configuration as text, named "ext.2.Status", "sys.Slots.0"...
QString field(const Configuration &c, const QString &path)
{
    const QStringList p = path.split(QLatin1Char('.'));
    const int n = p.value(p[0] == QLatin1String("sys") ? 2 : 1).toInt();
    const QString &f = p[0] == QLatin1String("sys") ? p[1] : p[2];
    if (p[0] == QLatin1String("sys")) {
        const SystemRecord &s = c.SysConfig;
        if (f == QLatin1String("Name"))
            return s.Name;
        if (f == QLatin1String("PIN"))
            return QString::number(s.PIN);
        if (f == QLatin1String("Slots"))
            return QString::number(s.Slots[n]);
        if (f == QLatin1String("GA"))
            return joined(s.GA, 4);
    } else if (p[0] == QLatin1String("ext")) {
        const ExtRecord &e = c.Extensions[n];
        if (f == QLatin1String("Name"))
            return e.Name;
        if (f == QLatin1String("ExtNum"))
            return QString::number(e.ExtNum);
        if (f == QLatin1String("Active"))
            return QVariant(e.Active).toString();
        if (f == QLatin1String("Status"))
            return joined(e.Status, 6);
    } else if (p[0] == QLatin1String("tie")) {
        const TieRecord &t = c.TieLines[n];
        if (f == QLatin1String("DirNum"))
            return QString::number(t.DirNum);
        if (f == QLatin1String("Dial6"))
            return joined(t.Dial6, 9);
    } else if (p[0] == QLatin1String("group")) {
        const GroupRecord &g = c.Groups[n];
        if (f == QLatin1String("Name"))
            return g.Name;
        if (f == QLatin1String("Num"))
            return QString::number(g.Num);
    } else if (p[0] == QLatin1String("extclass")) {
        return c.ExtClasses[n].Name;
    }
    qWarning() << "unknown field" << path;
    return QString();
}

} // namespace

class TestConfigReader : public QObject
{
    Q_OBJECT
  private slots:
    void refused_data();
    void refused();
    void accepted_data();
    void accepted();
    void handWrittenMinimalFile();
    void loader_data();
    void loader();
};

// clang-format off
void TestConfigReader::refused_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason");

    const int failed = ReadConfigFailed;
    // Malformed XML.
    QTest::newRow("unescaped ampersand") << "<Name>Bridge</Name>" << "<Name>R&D</Name>" << failed << "line";
    QTest::newRow("file cut short") << "\t</Groups>[\\s\\S]*" << "" << failed << "line";
    QTest::newRow("two roots") << "</TidelexAnalog>\r\n$" << "</TidelexAnalog>\r\n<TidelexAnalog/>" << failed << "line";
    QTest::newRow("empty file") << "[\\s\\S]*" << "" << failed << "line";
    QTest::newRow("other root") << "<TidelexAnalog>([\\s\\S]*)</TidelexAnalog>" << "<Tidelex>\\1</Tidelex>" << failed << "Tidelex";
    // Bytes that are no text.
    QTest::newRow("byte 0x81 has no character") << "<Name>Bridge" << "<Name>Br\u0081dge" << failed << "0x81";
    QTest::newRow("NUL byte") << "<Name>Bridge" << QStringLiteral("<Name>Br%1dge").arg(QChar(0)) << failed << "line";
    // Version.
    QTest::newRow("VERSION 3.00") << "<VERSION>3.0<" << "<VERSION>3.00<" << int(ReadConfigBadVersion) << "3.00";
    QTest::newRow("VERSION with a blank") << "<VERSION>3.0<" << "<VERSION> 3.0<" << int(ReadConfigBadVersion) << "version";
    QTest::newRow("VERSION missing") << "\t<VERSION>3.0</VERSION>\r\n" << "" << failed << "VERSION";
    // Missing sections and fields.
    QTest::newRow("no Groups section") << "\t<Groups>[\\s\\S]*</Groups>\r\n" << "" << failed << "<Groups>";
    QTest::newRow("no SlotsList") << "\t<SlotsList>[\\s\\S]*</SlotsList>\r\n" << "" << failed << "SlotsList";
    QTest::newRow("no PIN") << "\t<PIN>[^\n]*\n" << "" << failed << "PIN";
    QTest::newRow("extension without DirectDial") << "\t\t\t<DirectDial>[^\n]*\n" << "" << failed << "DirectDial";
    QTest::newRow("group without Exts") << "\t\t\t<Exts>[^\n]*\n" << "" << failed << "Exts";
    QTest::newRow("class without Type") << "\t\t\t<Type>Extension</Type>\r\n" << "" << failed << "Type";
    // Indexes outside their tables.
    QTest::newRow("extension 129") << "<Equipment>0<" << "<Equipment>129<" << failed << "0..128";
    QTest::newRow("extension index not a number") << "<Equipment>0<" << "<Equipment>one<" << failed << "Equipment";
    QTest::newRow("tie line 65") << "(<Tie>\r\n\t\t\t<Equipment>)0<" << "\\165<" << failed << "0..64";
    QTest::newRow("group 17") << "<ID>0</ID>" << "<ID>17</ID>" << failed << "0..16";
    QTest::newRow("class 33") << "(<Type>TieLine</Type>\r\n\t\t\t<ID>)0<" << "\\133<" << failed << "0..32";
    QTest::newRow("extension of class 33") << "<Class>1</Class>" << "<Class>33</Class>" << failed << "Class";
    QTest::newRow("tie line of class -1") << "(<Tie>(?:(?!</Tie>)[\\s\\S])*<Class>)0<" << "\\1-1<" << failed << "Class";
    QTest::newRow("group of 13 members") << "<Num>3</Num>" << "<Num>13</Num>" << failed << "Num";
    QTest::newRow("19 slots") << "</SlotsList>" << "\t<Slot>Empty</Slot>\r\n\t</SlotsList>" << failed << "slots";
    // Numbers that do not fit.
    QTest::newRow("extension number 70000") << "<ExtNum>100<" << "<ExtNum>70000<" << failed << "70000";
    QTest::newRow("GA 40000") << "<GA>101<" << "<GA>40000<" << failed << "GA";
    QTest::newRow("very long number") << "<ExtNum>100<" << "<ExtNum>99999999999999999999999<" << failed << "ExtNum";
    QTest::newRow("status byte 256") << "<Status>128,215" << "<Status>256,215" << failed << "Status";
    QTest::newRow("status byte -1") << "<Status>0,0,0,0,0<" << "<Status>0,0,-1,0,0<" << failed << "value 3";
    QTest::newRow("group member 70000") << "<Exts>100,101" << "<Exts>100,70000" << failed << "Exts";
    // Texts where a number or Boolean must be.
    QTest::newRow("DirNum not a number") << "<DirNum>900<" << "<DirNum>9x<" << failed << "DirNum";
    QTest::newRow("DirNum empty") << "<DirNum>900</DirNum>" << "<DirNum/>" << failed << "DirNum";
    QTest::newRow("Active is Yes") << "<Active>True<" << "<Active>Yes<" << failed << "Active";
    QTest::newRow("Dial6 entry maybe") << "<Dial6>True," << "<Dial6>maybe," << failed << "Dial6";
    // Lists too short.
    QTest::newRow("extension status of two values") << "<Status>128,215,255,3,48<" << "<Status>1,2<" << failed << "has 2 values, needs 5";
    QTest::newRow("Dial6 of seven values") << "<Dial6>True,False,True,False,False,False,False,False<" << "<Dial6>True,False,True,False,False,False,False<" << failed << "needs 8";
    QTest::newRow("two GA entries") << "\t\t<GA>0</GA>\r\n" << "" << failed << "GuaranteedAccess";
}
// clang-format on

void TestConfigReader::refused()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(int, result);
    QFETCH(QString, reason);
    bool matched = false;
    const QByteArray bytes = mutated(pattern, replacement, &matched);
    QVERIFY2(matched, "the pattern does not match the golden file");
    Configuration c = sentinel();
    QString error;
    QCOMPARE(readBytes(bytes, c, &error), result);
    QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
    QVERIFY2(c == sentinel(), "the configuration in use was changed");
}

// clang-format off
void TestConfigReader::accepted_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");

    QTest::newRow("unchanged golden file") << "" << "" << "ext.1.Name" << "Salon Caf\u00e9 \u20ac";
    QTest::newRow("escaped name") << "<Name>Bridge<" << "<Name>Fish &amp; Chips<" << "ext.0.Name" << "Fish & Chips";
    QTest::newRow("old unescaped > and quotes") << "<Name>Bridge<" << "<Name>a>b\"c'<" << "ext.0.Name" << "a>b\"c'";
    QTest::newRow("character reference") << "<Name>Bridge<" << "<Name>Caf&#233;<" << "ext.0.Name" << "Caf\u00e9";
    QTest::newRow("CDATA") << "<Name>Bridge<" << "<Name><![CDATA[<x & y>]]><" << "ext.0.Name" << "<x & y>";
    QTest::newRow("leading blanks kept") << "<Name>Bridge<" << "<Name>  Bridge <" << "ext.0.Name" << "  Bridge ";
    QTest::newRow("Windows-1252 bytes") << "<Name>Bridge<" << "<Name>\u0080\u0099\u00ff<" << "ext.0.Name" << "\u20ac\u2122\u00ff";
    QTest::newRow("status of seven values keeps five") << "<Status>128,215,255,3,48<" << "<Status>1,2,3,4,5,6,7<" << "ext.2.Status" << "1,2,3,4,5,0";
    QTest::newRow("empty list value is 0") << "<Status>128,215,255,3,48<" << "<Status>1,,3,4,5<" << "ext.2.Status" << "1,0,3,4,5,0";
    QTest::newRow("number with trailing text") << "<ExtNum>100<" << "<ExtNum>123abc<" << "ext.0.ExtNum" << "123";
    QTest::newRow("number with no digits is 0") << "<ExtNum>100<" << "<ExtNum>abc<" << "ext.0.ExtNum" << "0";
    QTest::newRow("smallest 16-bit number") << "<ExtNum>100<" << "<ExtNum>-32768<" << "ext.0.ExtNum" << "-32768";
    QTest::newRow("largest DirNum") << "<DirNum>900<" << "<DirNum> 32767 <" << "tie.0.DirNum" << "32767";
    QTest::newRow("Boolean as -1") << "<Active>False<" << "<Active>-1<" << "ext.4.Active" << "true";
    QTest::newRow("Boolean as 0") << "<Active>True<" << "<Active>0<" << "ext.0.Active" << "false";
    QTest::newRow("Boolean in lower case") << "<Active>False<" << "<Active>true<" << "ext.4.Active" << "true";
    QTest::newRow("Dial6 with a ninth value") << "<Dial6>True,False,True," << "<Dial6>False,True,True," << "tie.0.Dial6" << "false,true,true,false,false,false,false,false,false";
    QTest::newRow("twelve members") << "<Num>3<" << "<Num>12<" << "group.0.Num" << "12";
    QTest::newRow("slot name in other case stays reset") << "<Slot>Subscriber<" << "<Slot>subscriber<" << "sys.Slots.2" << "0";
    QTest::newRow("unknown slot 0 keeps the board in use") << "<Slot>Tone 16 Channels<" << "<Slot>Tone 32<" << "sys.Slots.0" << "4";
    QTest::newRow("short slot list keeps slot 17") << "\t\t<Slot>Ringing Module</Slot>\r\n" << "" << "sys.Slots.17" << "0";
    QTest::newRow("fourth GA ignored") << "</GuaranteedAccess>" << "\t<GA>333</GA>\r\n\t</GuaranteedAccess>" << "sys.GA" << QStringLiteral("101,-1,0,%1").arg(sentinel().SysConfig.GA[3]);
    QTest::newRow("spare extension 128") << "<Equipment>0<" << "<Equipment>128<" << "ext.128.Name" << "Bridge";
    QTest::newRow("class of unknown type skipped") << "<Type>Extension</Type>" << "<Type>Phone</Type>" << "extclass.0.Name" << "Sentinel";
    QTest::newRow("sections in another order") << "(\t<Extensions>[\\s\\S]*</TieLines>\r\n)(\t<Groups>[\\s\\S]*</Groups>\r\n)" << "\\2\\1" << "group.0.Name" << "Bridge pickup";
    QTest::newRow("fields in another order") << "(\t\t\t<Equipment>0</Equipment>\r\n)(\t\t\t<Name>Bridge</Name>\r\n)" << "\\2\\1" << "ext.0.Name" << "Bridge";
    QTest::newRow("unknown elements ignored") << "<Name>Bridge</Name>" << "<Colour>red</Colour><Name>Bridge</Name>" << "ext.0.Name" << "Bridge";
    QTest::newRow("comments ignored") << "<Name>Bridge</Name>" << "<!-- x --><Name>Brid<!-- y -->ge</Name>" << "ext.0.Name" << "Bridge";
    QTest::newRow("declaration naming UTF-8") << "<\\?xml version=\"1.0\"\\?>" << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" << "ext.1.Name" << "Salon Caf\u00e9 \u20ac";
}
// clang-format on

void TestConfigReader::accepted()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, field);
    QFETCH(QString, value);
    bool matched = false;
    const QByteArray bytes = mutated(pattern, replacement, &matched);
    QVERIFY2(matched, "the pattern does not match the golden file");
    Configuration c = sentinel();
    QString error;
    QCOMPARE(readBytes(bytes, c, &error), int(ReadConfigOk));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(::field(c, field), value);
    // The rest of the file was read too, not only the changed field.
    QCOMPARE(c.Groups[15].Name, QStringLiteral("Galley hunt"));
}

// A file typed by hand: LF line ends, no indentation, only a few records;
// everything the file does not name takes the reset values.
void TestConfigReader::handWrittenMinimalFile()
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
    QCOMPARE(readBytes(text, c, &error), int(ReadConfigOk));
    Configuration expected = sentinel();
    clearConfig(expected);
    expected.SysConfig.Name = QStringLiteral("Test & Trial");
    expected.SysConfig.LastUpdate = QStringLiteral("yesterday");
    expected.SysConfig.PIN = 12;
    expected.SysConfig.Slots[0] = BoardEmpty;
    expected.SysConfig.Slots[1] = BoardProcessor;
    expected.SysConfig.Slots[2] = BoardSubscriber;
    expected.SysConfig.GA = {100, -1, -1, expected.SysConfig.GA[3]};
    ExtRecord &e = expected.Extensions[1];
    e.Name = QStringLiteral("Mess");
    e.ExtNum = 150;
    e.Class = ClassCrew;
    e.Active = true;
    e.Status[1] = 224;
    QVERIFY(c == expected);
}

// clang-format off
void TestConfigReader::loader_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message");

    const QString errorInFile = QStringLiteral("Unable to load file as error in file");
    const QByteArray good = goldenBytes();
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
}
// clang-format on

void TestConfigReader::loader()
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
    const QString name = fileName.startsWith(QLatin1Char('"'))
                             ? QLatin1Char('"') + dir.filePath(bare) + QLatin1Char('"')
                             : dir.filePath(bare);
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

QTEST_GUILESS_MAIN(TestConfigReader)
#include "tst_configreader.moc"
