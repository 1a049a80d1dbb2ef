#pragma once
// Finding records by what a technician remembers of them: a number or part
// of a name.
#include "Configuration.h"

#include <QString>

// Whether the record of `key` ("E007", "T012", "G003") answers to `text`:
// the trimmed text is part of its number (extension number, or directory
// number of a tie line or group) or of its name, in any case. Empty text
// matches every record; other keys match nothing.
bool recordMatches(const Configuration &config, const QString &key, const QString &text);
