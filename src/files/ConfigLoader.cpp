#include "ConfigLoader.h"
#include "ConfigFile.h"

QString loadErrorInFileMessage()
{
    return QStringLiteral("Unable to load file as error in file");
}

QString loadUnknownVersionMessage()
{
    return QStringLiteral("Unable to load file as unknown Tidelex for Windows version");
}

LoadOutcome loadConfigurationFile(const QString &fileName, Configuration &config)
{
    // Quotes go first, so a quoted DOS file name still reaches the import.
    QString name = fileName;
    stripFileNameQuotes(name);
    if (name.right(3).toUpper() == QLatin1String("TDZ")) {
        LoadOutcome outcome = loadDosFile(name, config);
        outcome.importedDos = outcome.ok;
        outcome.fileName = name;
        return outcome;
    }

    LoadOutcome outcome;
    outcome.fileName = name;
    if (!ExistFile(name)) {
        outcome.message = loadErrorInFileMessage();
        outcome.detail = QStringLiteral("%1 is not a configuration file").arg(name);
        return outcome;
    }
    switch (ReadConfigFile(name, config, &outcome.detail)) {
    case ReadConfigOk:
        outcome.ok = true;
        break;
    case ReadConfigBadVersion:
        outcome.message = loadUnknownVersionMessage();
        break;
    default:
        outcome.message = loadErrorInFileMessage();
        break;
    }
    return outcome;
}
