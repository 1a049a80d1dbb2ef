// Which sections each report prints, their order, rows and texts, and the
// connections sheet, read from the report content without rendering; the
// reports written as PDF and read back through pdftotext: every page numbered,
// header and footer on each; and the report preview of the main window, which
// builds, previews and saves them.
#include "ConfigDocument.h"
#include "ConnectionsSheet.h"
#include "FailOnQtWarnings.h"
#include "ReportPrinting.h"
#include "ReportView.h"
#include "TempDir.h"

#include <QGraphicsView>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace tidelex;

// A small ship's configuration whose records exercise the report rules:
// records on boards of the wrong kind, inactive records, an out-of-range
// number, mixed-case names, a group with a bad member count.
namespace fixtures {

inline ReportOptions options(const QString &ticked)
{
    ReportOptions result;
    for (const QString &n : ticked.split(QLatin1Char(','), Qt::SkipEmptyParts))
        result.set(n.toInt(), true);
    return result;
}

inline void addExtension(Configuration &c, int index, int number, const char *name, int cls,
                         std::array<uint8_t, ExtStatusBytes> status = {}, int directDial = 0)
{
    ExtRecord &ext = c.Extensions[index];
    ext.Active = true;
    ext.ExtNum = int16_t(number);
    ext.Name = QString::fromLatin1(name);
    ext.Class = int16_t(cls);
    ext.Status = status;
    ext.DirectDial = int16_t(directDial);
}

inline void addTieLine(Configuration &c, int index, int dirNum, const char *name, int cls, int ext1,
                       int ext2)
{
    TieRecord &tie = c.TieLines[index];
    tie.Active = true;
    tie.DirNum = int16_t(dirNum);
    tie.Name = QString::fromLatin1(name);
    tie.Class = int16_t(cls);
    tie.Ext1 = int16_t(ext1);
    tie.Ext2 = int16_t(ext2);
    tie.Dial9 = false;
}

inline void addGroup(Configuration &c, int g, int dirNum, const char *name, int type,
                     QList<int> members, int num = -1)
{
    GroupRecord &group = c.Groups[g];
    group.Active = true;
    group.DirNum = int16_t(dirNum);
    group.Name = QString::fromLatin1(name);
    group.Type = int16_t(type);
    group.Num = int16_t(num >= 0 ? num : members.size());
    for (int m = 0; m < members.size() && m < GroupExtsSize; ++m)
        group.Exts[m] = int16_t(members[m]);
}

// Slot 2 Subscriber (extensions 0..7), slot 3 Tie Line (tie lines 4..7),
// slot 4 Subscriber (extensions 16..23), the other line slots empty.
inline Configuration ship()
{
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = QStringLiteral("MV Tern");
    c.SysConfig.Slots[0] = BoardTone8;
    c.SysConfig.Slots[2] = BoardSubscriber;
    c.SysConfig.Slots[3] = BoardTieLine;
    c.SysConfig.Slots[4] = BoardSubscriber;
    c.SysConfig.GA[0] = 120;

    addExtension(c, 0, 300, "delta", ClassOfficer, {128, 215, 255, 0, 16, 0});
    addExtension(c, 1, 120, "Bravo", ClassCustom, {0x80, 0xDD, 0x03, 0, 0x30, 0}, 150);
    addExtension(c, 2, 205, "alpha", ClassHotLine, {0, 36, 0, 0, 32, 0}, 120);
    c.Extensions[3].Name = QStringLiteral("switched off"); // inactive
    addExtension(c, 8, 330, "ghost on tie board", ClassCrew, {0, 224, 0, 0, 0, 0});
    addExtension(c, 16, 450, "charlie", ClassCrew, {0, 224, 0, 0, 0, 0});
    addExtension(c, 17, 1000, "echo", ClassDisabled);

    addTieLine(c, 0, 990, "ghost on subscriber board", TieClassShore, 300, 0);
    addTieLine(c, 4, 910, "Shore B", TieClassShore, 300, 500);
    c.TieLines[4].Dial9 = true;
    c.TieLines[4].Dial6[0] = c.TieLines[4].Dial6[1] = true;
    c.TieLines[4].Status[0] = TieDTMF | TieDDI;
    addTieLine(c, 5, 905, "PA Aft", TieClassPA, 300, 0);
    addTieLine(c, 7, 902, "Sat A", TieClassSatComm, 0, 0);
    c.TieLines[7].Dial6[7] = true;

    addGroup(c, 0, 520, "Mess", GroupHunt, {300, 120, 205});
    addGroup(c, 1, 500, "Deck", GroupMultipleCallForward, {});
    addGroup(c, 3, 510, "Bridge", GroupPickup,
             {205, 300, -1, 120, 450, 101, 102, 103, 104, 105, 106, 107, 108}, 14);
    c.Groups[2].Name = QStringLiteral("inactive");
    return c;
}

// "noExtensions", "noTieLines", "noGroups", "empty" (none of the three), else the ship.
inline Configuration byName(const QString &name)
{
    Configuration c = ship();
    if (name == QLatin1String("noExtensions")) {
        c.SysConfig.Slots[2] = c.SysConfig.Slots[4] = BoardEmpty;
        c.SysConfig.Slots[5] = BoardTieLine; // extensions 24..31 sit on a tie board
        c.Extensions[24].Active = true;
    }
    const bool empty = name == QLatin1String("empty");
    if (empty || name == QLatin1String("noTieLines")) {
        for (auto &tie : c.TieLines)
            tie.Active = false;
    }
    if (empty || name == QLatin1String("noGroups")) {
        for (auto &group : c.Groups)
            group.Active = false;
    }
    if (empty)
        c.SysConfig.Slots[2] = c.SysConfig.Slots[4] = BoardEmpty;
    return c;
}

} // namespace fixtures

