#include "ReportView.h"

#include "ConfigDocument.h"
#include "mdlPrinting.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

struct ReportView::Private {
    ConfigDocument &doc;
    int number = -1;
    std::unique_ptr<ReportDocument> report;
};

namespace {

// Shows the busy pointer for as long as it lives.
class BusyPointer
{
  public:
    BusyPointer()
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // Let the pointer change reach the screen before the work starts.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

bool paintOnPrinter(ReportDocument &report, QPrinter &printer)
{
    printer.setFullPage(true); // the report draws its own page edges
    const QPageLayout layout = printer.pageLayout();
    report.setPage(layout.pageSize(), layout.orientation());
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool done =
        report.paint(painter, printer.resolution(), [&printer] { return printer.newPage(); });
    return painter.end() && done;
}

} // namespace

ReportView::ReportView(ConfigDocument &doc, QWidget *parent)
    : QPrintPreviewWidget(parent), d(new Private{doc, -1, nullptr})
{
    setObjectName(QStringLiteral("vspReport"));
    setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(this, &QPrintPreviewWidget::paintRequested, this, &ReportView::paintReport);
}

ReportView::~ReportView() = default;

void ReportView::showReport(int number, const ReportOptions &options)
{
    {
        BusyPointer busy;
        d->number = number;
        d->report = BuildReport(d->doc.config, number, options);
        setOrientation(d->report->content().orientation);
    }
    updatePreview();
}

int ReportView::currentReport() const
{
    return d->number;
}

const ReportDocument *ReportView::reportDocument() const
{
    return d->report.get();
}

void ReportView::clearReport()
{
    d->number = -1;
    d->report.reset();
    updatePreview();
}

void ReportView::paintReport(QPrinter *printer)
{
    if (!d->report)
        return;
    BusyPointer busy;
    paintOnPrinter(*d->report, *printer);
}

bool ReportView::printReport()
{
    if (!d->report)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(d->report->content().orientation);
    printer.setDocName(d->report->content().titles().value(0, QStringLiteral("helmWISE report")));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    BusyPointer busy;
    const bool printed = paintOnPrinter(*d->report, printer);
    updatePreview(); // the printer's paper may have changed the layout
    return printed;
}

bool ReportView::saveReportPdf(const QString &fileName, QString *error)
{
    if (!d->report) {
        if (error)
            *error = QStringLiteral("Please select a report before saving");
        return false;
    }
    const QString current = d->doc.CurrentFile();
    if (!current.isEmpty() &&
        QFileInfo(fileName).absoluteFilePath() == QFileInfo(current).absoluteFilePath()) {
        if (error)
            *error = QStringLiteral("The report cannot replace the configuration file %1")
                         .arg(QFileInfo(current).fileName());
        return false;
    }
    BusyPointer busy;
    return d->report->writePdf(fileName, error);
}

QString ReportView::proposedPdfName(const QString &currentFile)
{
    if (currentFile.isEmpty())
        return QString();
    const QFileInfo info(currentFile);
    const QString base =
        info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral(".pdf"));
}
