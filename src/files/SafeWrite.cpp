#include "SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

bool fail(QString *error, const char *what, const QString &fileName, const QString &reason)
{
    if (error)
        *error = QString::fromLatin1(what).arg(QDir::toNativeSeparators(fileName), reason);
    return false;
}

} // namespace

QString unsafeTargetReason(const QString &fileName)
{
    const QFileInfo target(fileName); // follows links to what they name
    if (!target.exists() || target.isFile())
        return QString();
    if (target.isDir())
        return QStringLiteral("it is a folder, not a file");
    return QStringLiteral("it is a device, pipe or socket, not a file");
}

bool writeAllBytes(QIODevice &device, const QByteArray &bytes, QString *reason)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            if (reason) {
                const QString cause = device.errorString();
                *reason = QStringLiteral("Writing failed after %1 of %2 bytes: %3")
                              .arg(written)
                              .arg(bytes.size())
                              .arg(cause.isEmpty() ? QStringLiteral("device refused data") : cause);
            }
            return false;
        }
        written += n;
    }
    return true;
}

bool writeWholeFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    if (fileName.isEmpty())
        return fail(error, "Cannot create %1: %2", fileName, QStringLiteral("no file name given"));
    const QString unsafe = unsafeTargetReason(fileName);
    if (!unsafe.isEmpty())
        return fail(error, "Cannot write %1: %2", fileName, unsafe);

    // Unbuffered: a write the disk refuses fails at once instead of sitting
    // in a buffer whose failed flush the commit would not report.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, "Cannot create %1: %2", fileName, file.errorString());
    QString reason;
    if (!writeAllBytes(file, bytes, &reason) || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        if (reason.isEmpty())
            reason = file.errorString();
        file.cancelWriting();
        return fail(error, "Cannot write %1: %2", fileName, reason);
    }
    if (!file.commit())
        return fail(error, "Cannot write %1: %2", fileName, file.errorString());
    return true;
}