namespace {

const QString T = tickMark();

ReportContent compose(const Configuration &c, int number, const QString &ticked)
{
    return composeReport(c, number, fixtures::options(ticked));
}

QStringList column(const ReportSection &section, int c)
{
    QStringList values;
    for (const QStringList &row : section.table.rows)
        values.append(row.value(c));
    return values;
}

const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));

// The text of each page of a PDF, as pdftotext lays it out.
QStringList pdfPages(const QString &file)
{
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void sections_data();
    void sections();
    void tableRows_data();
    void tableRows();
    void rowTexts_data();
    void rowTexts();
    void sheetCells_data();
    void sheetCells();
    void everyPageNumbered_data();
    void everyPageNumbered();
    void longNamesFitTheirCells_data();
    void longNamesFitTheirCells();
    void saveReportPdf_data();
    void saveReportPdf();
    void proposedPdfName_data();
    void proposedPdfName();
    void toolBar_data();
    void toolBar();
};

void TestReports::sections_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("landscape"); // a table too wide for an upright page turns it

    const QStringList connections = {QStringLiteral("Connections"),
                                     QStringLiteral("Connections showing Ext No only"),
                                     QStringLiteral("Connections showing Name only")};
    QTest::newRow("combined, nothing ticked: connections only")
        << 0 << QString() << u"ship"_s << connections << false;
    QTest::newRow("combined, empty tables: connections only")
        << 0 << u"1,2,3,4,5"_s << u"empty"_s << connections << false;
    QTest::newRow("combined, by type prints the tie-line details by type")
        << 0 << u"3"_s << u"ship"_s
        << (QStringList{u"Tie Lines by Type"_s, u"Tieline Details by Type"_s,
                        u"Groups Details by Type"_s} +
            connections)
        << true;
    QTest::newRow("combined, by name without tie lines")
        << 0 << u"1"_s << u"noTieLines"_s
        << (QStringList{u"Extensions by Name"_s, u"Extensions Details by Name"_s,
                        u"Groups by Name"_s} +
            connections)
        << true;
    QTest::newRow("detailed, name and board")
        << 300 << u"1,4"_s << u"ship"_s
        << QStringList{u"Extensions Details by Name"_s, u"Extensions Details by Board"_s,
                       u"Tieline Details by Name"_s, u"Tieline Details by Board"_s,
                       u"Groups by Name"_s}
        << true;
    QTest::newRow("detailed, everything, no extensions")
        << 300 << u"1,2,3,4"_s << u"noExtensions"_s
        << QStringList{u"Tieline Details by Name"_s,
                       u"Tieline Details by Dir No"_s,
                       u"Tieline Details by Type"_s,
                       u"Tieline Details by Board"_s,
                       u"Groups by Name"_s,
                       u"Groups Details by Type"_s,
                       u"Groups by Directory Number"_s}
        << true;
    QTest::newRow("extensions heading keeps empty tables")
        << 100 << u"1,2"_s << u"empty"_s
        << QStringList{u"Extensions by Name"_s, u"Extensions by Number"_s} << false;
    QTest::newRow("leaf ignores the options")
        << 101 << QString() << u"ship"_s << QStringList{u"Extensions by Name"_s} << false;
    QTest::newRow("unknown number") << 310 << u"1,2,3"_s << u"ship"_s << QStringList{} << false;
}

