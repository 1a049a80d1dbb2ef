// Whole-file writes under every failure: a really full filesystem, a
// read-only one, and targets that are not plain files. A failed write must
// say why and leave what was there before exactly as it was.
#include "SafeWrite.h"
#include "SmallFilesystem.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace
{

const QByteArray oldContents = "the configuration that was there before\r\n";

// About the size of a configuration file, not all alike so nothing folds it.
QByteArray newContents()
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < 68140; ++i)
        bytes += "\t\t\t<Name>Extension " + QByteArray::number(i) + "</Name>\r\n";
    return bytes.left(68140);
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT

  private slots:
    void fullFilesystem_data();
    void fullFilesystem();
    void readOnlyFilesystem();
    void notAFile_data();
    void notAFile();
    void throughLinkToFile();
    void setIsWrittenWholeOrNotAtAll_data();
    void setIsWrittenWholeOrNotAtAll();
};

// clang-format off
void TestSafeWrite::fullFilesystem_data()
{
    QTest::addColumn<qint64>("room"); // bytes left free before the write
    QTest::addColumn<bool>("fits");
    const qint64 size = newContents().size();
    const qint64 page = 4096;
    QTest::newRow("no room at all") << qint64(0) << false;
    // The last few KiB are what a buffered writer keeps back for the end.
    QTest::newRow("all but the last block") << size / page * page << false;
    QTest::newRow("room to spare") << (size / page + 4) * page << true;
}
// clang-format on

void TestSafeWrite::fullFilesystem()
{
    QFETCH(qint64, room);
    QFETCH(bool, fits);
    SmallFilesystem fs(256 * 1024);
    if (!fs.mounted())
        QSKIP(qPrintable(fs.whyNot()));
    const QString target = fs.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(target, oldContents));
    QVERIFY(fs.leaveRoom(room));
    const QStringList before = entries(fs.filePath(QString()));

    QString error;
    const bool ok = writeWholeFile(target, newContents(), &error);

    QCOMPARE(ok, fits);
    QCOMPARE(entries(fs.filePath(QString())), before); // no temporary file left behind
    if (fits) {
        QCOMPARE(readFileBytes(target), newContents());
        return;
    }
    QVERIFY2(error.contains(QStringLiteral("No space left on device")), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QCOMPARE(readFileBytes(target), oldContents);
}

void TestSafeWrite::readOnlyFilesystem()
{
    SmallFilesystem fs(64 * 1024);
    if (!fs.mounted())
        QSKIP(qPrintable(fs.whyNot()));
    const QString target = fs.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(target, oldContents));
    QVERIFY(fs.makeReadOnly());

    QString error;
    QVERIFY(!writeWholeFile(target, newContents(), &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QCOMPARE(readFileBytes(target), oldContents);
}

// clang-format off
void TestSafeWrite::notAFile_data()
{
    QTest::addColumn<QString>("kind");   // what stands at the target's name
    QTest::addColumn<bool>("viaLink");   // the name is a link to it
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("socket") << "socket" << false;
    QTest::newRow("link to a pipe") << "pipe" << true;
    QTest::newRow("link to a folder") << "folder" << true;
}
// clang-format on

void TestSafeWrite::notAFile()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(bool, viaLink);
    QTemporaryDir dir;
    const QString node = dir.filePath(QStringLiteral("node"));
    const QByteArray nodeName = QFile::encodeName(node);
    int socketFd = -1;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(node));
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(nodeName.constData(), 0644), 0);
    } else {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(nodeName.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, nodeName.constData(), nodeName.size());
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    }
    const QString target = viaLink ? dir.filePath(QStringLiteral("link")) : node;
    if (viaLink)
        QVERIFY(QFile::link(node, target));

    QString error;
    const bool ok = writeWholeFile(target, newContents(), &error);
    if (socketFd >= 0)
        ::close(socketFd);

    QVERIFY(!ok);
    QVERIFY2(error.contains(QStringLiteral("not a file")), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    const QFileInfo after(node);
    QVERIFY(after.exists());
    QVERIFY2(!after.isFile(), "the node was replaced by a plain file");
    QCOMPARE(QFileInfo(target).isSymLink(), viaLink);
#else
    QSKIP("pipes and sockets are Unix things");
#endif
}

// A link to a plain file stays a link; the file it names gets the bytes.
void TestSafeWrite::throughLinkToFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ship.TWZ"));
    const QString link = dir.filePath(QStringLiteral("current.TWZ"));
    QVERIFY(writeFileBytes(file, oldContents));
    if (!QFile::link(file, link))
        QSKIP("this filesystem has no links");

    QString error;
    QVERIFY2(writeWholeFile(link, newContents(), &error), qPrintable(error));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFileBytes(file), newContents());
}

void TestSafeWrite::setIsWrittenWholeOrNotAtAll_data()
{
    QTest::addColumn<int>("bad"); // which of the three targets is a folder; -1: none
    QTest::newRow("first") << 0;
    QTest::newRow("second") << 1;
    QTest::newRow("last") << 2;
    QTest::newRow("none") << -1;
}

// Three files that belong together (the lists of an export, say), one of
// them existing before: either all three get their new bytes, or none does.
void TestSafeWrite::setIsWrittenWholeOrNotAtAll()
{
    QFETCH(int, bad);
    QTemporaryDir dir;
    QList<FileContents> set;
    for (int k = 0; k < 3; ++k)
        set.append({dir.filePath(QStringLiteral("list%1.csv").arg(k)), newContents()});
    const int old = bad == 1 ? 2 : 1; // a file of the set that was there before
    QVERIFY(writeFileBytes(set[old].fileName, oldContents));
    if (bad >= 0)
        QVERIFY(QDir().mkdir(set[bad].fileName));
    const QStringList before = entries(dir.path());

    QString error;
    const bool ok = writeWholeFiles(set, &error);
    QCOMPARE(ok, bad < 0);
    if (ok) {
        for (const FileContents &file : set)
            QCOMPARE(readFileBytes(file.fileName), newContents());
        return;
    }
    QVERIFY2(error.contains(QDir::toNativeSeparators(set[bad].fileName)), qPrintable(error));
    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(readFileBytes(set[old].fileName), oldContents);
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
