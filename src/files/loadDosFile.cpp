// The loader's branch for DOS (.TDZ) files: the DOS import into the
// configuration, which it changes only when the whole file was read.
#include "ConfigLoader.h"
#include "DosImport.h"

LoadOutcome loadDosFile(const QString &fileName, Configuration &config)
{
    LoadOutcome outcome;
    outcome.ok = importDosFile(fileName, config, &outcome.message);
    return outcome;
}