void TestReports::sections()
{
    QFETCH(int, number);
    QFETCH(QString, ticked);
    QFETCH(QString, config);
    QFETCH(QStringList, titles);
    QFETCH(bool, landscape);
    const ReportContent report = compose(fixtures::byName(config), number, ticked);
    QCOMPARE(report.titles(), titles);
    QCOMPARE(report.orientation == QPageLayout::Landscape, landscape);
}

void TestReports::tableRows_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("order"); // the column's values, top to bottom
    QTest::addColumn<QString>("message");   // said instead of an empty table
    const QString ship = u"ship"_s;
    const QString none;
    // Inactive records and records on a board of the wrong kind never show.
    QTest::newRow("extensions by name, case ignored")
        << 101 << ship << 1
        << QStringList{u"alpha"_s, u"Bravo"_s, u"charlie"_s, u"delta"_s, u"echo"_s} << none;
    QTest::newRow("extensions by number, by value")
        << 102 << ship << 0 << QStringList{u"120"_s, u"205"_s, u"300"_s, u"450"_s, u"1000"_s}
        << none;
    QTest::newRow("extension details by number")
        << 322 << ship << 2
        << QStringList{u"Bravo"_s, u"alpha"_s, u"delta"_s, u"charlie"_s, u"echo"_s} << none;
    QTest::newRow("extension details by board")
        << 323 << ship << 0 << QStringList{u"01.1"_s, u"01.2"_s, u"01.3"_s, u"03.1"_s, u"03.2"_s}
        << none;
    QTest::newRow("tie lines by name")
        << 201 << ship << 0 << QStringList{u"PA Aft"_s, u"Sat A"_s, u"Shore B"_s} << none;
    QTest::newRow("tie lines by type")
        << 202 << ship << 0 << QStringList{u"Shore B"_s, u"Sat A"_s, u"PA Aft"_s} << none;
    QTest::newRow("tie-line details by dir no")
        << 332 << ship << 1 << QStringList{u"902"_s, u"905"_s, u"910"_s} << none;
    QTest::newRow("tie-line details by board")
        << 334 << ship << 0 << QStringList{u"02.1"_s, u"02.2"_s, u"02.4"_s} << none;
    QTest::newRow("groups by name")
        << 341 << ship << 1 << QStringList{u"Bridge"_s, u"Deck"_s, u"Mess"_s} << none;
    QTest::newRow("groups by type")
        << 342 << ship << 2 << QStringList{u"Multiple Call Forward"_s, u"Hunt"_s, u"Pickup"_s}
        << none;
    QTest::newRow("groups by number")
        << 343 << ship << 0 << QStringList{u"500"_s, u"510"_s, u"520"_s} << none;
    const QString noExtensions = u"There are no extensions defined"_s;
    const QString noTieLines = u"There are no tie lines defined"_s;
    QTest::newRow("no extension details")
        << 321 << u"noExtensions"_s << 0 << QStringList() << noExtensions;
    QTest::newRow("no extension list")
        << 102 << u"noExtensions"_s << 0 << QStringList() << noExtensions;
    QTest::newRow("no tie-line list")
        << 201 << u"noTieLines"_s << 0 << QStringList() << noTieLines;
    QTest::newRow("no tie-line details")
        << 333 << u"noTieLines"_s << 0 << QStringList() << noTieLines;
    QTest::newRow("no groups")
        << 343 << u"noGroups"_s << 0 << QStringList() << u"There are no groups defined"_s;
}

