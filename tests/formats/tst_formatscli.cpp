// The command-line verbs new, export, convert (for DOS files) and diff, run
// as functions with string streams.
#include "CliRun.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "TdzBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace tidelex;

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

tdz::File dosShip()
{
    tdz::File f;
    f.exts = {{101, 0, "BRIDGE", 0x40, 0x80}, {102, 1, "ENGINE", 0, 0}};
    f.groups = {{"DECK", 1, 0, 0, {101, 102}, -1, 0}};
    tdz::Tie tie;
    tie.name = "SHORE A";
    tie.ext1 = 101;
    f.ties = {tie};
    return f;
}

} // namespace

class TestFormatsCli : public QObject {
    Q_OBJECT
private slots:
    void newRefusals_data();
    void newRefusals();
    void newWritesGeneratedSystem();
    void exportLists_data();
    void exportLists();
    void exportFailures_data();
    void exportFailures();
    void loaderImportsDosFiles_data();
    void loaderImportsDosFiles();
    void convertDosFile_data();
    void convertDosFile();
    void diff_data();
    void diff();
};

void TestFormatsCli::newRefusals_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("message");
    const QString notPossible = u"This configuration not possible"_s;
    const QString extensions = u"--extensions must be a number from 1 to 120"_s;
    QTest::newRow("120 extensions and a shore line") << u"--extensions 120 --shore 1"_s << notPossible;
    QTest::newRow("officers as many as extensions")
        << u"--extensions 8 --officers 8"_s
        << u"Must be less than the total number of extensions in the system"_s;
    QTest::newRow("no extensions") << u"--extensions 0"_s << extensions;
    QTest::newRow("121 extensions") << u"--extensions 121"_s << extensions;
    QTest::newRow("not a number") << u"--extensions eight"_s << extensions;
    QTest::newRow("17 pager lines")
        << u"--extensions 8 --pager 17"_s << u"--pager must be a number from 0 to 16"_s;
    QTest::newRow("negative officers")
        << u"--extensions 8 --officers -1"_s << u"--officers must be a number from 0 to 120"_s;
    QTest::newRow("extensions missing") << u"--shore 2"_s << u"--extensions is required"_s;
}

void TestFormatsCli::newRefusals()
{
    QFETCH(QString, options);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = dir.filePath(u"new.TWZ"_s);
    const CliRun r = runCli(QStringList{u"new"_s} + options.split(u' ') + QStringList{out}, cli::runNew);
    QCOMPARE(r.status, int(cli::ExitBadInput));
    QCOMPARE(r.err.trimmed(), message);
    QVERIFY(!QFile::exists(out));
}

void TestFormatsCli::newWritesGeneratedSystem()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"ship.TWZ"_s);
    const CliRun r = runCli(u"new --extensions 16 --officers 1 --shore 3 --satcom 1 --pa 0 --pager 0"_s
                              .split(u' ') + QStringList{out}, cli::runNew);
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));

    Configuration c = makeDefaultConfiguration();
    QString error;
    QCOMPARE(readConfigFile(out, c, &error), ReadConfigOk);
    QCOMPARE(c.SysConfig.Pass, u"HMWS"_s);
    QCOMPARE(c.SysConfig.Slots[2], int16_t(BoardSubscriber));
    QCOMPARE(c.SysConfig.Slots[3], int16_t(BoardSubscriber));
    QCOMPARE(c.SysConfig.Slots[4], int16_t(BoardEmpty));
    QCOMPARE(c.SysConfig.Slots[16], int16_t(BoardTieLine));
    QCOMPARE(c.Extensions[0].Name, u"Officer 01"_s);
    QCOMPARE(c.Extensions[15].Name, u"Crew 15"_s);
    QCOMPARE(c.TieLines[58].Name, u"Shore 3"_s);
    QCOMPARE(c.TieLines[59].Name, u"SATCOM 1"_s);
    QVERIFY(!c.SysConfig.LastUpdate.isEmpty());
}

void TestFormatsCli::exportLists_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("firstCell");
    QTest::newRow("DOS file to CSV") << u"SHIP.TDZ"_s << u"out.csv"_s << u"\"Board\","_s;
}

void TestFormatsCli::exportLists()
{
    QFETCH(QString, input);
    QFETCH(QString, chosen);
    QFETCH(QString, firstCell);
    QTemporaryDir dir;
    const QString in = dir.filePath(input);
    QVERIFY(writeBytes(in, dosShip().bytes()));
    const CliRun r = runCli({u"export"_s, in, dir.filePath(chosen)}, cli::runExport);
    QVERIFY2(r.status == cli::ExitOk, qPrintable(r.err));
    QCOMPARE(r.out.count(u"Wrote "_s), 3);

    QFile extensions(dir.filePath(u"out_Extensions."_s + chosen.section(u'.', 1)));
    QVERIFY(extensions.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(extensions.readAll());
    QVERIFY(text.startsWith(firstCell));
    QVERIFY2(text.contains(u"\"BRIDGE\""_s), qPrintable(text));
    QVERIFY(QFile::exists(dir.filePath(u"out_TieLines."_s + chosen.section(u'.', 1))));
    QVERIFY(QFile::exists(dir.filePath(u"out_Groups."_s + chosen.section(u'.', 1))));
}

void TestFormatsCli::exportFailures_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("message");
    const QByteArray good = dosShip().bytes();
    QTest::newRow("corrupted DOS file") << good.left(40) << u"a.TDZ"_s << u"o.csv"_s
                                        << u"Unable to open TDZ File as corrupted file"_s;
    QTest::newRow("folder missing")
        << good << u"a.TDZ"_s << u"none/o.csv"_s << u"o_Extensions.csv"_s;
}

