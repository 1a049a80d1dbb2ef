// Reports written as PDF: every page numbered, header and footer on each.
#include "ReportFixtures.h"
#include "ReportPrinting.h"

#include <QtTest>

class TestReportPdf : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void everyPageNumbered_data();
    void everyPageNumbered();
    void longNamesFitTheirCells_data();
    void longNamesFitTheirCells();

  private:
    QStringList pdfPages(const QString &file);
    QString pdftotext;
};

void TestReportPdf::initTestCase()
{
    pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
}

QStringList TestReportPdf::pdfPages(const QString &file)
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

void TestReportPdf::everyPageNumbered_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<bool>("ticks");
    QTest::newRow("combined, everything") << 0 << "1,2,3,4,5" << true;
    QTest::newRow("one list over pages") << 102 << QString() << false;
    QTest::newRow("no section at all") << 100 << QString() << false;
}

void TestReportPdf::everyPageNumbered()
{
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(int, number);
    QFETCH(QString, ticked);
    QFETCH(bool, ticks);

    Configuration config = fixtures::ship();
    // Enough rows for the details to run over several pages.
    for (int slot = 5; slot <= 16; ++slot)
        config.SysConfig.Slots[slot] = tidelex::BoardSubscriber;
    for (int i = 24; i < tidelex::MaxExtensions; ++i)
        fixtures::addExtension(config, i, 100 + i, "Cabin", tidelex::ClassOfficer,
                               {128, 215, 255, 0, 16, 0});

    ReportContext context;
    context.created = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
    context.locale = QLocale(QLocale::English, QLocale::UnitedKingdom);
    auto document = buildReport(config, number, fixtures::options(ticked), context);

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
        QVERIFY(page.contains(QStringLiteral("helmWISE for Windows V")));
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
    for (int ext = 100 + 24; number == 102 && ext < 100 + tidelex::MaxExtensions; ++ext)
        QVERIFY2(all.contains(QString::number(ext)), qPrintable(QString::number(ext)));
    qsizetype at = 0;
    for (const QString &title : document->content().titles()) {
        at = all.indexOf(title, at);
        QVERIFY2(at >= 0, qPrintable(title));
    }
}

// clang-format off
void TestReportPdf::longNamesFitTheirCells_data()
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
void TestReportPdf::longNamesFitTheirCells()
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

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
