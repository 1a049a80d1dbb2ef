#include "TableText.h"

QString tableText(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QList<QStringList> parseTableText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (plain.endsWith(QLatin1Char('\n')))
        plain.chop(1);
    QList<QStringList> rows;
    if (plain.isEmpty())
        return rows;
    for (const QString &line : plain.split(QLatin1Char('\n')))
        rows << line.split(QLatin1Char('\t'));
    return rows;
}