void TestFormatsCli::exportFailures()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, inputName);
    QFETCH(QString, chosen);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(inputName), input));
    const CliRun r = runCli({u"export"_s, dir.filePath(inputName), dir.filePath(chosen)}, cli::runExport);
    QCOMPARE(r.status, int(cli::ExitBadInput));
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // nothing written
}

// The loader behind check, show, convert and export hands DOS files to the import.
void TestFormatsCli::loaderImportsDosFiles_data()
{
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");
    const QByteArray good = dosShip().bytes();
    QTest::newRow("upper case") << u"IN.TDZ"_s << good << QString();
    QTest::newRow("corrupted") << u"IN.TDZ"_s << good.left(good.size() - 1)
                               << u"Unable to open TDZ File as corrupted file"_s;
    QTest::newRow("not a DOS file") << u"IN.tdz"_s << QByteArray("<?xml?>")
                                    << u"Unable to open TDZ File as unknown type/ version"_s;
}

void TestFormatsCli::loaderImportsDosFiles()
{
    QFETCH(QString, inputName);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(inputName), input));
    const Configuration before = makeDefaultConfiguration();
    Configuration c = before;
    const LoadOutcome loaded = loadConfigurationFile(dir.filePath(inputName), c);
    QCOMPARE(loaded.message, message);
    QCOMPARE(loaded.ok, message.isEmpty());
    QCOMPARE(loaded.importedDos, loaded.ok);
    if (!loaded.ok) {
        QVERIFY(c == before);
        return;
    }
    QCOMPARE(c.Extensions[0].Name, u"BRIDGE"_s);
    QCOMPARE(c.SysConfig.GA[0], int16_t(101));
    QCOMPARE(c.Groups[0].Type, int16_t(GroupPickup));
    QCOMPARE(c.TieLines[59].Name, u"SHORE A"_s);
    QCOMPARE(c.SysConfig.Slots[16], int16_t(BoardTieLine));
}

void TestFormatsCli::convertDosFile_data()
{
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray good = dosShip().bytes();
    QTest::newRow("lower case") << u"in.tdz"_s << good << int(cli::ExitOk) << QString();
    QTest::newRow("corrupted") << u"IN.TDZ"_s << good.left(60) << int(cli::ExitBadInput)
                               << u"Unable to open TDZ File as corrupted file"_s;
}

void TestFormatsCli::convertDosFile()
{
    QFETCH(QString, inputName);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(inputName), input));
    const QString out = dir.filePath(u"OUT.TWZ"_s);
    const CliRun r = runCli({u"convert"_s, dir.filePath(inputName), out}, cli::runConvert);
    QTEST(r.status, "status");
    QCOMPARE(r.err.section(u'\n', 0, 0), message);
    Configuration c = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(out, c) == ReadConfigOk, message.isEmpty());
    if (message.isEmpty())
        QCOMPARE(c.TieLines[59].Name, u"SHORE A"_s);
}

void TestFormatsCli::diff_data()
{
    QTest::addColumn<QStringList>("args"); // file names in the test's folder, then options
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString header = u"Record\tField\tFirst\tSecond\n"_s;
    QTest::newRow("a DOS file and its conversion, saved later")
        << QStringList{u"ship.TDZ"_s, u"ship.TWZ"_s} << 0 << QString() << QString();
    QTest::newRow("a name differs")
        << QStringList{u"ship.TWZ"_s, u"renamed.TWZ"_s} << 1
        << header + u"Extension 01.1\tName\tBRIDGE\tWHEELHOUSE\n"_s << QString();
    QTest::newRow("a number differs, names ignored")
        << QStringList{u"ship.TDZ"_s, u"--ignore-names"_s, u"renumbered.TWZ"_s} << 1
        << header + u"Extension 01.2\tExt No\t102\t150\n"_s << QString();
    QTest::newRow("second file missing")
        << QStringList{u"ship.TWZ"_s, u"missing.TWZ"_s} << 2 << QString()
        << u"Unable to load file as error in file\n"_s;
    QTest::newRow("one file only") << QStringList{u"ship.TWZ"_s} << 2 << QString()
                                   << u"Usage: helmwise-cli diff A B [--ignore-names]\n"_s;
}

void TestFormatsCli::diff()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(u"ship.TDZ"_s), dosShip().bytes()));
    Configuration c = makeDefaultConfiguration();
    QVERIFY(loadConfigurationFile(dir.filePath(u"ship.TDZ"_s), c).ok);
    QVERIFY(writeConfigFile(dir.filePath(u"ship.TWZ"_s), c, nullptr, u"01/02/2026 10:00"_s));
    c.Extensions[0].Name = u"WHEELHOUSE"_s;
    QVERIFY(writeConfigFile(dir.filePath(u"renamed.TWZ"_s), c));
    c.Extensions[1].ExtNum = 150;
    QVERIFY(writeConfigFile(dir.filePath(u"renumbered.TWZ"_s), c));

    QStringList line{u"diff"_s};
    for (const QString &arg : args)
        line << (arg.startsWith(u'-') ? arg : dir.filePath(arg));
    const CliRun r = runCli(line);
    QTEST(r.status, "status");
    QCOMPARE(r.out, out);
    // The loader's message first; the reader's reason may follow.
    QCOMPARE(r.err.section(u'\n', 0, 0) + (err.isEmpty() ? QString() : u"\n"_s), err);
}

QTEST_GUILESS_MAIN(TestFormatsCli)
#include "tst_formatscli.moc"
