// check FILE: the checker's findings as the error list shows them.
#include "CheckConfig.h"
#include "Commands.h"
#include "Configuration.h"

namespace cli
{

int runCheck(const QStringList &args, Streams io)
{
    Configuration config = makeDefaultConfiguration();
    if (const auto end = loadOnlyArgument(args, config, io))
        return *end;

    const CheckResult result = checkConfig(config);
    io.out << errorListHeader().join(QLatin1Char('\t')) << Qt::endl;
    for (const Finding &finding : result.findings)
        io.out << finding.row() << Qt::endl;
    return result.errorsFound ? ExitErrorsFound : ExitOk;
}

} // namespace cli
