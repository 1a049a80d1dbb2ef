#pragma once
// A Prompter for tests: answers come from a queue, every prompt is recorded.
#include "Prompter.h"

#include <QList>
#include <QQueue>

#include <functional>

class ScriptedPrompter : public Prompter {
public:
    ScriptedPrompter() { setPrompter(this); }
    ~ScriptedPrompter() override { setPrompter(nullptr); }

    QQueue<QMessageBox::StandardButton> buttons; // next answers to ask()
    QQueue<QString> files;                       // next answers to chooseFile()
    QList<Prompt> asked;                         // every prompt, in order
    // Runs while a message or question is "on screen", before it is answered:
    // what else happens while the user takes their time.
    std::function<void(const Prompt &)> whileShown;

    QMessageBox::StandardButton ask(QWidget *, const Prompt &prompt) override
    {
        asked.append(prompt);
        if (whileShown)
            whileShown(prompt);
        if (!buttons.isEmpty())
            return buttons.dequeue();
        // Unscripted: Enter, that is the default button, or else the first
        // button offered (OK for messages).
        if (prompt.defaultButton != QMessageBox::NoButton)
            return prompt.defaultButton;
        for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
            if (prompt.buttons.testFlag(b))
                return b;
        }
        return QMessageBox::Ok;
    }
    QString chooseFile(QWidget *, const Prompt &prompt) override
    {
        asked.append(prompt);
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QStringList texts() const
    {
        QStringList result;
        for (const Prompt &p : asked)
            result << p.text;
        return result;
    }
};
