// Placeholder for the DOS (.TDZ) import: it refuses every file until the
// import itself replaces this file.
#include "ConfigLoader.h"

LoadOutcome loadDosFile(const QString &fileName, Configuration &config)
{
    Q_UNUSED(config);
    LoadOutcome outcome;
    outcome.message = QStringLiteral("Unable to open TDZ File as unknown type/ version");
    outcome.detail = QStringLiteral("DOS import is not built yet: %1").arg(fileName);
    return outcome;
}
