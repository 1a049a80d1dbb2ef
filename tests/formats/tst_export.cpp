// List export: golden files, file naming, separators, quoting and the texts
// of the group and hot-line cells.
#include "mdlExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tdl;

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
    c.Extensions[1] = extension(101, "Mess", ClassCrew, c);
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

    auto tie = [&c](int t, const char *name, int cls, int ext1, int ext2, int status0,
                    bool dial9, std::initializer_list<int> routes) {
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

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Cells of one line as a spreadsheet reads them: quoted cells, "" inside a
// cell is one quote; the trailing separator of a data line gives no cell.
QStringList cells(const QString &line, QChar separator)
{
    QStringList out;
    int pos = 0;
    while (pos < line.size()) {
        if (line[pos] != u'"')
            return {QStringLiteral("<unquoted at %1>").arg(pos)};
        QString cell;
        ++pos;
        for (;;) {
            if (pos >= line.size())
                return {QStringLiteral("<open quote>")};
            if (line[pos] == u'"') {
                if (pos + 1 < line.size() && line[pos + 1] == u'"') {
                    cell += u'"';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            cell += line[pos++];
        }
        out << cell;
        if (pos < line.size()) {
            if (line[pos] != separator)
                return {QStringLiteral("<no separator at %1>").arg(pos)};
            ++pos;
        }
    }
    return out;
}

QList<QStringList> table(const QString &path, QChar separator)
{
    const QString text = QString::fromLatin1(readAll(path));
    QList<QStringList> rows;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        if (!line.isEmpty())
            rows << cells(line, separator);
    }
    return rows;
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
    void groupTexts_data();
    void groupTexts();
    void extensionTexts_data();
    void extensionTexts();
    void onlyLiveRecords();
    void unwritableFolderNamesTheFile();
};

void TestExport::goldenFiles_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("set");
    QTest::newRow("comma") << QStringLiteral("small.csv") << QStringLiteral("small_%1.csv");
    QTest::newRow("TAB") << QStringLiteral("small.TAB") << QStringLiteral("small_%1.TAB");
}

void TestExport::goldenFiles()
{
    QFETCH(QString, chosen);
    QFETCH(QString, set);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QVERIFY2(ExportLists(smallShip(), dir.filePath(chosen), &message), qPrintable(message));
    for (const char *part : {"Extensions", "TieLines", "Groups"}) {
        const QString name = set.arg(QLatin1String(part));
        // HELMWISE_UPDATE_GOLDEN=1 rewrites the golden files; review them by hand.
        if (qEnvironmentVariableIsSet("HELMWISE_UPDATE_GOLDEN")) {
            QFile::remove(golden(name));
            QVERIFY(QFile::copy(dir.filePath(name), golden(name)));
        }
        QCOMPARE(readAll(dir.filePath(name)), readAll(golden(name)));
    }
}

void TestExport::fileNamesAndSeparator_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("separator");
    QTest::newRow("Ship.TAB") << QStringLiteral("Ship.TAB")
                              << QStringList{QStringLiteral("Ship_Extensions.TAB"),
                                             QStringLiteral("Ship_TieLines.TAB"),
                                             QStringLiteral("Ship_Groups.TAB")}
                              << QStringLiteral("\t");
    QTest::newRow("Ship.tab is comma") << QStringLiteral("Ship.tab")
                                       << QStringList{QStringLiteral("Ship_Extensions.tab"),
                                                      QStringLiteral("Ship_TieLines.tab"),
                                                      QStringLiteral("Ship_Groups.tab")}
                                       << QStringLiteral(",");
    QTest::newRow("earlier tie-line file") << QStringLiteral("ship_tielines.csv")
                                           << QStringList{QStringLiteral("ship_Extensions.csv"),
                                                          QStringLiteral("ship_TieLines.csv"),
                                                          QStringLiteral("ship_Groups.csv")}
                                           << QStringLiteral(",");
    QTest::newRow("earlier extension file") << QStringLiteral("SHIP_EXTENSIONS.TAB")
                                            << QStringList{QStringLiteral("SHIP_Extensions.TAB"),
                                                           QStringLiteral("SHIP_TieLines.TAB"),
                                                           QStringLiteral("SHIP_Groups.TAB")}
                                            << QStringLiteral("\t");
    QTest::newRow("earlier group file") << QStringLiteral("Ship_Groups.csv")
                                        << QStringList{QStringLiteral("Ship_Extensions.csv"),
                                                       QStringLiteral("Ship_TieLines.csv"),
                                                       QStringLiteral("Ship_Groups.csv")}
                                        << QStringLiteral(",");
    QTest::newRow("suffix only once") << QStringLiteral("A_Groups_Groups.csv")
                                      << QStringList{QStringLiteral("A_Groups_Extensions.csv"),
                                                     QStringLiteral("A_Groups_TieLines.csv"),
                                                     QStringLiteral("A_Groups_Groups.csv")}
                                      << QStringLiteral(",");
    QTest::newRow("two dots") << QStringLiteral("Ship.v2.TAB")
                              << QStringList{QStringLiteral("Ship_Extensions.v2.TAB"),
                                             QStringLiteral("Ship_TieLines.v2.TAB"),
                                             QStringLiteral("Ship_Groups.v2.TAB")}
                              << QStringLiteral(",");
    QTest::newRow("no extension") << QStringLiteral("Ship")
                                  << QStringList{QStringLiteral("Ship_Extensions"),
                                                 QStringLiteral("Ship_TieLines"),
                                                 QStringLiteral("Ship_Groups")}
                                  << QStringLiteral(",");
}

