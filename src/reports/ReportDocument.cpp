#include "ReportDocument.h"
#include "SafeWrite.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <functional>

namespace {

constexpr qreal dpi = ReportDocument::LayoutDpi;

qreal cmToPx(qreal cm)
{
    return cm / 2.54 * dpi;
}
qreal ptToPx(qreal pt)
{
    return pt / 72.0 * dpi;
}
// Lengths inside text formats (borders, padding, widths, margins) are in
// pixels of a 96 dpi screen; the layout scales them to its device.
constexpr qreal formatDpi = 96;
qreal cmToFormat(qreal cm)
{
    return cm / 2.54 * formatDpi;
}
qreal ptToFormat(qreal pt)
{
    return pt / 72.0 * formatDpi;
}

// Arial as the reports name it; fontconfig maps it to a metric-compatible
// face (Liberation Sans) where Arial itself is not installed.
QFont reportFont(qreal points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Header and footer are painted straight onto a scaled painter, which
// would re-resolve point sizes for the device: give them pixel sizes.
QFont pagePaintFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(ptToPx(points)));
    font.setBold(bold);
    return font;
}

QTextCharFormat charFormat(qreal points, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setFont(reportFont(points, bold, italic));
    return format;
}

// The tick is a real check mark; DejaVu Sans carries U+2713 everywhere.
QTextCharFormat tickFormat(qreal points)
{
    QTextCharFormat format = charFormat(points);
    format.setFontFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    return format;
}

Qt::Alignment alignmentOf(ColumnAlign align)
{
    switch (align) {
    case ColumnAlign::Centre:
        return Qt::AlignHCenter;
    case ColumnAlign::Right:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

// Column widths from the centimetre format, shrunk evenly when the table
// is wider than the body of the page.
constexpr qreal borderPt = 0.75;
constexpr qreal paddingCm = 0.06;

// How much a table must shrink to fit the body, its borders included.
qreal fitScale(const QList<ColumnFormat> &columns, qreal bodyWidth)
{
    const qreal total = cmToPx(totalWidthCm(columns));
    const qreal room = bodyWidth - ptToPx(borderPt) * (columns.size() + 1);
    return total > room ? room / total : 1.0;
}

QList<QTextLength> columnWidths(const QList<ColumnFormat> &columns, qreal bodyWidth)
{
    const qreal scale = fitScale(columns, bodyWidth);
    QList<QTextLength> widths;
    for (const ColumnFormat &column : columns)
        widths.append(QTextLength(QTextLength::FixedLength, cmToFormat(column.widthCm) * scale));
    return widths;
}

// Room for text in a cell of `span` columns from `first`, in device pixels.
qreal cellTextWidth(const QList<ColumnFormat> &columns, int first, int span, qreal bodyWidth)
{
    qreal cm = 0;
    for (int c = first; c < first + span && c < columns.size(); ++c)
        cm += columns[c].widthCm;
    return cmToPx(cm) * fitScale(columns, bodyWidth) - 2 * cmToPx(paddingCm);
}

// A cell sets what fits on a few of its lines, then "…": a name thousands
// of characters long would otherwise make one row pages tall, and lay out
// slower than anyone can wait.
constexpr int MaxCellLines = 3;

QString fitCell(const QString &text, const QFont &font, QPaintDevice *device, qreal width)
{
    const QFontMetricsF metrics(font, device);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, width * MaxCellLines);
    return lines.join(QLatin1Char('\n'));
}

QTextTableFormat tableFormat(const QList<ColumnFormat> &columns, qreal bodyWidth)
{
    QTextTableFormat format;
    // Each cell draws half a rule and the table the other half of its
    // edge, so every line is borderPt wide. Qt's collapsed borders look
    // the same but look up each neighbouring cell's format while laying
    // out and drawing, which took half the time of a long report.
    format.setBorder(ptToFormat(borderPt / 2));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(Qt::black);
    format.setBorderCollapse(false);
    format.setCellSpacing(0);
    format.setCellPadding(cmToFormat(paddingCm));
    format.setAlignment(Qt::AlignLeft);
    format.setColumnWidthConstraints(columnWidths(columns, bodyWidth));
    return format;
}

void fillCell(QTextTable *table, int row, int column, const QString &text, Qt::Alignment align,
              const QTextCharFormat &format, const QTextCharFormat &tick)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(align);
    cursor.setBlockFormat(block);
    // Merge, not set: the first block's character format is the cell's own.
    cursor.mergeBlockCharFormat(format);
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    cursor.insertText(shown, text == tickMark() ? tick : format);
}

