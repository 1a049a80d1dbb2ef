#pragma once
// The editor's command line, read before any window system is asked for, so
// that --help and --version answer without a display and a wrong line is
// refused before a window opens. Qt's own options (-platform, -style...)
// pass through to the application.
#include <QString>
#include <QStringList>

struct StartArguments {
    enum class Action {
        Run,     // open the editor
        Help,    // print the usage on standard output
        Version, // print the version on standard output
        Refuse,  // print `problem` and the usage on standard error
    };
    Action action = Action::Run;
    // --simulate: the built-in simulated exchange instead of the Programming Module.
    bool simulate = false;
    // The configuration to open; a path with blanks may arrive in pieces,
    // which are joined again.
    QString file;
    QString problem;
};

// `arguments` without the program's own name.
StartArguments parseStartArguments(const QStringList &arguments);

// What --help prints.
QString startUsage();
