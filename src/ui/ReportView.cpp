#include "ReportView.h"

#include "ConfigDocument.h"
#include "ReportPrinting.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QWheelEvent>

#include <algorithm>

struct ReportView::Private {
    ConfigDocument &doc;
    int number = -1;
    std::unique_ptr<ReportDocument> report;
    QSpinBox *page = nullptr;
    QLabel *pages = nullptr;
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
    buildToolBar();
    connect(this, &QPrintPreviewWidget::previewChanged, this, &ReportView::showPageNumber);
    // The pages are drawn in a view of their own: Ctrl+wheel over it zooms.
    // Scrolling through the pages moves the page number along.
    if (auto *pagesView = findChild<QGraphicsView *>()) {
        pagesView->viewport()->installEventFilter(this);
        connect(pagesView->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &ReportView::showPageNumber);
    }
}

void ReportView::buildToolBar()
{
    // Words rather than pictures: they read on any palette. No access keys,
    // which would clash with the menu bar's.
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbPreview"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const char *name, const QString &text, const QKeySequence &keys,
                   const std::function<void()> &run) {
        QAction *action = bar->addAction(text);
        action->setObjectName(QLatin1String(name));
        if (!keys.isEmpty()) {
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            action->setToolTip(text + QStringLiteral(" (") +
                               keys.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        }
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    add("cmdZoomIn", QStringLiteral("Zoom In"), QKeySequence::ZoomIn, [this] { zoomIn(); });
    add("cmdZoomOut", QStringLiteral("Zoom Out"), QKeySequence::ZoomOut, [this] { zoomOut(); });
    add("cmdFitWidth", QStringLiteral("Fit Width"), {}, [this] { fitToWidth(); });
    add("cmdFitPage", QStringLiteral("Fit Page"), {}, [this] { fitInView(); });
    bar->addSeparator();
    add("cmdFirstPage", QStringLiteral("First"), Qt::CTRL | Qt::Key_Home,
        [this] { turnTo(1); });
    add("cmdPreviousPage", QStringLiteral("Previous"), Qt::Key_PageUp,
        [this] { turnTo(currentPage() - 1); });
    d->page = new QSpinBox(bar);
    d->page->setObjectName(QStringLiteral("spnPage"));
    d->page->setAccessibleName(QStringLiteral("Page"));
    d->page->setRange(0, 0);
    bar->addWidget(d->page);
    d->pages = new QLabel(bar);
    d->pages->setObjectName(QStringLiteral("lblPages"));
    bar->addWidget(d->pages);
    connect(d->page, &QSpinBox::valueChanged, this, [this](int page) {
        if (page >= 1 && page != currentPage())
            turnTo(page);
    });
    add("cmdNextPage", QStringLiteral("Next"), Qt::Key_PageDown,
        [this] { turnTo(currentPage() + 1); });
    add("cmdLastPage", QStringLiteral("Last"), Qt::CTRL | Qt::Key_End,
        [this] { turnTo(pageCount()); });
    bar->addSeparator();
    add("cmdPrint", QStringLiteral("Print..."), {}, [this] { emit printRequested(); });
    add("cmdPdf", QStringLiteral("PDF..."), {}, [this] { emit pdfRequested(); });
    // The preview lays out its page view in a box; the toolbar goes on top.
    if (auto *box = qobject_cast<QBoxLayout *>(layout()))
        box->insertWidget(0, bar);
    showPageNumber();
}

void ReportView::turnTo(int page)
{
    setCurrentPage(std::clamp(page, 1, std::max(1, pageCount())));
    showPageNumber();
}

void ReportView::showPageNumber()
{
    const int count = d->report ? pageCount() : 0;
    const QSignalBlocker quiet(d->page);
    d->page->setRange(count > 0 ? 1 : 0, count);
    d->page->setValue(count > 0 ? currentPage() : 0);
    d->page->setEnabled(count > 0);
    d->pages->setText(QStringLiteral(" of %1 ").arg(count));
}

bool ReportView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y();
            if (steps > 0)
                zoomIn();
            else if (steps < 0)
                zoomOut();
            return true;
        }
    }
    return QPrintPreviewWidget::eventFilter(watched, event);
}

ReportView::~ReportView() = default;

void ReportView::showReport(int number, const ReportOptions &options)
{
    {
        BusyPointer busy;
        d->number = number;
        d->report = buildReport(d->doc.config, number, options);
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
    const QString current = d->doc.currentFile();
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
