#include "Commands.h"

namespace cli {

int runConvert(const QStringList &args, Streams io)
{
    io.err << "helmwise-cli " << args.value(0) << ": not available in this build" << Qt::endl;
    return ExitBadInput;
}

} // namespace cli
