#pragma once
// Rows of cells as spreadsheets put them on the clipboard: TAB between the
// cells of a row, a line break after each row.
#include <QList>
#include <QString>
#include <QStringList>

QString tableText(const QList<QStringList> &rows);
// The rows of such text. CR LF and LF both end a row; the line break a
// spreadsheet puts after the last row makes no empty row.
QList<QStringList> parseTableText(const QString &text);