void TestReports::tableRows()
{
    QFETCH(int, number);
    QFETCH(QString, config);
    QFETCH(int, column);
    QFETCH(QStringList, order);
    QFETCH(QString, message);
    const ReportContent report = compose(fixtures::byName(config), number, QString());
    QCOMPARE(report.sections.size(), 1);
    QVERIFY(!report.sections.first().title.isEmpty());
    QCOMPARE(::column(report.sections.first(), column), order);
    QCOMPARE(report.sections.first().emptyMessage, message);
}

void TestReports::rowTexts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("row");

    const QString none;
    const auto blanks = [](int n) { return QStringList(n, QString()); };
    const auto ticks = [](int n) { return QStringList(n, T); };
    const QStringList custom =
        QStringList{u"01.2"_s, u"120"_s, u"Bravo"_s, u""_s, u"Custom"_s,
                    u"Hotline -> 150\nGuaranteed Access\nRecall\nNight Bell Pickup\nRapid Ring\nIntrude"_s} +
        ticks(6) + blanks(6);
    QTest::newRow("custom extension keeps its options without option 5")
        << 321 << none << u"Bravo"_s << custom;
    QTest::newRow("officer, all options")
        << 321 << u"1,5"_s << u"delta"_s
        << QStringList{u"01.1"_s, u"300"_s, u"delta"_s, u""_s, u"Officer"_s,
                       u"Recall\nNight Bell Pickup\nIntrude"_s} + ticks(12);
    QTest::newRow("officer without option 5: no options, no ticks")
        << 321 << none << u"delta"_s
        << QStringList{u"01.1"_s, u"300"_s, u"delta"_s, u""_s, u"Officer"_s} + blanks(13);
    QTest::newRow("hot line without option 5")
        << 321 << none << u"alpha"_s
        << QStringList{u"01.3"_s, u"205"_s, u"alpha"_s, u""_s, u"Hot Line"_s, u"Hotline -> 120"_s}
               + blanks(12);
    QTest::newRow("tie-line list routes")
        << 201 << none << u"Shore B"_s << QStringList{u"Shore B"_s, u"Shore"_s, u"9 61 62 "_s};
    QTest::newRow("shore line: extension and group")
        << 331 << none << u"Shore B"_s
        << QStringList{u"02.1"_s, u"910"_s, u"Shore B"_s, u"Shore"_s, u"delta (300)"_s,
                       u"Deck (500)"_s} + ticks(5) + blanks(6);
    QTest::newRow("PA line has no incoming side")
        << 331 << none << u"PA Aft"_s
        << QStringList{u"02.2"_s, u"905"_s, u"PA Aft"_s, u"PA"_s, u"n/a"_s, u"n/a"_s} + blanks(11);
    QTest::newRow("no extension given")
        << 331 << none << u"Sat A"_s
        << QStringList{u"02.4"_s, u"902"_s, u"Sat A"_s, u"Sat Comm"_s} + blanks(12) + ticks(1);
    QTest::newRow("hunt group: lead and members")
        << 341 << none << u"Mess"_s
        << QStringList{u"520"_s, u"Mess"_s, u"Hunt"_s, u"delta (300)"_s, u"Bravo (120)"_s,
                       u"alpha (205)"_s, u""_s, u""_s};
    QTest::newRow("group without members")
        << 341 << none << u"Deck"_s
        << QStringList{u"500"_s, u"Deck"_s, u"Multiple Call Forward"_s} + blanks(5);
    // Num says 14: only the twelve entries the exchange holds count, and
    // the empty entry (-1) is skipped.
    QTest::newRow("pickup group, bad count")
        << 341 << none << u"Bridge"_s
        << QStringList{u"510"_s, u"Bridge"_s, u"Pickup"_s, u"alpha (205)"_s,
                       u"delta (300)\nUnknown Extension (102)\nNew Ext Brd 1 Port 7 (106)"_s,
                       u"Bravo (120)\nswitched off (103)\nNew Ext Brd 1 Port 8 (107)"_s,
                       u"charlie (450)\nNew Ext Brd 1 Port 5 (104)"_s,
                       u"Unknown Extension (101)\nNew Ext Brd 1 Port 6 (105)"_s};
    // No name: the header, whose options heading follows option 5, whatever the order.
    const QString header = u"Posn|Ext|Name|Group|Class|Options|#|MF|LD|9|61|62|63|64|65|66|67|68"_s;
    const QStringList customHeader =
        QString(header).replace(u"Options"_s, u"Custom Options"_s).split(u'|');
    QTest::newRow("extension details header") << 321 << u"5"_s << none << header.split(u'|');
    QTest::newRow("header by number, custom") << 322 << u"1,2,3,4"_s << none << customHeader;
    QTest::newRow("header by board, custom") << 323 << u"1,2,3,4"_s << none << customHeader;
}

