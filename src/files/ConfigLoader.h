#pragma once
// Loading a configuration file of either kind, without any window: the
// outcome carries the message the user is shown on failure.
#include "Configuration.h"

#include <QString>

struct LoadOutcome {
    bool ok = false;
    QString message;          // the user's message on failure
    bool importedDos = false; // the file was a DOS (.TDZ) configuration
    QString detail;           // the reader's reason, for logs and the command line
    QString fileName;         // the name after quote removal: the file now in use
};

// Loads `fileName` into `config`: a name ending in "TDZ" (any case) goes to
// the DOS import, anything else must be a configuration file. On failure
// `config` is left as it was and the caller starts a new configuration.
LoadOutcome loadConfigurationFile(const QString &fileName, Configuration &config);

// The DOS import behind the loader (its own source file).
LoadOutcome loadDosFile(const QString &fileName, Configuration &config);

// The loader's messages.
QString loadErrorInFileMessage();
QString loadUnknownVersionMessage();
