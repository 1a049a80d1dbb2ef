#include "Commands.h"
#include "Configuration.h"

#include "ListExport.h"

#include <QCommandLineParser>

namespace cli {

// export FILE OUT.csv|OUT.TAB: the extension, tie-line and group lists of a
// configuration (.TWZ or .TDZ), written next to OUT.
int runExport(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Configuration file"));
    parser.addPositionalArgument(
        QStringLiteral("OUT"),
        QStringLiteral("Chosen name: OUT_Extensions, OUT_TieLines and OUT_Groups are written, "
                       "TAB-separated for .TAB, comma-separated otherwise"));
    if (const auto end = parseVerbLine(parser, args, 2, 2, io))
        return *end;
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);
    Configuration config = makeDefaultConfiguration();
    if (!loadForVerb(in, config, io))
        return ExitBadInput;
    QString message;
    if (!exportLists(out, config, &message)) {
        io.err << message << Qt::endl;
        return ExitBadInput;
    }
    const QStringList written = exportFileNames(out);
    for (const QString &name : written)
        io.out << "Wrote " << name << Qt::endl;
    return ExitOk;
}

} // namespace cli
