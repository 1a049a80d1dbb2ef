#pragma once
// What a report holds before it is laid out on pages: its sections with
// their titles and table rows, so callers and tests can read a report
// without rendering it.
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

// The check mark printed for a set option.
inline QString tickMark()
{
    return QString(QChar(0x2713));
}

enum class SectionKind {
    ExtensionList,
    TieLineList,
    ExtensionDetails,
    TieLineDetails,
    Groups,
    Connections,
};

// One call of a section printer: which printer and with which sort code.
struct SectionPlan {
    SectionKind kind = SectionKind::ExtensionList;
    int code = 0;
    bool operator==(const SectionPlan &) const = default;
};

enum class ColumnAlign { Left, Centre, Right };

struct ColumnFormat {
    ColumnAlign align = ColumnAlign::Left;
    double widthCm = 0;
    bool operator==(const ColumnFormat &) const = default;
};

// Reads a column format such as "^1.5cm|<3.8cm|>2cm": one field per column,
// "<" left, "^" centred, ">" right aligned, then the width in centimetres.
QList<ColumnFormat> parseColumnFormat(const QString &format);
double totalWidthCm(const QList<ColumnFormat> &columns);

// A piece of text of one size and style inside a sheet cell.
struct TextRun {
    QString text;
    double points = 12;
    bool italic = false;
    bool bold = false;
};
using RichParagraph = QList<TextRun>;

// One cell of the connections sheet: paragraphs of styled runs.
struct RichCell {
    QList<RichParagraph> paragraphs;
    int columnSpan = 1;
    // The paragraphs as plain text, one line each (empty paragraphs kept).
    QString plainText() const;
};

struct ReportTable {
    QList<ColumnFormat> columns;
    QStringList header;      // empty: the table has no header row
    QList<QStringList> rows; // a cell's lines are separated by '\n'
};

struct ReportSection {
    SectionPlan plan;
    QString title;
    // Set instead of the table when nothing was there to list.
    QString emptyMessage;
    ReportTable table;
    // The connections sheet: rows of rich cells over `table.columns`.
    QList<QList<RichCell>> sheet;
};

struct ReportContent {
    int number = -1;
    QString headerLeft;   // program and version
    QString headerCentre; // system name
    QString footer;       // date and time the report was made
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QList<ReportSection> sections;

    QStringList titles() const;
};