void TestExport::fileNamesAndSeparator()
{
    QFETCH(QString, chosen);
    QFETCH(QStringList, written);
    QFETCH(QString, separator);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString message;
    QVERIFY2(ExportLists(smallShip(), dir.filePath(chosen), &message), qPrintable(message));
    QStringList found = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QStringList expected = written;
    expected.sort();
    QCOMPARE(found, expected);
    for (const QString &name : written) {
        const QList<QStringList> rows = table(dir.filePath(name), separator[0]);
        QVERIFY(rows.size() > 1);
        for (const QStringList &row : rows)
            QVERIFY2(row.size() >= 5, qPrintable(name + QLatin1Char(':') + row.join(u'|')));
    }
}

void TestExport::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("parts"); // folder, file name, base name, extension
    QTest::newRow("windows path") << QStringLiteral("C:\\Ships\\Nordic.csv")
                                  << QStringList{QStringLiteral("C:/Ships"),
                                                 QStringLiteral("Nordic.csv"),
                                                 QStringLiteral("Nordic"), QStringLiteral("csv")};
    QTest::newRow("unix path") << QStringLiteral("/tmp/a/Nordic.TAB")
                               << QStringList{QStringLiteral("/tmp/a"),
                                              QStringLiteral("Nordic.TAB"),
                                              QStringLiteral("Nordic"), QStringLiteral("TAB")};
    QTest::newRow("mixed separators") << QStringLiteral("/tmp\\x/y.z.csv")
                                      << QStringList{QStringLiteral("/tmp/x"),
                                                     QStringLiteral("y.z.csv"),
                                                     QStringLiteral("y"), QStringLiteral("z.csv")};
    QTest::newRow("bare name") << QStringLiteral("Nordic.csv")
                               << QStringList{QStringLiteral("."), QStringLiteral("Nordic.csv"),
                                              QStringLiteral("Nordic"), QStringLiteral("csv")};
    QTest::newRow("empty") << QString()
                           << QStringList{QString(), QString(), QString(), QString()};
}

void TestExport::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QStringList, parts);
    const PathParts got = SplitPath(path);
    QCOMPARE((QStringList{got.folder, got.fileName, got.baseName, got.extension}), parts);
}

