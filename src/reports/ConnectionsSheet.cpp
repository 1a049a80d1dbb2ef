#include "ConnectionsSheet.h"

#include "Equipment.h"
#include "ReportCatalogue.h"
#include "ReportSections.h"

using namespace tidelex;

namespace {

// Sizes of the sheet's type, in points.
constexpr double pairSize = 6;        // the A/B and Contact/Speech marks, terminal names
constexpr double labelSize = 7;       // numbers and names on a port, board captions
constexpr double nameBelowSize = 4.5; // the name under the number

const char *const sheetFormat = "^0.75cm|^3.2cm|^1.75cm|^1.75cm|^1.75cm|^1.75cm|^1.75cm|"
                                "^1.75cm|^1.75cm|^1.75cm";

TextRun run(const QString &text, double points, bool italic = false)
{
    return TextRun{text, points, italic, false};
}

RichParagraph paragraph(const QString &text, double points, bool italic = false)
{
    return {run(text, points, italic)};
}

QList<RichParagraph> portLabel(int code, int number, const QString &name)
{
    switch (code) {
    case LabelNumbers:
        return {paragraph(QString::number(number), labelSize)};
    case LabelNames:
        return {paragraph(name, labelSize)};
    default:
        return {paragraph(QString::number(number), labelSize), paragraph(name, nameBelowSize)};
    }
}

// A terminal pair: the upper mark, a blank line, the label, a blank line,
// the lower mark.
RichCell pairCell(const QString &upper, const QString &lower, const QList<RichParagraph> &label)
{
    RichCell cell;
    cell.paragraphs << paragraph(upper, pairSize, true) << paragraph(QString(), labelSize) << label
                    << paragraph(QString(), labelSize) << paragraph(lower, pairSize, true);
    return cell;
}

RichCell plainCell(const QString &text, double points, int span = 1)
{
    RichCell cell;
    cell.paragraphs << paragraph(text, points);
    cell.columnSpan = span;
    return cell;
}

RichCell captionCell(int slotValue, const QString &ledLine)
{
    RichCell cell = plainCell(boardCaption(slotValue), labelSize);
    if (!ledLine.isEmpty())
        cell.paragraphs << paragraph(ledLine, pairSize, true);
    return cell;
}

QList<RichCell> subscriberCells(const Configuration &config, int slot, int code)
{
    QList<RichCell> cells;
    for (int port = 1; port <= ExtsPerBoard; ++port) {
        const ExtRecord &ext = config.Extensions[(slot - 2) * ExtsPerBoard + port - 1];
        if (ext.Active) {
            cells << pairCell(QStringLiteral("A"), QStringLiteral("B"),
                              portLabel(code, ext.ExtNum, ext.Name));
        } else {
            cells << plainCell(QString(), pairSize);
        }
    }
    return cells;
}

// A PA line takes two cells (contact pair and speech pair), any other line
// one. An inactive line keeps an empty cell so the ports after it stay
// where they are wired.
QList<RichCell> tieLineCells(const Configuration &config, int slot, int code)
{
    QList<RichCell> cells;
    for (int port = 1; port <= TiesPerBoard; ++port) {
        const TieRecord &tie = config.TieLines[(slot - 2) * TiesPerBoard + port - 1];
        if (!tie.Active) {
            cells << plainCell(QString(), pairSize);
            continue;
        }
        const QList<RichParagraph> label = portLabel(code, tie.DirNum, tie.Name);
        cells << pairCell(QStringLiteral("Contact A"), QStringLiteral("Contact B"), label);
        if (tie.Class == TieClassPA)
            cells << pairCell(QStringLiteral("Speech A"), QStringLiteral("Speech B"), label);
    }
    return cells;
}

QList<RichCell> processorCells()
{
    static const char *const terminals[] = {"0V", "TX", "RX", "RTS", "CTS", "DSR", "0V", "DTR"};
    QList<RichCell> cells;
    for (const char *name : terminals)
        cells << plainCell(QString::fromLatin1(name), pairSize);
    return cells;
}

QList<RichCell> slotRow(const Configuration &config, int slot, int code)
{
    const int value = config.SysConfig.Slots[slot];
    const bool lineSlot = slot >= FirstLineSlot && slot <= LastLineSlot;
    QList<RichCell> row;
    row << plainCell(lineSlot ? boardNumberText(slot - 1) : QString(), labelSize);

    QList<RichCell> terminals;
    QString ledLine;
    if (value == BoardSubscriber && lineSlot) {
        terminals = subscriberCells(config, slot, code);
    } else if (value == BoardTieLine && lineSlot) {
        terminals = tieLineCells(config, slot, code);
    } else if (value == BoardEmpty) {
        terminals << plainCell(QStringLiteral("Not Used"), labelSize, SheetTerminalColumns);
    } else if (value == BoardProcessor) {
        terminals = processorCells();
        ledLine = QStringLiteral("No User LEDs on board");
    } else if (value == BoardTone8 || value == BoardTone16) {
        ledLine = QStringLiteral("No LEDs on board");
    }
    row << captionCell(value, ledLine);

    int used = 0;
    for (const RichCell &cell : terminals)
        used += cell.columnSpan;
    if (used < SheetTerminalColumns)
        terminals << plainCell(QString(), pairSize, SheetTerminalColumns - used);
    // More than eight cells cannot come from four tie lines; keep the sheet
    // rectangular whatever the data says.
    while (used > SheetTerminalColumns && !terminals.isEmpty()) {
        used -= terminals.last().columnSpan;
        terminals.removeLast();
    }
    return row + terminals;
}

} // namespace

QString boardCaption(int slotValue)
{
    switch (slotValue) {
    case BoardSubscriber:
        return QStringLiteral("Subscriber");
    case BoardEmpty:
        return QStringLiteral("Empty");
    case BoardTone8:
        return QStringLiteral("Tone 8 Channel");
    case BoardTieLine:
        return QStringLiteral("Tie Line");
    case BoardProcessor:
        return QStringLiteral("Processor");
    default:
        return QStringLiteral("Unknown");
    }
}

ReportSection buildConnectionsSection(const Configuration &config, int code)
{
    ReportSection section;
    section.plan = {SectionKind::Connections, code};
    section.title = sectionTitle(section.plan);
    section.table.columns = parseColumnFormat(QString::fromLatin1(sheetFormat));
    for (int slot = 0; slot < SlotCount; ++slot)
        section.sheet.append(slotRow(config, slot, code));
    return section;
}