void fillRichCell(QTextTable *table, int row, int column, const RichCell &cell,
                  QPaintDevice *device, qreal width)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignHCenter);
    bool first = true;
    for (const RichParagraph &paragraph : cell.paragraphs) {
        // An empty paragraph still takes the height of its type size.
        const TextRun sizing = paragraph.isEmpty() ? TextRun{} : paragraph.first();
        const QTextCharFormat blockChars = charFormat(sizing.points, sizing.bold, sizing.italic);
        if (first) {
            cursor.setBlockFormat(block);
            cursor.mergeBlockCharFormat(blockChars);
            first = false;
        } else {
            cursor.insertBlock(block, blockChars);
        }
        for (const TextRun &run : paragraph) {
            const QTextCharFormat chars = charFormat(run.points, run.bold, run.italic);
            cursor.insertText(fitCell(run.text, chars.font(), device, width), chars);
        }
    }
}

// How the rows of one report table go into text tables: the table is cut
// into one text table per page, each with its own heading row, so that no
// row is split by the end of a page.
struct TableWriter {
    QList<ColumnFormat> columns;
    int rows = 0;
    std::function<void(QTextTable *)> fillHeader; // empty: no heading row
    std::function<void(QTextTable *, int tableRow, int row)> fillRow;
};

// Appends rows [first, last) as one text table, the heading row first.
QTextTable *insertRows(QTextCursor &cursor, const TableWriter &writer, int first, int last,
                       qreal bodyWidth, bool newPage, bool withHeader)
{
    const int headerRows = withHeader && writer.fillHeader ? 1 : 0;
    QTextTableFormat format = tableFormat(writer.columns, bodyWidth);
    format.setHeaderRowCount(headerRows);
    if (newPage)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextTable *table =
        cursor.insertTable(last - first + headerRows, int(writer.columns.size()), format);
    if (headerRows)
        writer.fillHeader(table);
    for (int r = first; r < last; ++r)
        writer.fillRow(table, r - first + headerRows, r);
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    // The block Qt keeps after a table: make it as small as it can be.
    cursor.setBlockCharFormat(charFormat(1));
    return table;
}

// Where the table starts below the section title, and the heights of its
// heading and rows, measured on a scratch document laid out like the real
// one (each row as a table of its own, so a shared border counts twice and
// the estimate errs on the safe side).
struct TableMeasure {
    qreal top = 0;
    qreal headerHeight = 0;
    QList<qreal> rowHeights;
};

TableMeasure measureTable(const TableWriter &writer, const QString &titleText,
                          const QTextDocument &like, QPaintDevice *device, qreal bodyWidth,
                          const QTextBlockFormat &title, const QTextCharFormat &titleChars)
{
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    scratch.setDocumentMargin(0);
    scratch.setDefaultFont(like.defaultFont());
    scratch.setDefaultTextOption(like.defaultTextOption());
    QTextCursor cursor(&scratch);
    cursor.setBlockFormat(title);
    cursor.setBlockCharFormat(titleChars);
    cursor.insertText(titleText, titleChars);
    cursor.insertBlock(QTextBlockFormat(), charFormat(12));
    QTextTable *header = nullptr;
    if (writer.fillHeader)
        header = insertRows(cursor, writer, 0, 0, bodyWidth, false, true);
    QList<QTextTable *> rows;
    for (int r = 0; r < writer.rows; ++r)
        rows.append(insertRows(cursor, writer, r, r + 1, bodyWidth, false, false));
    scratch.documentLayout()->setPaintDevice(device);
    scratch.setTextWidth(bodyWidth);
    QAbstractTextDocumentLayout *layout = scratch.documentLayout();

    TableMeasure measure;
    if (header) {
        const QRectF rect = layout->frameBoundingRect(header);
        measure.top = rect.top();
        measure.headerHeight = rect.height();
    } else if (!rows.isEmpty()) {
        measure.top = layout->frameBoundingRect(rows.first()).top();
    }
    for (QTextTable *row : rows)
        measure.rowHeights.append(layout->frameBoundingRect(row).height());
    return measure;
}

void insertPagedTable(QTextCursor &cursor, const TableWriter &writer, const QString &titleText,
                      const QTextDocument &doc, QPaintDevice *device, const QSizeF &body,
                      const QTextBlockFormat &title, const QTextCharFormat &titleChars)
{
    const TableMeasure measure =
        measureTable(writer, titleText, doc, device, body.width(), title, titleChars);
    // Room for the small block Qt keeps after each table.
    const qreal slack = ptToPx(4);
    qreal room = body.height() - measure.top - measure.headerHeight - slack;
    int first = 0;
    qreal used = 0;
    for (int r = 0; r < writer.rows; ++r) {
        const qreal height = measure.rowHeights.value(r);
        if (r > first && used + height > room) {
            insertRows(cursor, writer, first, r, body.width(), first > 0, true);
            first = r;
            used = 0;
            room = body.height() - measure.headerHeight - slack;
        }
        used += height;
    }
    if (first < writer.rows)
        insertRows(cursor, writer, first, writer.rows, body.width(), first > 0, true);
}

