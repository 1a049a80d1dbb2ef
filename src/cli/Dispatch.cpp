#include "Commands.h"
#include "ConfigLoader.h"

#include <QCommandLineParser>

namespace cli {

const QList<Verb> &verbs()
{
    static const QList<Verb> table = {
        {"check", "check FILE: list the errors and warnings of a configuration", runCheck},
        {"convert", "convert IN OUT: read a configuration and write it as a .TWZ file", runConvert},
        {"show", "show FILE: a short summary of a configuration", runShow},
        {"export", "export FILE OUT.csv|OUT.TAB: write the extension, tie-line and group lists",
         runExport},
        {"new", "new --extensions N --officers O --shore S --satcom T --pa P --pager G OUT.TWZ",
         runNew},
        {"report", "report FILE --number N [--options 1,2,3,4,5] --pdf OUT.pdf", runReport},
        {"diff", "diff A B [--ignore-names]: what differs between two configurations", runDiff},
        {"download", "download [--port P] [--verify] OUT.TWZ [--image OUT.bin]: read the exchange",
         runDevice},
        {"upload",
         "upload [--port P] [--backup-dir DIR | --no-backup] [--no-verify] FILE | --image IN.bin: "
         "send a configuration or a backup image to the exchange",
         runDevice},
        {"pin", "pin [--port P] [NEW]: print or set the tie PIN", runDevice},
        {"password", "password [--port P] [NEW]: print or set the setup password", runDevice},
        {"clock", "clock [--port P] [--set \"hh:mm:ss dd/mm/yy\" | --pc]: print or set the clock",
         runDevice},
        {"version", "version [--port P]: print the exchange firmware version", runDevice},
        {"reboot", "reboot [--port P]: restart the exchange", runDevice},
        {"ports", "ports: list the Programming Modules found", runDevice},
        {"boards",
         "boards [--port P] [FILE]: the boards in the exchange's slots, and where they differ "
         "from FILE",
         runBoards},
    };
    return table;
}

int dispatch(const QStringList &args, Streams io)
{
    if (!args.isEmpty()) {
        for (const Verb &verb : verbs()) {
            if (args.first() == QLatin1String(verb.name))
                return verb.run(args, io);
        }
        io.err << "Unknown command: " << args.first() << Qt::endl;
    }
    io.err << "Commands:" << Qt::endl;
    for (const Verb &verb : verbs())
        io.err << "  " << verb.summary << Qt::endl;
    return ExitBadInput;
}

bool loadForVerb(const QString &file, Configuration &config, Streams io)
{
    const LoadOutcome loaded = loadConfigurationFile(file, config);
    if (!loaded.ok) {
        io.err << loaded.message << Qt::endl;
        if (!loaded.detail.isEmpty())
            io.err << loaded.fileName << ": " << loaded.detail << Qt::endl;
    }
    return loaded.ok;
}

bool loadOnlyArgument(const QStringList &args, const char *usage, Configuration &config,
                      Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Configuration file."));
    if (!parser.parse(args) || parser.positionalArguments().size() != 1) {
        if (!parser.errorText().isEmpty())
            io.err << parser.errorText() << Qt::endl;
        io.err << usage << Qt::endl;
        return false;
    }
    return loadForVerb(parser.positionalArguments().first(), config, io);
}

} // namespace cli
