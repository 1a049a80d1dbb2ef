// helmwise-cli's verbs run in-process on configuration files written here, with
// their output captured from string-backed streams: check, convert, show and
// report, every verb's own usage, and every verb that writes a file onto a
// full disk and onto names that are not plain files. What the checker finds,
// how files are read and written and what reports hold is shown by their own
// tests: here each verb's part of it, once.
#include "CliRun.h"
#include "ConfigFile.h"
#include "NewSystem.h"
#include "ReportPrinting.h"
#include "SmallFilesystem.h"
#include "SmallShip.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using namespace tidelex;

namespace
{

// The small ship (extensions 101..108 on slot 2, shore lines 4..7 on slot 3,
// hunt group 501) as a configuration file.
QByteArray fileOf(const Configuration &c)
{
    return configFileBytes(c, QStringLiteral("01/02/2026 10:00"));
}

QByteArray shipFile()
{
    return fileOf(fixtures::smallShip());
}

// The small ship with the Bridge extension's name as the file spells it.
QByteArray bridgeNamed(const char *name)
{
    return shipFile().replace("<Name>Bridge<", QByteArray("<Name>") + name + '<');
}

const QString header = QStringLiteral("Error #\tType\tWhere\tProblem\tReference\n");

// IN stands for the input configuration, OUT for the folder written to.
QStringList arguments(const QStringList &pattern, const QString &in, const QString &out)
{
    QStringList args;
    for (QString arg : pattern)
        args << arg.replace(QStringLiteral("IN"), in).replace(QStringLiteral("OUT"), out);
    return args;
}

// A ship large enough that each written file spans several blocks of the disk.
QByteArray largeShipFile()
{
    Configuration c = makeDefaultConfiguration();
    NewSystemCounts counts;
    counts.extensions = 120;
    counts.officers = 8;
    counts.shore = 4;
    generateNewSystem(c, counts, planBoards(counts), QStringLiteral("01/02/2026 10:00"));
    return fileOf(c);
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
  private slots:
    void check_data();
    void check();
    void convert_data();
    void convert();
    void show_data();
    void show();
    void report_data();
    void report();
    void everyVerbsUsage_data();
    void everyVerbsUsage();
    void writingVerbs_data();
    void fullDisk_data() { writingVerbs_data(); }
    void fullDisk();
    void notAFile_data();
    void notAFile();
    void qtDiagnosticsOnlyWhenVerbose_data();
    void qtDiagnosticsOnlyWhenVerbose();
};

// clang-format off
void TestCli::check_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    Configuration duplicate = fixtures::smallShip();
    duplicate.Extensions[7].ExtNum = 107;
    Configuration warned = fixtures::smallShip();
    warned.TieLines[4].Class = TieClassSatComm;
    warned.TieLines[4].Dial9 = true;
    QTest::newRow("clean") << shipFile() << 0 << header << QString();
    QTest::newRow("errors")
        << fileOf(duplicate) << 1
        << header + QStringLiteral("1\tError\tChief\tDuplicate Extension number (107)\tE006\n"
                                   "2\tError\tDeck\tDuplicate Extension number (107)\tE007\n")
        << QString();
    QTest::newRow("warning only")
        << fileOf(warned) << 0
        << header + QStringLiteral("1\tWarning\tShore 1\tDial 9 is only allowed on Shore\tT004\n")
        << QString();
    // A file that cannot be loaded: the reason follows on the next line.
    QTest::newRow("a NUL byte")
        << shipFile().replace("<Name>", QByteArray("<Name>\0", 7)) << 2 << QString()
        << QStringLiteral("Unable to load file as error in file\na control character (code 0)");
}
// clang-format on

void TestCli::check()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(path, content));
    const CliRun r = runCli({QStringLiteral("check"), path});
    QCOMPARE(r.status, status);
    QCOMPARE(r.out, out);
    // The loader's message comes first; the reader's reason may follow.
    if (err.isEmpty())
        QCOMPARE(r.err, QString());
    else
        QVERIFY2(r.err.startsWith(err.section(u'\n', 0, 0)) &&
                     r.err.contains(err.section(u'\n', 1)),
                 qPrintable(r.err));
}