TableWriter listWriter(const ReportTable &data, qreal bodyWidth, QPaintDevice *device)
{
    // A table shrunk to fit narrower paper takes its type down with it.
    const qreal points = 12 * fitScale(data.columns, bodyWidth);
    const QTextCharFormat body = charFormat(points);
    const QTextCharFormat tick = tickFormat(points);
    const QTextCharFormat head = charFormat(points, true);
    TableWriter writer;
    writer.columns = data.columns;
    writer.rows = int(data.rows.size());
    if (!data.header.isEmpty()) {
        writer.fillHeader = [&data, head](QTextTable *table) {
            for (int c = 0; c < data.columns.size(); ++c) {
                QTextTableCell cell = table->cellAt(0, c);
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                cellFormat.setBackground(QColor(225, 225, 225));
                cell.setFormat(cellFormat);
                fillCell(table, 0, c, data.header.value(c), alignmentOf(data.columns[c].align),
                         head, head);
            }
        };
    }
    writer.fillRow = [&data, body, tick, bodyWidth, device](QTextTable *table, int tableRow,
                                                             int row) {
        const QStringList &cells = data.rows[row];
        for (int c = 0; c < data.columns.size(); ++c) {
            const qreal width = cellTextWidth(data.columns, c, 1, bodyWidth);
            fillCell(table, tableRow, c, fitCell(cells.value(c), body.font(), device, width),
                     alignmentOf(data.columns[c].align), body, tick);
        }
    };
    return writer;
}

TableWriter sheetWriter(const ReportSection &section, qreal bodyWidth, QPaintDevice *device)
{
    TableWriter writer;
    writer.columns = section.table.columns;
    writer.rows = int(section.sheet.size());
    writer.fillRow = [&section, bodyWidth, device](QTextTable *table, int tableRow, int row) {
        const int columns = int(section.table.columns.size());
        int column = 0;
        for (const RichCell &cell : section.sheet[row]) {
            if (column >= columns)
                break;
            const int span = qBound(1, cell.columnSpan, columns - column);
            if (span > 1)
                table->mergeCells(tableRow, column, 1, span);
            QTextTableCell tableCell = table->cellAt(tableRow, column);
            QTextTableCellFormat cellFormat = tableCell.format().toTableCellFormat();
            cellFormat.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            tableCell.setFormat(cellFormat);
            fillRichCell(table, tableRow, column, cell, device,
                         cellTextWidth(section.table.columns, column, span, bodyWidth));
            column += span;
        }
    };
    return writer;
}

} // namespace

// The device the body is measured on: a PDF writer that is never painted,
// so fonts are measured as they will be printed, at a fixed resolution.
struct ReportDocument::Metrics {
    QBuffer buffer;
    QPdfWriter writer{&buffer};
    Metrics() { writer.setResolution(int(dpi)); }
};

ReportDocument::ReportDocument(ReportContent content, const QPageSize &pageSize)
    : content_(std::move(content)), pageSize_(pageSize), orientation_(content_.orientation),
      metrics_(std::make_unique<Metrics>())
{
    layOut();
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::setPage(const QPageSize &pageSize, QPageLayout::Orientation orientation)
{
    if (pageSize.isEquivalentTo(pageSize_) && orientation == orientation_)
        return;
    pageSize_ = pageSize;
    orientation_ = orientation;
    layOut();
}

QPageLayout ReportDocument::pageLayout() const
{
    return QPageLayout(pageSize_, orientation_, pageEdgesMm(), QPageLayout::Millimeter);
}

int ReportDocument::pageCount() const
{
    int pages = 0;
    for (const auto &doc : docs_)
        pages += doc->pageCount();
    return qMax(1, pages); // a report without sections is one empty page
}

namespace {

std::unique_ptr<QTextDocument> sectionDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDocumentMargin(0);
    doc->setDefaultFont(reportFont(12));
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(option);
    return doc;
}

} // namespace

