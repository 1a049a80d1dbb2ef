#pragma once
// The main window's way to the configuration files and the list export.
#include "Configuration.h"

#include <QString>

struct FileLoad {
    bool ok = false;
    QString message; // why the load failed, as the user is told
    QString detail;  // the file and the reason, shown under the message
    bool importedDos = false;
};

// Reads a configuration file (.TWZ) or imports a DOS file (.TDZ) into
// `config`; on failure `config` is left as it was.
FileLoad loadConfiguration(const QString &fileName, Configuration &config);
// Writes the configuration; false with the reason when it cannot.
bool saveConfiguration(const QString &fileName, const Configuration &config, QString *error);
// Whether the file starts like a configuration file (one pair of
// surrounding quotes is removed from the name first).
bool isConfigurationFile(QString &fileName);
// Writes the three list files; false with the reason when it cannot.
bool exportLists(const QString &fileName, const Configuration &config, QString *error);
