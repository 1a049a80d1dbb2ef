#include "ConfigLoader.h"
#include "ConfigFile.h"
#include "DosImport.h"
#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

QString loadErrorInFileMessage()
{
    return QStringLiteral("Unable to load file as error in file");
}

QString loadUnknownVersionMessage()
{
    return QStringLiteral("Unable to load file as unknown Tidelex for Windows version");
}

namespace
{

QString bytesText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// Why the file is not even worth reading; empty when it may be read.
QString unreadableReason(const QString &name)
{
    const QFileInfo info(name);
    if (!info.exists())
        return QStringLiteral("no such file");
    const QString notAFile = unsafeTargetReason(name);
    if (!notAFile.isEmpty())
        return notAFile;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (info.size() > MaxConfigFileBytes)
        return QStringLiteral("the file is %1; a configuration file is at most %2")
            .arg(bytesText(info.size()), bytesText(MaxConfigFileBytes));
    return QString();
}

} // namespace

QString loadFailureDetail(const LoadOutcome &load)
{
    QString detail = QDir::toNativeSeparators(load.fileName);
    if (!load.detail.isEmpty())
        detail += QLatin1Char('\n') + load.detail;
    return detail;
}

LoadOutcome loadConfigurationFile(const QString &fileName, Configuration &config)
{
    // Quotes go first, so a quoted DOS file name still reaches the import.
    QString name = fileName;
    stripFileNameQuotes(name);
    const bool dosFile = name.right(3).toUpper() == QLatin1String("TDZ");
    const QString unreadable = unreadableReason(name);
    if (!unreadable.isEmpty()) {
        LoadOutcome outcome;
        outcome.fileName = name;
        outcome.message = dosFile ? dosUnknownVersionText() : loadErrorInFileMessage();
        outcome.detail = unreadable;
        return outcome;
    }
    if (dosFile) {
        LoadOutcome outcome = loadDosFile(name, config);
        outcome.importedDos = outcome.ok;
        outcome.fileName = name;
        return outcome;
    }

    LoadOutcome outcome;
    outcome.fileName = name;
    if (!existFile(name)) {
        outcome.message = loadErrorInFileMessage();
        outcome.detail = QStringLiteral("not a configuration file");
        return outcome;
    }
    switch (readConfigFile(name, config, &outcome.detail)) {
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
