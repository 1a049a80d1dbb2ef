#pragma once
// Backups of the exchange's memory, taken before every upload: the 8192 raw
// bytes as <system name>-<yyyyMMdd-hhmmss>.bin and their decoding as a .TWZ
// of the same name, side by side in one folder. Each file is written whole
// before it appears under its name (a full disk leaves no half backup).
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// "backups" under the program's data folder, shared by every helmWISE program.
QString defaultBackupFolder();

// The system name made safe as the start of a file name; "exchange" when
// nothing usable is left.
QString backupBaseName(const QString &systemName);

struct BackupFiles {
    QStringList paths; // the files written, the .bin first
    QString error;     // why the backup is not complete; empty when it is
    bool ok() const { return error.isEmpty(); }
};

// Writes both files into `folder`, made when missing. A name taken already
// (two backups in one second) gets "-2", "-3", ... before the extension.
BackupFiles writeExchangeBackup(const QString &folder, const QString &systemName,
                                const QByteArray &image,
                                const QDateTime &when = QDateTime::currentDateTime());