void TestReports::rowTexts()
{
    QFETCH(int, number);
    QFETCH(QString, ticked);
    QFETCH(QString, name);
    QFETCH(QStringList, row);
    const ReportContent report = compose(fixtures::ship(), number, ticked);
    QCOMPARE(report.sections.size(), 1);
    const int nameColumn = number < 200 ? 1 : number < 300 ? 0 : number < 340 ? 2 : 1;
    const ReportSection &section = report.sections.first();
    QList<QStringList> matches;
    if (name.isEmpty())
        matches.append(section.table.header);
    for (const QStringList &r : section.table.rows) {
        if (!name.isEmpty() && r.value(nameColumn) == name)
            matches.append(r);
    }
    QCOMPARE(matches.size(), 1);
    QCOMPARE(matches.first(), row);
    QCOMPARE(row.size(), section.table.columns.size());
}

// clang-format off
void TestReports::sheetCells_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QStringList>("cells");
    // A slot's row as plain text (one line per paragraph): board number,
    // caption, terminals.
    const QStringList unused(5, QString());
    QTest::newRow("numbers only")
        << 1 << 2 << QStringList{u"01"_s, u"Subscriber"_s, u"A\n\n300\n\nB"_s, u"A\n\n120\n\nB"_s,
                                 u"A\n\n205\n\nB"_s} + unused;
    QTest::newRow("names only")
        << 2 << 2 << QStringList{u"01"_s, u"Subscriber"_s, u"A\n\ndelta\n\nB"_s,
                                 u"A\n\nBravo\n\nB"_s, u"A\n\nalpha\n\nB"_s} + unused;
    QTest::newRow("numbers and names")
        << 3 << 4 << QStringList{u"03"_s, u"Subscriber"_s, u"A\n\n450\ncharlie\n\nB"_s,
                                 u"A\n\n1000\necho\n\nB"_s, u""_s} + unused;
    // Shore line one pair, PA line contact and speech pairs, the inactive
    // port keeps its place.
    QTest::newRow("tie-line board")
        << 1 << 3
        << QStringList{u"02"_s, u"Tie Line"_s, u"Contact A\n\n910\n\nContact B"_s,
                       u"Contact A\n\n905\n\nContact B"_s, u"Speech A\n\n905\n\nSpeech B"_s,
                       u""_s, u"Contact A\n\n902\n\nContact B"_s, u""_s};
    QTest::newRow("empty slot") << 3 << 9 << QStringList{u"08"_s, u"Empty"_s, u"Not Used"_s};
    // The cabinet's own slots have no board number.
    QTest::newRow("tone board")
        << 3 << 0 << QStringList{QString(), u"Tone 8 Channel\nNo LEDs on board"_s, QString()};
    QTest::newRow("processor")
        << 3 << 1
        << QStringList{QString(), u"Processor\nNo User LEDs on board"_s, u"0V"_s, u"TX"_s, u"RX"_s,
                       u"RTS"_s, u"CTS"_s, u"DSR"_s, u"0V"_s, u"DTR"_s};
    QTest::newRow("ringing module") << 3 << 17 << QStringList{QString(), u"Unknown"_s, QString()};
}
// clang-format on

void TestReports::sheetCells()
{
    QFETCH(int, code);
    QFETCH(int, slot);
    QFETCH(QStringList, cells);
    const ReportSection section = buildConnectionsSection(fixtures::ship(), code);
    QCOMPARE(section.sheet.size(), SlotCount);
    QStringList texts;
    int columns = 0;
    for (const RichCell &cell : section.sheet[slot]) {
        texts.append(cell.plainText());
        columns += cell.columnSpan;
    }
    QCOMPARE(texts, cells);
    // Every row covers the board number, the caption and eight terminals.
    QCOMPARE(columns, 2 + SheetTerminalColumns);
}

