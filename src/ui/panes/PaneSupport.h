#pragma once
// Small helpers shared by the editing panes: the light-red error colour,
// number parsing for typed fields, and the drop-down lists the grids offer.
#include "Configuration.h"

#include <QColor>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class ConfigDocument;
class QDialogButtonBox;
class QLineEdit;
class QObject;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace panes
{

// Background of a field or cell in error.
inline QColor errorColour()
{
    return QColor(255, 128, 128);
}

// Text on that background: dark in every palette, since a dark palette's
// light text would hardly show on the light red.
inline QColor errorTextColour()
{
    return QColor(Qt::black);
}

// Paints a grid cell red with dark text, or gives it the grid's colours back.
void paintCellError(QTableWidgetItem *cell, bool error);

// Paints a field red or gives it back the window's own colours.
void setFieldError(QWidget *field, bool error);
// Whether setFieldError last painted this field red.
bool fieldInError(const QWidget *field);

// Keeps a name field red while it holds characters the configuration file
// (Windows-1252) cannot keep, and tells `warn` the status-bar warning; an
// empty warning once the text is fixed.
void guardCodePage(QLineEdit *field, const std::function<void(const QString &)> &warn);

// A typed integer that fits the 16-bit fields of the tables; nothing for
// empty text, other text, or a number too large to store.
std::optional<int16_t> parseNumber(const QString &text);

// A box the user cannot type into, showing a short number; capped in width
// so the name fields beside it take the room.
QLineEdit *readOnlyBox(QWidget *parent, const char *name);
// Gives a box that only shows a value the window's background, so it reads
// as information rather than a field to type in.
void showAsReadOnly(QLineEdit *box);

// Selects the whole box so the user can type over the committed value.
void selectWholeText(QLineEdit *box);

// One entry of a grid drop-down: the stored number and the text shown.
struct Choice {
    int value = 0;
    QString text;
};
using ChoiceList = QList<Choice>;

// Extensions 0..119 on a Subscriber slot, active or not: number as text.
ChoiceList extensionNumberChoices(const Configuration &config);
// The same extensions with their names as text.
ChoiceList extensionNameChoices(const Configuration &config);
// Active groups 0..15: directory number as text, or the name.
ChoiceList groupNumberChoices(const Configuration &config);
ChoiceList groupNameChoices(const Configuration &config);

// Reads a grid cell the user edited: a number, a name from `names`, or
// nothing (the cell was emptied or holds text that names nothing).
std::optional<int> valueFromCell(const QString &text, const ChoiceList &names);

// Creates the (row, column) items of a read-only-by-default grid once.
void ensureItems(QTableWidget *grid);
// Writes number and name into two cells of a row (blank for 0 / -1).
void setCellText(QTableWidget *grid, int row, int column, const QString &text);

// Commits an edit of one field as an undoable step named after the record
// and the field ("Extension 01.3 Name"); an empty key is the system.
void markEdited(ConfigDocument &doc, const QString &key, const QString &field);

// OK and Cancel of a dialog, named cmdOK and cmdCancel; OK is the default.
QDialogButtonBox *okCancelButtons(QWidget *dialog);

// Cuts every connection from the owner's children to the owner, so nothing
// a child emits while being destroyed reaches a half-destroyed owner.
void detachChildren(QObject *owner);

} // namespace panes
