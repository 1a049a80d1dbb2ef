#pragma once
// A real filesystem that runs full: a tmpfs of a few KiB mounted over a
// temporary folder for the life of the object and unmounted afterwards.
// Mounting needs root (and Linux); otherwise mounted() is false and
// whyNot() says why, for QSKIP.
#include <QByteArray>
#include <QFile>
#include <QStorageInfo>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>
#endif

class SmallFilesystem
{
  public:
    explicit SmallFilesystem(qint64 bytes)
    {
#ifdef Q_OS_LINUX
        if (geteuid() != 0) {
            m_whyNot = QStringLiteral("mounting a small filesystem needs root");
            return;
        }
        const QByteArray where = QFile::encodeName(m_dir.path());
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) != 0) {
            m_whyNot = QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = true;
#else
        Q_UNUSED(bytes);
        m_whyNot = QStringLiteral("a small filesystem needs Linux");
#endif
    }
    ~SmallFilesystem()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
    }
    SmallFilesystem(const SmallFilesystem &) = delete;
    SmallFilesystem &operator=(const SmallFilesystem &) = delete;

    bool mounted() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    qint64 freeBytes() const { return QStorageInfo(m_dir.path()).bytesAvailable(); }

    // Fills the filesystem with a filler file until about `room` bytes stay free.
    bool leaveRoom(qint64 room)
    {
        const qint64 fill = freeBytes() - room;
        if (fill <= 0)
            return fill == 0;
        QFile filler(filePath(QStringLiteral(".filler")));
        return filler.open(QIODevice::WriteOnly) &&
               filler.write(QByteArray(fill, '\0')) == fill && filler.flush();
    }

    // From now on every write is refused: the filesystem is mounted read-only.
    bool makeReadOnly()
    {
#ifdef Q_OS_LINUX
        const QByteArray where = QFile::encodeName(m_dir.path());
        return m_mounted &&
               ::mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#else
        return false;
#endif
    }

  private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};
