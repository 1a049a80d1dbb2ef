#include "ExchangeBackup.h"

#include "ConfigFile.h"
#include "Configuration.h"
#include "ExchangeImage.h"
#include "SafeWrite.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace
{

constexpr int MaxBaseLength = 64;

// The first "<base>.bin" / "<base>-N.bin" whose .bin and .TWZ are both free.
QString freeStem(const QDir &folder, const QString &base)
{
    QString stem = base;
    for (int n = 2; QFileInfo::exists(folder.filePath(stem + QStringLiteral(".bin"))) ||
                    QFileInfo::exists(folder.filePath(stem + QStringLiteral(".TWZ")));
         ++n)
        stem = base + u'-' + QString::number(n);
    return folder.filePath(stem);
}

} // namespace

QString defaultBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/backups");
}

QString backupBaseName(const QString &systemName)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9 _.-]+"));
    static const QRegularExpression edges(QStringLiteral("^[. ]+|[. ]+$"));
    static const QRegularExpression meaningful(QStringLiteral("[A-Za-z0-9]"));
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
        QRegularExpression::CaseInsensitiveOption);
    QString name = systemName;
    name.replace(unsafe, QStringLiteral("_"));
    // No hidden files, no trailing dots or spaces (Windows drops them).
    name = name.simplified().left(MaxBaseLength).remove(edges);
    if (!name.contains(meaningful))
        return QStringLiteral("exchange");
    if (reserved.match(name).hasMatch())
        name += u'_'; // names Windows keeps for devices
    return name;
}

BackupFiles writeExchangeBackup(const QString &folder, const QString &systemName,
                                const QByteArray &image, const QDateTime &when)
{
    BackupFiles result;
    Configuration config = makeDefaultConfiguration();
    if (!decodeExchMemory(image, config)) {
        result.error = QStringLiteral("the exchange's memory image has %1 bytes, not %2")
                           .arg(image.size())
                           .arg(ExchMap::MemorySize);
        return result;
    }
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        result.error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return result;
    }
    const QString stem = freeStem(dir, backupBaseName(systemName) + u'-' +
                                           when.toString(QStringLiteral("yyyyMMdd-hhmmss")));
    const QString bin = stem + QStringLiteral(".bin");
    const QString twz = stem + QStringLiteral(".TWZ");
    // The raw bytes and their decoding are one backup: both files or neither.
    if (!writeWholeFiles({{bin, image}, {twz, configFileBytes(config, currentLastUpdate())}},
                         &result.error))
        return result;
    result.paths.append(bin);
    result.paths.append(twz);
    return result;
}
