#include "Prompter.h"

#include <QDir>
#include <QFileDialog>

void Prompter::message(QWidget *parent, const QString &title, const QString &text,
                       QMessageBox::Icon icon)
{
    Prompt p;
    p.kind = Prompt::Message;
    p.title = title;
    p.text = text;
    p.icon = icon;
    p.buttons = QMessageBox::Ok;
    ask(parent, p);
}

QMessageBox::StandardButton Prompter::question(QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons)
{
    Prompt p;
    p.kind = Prompt::Question;
    p.title = title;
    p.text = text;
    p.icon = QMessageBox::Question;
    p.buttons = buttons;
    return ask(parent, p);
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
    message(parent, title,
            what + QLatin1Char(' ') + QDir::toNativeSeparators(path) + QLatin1Char('\n') + error,
            QMessageBox::Critical);
}

QMessageBox::StandardButton DialogPrompter::ask(QWidget *parent, const Prompt &prompt)
{
    QMessageBox box(prompt.icon, prompt.title, prompt.text, prompt.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString DialogPrompter::chooseFile(QWidget *parent, const Prompt &prompt)
{
    if (prompt.kind == Prompt::SaveFile)
        return QFileDialog::getSaveFileName(parent, prompt.title, prompt.proposedName,
                                            prompt.filter);
    return QFileDialog::getOpenFileName(parent, prompt.title, prompt.proposedName, prompt.filter);
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
