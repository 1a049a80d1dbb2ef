#include "Commands.h"

#include "ConfigFile.h"
#include "NewSystem.h"

#include <QCommandLineParser>

namespace cli {

namespace {

struct CountOption {
    const char *name;
    int NewSystemCounts::*field;
    int lowest;
    int highest;
    const char *what;
};

// The numbers the "New System" dialog offers: 1..120 extensions here (the
// planner rounds up to whole boards) and 0..16 lines of each kind.
const CountOption countOptions[] = {
    {"extensions", &NewSystemCounts::extensions, 1, 120,
     "Extensions, %1 to %2 (rounded up to whole Subscriber boards)"},
    {"officers", &NewSystemCounts::officers, 0, 120, "Extensions of the Officer class, %1 to %2"},
    {"shore", &NewSystemCounts::shore, 0, 16, "Shore lines, %1 to %2"},
    {"satcom", &NewSystemCounts::satcom, 0, 16, "Satellite lines, %1 to %2"},
    {"pa", &NewSystemCounts::pa, 0, 16, "Public-address lines, %1 to %2"},
    {"pager", &NewSystemCounts::pager, 0, 16, "Pager lines, %1 to %2"},
};

} // namespace

int runNew(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    for (const CountOption &option : countOptions)
        parser.addOption({QString::fromLatin1(option.name),
                          QString::fromLatin1(option.what).arg(option.lowest).arg(option.highest),
                          QStringLiteral("N")});
    parser.addPositionalArgument(QStringLiteral("OUT.TWZ"), QStringLiteral("File to write"));
    if (const auto end = parseVerbLine(parser, args, 1, 1, io))
        return *end;
    const QStringList files = parser.positionalArguments();

    NewSystemCounts counts;
    counts.extensions = 0; // must be given
    for (const CountOption &option : countOptions) {
        const QString name = QString::fromLatin1(option.name);
        if (!parser.isSet(name)) {
            if (option.field == &NewSystemCounts::extensions) {
                io.err << "--extensions is required" << Qt::endl;
                return ExitBadInput;
            }
            continue;
        }
        bool ok = false;
        const int value = parser.value(name).toInt(&ok);
        if (!ok || value < option.lowest || value > option.highest) {
            io.err << "--" << name << " must be a number from " << option.lowest << " to "
                   << option.highest << Qt::endl;
            return ExitBadInput;
        }
        counts.*option.field = value;
    }

    if (!officersFit(counts)) {
        io.err << officersTooManyText() << Qt::endl;
        return ExitBadInput;
    }
    const BoardPlanResult plan = planBoards(counts);
    if (plan.overflow) {
        io.err << planNotPossibleText() << Qt::endl;
        return ExitBadInput;
    }

    Configuration config = makeDefaultConfiguration();
    const QString now = currentLastUpdate();
    generateNewSystem(config, counts, plan, now);

    QString error;
    if (!writeConfigFile(files.first(), config, &error, now)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    io.out << "Wrote " << files.first() << Qt::endl;
    return ExitOk;
}

} // namespace cli
