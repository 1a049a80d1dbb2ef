#include "Prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTreeView>

void Prompter::message(QWidget *parent, const QString &title, const QString &text,
                       QMessageBox::Icon icon, const QString &detail)
{
    Prompt p;
    p.kind = Prompt::Message;
    p.title = title;
    p.text = text;
    p.detail = detail;
    p.icon = icon;
    p.buttons = QMessageBox::Ok;
    ask(parent, p);
}

QMessageBox::StandardButton Prompter::question(QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               const QString &detail,
                                               QMessageBox::StandardButton defaultButton)
{
    Prompt p;
    p.kind = Prompt::Question;
    p.title = title;
    p.text = text;
    p.detail = detail;
    p.icon = QMessageBox::Question;
    p.buttons = buttons;
    p.defaultButton = defaultButton;
    return ask(parent, p);
}

bool Prompter::confirmRisky(QWidget *parent, const QString &title, const QString &text,
                            const QString &detail)
{
    return question(parent, title, text, QMessageBox::Yes | QMessageBox::No, detail,
                    QMessageBox::No) == QMessageBox::Yes;
}

QString Prompter::chooseConfigurationToOpen(QWidget *parent, const QString &title)
{
    Prompt p;
    p.kind = Prompt::OpenFile;
    p.title = title;
    p.filter = QStringLiteral("Windows Tidelex Files (*.TWZ *.twz);;"
                              "Dos Tidelex Files (*.TDZ *.tdz);;All Files (*)");
    return chooseFile(parent, p);
}

void Prompter::failure(QWidget *parent, const QString &title, const QString &what,
                       const QString &path, const QString &error)
{
    message(parent, title, what + QLatin1Char(' ') + QDir::toNativeSeparators(path),
            QMessageBox::Critical, error);
}

QMessageBox::StandardButton DialogPrompter::ask(QWidget *parent, const Prompt &prompt)
{
    QMessageBox box(prompt.icon, prompt.title, prompt.text, prompt.buttons, parent);
    box.setInformativeText(prompt.detail);
    if (prompt.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(prompt.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString suffixOfFilter(const QString &nameFilter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(nameFilter).captured(1);
}

QString DialogPrompter::chooseFile(QWidget *parent, const Prompt &prompt)
{
    if (prompt.newestFirst) {
        // The dialog of the desktop may not show times; Qt's own does.
        QFileDialog dialog(parent, prompt.title, prompt.proposedName, prompt.filter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setViewMode(QFileDialog::Detail);
        if (auto *list = dialog.findChild<QTreeView *>(QStringLiteral("treeView")))
            list->sortByColumn(3, Qt::DescendingOrder); // the Date Modified column
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }
    if (prompt.kind != Prompt::SaveFile)
        return QFileDialog::getOpenFileName(parent, prompt.title, prompt.proposedName,
                                            prompt.filter);
    // A name typed without a suffix gets the chosen filter's, before the
    // dialog asks whether to replace an existing file.
    QFileDialog dialog(parent, prompt.title, prompt.proposedName, prompt.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffixOfFilter(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) {
                         dialog.setDefaultSuffix(suffixOfFilter(filter));
                     });
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

namespace {
DialogPrompter dialogPrompter;
Prompter *current = &dialogPrompter;
} // namespace

Prompter &prompter() { return *current; }

void setPrompter(Prompter *replacement)
{
    current = replacement ? replacement : &dialogPrompter;
}
