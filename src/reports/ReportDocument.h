#pragma once
// A report laid out on pages: one QTextDocument for the body, painted page
// by page with the header, the footer and "Page n of N". The same pages go
// to the preview, the printer and the PDF file.
#include "ReportContent.h"

#include <QPageLayout>
#include <QPageSize>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QTextDocument;

class ReportDocument
{
  public:
    // Page edges of every report: 1.5 cm left and right, 2.0 cm top and bottom.
    static QMarginsF pageEdgesMm() { return QMarginsF(15, 20, 15, 20); }
    // The body is laid out at this resolution and scaled to each device.
    static constexpr qreal LayoutDpi = 1200;

    explicit ReportDocument(ReportContent content,
                            const QPageSize &pageSize = QPageSize(QPageSize::A4));
    ~ReportDocument();
    ReportDocument(const ReportDocument &) = delete;
    ReportDocument &operator=(const ReportDocument &) = delete;

    const ReportContent &content() const { return content_; }

    // Lays the report out again for another paper or orientation (the
    // orientation defaults to the one the report asks for).
    void setPage(const QPageSize &pageSize, QPageLayout::Orientation orientation);
    QPageLayout pageLayout() const;
    int pageCount() const;

    // Paints every page. The painter's origin must be the top-left corner
    // of the paper and its device must have `dpi` dots per inch; `newPage`
    // starts the next sheet and may refuse, which stops the painting.
    bool paint(QPainter &painter, qreal dpi, const std::function<bool()> &newPage) const;

    // Writes the pages as a PDF file; the file is replaced only when the
    // whole document was written.
    bool writePdf(const QString &fileName, QString *error) const;

  private:
    void layOut();
    void paintPage(QPainter &painter, int page, int pageCount) const;

    ReportContent content_;
    QPageSize pageSize_;
    QPageLayout::Orientation orientation_;
    struct Metrics;
    std::unique_ptr<Metrics> metrics_;
    std::vector<std::unique_ptr<QTextDocument>> docs_; // one per section
};