// Every section starts on a new page, so each is a document of its own:
// no page-break blocks, and painting a page only walks its own section.
void ReportDocument::layOut()
{
    const QRectF body = pageLayout().paintRect(QPageLayout::Inch);
    const QSizeF bodySize(body.width() * dpi, body.height() * dpi);
    const QTextCharFormat titleChars = charFormat(14, true);
    const QTextCharFormat bodyChars = charFormat(12);
    QTextBlockFormat title;
    title.setBottomMargin(cmToFormat(0.3));

    docs_.clear();
    for (const ReportSection &section : content_.sections) {
        // Content first, layout after: a paged document lays itself out
        // again on every insertion, which would make a long table quadratic.
        auto doc = sectionDocument();
        QTextCursor cursor(doc.get());
        cursor.setBlockFormat(title);
        cursor.setBlockCharFormat(titleChars);
        cursor.insertText(section.title, titleChars);
        cursor.insertBlock(QTextBlockFormat(), bodyChars);
        if (!section.emptyMessage.isEmpty() ||
            (section.sheet.isEmpty() && section.table.rows.isEmpty())) {
            cursor.insertText(section.emptyMessage, bodyChars);
        } else {
            const TableWriter writer = section.plan.kind == SectionKind::Connections
                                           ? sheetWriter(section, bodySize.width(), &metrics_->writer)
                                           : listWriter(section.table, bodySize.width(),
                                                        &metrics_->writer);
            insertPagedTable(cursor, writer, section.title, *doc, &metrics_->writer, bodySize,
                             title, titleChars);
        }
        doc->documentLayout()->setPaintDevice(&metrics_->writer);
        doc->setPageSize(bodySize);
        // Lay out now so page counts and painting find a finished document.
        doc->documentLayout()->documentSize();
        docs_.push_back(std::move(doc));
    }
}

void ReportDocument::paintPage(QPainter &painter, int page, int pageCount) const
{
    const QPageLayout layout = pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QRectF bodyInch = layout.paintRect(QPageLayout::Inch);
    const QRectF body(bodyInch.x() * dpi, bodyInch.y() * dpi, bodyInch.width() * dpi,
                      bodyInch.height() * dpi);
    const qreal pageHeight = full.height() * dpi;
    const qreal gap = cmToPx(0.4);

    painter.setPen(Qt::black);
    painter.setFont(pagePaintFont(6, true));
    const QRectF headerBand(body.left(), 0, body.width(), body.top() - gap);
    // The centre text (the system's name) keeps clear of the left one.
    const QFontMetricsF header = painter.fontMetrics();
    painter.drawText(headerBand, Qt::AlignLeft | Qt::AlignBottom,
                     header.elidedText(content_.headerLeft, Qt::ElideRight, body.width() / 4));
    painter.drawText(headerBand, Qt::AlignHCenter | Qt::AlignBottom,
                     header.elidedText(content_.headerCentre, Qt::ElideRight, body.width() / 2));

    const QRectF footerBand(body.left(), body.bottom() + gap, body.width(),
                            pageHeight - body.bottom() - gap);
    painter.drawText(footerBand, Qt::AlignLeft | Qt::AlignTop, content_.footer);
    painter.setFont(pagePaintFont(10, false));
    painter.drawText(footerBand, Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount));

    // Find the section document and its page that make report page `page`.
    int local = page;
    const QTextDocument *doc = nullptr;
    for (const auto &candidate : docs_) {
        if (local < candidate->pageCount()) {
            doc = candidate.get();
            break;
        }
        local -= candidate->pageCount();
    }
    if (!doc)
        return;
    painter.save();
    painter.translate(body.left(), body.top() - local * body.height());
    const QRectF clip(0, local * body.height(), body.width(), body.height());
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    doc->documentLayout()->draw(&painter, context);
    painter.restore();
}

bool ReportDocument::paint(QPainter &painter, qreal deviceDpi,
                           const std::function<bool()> &newPage) const
{
    const int pages = pageCount();
    const qreal scale = deviceDpi / dpi;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        paintPage(painter, page, pages);
        painter.restore();
    }
    return true;
}

bool ReportDocument::writePdf(const QString &fileName, QString *error) const
{
    // Drawn in memory first, so the file on disk is written in one piece.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(int(dpi));
        writer.setCreator(QStringLiteral("helmWISE"));
        writer.setTitle(content_.titles().join(QStringLiteral(", ")));
        writer.setPageLayout(
            QPageLayout(pageSize_, orientation_, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter;
        if (painter.begin(&writer)) {
            painted = paint(painter, writer.resolution(), [&writer] { return writer.newPage(); });
            painted = painter.end() && painted;
        }
    }
    if (!painted) {
        if (error)
            *error = QStringLiteral("Cannot write %1: the report could not be drawn into the PDF file")
                         .arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    return writeWholeFile(fileName, pdf.data(), error);
}
