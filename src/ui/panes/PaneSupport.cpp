#include "PaneSupport.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "Windows1252.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

#include <limits>

using namespace tidelex;

namespace panes
{

namespace
{
const char *const errorProperty = "fieldError";
const char *const readOnlyProperty = "showsOnly";

void paintReadOnly(QWidget *field)
{
    QPalette pal = field->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    field->setPalette(pal);
}
}

void paintCellError(QTableWidgetItem *cell, bool error)
{
    if (!cell)
        return;
    cell->setBackground(error ? QBrush(errorColour()) : QBrush());
    cell->setForeground(error ? QBrush(errorTextColour()) : QBrush());
}

void setFieldError(QWidget *field, bool error)
{
    if (!field)
        return;
    field->setProperty(errorProperty, error);
    if (!error) {
        // An empty palette inherits the window's own colours again.
        field->setPalette(QPalette());
        if (field->property(readOnlyProperty).toBool())
            paintReadOnly(field);
        return;
    }
    QPalette pal = field->palette();
    pal.setColor(QPalette::Base, errorColour());
    pal.setColor(QPalette::Button, errorColour());
    pal.setColor(QPalette::Window, errorColour());
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        pal.setColor(role, errorTextColour());
    field->setPalette(pal);
}

bool fieldInError(const QWidget *field)
{
    return field && field->property(errorProperty).toBool();
}

void guardCodePage(QLineEdit *field, const std::function<void(const QString &)> &warn)
{
    auto check = [field, warn] {
        const QString lost = win1252::unencodable(field->text());
        if (lost.isEmpty() && !fieldInError(field))
            return;
        setFieldError(field, !lost.isEmpty());
        warn(lost.isEmpty() ? QString()
                            : QStringLiteral("WARNING: %1 cannot be kept in the configuration "
                                             "file and will be saved as \"?\"")
                                  .arg(lost));
    };
    // After the pane's own handlers, so its status message does not hide this one.
    QObject::connect(field, &QLineEdit::textChanged, field, check);
    QObject::connect(field, &QLineEdit::editingFinished, field, check);
}

std::optional<int16_t> parseNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(value);
}

void showAsReadOnly(QLineEdit *box)
{
    box->setReadOnly(true);
    box->setProperty(readOnlyProperty, true);
    paintReadOnly(box);
}

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFocusPolicy(Qt::NoFocus);
    showAsReadOnly(box);
    box->setMaximumWidth(120);
    return box;
}

void selectWholeText(QLineEdit *box)
{
    box->setSelection(0, int(box->text().size()));
}

ChoiceList extensionNumberChoices(const Configuration &config)
{
    ChoiceList list;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (extensionOnBoard(config, i)) {
            const int n = config.Extensions[i].ExtNum;
            list.append({n, QString::number(n)});
        }
    }
    return list;
}

ChoiceList extensionNameChoices(const Configuration &config)
{
    ChoiceList list;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (extensionOnBoard(config, i))
            list.append({config.Extensions[i].ExtNum, config.Extensions[i].Name});
    }
    return list;
}

ChoiceList groupNumberChoices(const Configuration &config)
{
    ChoiceList list;
    for (int g = 0; g < MaxGroups; ++g) {
        if (config.Groups[g].Active)
            list.append({config.Groups[g].DirNum, QString::number(config.Groups[g].DirNum)});
    }
    return list;
}

ChoiceList groupNameChoices(const Configuration &config)
{
    ChoiceList list;
    for (int g = 0; g < MaxGroups; ++g) {
        if (config.Groups[g].Active)
            list.append({config.Groups[g].DirNum, config.Groups[g].Name});
    }
    return list;
}

std::optional<int> valueFromCell(const QString &text, const ChoiceList &names)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (const auto number = parseNumber(trimmed))
        return *number;
    for (const Choice &c : names) {
        if (c.text == trimmed)
            return c.value;
    }
    return std::nullopt;
}

void ensureItems(QTableWidget *grid)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            if (!grid->item(r, c))
                grid->setItem(r, c, new QTableWidgetItem);
        }
    }
}

void setCellText(QTableWidget *grid, int row, int column, const QString &text)
{
    QTableWidgetItem *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

void markEdited(ConfigDocument &doc, const QString &key, const QString &field)
{
    const QString record = recordTitle(key.isEmpty() ? systemKey() : key);
    doc.markChanged(record + QLatin1Char(' ') + field, key);
}

void detachChildren(QObject *owner)
{
    const QList<QObject *> children = owner->findChildren<QObject *>();
    for (QObject *child : children)
        child->disconnect(owner);
}

QDialogButtonBox *okCancelButtons(QWidget *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    return buttons;
}

} // namespace panes