// clang-format off
void TestCli::convert_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("outName"); // relative to the test folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");     // all of it when converted, how it starts otherwise

    QTest::newRow("converted") << shipFile() << "out.TWZ" << 0 << QString();
    QTest::newRow("quoted output name") << shipFile() << "\"out.TWZ\"" << 0 << QString();
    QTest::newRow("output under a DOS name") << shipFile() << "out.tdz" << 2 << "Refusing";
    // The file's code page cannot hold every character a name may have.
    QTest::newRow("accents and the euro sign fit")
        << bridgeNamed("Caf&#xe9; &#x20ac;") << "out.TWZ" << 0 << QString();
    QTest::newRow("a character reference beyond the code page")
        << bridgeNamed("Bridge &#x2603;") << "out.TWZ" << 0
        << u"Warning: Extension 01.1 name \"Bridge \u2603\": \u2603 cannot be kept in the file and is saved as \"?\"\n"_s;
    QTest::newRow("Greek, each letter named once")
        << bridgeNamed("&#x3a9;&#x3a9;&#x3b1;") << "out.TWZ" << 0
        << u"Warning: Extension 01.1 name \"\u03a9\u03a9\u03b1\": \u03a9\u03b1 cannot be kept in the file and is saved as \"?\"\n"_s;
}
// clang-format on

// Whatever stood under the output name is left as it was when the verb fails.
void TestCli::convert()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, outName);
    QFETCH(int, status);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, content));
    QString bare = outName;
    bare.remove(QLatin1Char('"'));
    const QString out = dir.filePath(bare);
    QVERIFY(writeFileBytes(out, "previous"));
    const QString outArg =
        outName.startsWith(QLatin1Char('"')) ? QLatin1Char('"') + out + QLatin1Char('"') : out;

    const CliRun r = runCli({QStringLiteral("convert"), in, outArg});
    QCOMPARE(r.status, status);
    if (status != 0) {
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(readFileBytes(out), QByteArray("previous"));
        return;
    }
    QCOMPARE(r.err, err);
    // The written file is a configuration file holding what the input held.
    Configuration fromIn = makeDefaultConfiguration();
    Configuration fromOut = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(in, fromIn), ReadConfigOk);
    QCOMPARE(readConfigFile(out, fromOut), ReadConfigOk);
    QCOMPARE(fromOut.Extensions[1].Name, QStringLiteral("Galley"));
    fromOut.SysConfig.LastUpdate = fromIn.SysConfig.LastUpdate; // the save time is new
    QCOMPARE(fromOut == fromIn, err.isEmpty());
}

// clang-format off
void TestCli::show_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines"); // lines the output must hold, in this order

    Configuration ship = fixtures::smallShip();
    ship.SysConfig.Name = QStringLiteral("MV Test & Co");
    QTest::newRow("clean")
        << fileOf(ship)
        << QStringList{u"System: MV Test & Co"_s, u"  Slot 2 (Board 01):  Subscriber"_s,
                       u"  Slot 3 (Board 02):  Tie Line"_s,
                       u"  Slot 17:            Ringing Module"_s, u"Live extensions: 8"_s,
                       u"Live tie lines: 4"_s, u"  Shore: 4"_s, u"Active groups: 1"_s,
                       u"Errors: 0"_s, u"Warnings: 0"_s};
    // Extension 8 sits on slot 3, a Tie Line board, and tie line 0 on slot 2,
    // a Subscriber board: neither is live.
    ship.Extensions[8].Active = true;
    ship.Extensions[3].Active = false;
    ship.TieLines[0].Active = true;
    ship.TieLines[5].Class = TieClassPA;
    ship.TieLines[6].Class = TieClassSatComm;
    ship.TieLines[6].Dial9 = true;
    ship.Extensions[7].ExtNum = 99;
    ship.SysConfig.Pass = QStringLiteral("Q");
    QTest::newRow("records off their boards, findings counted")
        << fileOf(ship)
        << QStringList{u"Live extensions: 7"_s, u"Live tie lines: 4"_s, u"  Shore: 2"_s,
                       u"  Sat Comm: 1"_s, u"  PA: 1"_s, u"Errors: 2"_s, u"Warnings: 1"_s};
}
// clang-format on

void TestCli::show()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(path, content));
    const CliRun r = runCli({QStringLiteral("show"), path});
    QCOMPARE(r.status, 0);
    const QStringList got = r.out.split(QLatin1Char('\n'));
    qsizetype from = 0;
    for (const QString &line : lines) {
        const qsizetype at = got.indexOf(line, from);
        QVERIFY2(at >= 0,
                 qPrintable(QStringLiteral("missing or out of order: %1\n%2").arg(line, r.out)));
        from = at + 1;
    }
}

