#pragma once
// Loading a configuration file of either kind, without any window: the
// outcome carries the message the user is shown on failure.
#include "Configuration.h"

#include <QString>

// A configuration file is about 70 KB; anything far larger is refused
// before it is read, so a wrong file cannot tie up the program's memory.
constexpr qint64 MaxConfigFileBytes = 8 * 1024 * 1024;

struct LoadOutcome {
    bool ok = false;
    QString message;          // the user's message on failure
    bool importedDos = false; // the file was a DOS (.TDZ) configuration
    QString detail;           // why, in words, without the file name ("no such file")
    QString fileName;         // the name after quote removal: the file now in use
};

// Loads `fileName` into `config`: a name ending in "TDZ" (any case) goes to
// the DOS import, anything else must be a configuration file. On failure
// `config` is left as it was and the caller starts a new configuration.
LoadOutcome loadConfigurationFile(const QString &fileName, Configuration &config);
// A failed load's details for its message: the file's name, and the reason under it.
QString loadFailureDetail(const LoadOutcome &load);

// The DOS import behind the loader (its own source file).
LoadOutcome loadDosFile(const QString &fileName, Configuration &config);

// The loader's messages.
QString loadErrorInFileMessage();
QString loadUnknownVersionMessage();