void TestReports::everyPageNumbered_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<bool>("ticks");
    QTest::newRow("combined, everything") << 0 << "1,2,3,4,5" << true;
    QTest::newRow("one list over pages") << 102 << QString() << false;
    QTest::newRow("no section at all") << 100 << QString() << false;
}

void TestReports::everyPageNumbered()
{
    QFETCH(int, number);
    QFETCH(QString, ticked);
    QFETCH(bool, ticks);

    Configuration config = fixtures::ship();
    // Enough rows for the details to run over several pages.
    for (int slot = 5; slot <= 16; ++slot)
        config.SysConfig.Slots[slot] = BoardSubscriber;
    for (int i = 24; i < MaxExtensions; ++i)
        fixtures::addExtension(config, i, 100 + i, "Cabin", ClassOfficer,
                               {128, 215, 255, 0, 16, 0});

    ReportContext context;
    context.version = QStringLiteral("2.7.13");
    context.created = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    context.locale = QLocale(QLocale::English, QLocale::UnitedKingdom);
    auto document = buildReport(config, number, fixtures::options(ticked), context);
    QCOMPARE(document->content().headerLeft, QStringLiteral("helmWISE for Windows V2.7"));
    QCOMPARE(document->content().headerCentre, QStringLiteral("MV Tern"));
    QVERIFY2(document->content().footer.startsWith(QStringLiteral("02/01/2026 03:04:05")),
             qPrintable(document->content().footer));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    QVERIFY2(document->writePdf(file, &error), qPrintable(error));
    const QStringList pages = pdfPages(file);
    QCOMPARE(pages.size(), document->pageCount());
    for (int n = 0; n < pages.size(); ++n) {
        const QString page = pages[n];
        const QString expected = QStringLiteral("Page %1 of %2").arg(n + 1).arg(pages.size());
        QVERIFY2(page.contains(expected), qPrintable(expected));
        QVERIFY(page.contains(QStringLiteral("helmWISE for Windows V2.7 ")));
        QVERIFY(page.contains(QStringLiteral("MV Tern")));
        QVERIFY(page.contains(QStringLiteral("02/01/2026 03:04:05")));
    }
    QCOMPARE(pages.join(QString()).contains(tickMark()), ticks);
    // Titles reach the paper in order, each once as a line of its own.
    const QString all = pages.join(QString());
    QStringList lines;
    for (const QString &line : all.split(QLatin1Char('\n')))
        lines.append(line.simplified());
    for (const QString &title : document->content().titles())
        QCOMPARE(lines.count(title), document->content().titles().count(title));
    // No row is lost where a page ends: every extension reaches the paper.
    for (int ext = 100 + 24; number == 102 && ext < 100 + MaxExtensions; ++ext)
        QVERIFY2(all.contains(QString::number(ext)), qPrintable(QString::number(ext)));
    qsizetype at = 0;
    for (const QString &title : document->content().titles()) {
        at = all.indexOf(title, at);
        QVERIFY2(at >= 0, qPrintable(title));
    }
}

// clang-format off
void TestReports::longNamesFitTheirCells_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QChar>("kind"); // whose name is long: E extension, T tie line, G group
    QTest::addColumn<int>("index");
    QTest::newRow("extension list") << 101 << QChar(u'E') << 0;
    QTest::newRow("extension details") << 321 << QChar(u'E') << 0;
    QTest::newRow("tie-line list") << 201 << QChar(u'T') << 4;
    QTest::newRow("group details") << 341 << QChar(u'G') << 0;
}
// clang-format on

