// Build step: writes the template "default.TWZ" that a new configuration
// starts from, a modest ship made by the new-system generator.
#include "ConfigFile.h"
#include "Configuration.h"
#include "NewSystem.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: helmwise-template OUT.TWZ\n";
        return 2;
    }
    // Three subscriber boards with four officers, one tie-line board with two
    // shore lines, a satellite line and a public-address line.
    NewSystemCounts counts;
    counts.extensions = 24;
    counts.officers = 4;
    counts.shore = 2;
    counts.satcom = 1;
    counts.pa = 1;
    const BoardPlanResult plan = planBoards(counts);
    if (plan.overflow) {
        err << "the template's board plan does not fit\n";
        return 2;
    }
    Configuration config = makeDefaultConfiguration();
    generateNewSystem(config, counts, plan, currentLastUpdate());
    QString error;
    if (!WriteConfigFile(args[1], config, &error)) {
        err << "cannot write " << args[1] << ": " << error << '\n';
        return 2;
    }
    return 0;
}
