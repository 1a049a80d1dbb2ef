// The report preview of the main window: builds, previews and saves.
#include "ConfigDocument.h"
#include "FailOnQtWarnings.h"
#include "ReportFixtures.h"
#include "ReportView.h"
#include "ReportPrinting.h"

#include <QGraphicsView>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
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
    void toolBar_data();
    void toolBar();
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

// clang-format off
void TestReportView::toolBar_data()
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

void TestReportView::toolBar()
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

QTEST_MAIN(TestReportView)
#include "tst_reportview.moc"
