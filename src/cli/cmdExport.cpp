#include "Commands.h"
#include "Configuration.h"

#include "mdlExport.h"

namespace cli {

// export FILE OUT.csv|OUT.TAB: the extension, tie-line and group lists of a
// configuration (.TWZ or .TDZ), written next to OUT.
int runExport(const QStringList &args, Streams io)
{
    if (args.size() != 3) {
        io.err << "Usage: export FILE OUT.csv|OUT.TAB" << Qt::endl;
        return ExitBadInput;
    }
    Configuration config = makeDefaultConfiguration();
    if (!loadForVerb(args[1], config, io))
        return ExitBadInput;
    QString message;
    if (!ExportLists(config, args[2], &message)) {
        io.err << message << Qt::endl;
        return ExitBadInput;
    }
    const QStringList written = exportFileNames(args[2]);
    for (const QString &name : written)
        io.out << "Wrote " << name << Qt::endl;
    return ExitOk;
}

} // namespace cli
