#pragma once
// One function per verb of helmwise-cli. Each parses its own arguments
// (args[0] is the verb) and writes to the given streams, so tests can run
// a command and read what it printed. The result is the process exit status.
#include <QStringList>
#include <QTextStream>

struct Configuration;

namespace cli {

enum ExitStatus {
    ExitOk = 0,
    ExitErrorsFound = 1,  // check/upload: the configuration has errors; boards: they differ
    ExitDifferent = 1,    // diff: the configurations differ
    ExitBadInput = 2,     // a file that cannot be loaded, a refused value
    ExitNoReply = 3,      // the exchange stayed silent, or the line failed
    ExitVerifyFailed = 4, // upload: the read-back differs from what was sent
};

struct Streams {
    QTextStream &out;
    QTextStream &err;
};

int runCheck(const QStringList &args, Streams io);
int runConvert(const QStringList &args, Streams io);
int runShow(const QStringList &args, Streams io);
int runExport(const QStringList &args, Streams io);
int runNew(const QStringList &args, Streams io);
int runReport(const QStringList &args, Streams io);
int runDiff(const QStringList &args, Streams io);
// Exchange commands: download, upload, pin, password, clock, version, reboot, ports.
int runDevice(const QStringList &args, Streams io);
// The exchange's boards, compared with a configuration when one is given.
int runBoards(const QStringList &args, Streams io);

struct Verb {
    const char *name;
    const char *summary;
    int (*run)(const QStringList &, Streams);
};

// Every verb the tool knows, in the order --help lists them.
const QList<Verb> &verbs();

// Runs the verb named by args[0]; unknown verbs print the usage and give 2.
int dispatch(const QStringList &args, Streams io);

// Loads a configuration (.TWZ, or a DOS .TDZ by its name) for a verb. On
// failure the loader's message and its detail go to io.err, a line each.
bool loadForVerb(const QString &file, Configuration &config, Streams io);
// For verbs taking a single FILE: parses args and loads the file; a wrong
// command line prints the parser's complaint and `usage` to io.err.
bool loadOnlyArgument(const QStringList &args, const char *usage, Configuration &config,
                      Streams io);

} // namespace cli
