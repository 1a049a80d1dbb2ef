#pragma once
// One function per verb of helmwise-cli. Each parses its own arguments
// (args[0] is the verb) and writes to the given streams, so tests can run
// a command and read what it printed. The result is the process exit status.
#include <QStringList>
#include <QTextStream>

#include <optional>

class QCommandLineParser;
struct Configuration;

namespace cli {

enum ExitStatus {
    ExitOk = 0,
    ExitErrorsFound = 1,  // check/upload: the configuration has errors; boards: they differ
    ExitDifferent = 1,    // diff: the configurations differ
    ExitBadInput = 2,     // a file that cannot be loaded, a refused value
    ExitNoReply = 3,      // the exchange stayed silent, or the line failed
    ExitVerifyFailed = 4, // upload: the read-back differs from what was sent
    ExitBoardsDiffer = 5, // upload: the cabinet holds other boards than the configuration
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
// Exchange commands.
int runDownload(const QStringList &args, Streams io);
int runUpload(const QStringList &args, Streams io);
int runPin(const QStringList &args, Streams io);
int runPassword(const QStringList &args, Streams io);
int runClock(const QStringList &args, Streams io);
int runVersion(const QStringList &args, Streams io);
int runReboot(const QStringList &args, Streams io);
int runPorts(const QStringList &args, Streams io);
// The exchange's boards, compared with a configuration when one is given.
int runBoards(const QStringList &args, Streams io);

struct Verb {
    const char *name;
    const char *synopsis; // the command line after "helmwise-cli"
    const char *purpose;
    int (*run)(const QStringList &, Streams);
};

// Every verb the tool knows, in the order --help lists them.
const QList<Verb> &verbs();

// "check FILE: list the errors and warnings of a configuration".
QString summaryLine(const Verb &verb);
// "Usage: helmwise-cli <synopsis>" for the verb named `verb`.
QString usageLine(const QString &verb);

// Parses a verb's command line (args[0] is the verb) with `parser`, which
// holds the verb's own options and arguments; the verb takes least..most
// positional arguments. --help (or -h) prints the verb's usage, purpose
// and options and ends with 0; a wrong line prints the complaint and the
// usage and ends with 2. Nothing when the verb is to go on.
std::optional<int> parseVerbLine(QCommandLineParser &parser, const QStringList &args, int least,
                                 int most, Streams io);

// Runs the verb named by args[0]; unknown verbs print the usage and give 2.
int dispatch(const QStringList &args, Streams io);

// Loads a configuration (.TWZ, or a DOS .TDZ by its name) for a verb. On
// failure the loader's message and its detail go to io.err, a line each.
bool loadForVerb(const QString &file, Configuration &config, Streams io);
// For verbs taking a single FILE: parses the line and loads the file into
// `config`; the exit status to end with, or nothing when it loaded.
std::optional<int> loadOnlyArgument(const QStringList &args, Configuration &config, Streams io);

} // namespace cli
