// convert IN OUT: load a configuration of either kind and save it as a
// configuration file.
#include "Commands.h"
#include "Configuration.h"
#include "ConfigFile.h"
#include "LostCharacters.h"

#include <QCommandLineParser>

namespace cli
{

int runConvert(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("Configuration to read"));
    parser.addPositionalArgument(QStringLiteral("OUT"),
                                 QStringLiteral("Configuration file to write"));
    if (const auto end = parseVerbLine(parser, args, 2, 2, io))
        return *end;
    const QString in = parser.positionalArguments().at(0);
    QString out = parser.positionalArguments().at(1);
    stripFileNameQuotes(out);
    // A configuration file under a DOS name would be sent to the DOS import
    // the next time it is opened.
    if (out.right(3).toUpper() == QLatin1String("TDZ")) {
        io.err << "Refusing to write a configuration file under a .TDZ name: " << out << Qt::endl;
        return ExitBadInput;
    }

    Configuration config = makeDefaultConfiguration();
    if (!loadForVerb(in, config, io))
        return ExitBadInput;
    // The file is Windows-1252: say which texts will not come back as they were.
    for (const LostCharacters &lost : textsLosingCharacters(config))
        io.err << "Warning: " << lost.where << " \"" << lost.text << "\": " << lost.characters
               << " cannot be kept in the file and is saved as \"?\"" << Qt::endl;
    QString error;
    if (!writeConfigFile(out, config, &error)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    io.out << "Wrote " << out << Qt::endl;
    return ExitOk;
}

} // namespace cli
