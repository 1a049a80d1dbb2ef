// helmwise-cli: batch work on Tidelex Analog configurations and exchanges.
#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidelex Analog"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HELMWISE_VERSION));

    QString description = QStringLiteral("helmWISE command-line tool for the Tidelex Analog.\n\nCommands:");
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
