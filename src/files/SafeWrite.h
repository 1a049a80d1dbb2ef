#pragma once
// Whole-file writes that never leave a half-written file: the bytes go to a
// temporary file beside the target, which replaces the target only once every
// byte has been written and flushed. A full disk, a refused write or a target
// that is not a plain file leaves whatever was there as it was, and the
// reason comes back in words ("No space left on device").
#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// Why `fileName` must not be written over: it exists and, after following
// links, is not a regular file (a folder, a device, a pipe, a socket).
// Empty when it is a regular file or does not exist yet.
QString unsafeTargetReason(const QString &fileName);

// Writes every byte to an open device, however many calls it takes. False
// with "Writing failed after N of M bytes: <reason>" when the device refuses.
bool writeAllBytes(QIODevice &device, const QByteArray &bytes, QString *reason = nullptr);

// Replaces `fileName` with `bytes`, or leaves it untouched and says why:
// "Cannot create <file>: <reason>" or "Cannot write <file>: <reason>".
bool writeWholeFile(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

// One file of a set that belongs together.
struct FileContents {
    QString fileName;
    QByteArray bytes;
};

// The first target of the set that cannot be written ("Cannot write <file>:
// it is a folder, not a file"); empty when every target may be written.
QString unsafeTargetsReason(const QList<FileContents> &files);

// Writes a set of files all or none: every target is checked and every file
// written in full beside its target before the first one replaces its
// target. A failure before that leaves every old file as it was. Only a
// crash or a refused rename between two replacements can leave some files
// new and the rest old, never one half-written.
bool writeWholeFiles(const QList<FileContents> &files, QString *error = nullptr);
