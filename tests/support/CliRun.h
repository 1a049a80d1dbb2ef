#pragma once
// Runs a helmwise-cli command line in-process and keeps what it printed.
#include "Commands.h"

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// args[0] is the verb; `verb` defaults to the dispatcher that looks it up.
inline CliRun runCli(const QStringList &args,
                     int (*verb)(const QStringList &, cli::Streams) = cli::dispatch)
{
    CliRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = verb(args, {out, err});
    out.flush();
    err.flush();
    return run;
}
