#include "FileAccess.h"

#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "mdlExport.h"

FileLoad loadConfiguration(const QString &fileName, Configuration &config)
{
    const LoadOutcome outcome = loadConfigurationFile(fileName, config);
    return {outcome.ok, outcome.message, outcome.importedDos};
}

bool saveConfiguration(const QString &fileName, const Configuration &config, QString *error)
{
    return WriteConfigFile(fileName, config, error);
}

bool isConfigurationFile(QString &fileName) { return ExistFile(fileName); }

bool exportLists(const QString &fileName, const Configuration &config, QString *error)
{
    return ExportLists(config, fileName, error);
}
