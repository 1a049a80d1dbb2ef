#pragma once
// Every modal question, message and file dialog of the program goes through
// a Prompter, so tests can queue the answers instead of blocking on a window.
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

struct Prompt {
    enum Kind { Message, Question, OpenFile, SaveFile };
    Kind kind = Message;
    QString title;
    QString text;
    QString detail; // messages: the file and the reason, under the text
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    // The button Enter presses; NoButton leaves the choice to the box. A
    // question whose Yes cannot be taken back (the exchange rebooted or
    // overwritten) makes No the default.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString filter;      // file dialogs: "Windows Tidelex Files (*.TWZ);;All Files (*)"
    QString proposedName; // file dialogs: the name filled in
    // File dialogs: the files listed with their sizes and times, the newest
    // on top (backups, whose names alone do not tell which is which).
    bool newestFirst = false;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows a message or question; returns the button chosen.
    virtual QMessageBox::StandardButton ask(QWidget *parent, const Prompt &prompt) = 0;
    // Shows a file dialog; returns the chosen path or an empty string.
    virtual QString chooseFile(QWidget *parent, const Prompt &prompt) = 0;

    // Conveniences over ask().
    void message(QWidget *parent, const QString &title, const QString &text,
                 QMessageBox::Icon icon = QMessageBox::NoIcon, const QString &detail = QString());
    QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons, const QString &detail = QString(),
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // A Yes/No question whose Yes overwrites or destroys something that
    // cannot be taken back: No is the default button.
    bool confirmRisky(QWidget *parent, const QString &title, const QString &text,
                      const QString &detail = QString());
    // The Open dialog for a configuration file, ours or the DOS program's.
    QString chooseConfigurationToOpen(QWidget *parent,
                                      const QString &title = QStringLiteral("Open"));
    // A critical message "<what> <path>" with the error as its detail, what
    // being e.g. "Unable to save".
    void failure(QWidget *parent, const QString &title, const QString &what,
                 const QString &path, const QString &error);
};

// The real dialogs: QMessageBox and QFileDialog.
class DialogPrompter : public Prompter {
public:
    QMessageBox::StandardButton ask(QWidget *parent, const Prompt &prompt) override;
    QString chooseFile(QWidget *parent, const Prompt &prompt) override;
};

// The suffix a save dialog adds to a name typed without one: the first
// "*.X" pattern of the name filter ("TWZ" of "Windows Tidelex Files (*.TWZ
// *.twz)"), or nothing for a filter such as "All Files (*)".
QString suffixOfFilter(const QString &nameFilter);

// The prompter the application uses; tests replace it with a scripted one.
Prompter &prompter();
void setPrompter(Prompter *replacement); // nullptr restores the dialogs
