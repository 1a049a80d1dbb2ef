#include "FileAccess.h"

#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "mdlExport.h"

#include <QDir>

FileLoad loadConfiguration(const QString &fileName, Configuration &config)
{
    const LoadOutcome outcome = loadConfigurationFile(fileName, config);
    QString detail = QDir::toNativeSeparators(outcome.fileName);
    if (!outcome.detail.isEmpty())
        detail += QLatin1Char('\n') + outcome.detail;
    return {outcome.ok, outcome.message, outcome.ok ? QString() : detail, outcome.importedDos};
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
