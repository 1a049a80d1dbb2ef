// List export: golden files, file naming, separators, quoting and the texts
// of the group and hot-line cells.
#include "ListExport.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace tidelex;

namespace {

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

// A small ship: one Subscriber board (slot 2), one Tie Line board (slot 16),
// and records on other slots that must not be exported.
Configuration smallShip()
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

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void goldenFiles_data();
    void goldenFiles();
    void fileNamesAndSeparator_data();
    void fileNamesAndSeparator();
    void splitPath_data();
    void splitPath();
    void unwritableFolderNamesTheFile();
};

void TestExport::goldenFiles_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("set");
    QTest::newRow("comma") << u"small.csv"_s << u"small_%1.csv"_s;
    QTest::newRow("TAB") << u"small.TAB"_s << u"small_%1.TAB"_s;
}

void TestExport::goldenFiles()
{
    QFETCH(QString, chosen);
    QFETCH(QString, set);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QVERIFY2(exportLists(dir.filePath(chosen), smallShip(), &message), qPrintable(message));
    for (const char *part : {"Extensions", "TieLines", "Groups"}) {
        const QString name = set.arg(QLatin1String(part));
        // HELMWISE_UPDATE_GOLDEN=1 rewrites the golden files; review them by hand.
        if (qEnvironmentVariableIsSet("HELMWISE_UPDATE_GOLDEN")) {
            QFile::remove(golden(name));
            QVERIFY(QFile::copy(dir.filePath(name), golden(name)));
        }
        QCOMPARE(readFileBytes(dir.filePath(name)), readFileBytes(golden(name)));
    }
}

void TestExport::fileNamesAndSeparator_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("pattern"); // %1 = Extensions, TieLines, Groups
    QTest::addColumn<QString>("separator");
    QTest::newRow("Ship.TAB") << u"Ship.TAB"_s << u"Ship_%1.TAB"_s << u"\t"_s;
    QTest::newRow("Ship.tab is comma") << u"Ship.tab"_s << u"Ship_%1.tab"_s << u","_s;
    QTest::newRow("earlier tie-line file") << u"ship_tielines.csv"_s << u"ship_%1.csv"_s << u","_s;
    QTest::newRow("earlier extension file")
        << u"SHIP_EXTENSIONS.TAB"_s << u"SHIP_%1.TAB"_s << u"\t"_s;
    QTest::newRow("suffix only once") << u"A_Groups_Groups.csv"_s << u"A_Groups_%1.csv"_s << u","_s;
    QTest::newRow("two dots") << u"Ship.v2.TAB"_s << u"Ship_%1.v2.TAB"_s << u","_s;
    QTest::newRow("no extension") << u"Ship"_s << u"Ship_%1"_s << u","_s;
}

void TestExport::fileNamesAndSeparator()
{
    QFETCH(QString, chosen);
    QFETCH(QString, pattern);
    QFETCH(QString, separator);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QVERIFY2(exportLists(dir.filePath(chosen), smallShip(), &message), qPrintable(message));
    QStringList written;
    for (const char *part : {"Extensions", "TieLines", "Groups"})
        written << pattern.arg(QLatin1String(part));
    QCOMPARE(exportFileNames(dir.filePath(chosen)),
             (QStringList{dir.filePath(written[0]), dir.filePath(written[1]),
                          dir.filePath(written[2])}));
    written.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), written);
    // The heading of every file is separated as chosen, into quoted cells.
    for (const QString &name : written) {
        const QString heading =
            QString::fromLatin1(readFileBytes(dir.filePath(name))).section(u"\r\n"_s, 0, 0);
        QVERIFY2(heading.count(u'"' + separator + u'"') >= 4, qPrintable(heading));
    }
}

void TestExport::splitPath_data()
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

void TestExport::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QStringList, parts);
    const PathParts got = ::splitPath(path);
    QCOMPARE((QStringList{got.folder, got.fileName, got.baseName, got.extension}), parts);
}

void TestExport::unwritableFolderNamesTheFile()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(u"no/such/folder/Ship.csv"_s);
    QString message;
    QVERIFY(!exportLists(chosen, smallShip(), &message));
    QVERIFY2(message.contains(u"Ship_Extensions.csv"_s), qPrintable(message));
    QVERIFY(!exportLists(QString(), smallShip(), &message));
    QVERIFY(!message.isEmpty());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
