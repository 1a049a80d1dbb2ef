// Every verb that writes a file, onto a really full disk and onto names that
// are not plain files: the verb fails with the reason in words, prints no
// "Wrote", and whatever was there before is left exactly as it was.
#include "CliRun.h"
#include "ConfigFile.h"
#include "NewSystem.h"
#include "SmallFilesystem.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace
{

// IN stands for the input configuration, OUT for the folder written to.
QStringList arguments(const QStringList &pattern, const QString &in, const QString &out)
{
    QStringList args;
    for (QString arg : pattern)
        args << arg.replace(QStringLiteral("IN"), in).replace(QStringLiteral("OUT"), out);
    return args;
}

QByteArray shipBytes()
{
    Configuration c = makeDefaultConfiguration();
    NewSystemCounts counts;
    counts.extensions = 120;
    counts.officers = 8;
    counts.shore = 4;
    generateNewSystem(c, counts, planBoards(counts), QStringLiteral("01/02/2026 10:00"));
    return configFileBytes(c, QStringLiteral("01/02/2026 10:00"));
}

} // namespace

class TestCliWrites : public QObject
{
    Q_OBJECT
  private slots:
    void verbs_data();
    void fullDisk_data() { verbs_data(); }
    void fullDisk();
    void notAFile_data();
    void notAFile();
};

// clang-format off
void TestCliWrites::verbs_data()
{
    QTest::addColumn<QStringList>("pattern");
    QTest::addColumn<QString>("target"); // a file the verb writes, in OUT (the second of a set)
    QTest::newRow("convert") << QStringList{u"convert"_s, u"IN"_s, u"OUT/ship.TWZ"_s} << u"ship.TWZ"_s;
    QTest::newRow("new")
        << QStringList{u"new"_s, u"--extensions"_s, u"120"_s, u"--officers"_s, u"8"_s, u"OUT/ship.TWZ"_s} << u"ship.TWZ"_s;
    QTest::newRow("export") << QStringList{u"export"_s, u"IN"_s, u"OUT/lists.csv"_s} << u"lists_TieLines.csv"_s;
    QTest::newRow("report as PDF")
        << QStringList{u"report"_s, u"IN"_s, u"--number"_s, u"0"_s, u"--pdf"_s, u"OUT/ship.pdf"_s} << u"ship.pdf"_s;
}
// clang-format on

// Every verb that writes, and a download whose image cannot be written:
// refused before the exchange is even looked for.
void TestCliWrites::notAFile_data()
{
    verbs_data();
    QTest::newRow("download") << QStringList{u"download"_s,     u"--port"_s,  u"OUT/none"_s,
                                             u"OUT/ship.TWZ"_s, u"--image"_s, u"OUT/ship.bin"_s}
                              << u"ship.bin"_s;
}

// The verb runs once with room to spare; the second time the disk has room
// for all but the last few KiB of the same file.
void TestCliWrites::fullDisk()
{
    QFETCH(QStringList, pattern);
    QFETCH(QString, target);
    QTemporaryDir inputs;
    const QString in = inputs.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, shipBytes()));
    SmallFilesystem fs(512 * 1024);
    if (!fs.mounted())
        QSKIP(qPrintable(fs.whyNot()));
    const QStringList args = arguments(pattern, in, fs.filePath(QString()));

    const CliRun first = runCli(args);
    QVERIFY2(first.status == 0, qPrintable(first.err));
    const QByteArray before = readFileBytes(fs.filePath(target));
    QVERIFY(fs.leaveRoom((before.size() - 1) / 4096 * 4096));

    const CliRun again = runCli(args);
    QVERIFY(again.status != 0);
    QVERIFY2(again.err.contains(QStringLiteral("No space left on device")), qPrintable(again.err));
    QVERIFY2(!again.out.contains(QStringLiteral("Wrote")), qPrintable(again.out));
    QCOMPARE(readFileBytes(fs.filePath(target)), before);
}

void TestCliWrites::notAFile()
{
#ifdef Q_OS_UNIX
    QFETCH(QStringList, pattern);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, shipBytes()));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
    const QString node = dir.filePath(QStringLiteral("out/") + target);
    QCOMPARE(::mkfifo(QFile::encodeName(node).constData(), 0644), 0);

    const CliRun run = runCli(arguments(pattern, in, dir.filePath(QStringLiteral("out"))));
    QVERIFY(run.status != 0);
    QVERIFY2(run.err.contains(QStringLiteral("not a file")), qPrintable(run.err));
    QVERIFY2(run.err.contains(QDir::toNativeSeparators(node)), qPrintable(run.err));
    QVERIFY2(!QFileInfo(node).isFile(), "the pipe was replaced by a plain file");
    // Nothing else of the set was written beside it.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out")))
                 .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{target});
#else
    QSKIP("pipes are a Unix thing");
#endif
}

QTEST_MAIN(TestCliWrites)
#include "tst_cli_writes.moc"
