// diff A B [--ignore-names]: what differs between two configurations, record
// by record and field by field, as TAB-separated lines.
#include "Commands.h"
#include "ConfigDiff.h"
#include "Configuration.h"

#include <QCommandLineParser>

namespace cli
{

int runDiff(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("First configuration."));
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("Second configuration."));
    const QCommandLineOption ignoreNames(
        QStringLiteral("ignore-names"),
        QStringLiteral("Leave names out (the exchange stores none)."));
    parser.addOption(ignoreNames);
    if (const auto end = parseVerbLine(parser, args, 2, 2, io))
        return *end;
    Configuration first = makeDefaultConfiguration();
    Configuration second = makeDefaultConfiguration();
    if (!loadForVerb(parser.positionalArguments().at(0), first, io) ||
        !loadForVerb(parser.positionalArguments().at(1), second, io))
        return ExitBadInput;

    DiffOptions options;
    options.ignoreNames = parser.isSet(ignoreNames);
    const QList<Difference> differences = compareConfigurations(first, second, options);
    if (differences.isEmpty())
        return ExitOk;
    io.out << "Record\tField\tFirst\tSecond" << Qt::endl;
    for (const Difference &d : differences)
        io.out << d.record << '\t' << d.field << '\t' << d.first << '\t' << d.second << Qt::endl;
    return ExitDifferent;
}

} // namespace cli
