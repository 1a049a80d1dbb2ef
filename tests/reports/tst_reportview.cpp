// The report preview of the main window: builds, previews and saves.
#include "ConfigDocument.h"
#include "FailOnQtWarnings.h"
#include "ReportFixtures.h"
#include "ReportView.h"
#include "mdlPrinting.h"

#include <QtTest>

class TestReportView : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void showsReportInPreview_data();
    void showsReportInPreview();
    void saveWithoutReportRefused();
    void saveOverConfigurationRefused();
    void savesPdf();
    void proposedPdfName_data();
    void proposedPdfName();
};

void TestReportView::showsReportInPreview_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("ticked");
    QTest::newRow("connections") << 400 << QString();
    QTest::newRow("detailed") << 300 << QStringLiteral("1,2,3,4,5");
}

void TestReportView::showsReportInPreview()
{
    QFETCH(int, number);
    QFETCH(QString, ticked);
    ConfigDocument doc;
    doc.config = fixtures::ship();
    QWidget window;
    auto *view = new ReportView(doc, &window);
    QCOMPARE(view->currentReport(), -1);
    QCOMPARE(window.findChild<QPrintPreviewWidget *>(QStringLiteral("vspReport")), view);

    view->showReport(number, fixtures::options(ticked));
    QCOMPARE(view->currentReport(), number);
    QVERIFY(view->reportDocument());
    QVERIFY(!QGuiApplication::overrideCursor()); // the busy pointer is gone again
    QCOMPARE(view->pageCount(), view->reportDocument()->pageCount());
    QVERIFY(view->pageCount() >= view->reportDocument()->content().sections.size());

    view->clearReport();
    QCOMPARE(view->currentReport(), -1);
    QVERIFY(!view->reportDocument());
}

void TestReportView::saveWithoutReportRefused()
{
    ConfigDocument doc;
    ReportView view(doc);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("r.pdf"));
    QString error;
    QVERIFY(!view.saveReportPdf(file, &error));
    QCOMPARE(error, QStringLiteral("Please select a report before saving"));
    QVERIFY(!QFile::exists(file));
}

void TestReportView::saveOverConfigurationRefused()
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("ship.TWZ"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("configuration");
    file.close();

    ConfigDocument doc;
    doc.config = fixtures::ship();
    doc.setCurrentFile(config);
    ReportView view(doc);
    view.showReport(101, ReportOptions());
    QString error;
    QVERIFY(!view.saveReportPdf(config, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("configuration"));
}

void TestReportView::savesPdf()
{
    ConfigDocument doc;
    doc.config = fixtures::ship();
    ReportView view(doc);
    view.showReport(402, ReportOptions());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    QVERIFY2(view.saveReportPdf(file, &error), qPrintable(error));
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
}

void TestReportView::proposedPdfName_data()
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

void TestReportView::proposedPdfName()
{
    QFETCH(QString, current);
    QFETCH(QString, proposed);
    QCOMPARE(ReportView::proposedPdfName(current), proposed);
}

QTEST_MAIN(TestReportView)
#include "tst_reportview.moc"
