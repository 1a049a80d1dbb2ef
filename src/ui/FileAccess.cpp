#include "FileAccess.h"

#if defined(HELMWISE_HAVE_FILES) && __has_include("ConfigLoader.h")
#include "ConfigFile.h"
#include "ConfigLoader.h"
#define HAVE_CONFIG_FILES 1
#endif
#if __has_include("mdlExport.h")
#include "mdlExport.h"
#define HAVE_EXPORT 1
#endif

FileLoad loadConfiguration(const QString &fileName, Configuration &config)
{
#ifdef HAVE_CONFIG_FILES
    const LoadOutcome outcome = loadConfigurationFile(fileName, config);
    return {outcome.ok, outcome.message, outcome.importedDos};
#else
    Q_UNUSED(fileName);
    Q_UNUSED(config);
    return {false, QStringLiteral("Unable to load file as error in file"), false};
#endif
}

bool saveConfiguration(const QString &fileName, const Configuration &config, QString *error)
{
#ifdef HAVE_CONFIG_FILES
    return WriteConfigFile(fileName, config, error);
#else
    Q_UNUSED(fileName);
    Q_UNUSED(config);
    if (error)
        *error = QStringLiteral("configuration files cannot be written by this build");
    return false;
#endif
}

bool isConfigurationFile(QString &fileName)
{
#ifdef HAVE_CONFIG_FILES
    return ExistFile(fileName);
#else
    Q_UNUSED(fileName);
    return false;
#endif
}

bool exportLists(const QString &fileName, const Configuration &config, QString *error)
{
#ifdef HAVE_EXPORT
    return ExportLists(config, fileName, error);
#else
    Q_UNUSED(fileName);
    Q_UNUSED(config);
    if (error)
        *error = QStringLiteral("list export is not available in this build");
    return false;
#endif
}