void TestCli::report_data()
{
    QTest::addColumn<QString>("line");   // after the verb; IN and OUT stand for the paths
    QTest::addColumn<QString>("ticked"); // the options the report is drawn with
    QTest::addColumn<QString>("err");    // how the refusal starts; empty: written
    const QString none;
    QTest::newRow("options ticked")
        << u"IN --number 0 --options 1,5 --pdf OUT --paper letter"_s << u"1,5"_s << none;
    QTest::newRow("no pdf named")
        << u"IN --number 101"_s << none << u"Usage: helmwise-cli report"_s;
    QTest::newRow("unknown report")
        << u"IN --number 999 --pdf OUT"_s << none << u"Unknown report number 999"_s;
    QTest::newRow("option above 5")
        << u"IN --number 0 --options 1,6 --pdf OUT"_s << none << u"Report options are numbers"_s;
    QTest::newRow("option 0")
        << u"IN --number 0 --options 0 --pdf OUT"_s << none << u"Report options are numbers"_s;
    QTest::newRow("unknown paper")
        << u"IN --number 0 --paper A3 --pdf OUT"_s << none << u"Paper is"_s;
    QTest::newRow("configuration not loadable")
        << u"IN.missing --number 0 --pdf OUT"_s << none << u"Unable to load"_s;
}

void TestCli::report()
{
    QFETCH(QString, line);
    QFETCH(QString, ticked);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("ship.TWZ"));
    const QString pdf = dir.filePath(QStringLiteral("ship.pdf"));
    QVERIFY(writeFileBytes(in, shipFile()));
    const QStringList words = QStringList{u"report"_s} + line.split(QLatin1Char(' '));
    const CliRun run = runCli(arguments(words, in, pdf));
    QCOMPARE(QFile::exists(pdf), err.isEmpty());
    if (!err.isEmpty()) {
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
        return;
    }
    QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
    // As many pages as the report drawn with those options takes.
    ReportOptions options;
    for (const QString &n : ticked.split(QLatin1Char(','), Qt::SkipEmptyParts))
        options.set(n.toInt(), true);
    ReportContext letter;
    letter.pageSize = QPageSize(QPageSize::Letter);
    const int pages = buildReport(fixtures::smallShip(), 0, options, letter)->pageCount();
    QCOMPARE(run.out, QStringLiteral("Report 0: %1 pages written to %2\n").arg(pages).arg(pdf));
}

void TestCli::everyVerbsUsage_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("option");
    for (const cli::Verb &verb : cli::verbs()) {
        for (const char *option : {"--help", "-h", "--no-such-option"}) {
            QTest::addRow("%s %s", verb.name, option)
                << QString::fromLatin1(verb.name) << QString::fromLatin1(option);
        }
    }
}

// --help after any verb prints its usage line and options and does nothing
// else (no file is read, no port opened); a wrong option is refused with
// the same usage line.
void TestCli::everyVerbsUsage()
{
    QFETCH(QString, verb);
    QFETCH(QString, option);
    const CliRun run = runCli({verb, option});
    const QString usage = QStringLiteral("Usage: helmwise-cli ") + verb;
    if (option == QLatin1String("--no-such-option")) {
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(u'\n' + usage), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        return;
    }
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith(usage), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("\nOptions:\n")), qPrintable(run.out));
}

// clang-format off
void TestCli::writingVerbs_data()
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
void TestCli::notAFile_data()
{
    writingVerbs_data();
    QTest::newRow("download") << QStringList{u"download"_s,     u"--port"_s,  u"OUT/none"_s,
                                             u"OUT/ship.TWZ"_s, u"--image"_s, u"OUT/ship.bin"_s}
                              << u"ship.bin"_s;
}

// The verb runs once with room to spare; the second time the disk has room
// for all but the last few KiB of the same file.
void TestCli::fullDisk()
{
    QFETCH(QStringList, pattern);
    QFETCH(QString, target);
    QTemporaryDir inputs;
    const QString in = inputs.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, largeShipFile()));
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

void TestCli::notAFile()
{
#ifdef Q_OS_UNIX
    QFETCH(QStringList, pattern);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, largeShipFile()));
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

void TestCli::qtDiagnosticsOnlyWhenVerbose_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("quiet") << false;
    QTest::newRow("verbose") << true;
}

void TestCli::qtDiagnosticsOnlyWhenVerbose()
{
    QFETCH(bool, verbose);
    // The program itself: laying out a report starts Qt's GUI side, which
    // complains of a missing XDG_RUNTIME_DIR on the real stderr.
    QTemporaryDir dir;
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"XDG_RUNTIME_DIR"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    cli.setProcessEnvironment(environment);
    QStringList args{u"report"_s, QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ"), u"--number"_s,
                     u"0"_s, u"--pdf"_s, dir.filePath(u"r.pdf"_s)};
    if (verbose)
        args.append(u"--verbose"_s);
    cli.start(QStringLiteral(HELMWISE_CLI), args);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    QCOMPARE(err.contains(u"XDG_RUNTIME_DIR"_s), verbose);
    if (!verbose)
        QCOMPARE(err, QString());
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
