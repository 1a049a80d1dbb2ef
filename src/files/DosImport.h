#pragma once
// Import of configurations made with the old DOS programming tool (".TDZ").
// The file is read into a scratch copy of the configuration; the caller's
// configuration changes only when the whole file was read. Failures come
// back as one of two messages:
//   "Unable to open TDZ File as unknown type/ version"  (not a TDZ header)
//   "Unable to open TDZ File as corrupted file"        (truncated or out of range)
// The class tables and slots 0, 1 and 17 are kept; everything else is
// replaced. configChanged is the caller's business.
#include "Configuration.h"

#include <QIODevice>
#include <QString>

bool importDosFile(const QString &fileName, Configuration &config, QString *message);
bool importDos(QIODevice &device, Configuration &config, QString *message);

// Texts of the two failures.
QString dosUnknownVersionText();
QString dosCorruptedText();