void TestExport::groupTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    // Groups 0, 1, 2 and 4 are active; group 3 is not exported.
    QTest::newRow("hunt, two users, members with unknown and empty")
        << 1
        << QStringList{QStringLiteral("545"), QStringLiteral("Deck"), QStringLiteral("Hunt"),
                       QStringLiteral("100 101 "),
                       QStringLiteral("102 (Galley)  450 (Unknown Extension)")};
    QTest::newRow("call forward, one user")
        << 2
        << QStringList{QStringLiteral("544"), QStringLiteral("Officers"),
                       QStringLiteral("Multiple Call Forward"),
                       QStringLiteral("103 ( Captain \"Old Man\", aft) "),
                       QStringLiteral("100 (Bridge)")};
    QTest::newRow("pickup") << 3
                            << QStringList{QStringLiteral("543"), QStringLiteral("Pickup"),
                                           QStringLiteral("Pickup"), QStringLiteral("-"),
                                           QStringLiteral("100 (Bridge)  101 (Mess)")};
    QTest::newRow("other type, no users, Num 0")
        << 4
        << QStringList{QStringLiteral("540"), QStringLiteral("Odd"), QString(), QString(),
                       QString()};
}

void TestExport::groupTexts()
{
    QFETCH(int, row);
    QTemporaryDir dir;
    QVERIFY(ExportLists(smallShip(), dir.filePath(QStringLiteral("s.csv")), nullptr));
    const QList<QStringList> rows = table(dir.filePath(QStringLiteral("s_Groups.csv")), u',');
    QCOMPARE(rows.size(), 5);
    QTEST(rows[row], "expected");
}

void TestExport::extensionTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("hot line target") << 3 << 6 << QStringLiteral("105");
    QTest::newRow("no hot-line bit") << 4 << 6 << QStringLiteral("-");
    QTest::newRow("name with quote and comma") << 4 << 2
                                               << QStringLiteral("Captain \"Old Man\", aft");
    QTest::newRow("group name") << 1 << 3 << QStringLiteral("Deck");
    QTest::newRow("no group") << 3 << 3 << QStringLiteral("-");
    QTest::newRow("unknown group") << 5 << 3 << QStringLiteral("Invalid Extension");
    QTest::newRow("guaranteed access") << 4 << 5 << QStringLiteral("Y");
    QTest::newRow("GA entry 3 is not used") << 5 << 5 << QStringLiteral("N");
    QTest::newRow("class name") << 5 << 4 << QStringLiteral("Night Bell");
    QTest::newRow("route 61") << 4 << 15 << QStringLiteral("Y");
    QTest::newRow("route 62") << 4 << 16 << QStringLiteral("N");
    QTest::newRow("route 63") << 4 << 17 << QStringLiteral("Y");
    QTest::newRow("board of last port") << 5 << 0 << QStringLiteral("01.6");
}

void TestExport::extensionTexts()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QTemporaryDir dir;
    QVERIFY(ExportLists(smallShip(), dir.filePath(QStringLiteral("s.TAB")), nullptr));
    const QList<QStringList> rows =
        table(dir.filePath(QStringLiteral("s_Extensions.TAB")), u'\t');
    QVERIFY(row < rows.size());
    QCOMPARE(rows[row].size(), 23);
    QTEST(rows[row][column], "text");
}

void TestExport::onlyLiveRecords()
{
    QTemporaryDir dir;
    QVERIFY(ExportLists(smallShip(), dir.filePath(QStringLiteral("s.csv")), nullptr));
    const auto exts = table(dir.filePath(QStringLiteral("s_Extensions.csv")), u',');
    QStringList numbers;
    for (const QStringList &row : exts.mid(1))
        numbers << row.value(1);
    QCOMPARE(numbers, (QStringList{QStringLiteral("100"), QStringLiteral("101"),
                                   QStringLiteral("102"), QStringLiteral("103"),
                                   QStringLiteral("105")}));
    const auto ties = table(dir.filePath(QStringLiteral("s_TieLines.csv")), u',');
    QStringList boards;
    for (const QStringList &row : ties.mid(1))
        boards << row.value(0);
    QCOMPARE(boards, (QStringList{QStringLiteral("15.1"), QStringLiteral("15.2"),
                                  QStringLiteral("15.3")}));
}

void TestExport::unwritableFolderNamesTheFile()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("no/such/folder/Ship.csv"));
    QString message;
    QVERIFY(!ExportLists(smallShip(), chosen, &message));
    QVERIFY2(message.contains(QStringLiteral("Ship_Extensions.csv")), qPrintable(message));
    QVERIFY(!ExportLists(smallShip(), QString(), &message));
    QVERIFY(!message.isEmpty());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
