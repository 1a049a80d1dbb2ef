#include "Commands.h"
#include "ConfigLoader.h"

#include <QCommandLineParser>

namespace cli {

const QList<Verb> &verbs()
{
    static const QList<Verb> table = {
        {"check", "check FILE", "list the errors and warnings of a configuration", runCheck},
        {"convert", "convert IN OUT", "read a configuration and write it as a .TWZ file",
         runConvert},
        {"show", "show FILE", "a short summary of a configuration", runShow},
        {"export", "export FILE OUT.csv|OUT.TAB",
         "write the extension, tie-line and group lists beside OUT", runExport},
        {"new",
         "new --extensions N [--officers O] [--shore S] [--satcom T] [--pa P] [--pager G] OUT.TWZ",
         "make a new system as the New System dialog does", runNew},
        {"report", "report FILE --number N [--options 1,2,3,4,5] [--paper A4|Letter] --pdf OUT.pdf",
         "save a report of a configuration as PDF", runReport},
        {"diff", "diff A B [--ignore-names]", "what differs between two configurations", runDiff},
        {"download", "download [--port P] [--verify] OUT.TWZ [--image OUT.bin]",
         "read the configuration from the exchange", runDownload},
        {"upload",
         "upload [--port P] [--backup-dir DIR | --no-backup] [--no-verify] [--ignore-boards] "
         "[--dry-run] FILE | --image IN.bin",
         "send a configuration or a backup image to the exchange", runUpload},
        {"pin", "pin [--port P] [NEW]", "print or set the tie PIN", runPin},
        {"password", "password [--port P] [NEW]", "print or set the setup password", runPassword},
        {"clock", "clock [--port P] [--set \"hh:mm:ss dd/mm/yy\" | --pc]", "print or set the clock",
         runClock},
        {"version", "version [--port P]", "print the exchange firmware version", runVersion},
        {"reboot", "reboot [--port P]", "restart the exchange", runReboot},
        {"ports", "ports", "list the Programming Modules found", runPorts},
        {"boards", "boards [--port P] [FILE]",
         "the boards in the exchange's slots, and where they differ from FILE", runBoards},
    };
    return table;
}

namespace {

const Verb *findVerb(const QString &name)
{
    for (const Verb &verb : verbs()) {
        if (name == QLatin1String(verb.name))
            return &verb;
    }
    return nullptr;
}

} // namespace

QString usageLine(const QString &verb)
{
    const Verb *found = findVerb(verb);
    return QStringLiteral("Usage: helmwise-cli ") +
           (found ? QString::fromUtf8(found->synopsis) : verb);
}

std::optional<int> parseVerbLine(QCommandLineParser &parser, const QStringList &args, int least,
                                 int most, Streams io)
{
    const QString verb = args.value(0);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help"));
    parser.addOption(help);
    if (!parser.parse(args)) {
        io.err << verb << ": " << parser.errorText() << Qt::endl << usageLine(verb) << Qt::endl;
        return ExitBadInput;
    }
    if (parser.isSet(help)) {
        // Qt's text begins with the running program's name; the verb's own
        // usage line and purpose stand in its place.
        io.out << usageLine(verb) << Qt::endl;
        if (const Verb *found = findVerb(verb)) {
            QString purpose = QString::fromUtf8(found->purpose);
            purpose[0] = purpose[0].toUpper();
            io.out << purpose << '.' << Qt::endl;
        }
        const QString text = parser.helpText();
        io.out << text.mid(text.indexOf(QLatin1String("\nOptions:"))) << Qt::flush;
        return ExitOk;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < least || count > most) {
        io.err << usageLine(verb) << Qt::endl;
        return ExitBadInput;
    }
    return std::nullopt;
}

QString summaryLine(const Verb &verb)
{
    return QString::fromUtf8(verb.synopsis) + QStringLiteral(": ") + QString::fromUtf8(verb.purpose);
}

int dispatch(const QStringList &args, Streams io)
{
    if (!args.isEmpty()) {
        if (const Verb *verb = findVerb(args.first()))
            return verb->run(args, io);
        io.err << "Unknown command: " << args.first() << Qt::endl;
    }
    io.err << "Commands:" << Qt::endl;
    for (const Verb &verb : verbs())
        io.err << "  " << summaryLine(verb) << Qt::endl;
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

std::optional<int> loadOnlyArgument(const QStringList &args, Configuration &config, Streams io)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Configuration file (.TWZ, or a DOS .TDZ file)"));
    if (const auto end = parseVerbLine(parser, args, 1, 1, io))
        return end;
    if (!loadForVerb(parser.positionalArguments().first(), config, io))
        return ExitBadInput;
    return std::nullopt;
}

} // namespace cli