// A name of 30,000 characters shows what fits of it: the report keeps its
// pages and its text instead of running one row over dozens of pages.
void TestReports::longNamesFitTheirCells()
{
    QFETCH(int, number);
    QFETCH(QChar, kind);
    QFETCH(int, index);
    const Configuration plain = fixtures::ship();
    Configuration config = plain;
    const QString name = QStringLiteral("Cabin").repeated(6000);
    switch (kind.unicode()) {
    case u'E':
        config.Extensions[index].Name = name;
        break;
    case u'T':
        config.TieLines[index].Name = name;
        break;
    default:
        config.Groups[index].Name = name;
    }
    const ReportOptions ticked = fixtures::options(QStringLiteral("3"));
    const auto usual = buildReport(plain, number, ticked);
    const auto report = buildReport(config, number, ticked);
    QCOMPARE(report->pageCount(), usual->pageCount());
    if (pdftotext.isEmpty())
        return;
    QTemporaryDir dir;
    const QString usualFile = dir.filePath(QStringLiteral("usual.pdf"));
    const QString longFile = dir.filePath(QStringLiteral("long.pdf"));
    QString error;
    QVERIFY2(usual->writePdf(usualFile, &error) && report->writePdf(longFile, &error),
             qPrintable(error));
    // A few lines of the name at most, not thousands.
    const qsizetype extra = pdfPages(longFile).join(QString()).size() -
                            pdfPages(usualFile).join(QString()).size();
    QVERIFY2(extra < 1000, qPrintable(QString::number(extra)));
}

void TestReports::saveReportPdf_data()
{
    QTest::addColumn<int>("number");     // the report shown; -1: none
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("target"); // "ship.TWZ" is the configuration's own file
    QTest::addColumn<QString>("error");  // empty: saved
    QTest::newRow("a connections sheet") << 402 << QString() << u"sheet.pdf"_s << QString();
    QTest::newRow("detailed, everything")
        << 300 << u"1,2,3,4,5"_s << u"detailed.pdf"_s << QString();
    QTest::newRow("no report shown")
        << -1 << QString() << u"r.pdf"_s << u"Please select a report before saving"_s;
    QTest::newRow("over the configuration")
        << 101 << QString() << u"ship.TWZ"_s << u"The report cannot replace"_s;
}

// The preview shows the report asked for, saves it as PDF unless that would
// replace the configuration, and clears it again.
void TestReports::saveReportPdf()
{
    QFETCH(int, number);
    QFETCH(QString, ticked);
    QFETCH(QString, target);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("ship.TWZ"));
    const QString file = dir.filePath(target);
    QVERIFY(writeFileBytes(config, "configuration"));
    ConfigDocument doc;
    doc.config = fixtures::ship();
    doc.setCurrentFile(config);
    QWidget window;
    auto *view = new ReportView(doc, &window);
    QCOMPARE(window.findChild<QPrintPreviewWidget *>(QStringLiteral("vspReport")), view);
    QCOMPARE(view->currentReport(), -1);
    if (number >= 0) {
        view->showReport(number, fixtures::options(ticked));
        QCOMPARE(view->currentReport(), number);
        QVERIFY(view->reportDocument());
        QVERIFY(!QGuiApplication::overrideCursor()); // the busy pointer is gone again
        QCOMPARE(view->pageCount(), view->reportDocument()->pageCount());
        QVERIFY(view->pageCount() >= view->reportDocument()->content().sections.size());
    }
    QString why;
    QCOMPARE(view->saveReportPdf(file, &why), error.isEmpty());
    QVERIFY2(why.startsWith(error), qPrintable(why));
    QCOMPARE(readFileBytes(config), QByteArray("configuration"));
    QCOMPARE(readFileBytes(file).startsWith("%PDF-"), error.isEmpty());
    view->clearReport();
    QCOMPARE(view->currentReport(), -1);
    QVERIFY(!view->reportDocument());
}

void TestReports::proposedPdfName_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("configuration file") << "/ships/tern.TWZ"
                                        << "/ships/tern.pdf";
    QTest::newRow("dots in the name") << "/ships/tern.v2.TWZ"
                                      << "/ships/tern.v2.pdf";
    QTest::newRow("no extension") << "/ships/tern"
                                  << "/ships/tern.pdf";
    QTest::newRow("never saved") << QString() << QString();
}

void TestReports::proposedPdfName()
{
    QFETCH(QString, current);
    QFETCH(QString, proposed);
    QCOMPARE(ReportView::proposedPdfName(current), proposed);
}

