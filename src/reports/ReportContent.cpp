#include "ReportContent.h"

QList<ColumnFormat> parseColumnFormat(const QString &format)
{
    QList<ColumnFormat> columns;
    const QStringList fields = format.split(QLatin1Char('|'));
    for (const QString &field : fields) {
        ColumnFormat column;
        QStringView rest(field);
        if (rest.startsWith(QLatin1Char('<'))) {
            rest = rest.mid(1);
        } else if (rest.startsWith(QLatin1Char('^'))) {
            column.align = ColumnAlign::Centre;
            rest = rest.mid(1);
        } else if (rest.startsWith(QLatin1Char('>'))) {
            column.align = ColumnAlign::Right;
            rest = rest.mid(1);
        }
        if (rest.endsWith(QLatin1String("cm")))
            rest.chop(2);
        column.widthCm = rest.toDouble();
        columns.append(column);
    }
    return columns;
}

double totalWidthCm(const QList<ColumnFormat> &columns)
{
    double total = 0;
    for (const ColumnFormat &column : columns)
        total += column.widthCm;
    return total;
}

QString RichCell::plainText() const
{
    QStringList lines;
    for (const RichParagraph &paragraph : paragraphs) {
        QString line;
        for (const TextRun &run : paragraph)
            line += run.text;
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList ReportContent::titles() const
{
    QStringList list;
    for (const ReportSection &section : sections)
        list.append(section.title);
    return list;
}
