#include "SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <vector>

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

QString unsafeTargetsReason(const QList<FileContents> &files)
{
    for (const FileContents &file : files) {
        if (file.fileName.isEmpty()) {
            QString error;
            fail(&error, "Cannot create %1: %2", file.fileName,
                 QStringLiteral("no file name given"));
            return error;
        }
        const QString unsafe = unsafeTargetReason(file.fileName);
        if (!unsafe.isEmpty()) {
            QString error;
            fail(&error, "Cannot write %1: %2", file.fileName, unsafe);
            return error;
        }
    }
    return QString();
}

bool writeWholeFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    return writeWholeFiles({{fileName, bytes}}, error);
}

bool writeWholeFiles(const QList<FileContents> &files, QString *error)
{
    const QString unsafe = unsafeTargetsReason(files);
    if (!unsafe.isEmpty()) {
        if (error)
            *error = unsafe;
        return false;
    }
    // Every file goes to its temporary file first; an uncommitted QSaveFile
    // removes its temporary file when it goes away, leaving the target alone.
    std::vector<std::unique_ptr<QSaveFile>> staged;
    for (const FileContents &contents : files) {
        // Unbuffered: a write the disk refuses fails at once instead of
        // sitting in a buffer whose failed flush the commit would not report.
        auto file = std::make_unique<QSaveFile>(contents.fileName);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(error, "Cannot create %1: %2", contents.fileName, file->errorString());
        QString reason;
        if (!writeAllBytes(*file, contents.bytes, &reason) || !file->flush() ||
            file->error() != QFileDevice::NoError) {
            if (reason.isEmpty())
                reason = file->errorString();
            return fail(error, "Cannot write %1: %2", contents.fileName, reason);
        }
        staged.push_back(std::move(file));
    }
    for (const auto &file : staged) {
        if (!file->commit())
            return fail(error, "Cannot write %1: %2", file->fileName(), file->errorString());
    }
    return true;
}