// clang-format off
void TestReports::toolBar_data()
{
    QTest::addColumn<QString>("steps"); // buttons, "page N" typed, "wheel up/down" with Ctrl; by ","
    QTest::addColumn<int>("page");          // the page shown afterwards
    QTest::addColumn<QString>("zoom");      // "in", "out", "width", "page"; empty: as before
    QTest::addColumn<QString>("request");   // the signal a button gives, if any
    QTest::newRow("next") << "cmdNextPage" << 2 << "" << "";
    QTest::newRow("last, then previous")
        << "cmdLastPage,cmdPreviousPage" << -1 << "" << "";
    QTest::newRow("page typed, then first") << "page 3,cmdFirstPage" << 1 << "" << "";
    QTest::newRow("previous on the first page stays") << "cmdPreviousPage" << 1 << "" << "";
    QTest::newRow("zoom in") << "cmdZoomIn" << 1 << "in" << "";
    QTest::newRow("zoom out") << "cmdZoomOut" << 1 << "out" << "";
    QTest::newRow("Ctrl+wheel up") << "wheel up" << 1 << "in" << "";
    QTest::newRow("Ctrl+wheel down") << "wheel down" << 1 << "out" << "";
    QTest::newRow("fit page") << "cmdFitPage" << 1 << "page" << "";
    QTest::newRow("zoomed, then fit width") << "cmdZoomIn,cmdFitWidth" << 1 << "width" << "";
    QTest::newRow("print") << "cmdPrint" << 1 << "" << "printRequested";
    QTest::newRow("PDF") << "cmdPdf" << 1 << "" << "pdfRequested";
}
// clang-format on

void TestReports::toolBar()
{
    QFETCH(QString, steps);
    QFETCH(int, page);
    QFETCH(QString, zoom);
    QFETCH(QString, request);
    ConfigDocument doc;
    doc.config = fixtures::ship();
    ReportView view(doc);
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.showReport(300, fixtures::options(QStringLiteral("1,2,3,4,5")));
    QVERIFY(view.pageCount() >= 3);
    if (page < 0)
        page = view.pageCount() - 1;
    auto *bar = view.findChild<QToolBar *>(QStringLiteral("tbPreview"));
    QVERIFY(bar && bar->isVisible());
    auto *pageBox = bar->findChild<QSpinBox *>(QStringLiteral("spnPage"));
    QSignalSpy prints(&view, &ReportView::printRequested);
    QSignalSpy pdfs(&view, &ReportView::pdfRequested);
    const qreal before = view.zoomFactor();
    for (const QString &step : steps.split(QLatin1Char(','))) {
        if (step.startsWith(QLatin1String("page "))) {
            pageBox->setValue(step.mid(5).toInt());
        } else if (step.startsWith(QLatin1String("wheel "))) {
            QWidget *pages = view.findChild<QGraphicsView *>()->viewport();
            const QPoint at = pages->rect().center();
            QWheelEvent wheel(at, pages->mapToGlobal(at), {},
                              {0, step.endsWith(QLatin1String("up")) ? 120 : -120},
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pages, &wheel);
        } else {
            auto *action = bar->findChild<QAction *>(step);
            QVERIFY2(action, qPrintable(step));
            action->trigger();
        }
    }
    QCOMPARE(view.currentPage(), page);
    QCOMPARE(pageBox->value(), page);
    QVERIFY(bar->findChild<QLabel *>(QStringLiteral("lblPages"))
                ->text()
                .contains(QString::number(view.pageCount())));
    if (zoom == QLatin1String("in"))
        QVERIFY(view.zoomFactor() > before);
    else if (zoom == QLatin1String("out"))
        QVERIFY(view.zoomFactor() < before);
    else if (zoom == QLatin1String("width"))
        QCOMPARE(view.zoomMode(), QPrintPreviewWidget::FitToWidth);
    else if (zoom == QLatin1String("page"))
        QCOMPARE(view.zoomMode(), QPrintPreviewWidget::FitInView);
    else
        QCOMPARE(view.zoomFactor(), before);
    QCOMPARE(prints.size(), request == QLatin1String("printRequested") ? 1 : 0);
    QCOMPARE(pdfs.size(), request == QLatin1String("pdfRequested") ? 1 : 0);
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
