// helmwise-cli: batch work on Tidelex Analog configurations and exchanges.
#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

// The report verb lays out pages, which needs fonts and so the GUI side of
// Qt; every other verb runs on a plain core application.
static bool verbNeedsGui(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-')
            return std::strcmp(argv[i], "report") == 0;
    }
    return false;
}

// Qt's own diagnostics ("XDG_RUNTIME_DIR not set", font warnings) are not
// the tool's messages: stderr carries only what the verbs say, unless
// --verbose asks for everything. Fatal messages always get through.
static void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Takes --verbose out of the arguments, wherever it stands; true when it was there.
static bool takeVerbose(int &argc, char *argv[])
{
    bool verbose = false;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return verbose;
}

static std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    if (!verbNeedsGui(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

int main(int argc, char *argv[])
{
    if (!takeVerbose(argc, argv))
        qInstallMessageHandler(quietMessages);
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    QString description = QStringLiteral(
        "helmWISE command-line tool for the Tidelex Analog.\n"
        "--verbose, anywhere on the line, also shows Qt's own diagnostics.\n"
        "Exit status: 0 done, 1 errors in the configuration, 2 bad input or a file that cannot "
        "be read or written, 3 no reply or the line failed, 4 the upload's read-back differs, 5 "
        "the "
        "cabinet's boards differ from what an upload sends.\n\n"
        "Commands:");
    for (const cli::Verb &verb : cli::verbs())
        description += QStringLiteral("\n  ") + cli::summaryLine(verb);

    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("command [options]"));
    // Options after the verb belong to the verb.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty()) {
        parser.showHelp(cli::ExitBadInput);
    }
    const int status = cli::dispatch(args, {out, err});
    out.flush();
    err.flush();
    return status;
}
