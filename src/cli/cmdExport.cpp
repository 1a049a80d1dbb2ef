#include "Commands.h"

namespace cli {

int runExport(const QStringList &args, Streams io)
{
    io.err << "helmwise-cli " << args.value(0) << ": not available in this build" << Qt::endl;
    return ExitBadInput;
}

} // namespace cli
