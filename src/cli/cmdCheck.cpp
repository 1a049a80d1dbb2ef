// check FILE: the checker's findings as the error list shows them.
#include "CheckConfig.h"
#include "Commands.h"
#include "Configuration.h"

#include <QCommandLineParser>

namespace cli
{

int runCheck(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Configuration to check."));
    if (!parser.parse(args) || parser.positionalArguments().size() != 1) {
        if (!parser.errorText().isEmpty())
            io.err << parser.errorText() << Qt::endl;
        io.err << "Usage: helmwise-cli check FILE" << Qt::endl;
        return ExitBadInput;
    }

    Configuration config = makeDefaultConfiguration();
    if (!loadForVerb(parser.positionalArguments().first(), config, io))
        return ExitBadInput;

    const CheckResult result = CheckConfig(config);
    io.out << errorListHeader().join(QLatin1Char('\t')) << Qt::endl;
    for (const Finding &finding : result.findings)
        io.out << finding.row() << Qt::endl;
    return result.ErrorsFound ? ExitErrorsFound : ExitOk;
}

} // namespace cli
