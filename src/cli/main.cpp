// helmwise-cli: batch work on Tidelex Analog configurations and exchanges.
#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
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
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    QString description =
        QStringLiteral("helmWISE command-line tool for the Tidelex Analog.\n\nCommands:");
    for (const cli::Verb &verb : cli::verbs())
        description += QStringLiteral("\n  ") + QString::fromUtf8(verb.summary);

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
