// helmwise-cli's verbs run in-process on configuration files written here, with
// their output captured from string-backed streams: check, convert, show and
// report, every verb's own usage, and every verb that writes a file onto names
// that are not plain files. What the checker finds, how files are read and
// written and what reports hold is shown by their own tests: here each verb's
// part of it, once.
#include "CliRun.h"
#include "ConfigFile.h"
#include "ReportPrinting.h"
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

// %in stands for the input configuration, %out for where the verb writes.
QString withPaths(QString text, const QString &in, const QString &out)
{
    return text.replace(QStringLiteral("%in"), in).replace(QStringLiteral("%out"), out);
}

// A command line's words, split at spaces, with the paths put in.
QStringList arguments(const QString &line, const QString &in, const QString &out)
{
    QStringList args;
    for (const QString &word : line.split(QLatin1Char(' ')))
        args << withPaths(word, in, out);
    return args;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
  private slots:
    void fileVerbs_data();
    void fileVerbs();
    void everyVerbsUsage_data();
    void everyVerbsUsage();
    void qtDiagnosticsOnlyWhenVerbose_data();
    void qtDiagnosticsOnlyWhenVerbose();
};

// clang-format off
void TestCli::fileVerbs_data()
{
    QTest::addColumn<QByteArray>("content"); // of %in
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("pipe"); // a name in the folder that is a pipe, not a file

    const QString none;
    Configuration duplicate = fixtures::smallShip();
    duplicate.Extensions[7].ExtNum = 107;
    Configuration warned = fixtures::smallShip();
    warned.TieLines[4].Class = TieClassSatComm;
    warned.TieLines[4].Dial9 = true;
    QTest::newRow("check clean") << shipFile() << u"check %in"_s << 0 << header << none << none;
    QTest::newRow("check errors")
        << fileOf(duplicate) << u"check %in"_s << 1
        << header + u"1\tError\tChief\tDuplicate Extension number (107)\tE006\n"
                    u"2\tError\tDeck\tDuplicate Extension number (107)\tE007\n"_s
        << none << none;
    QTest::newRow("check warning only")
        << fileOf(warned) << u"check %in"_s << 0
        << header + u"1\tWarning\tShore 1\tDial 9 is only allowed on Shore\tT004\n"_s << none << none;
    // A file that cannot be loaded: the reason follows on the next line.
    QTest::newRow("check a NUL byte")
        << shipFile().replace("<Name>", QByteArray("<Name>\0", 7)) << u"check %in"_s << 2 << none
        << u"Unable to load file as error in file\n%in: line 5: a control character (code 0), which a configuration file cannot hold\n"_s << none;

    QTest::newRow("convert") << shipFile() << u"convert %in %out"_s << 0 << u"Wrote %out\n"_s << none << none;
    QTest::newRow("convert, quoted output name")
        << shipFile() << u"convert %in \"%out\""_s << 0 << u"Wrote %out\n"_s << none << none;
    QTest::newRow("convert, output under a DOS name")
        << shipFile() << u"convert %in %out.tdz"_s << 2 << none
        << u"Refusing to write a configuration file under a .TDZ name: %out.tdz\n"_s << none;
    // The file's code page cannot hold every character a name may have.
    QTest::newRow("convert, accents and the euro sign fit")
        << bridgeNamed("Caf&#xe9; &#x20ac;") << u"convert %in %out"_s << 0 << u"Wrote %out\n"_s << none << none;
    QTest::newRow("convert, a character beyond the code page")
        << bridgeNamed("Bridge &#x2603;") << u"convert %in %out"_s << 0 << u"Wrote %out\n"_s
        << u"Warning: Extension 01.1 name \"Bridge \u2603\": \u2603 cannot be kept in the file and is saved as \"?\"\n"_s << none;
    QTest::newRow("convert, Greek, each letter named once")
        << bridgeNamed("&#x3a9;&#x3a9;&#x3b1;") << u"convert %in %out"_s << 0 << u"Wrote %out\n"_s
        << u"Warning: Extension 01.1 name \"\u03a9\u03a9\u03b1\": \u03a9\u03b1 cannot be kept in the file and is saved as \"?\"\n"_s << none;

    Configuration ship = fixtures::smallShip();
    ship.SysConfig.Name = QStringLiteral("MV Test & Co");
    const QString shown =
        u"System: MV Test & Co\nLast saved: 01/02/2026 10:00\nSlots:\n"
        u"  Slot 0:             Empty\n  Slot 1:             Processor\n"
        u"  Slot 2 (Board 01):  Subscriber\n  Slot 3 (Board 02):  Tie Line\n"
        u"  Slot 4 (Board 03):  Empty\n  Slot 5 (Board 04):  Empty\n  Slot 6 (Board 05):  Empty\n"
        u"  Slot 7 (Board 06):  Empty\n  Slot 8 (Board 07):  Empty\n  Slot 9 (Board 08):  Empty\n"
        u"  Slot 10 (Board 09): Empty\n  Slot 11 (Board 10): Empty\n  Slot 12 (Board 11): Empty\n"
        u"  Slot 13 (Board 12): Empty\n  Slot 14 (Board 13): Empty\n  Slot 15 (Board 14): Empty\n"
        u"  Slot 16 (Board 15): Empty\n  Slot 17:            Ringing Module\n"_s;
    QTest::newRow("show") << fileOf(ship) << u"show %in"_s << 0
        << shown + u"Live extensions: 8\nLive tie lines: 4\n  Shore: 4\nActive groups: 1\nErrors: 0\nWarnings: 0\n"_s << none << none;
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
    QTest::newRow("show, records off their boards, findings counted")
        << fileOf(ship) << u"show %in"_s << 0
        << shown + u"Live extensions: 7\nLive tie lines: 4\n  Shore: 2\n  Sat Comm: 1\n  PA: 1\n"
                   u"Active groups: 1\nErrors: 2\nWarnings: 1\n"_s << none << none;

    // As many pages as the report drawn with the options ticked takes.
    ReportOptions ticked;
    ticked.set(1, true);
    ticked.set(5, true);
    ReportContext letter;
    letter.pageSize = QPageSize(QPageSize::Letter);
    const int pages = buildReport(fixtures::smallShip(), 0, ticked, letter)->pageCount();
    QTest::newRow("report")
        << shipFile() << u"report %in --number 0 --options 1,5 --pdf %out --paper letter"_s << 0
        << u"Report 0: %1 pages written to %out\n"_s.arg(pages) << none << none;
    QTest::newRow("report, no pdf named")
        << shipFile() << u"report %in --number 101"_s << 2 << none
        << u"Usage: helmwise-cli report FILE --number N [--options 1,2,3,4,5] [--paper A4|Letter] --pdf OUT.pdf\n"_s << none;
    QTest::newRow("report, unknown number")
        << shipFile() << u"report %in --number 999 --pdf %out"_s << 2 << none
        << u"Unknown report number 999; reports are 0, 100, 101, 102, 200, 201, 202, 300, 320, 321, "
           u"322, 323, 330, 331, 332, 333, 334, 340, 341, 342, 343, 400, 401, 402, 403\n"_s << none;
    QTest::newRow("report, option above 5")
        << shipFile() << u"report %in --number 0 --options 1,6 --pdf %out"_s << 2 << none
        << u"Report options are numbers 1 to 5 separated by commas, not 1,6\n"_s << none;
    QTest::newRow("report, option 0")
        << shipFile() << u"report %in --number 0 --options 0 --pdf %out"_s << 2 << none
        << u"Report options are numbers 1 to 5 separated by commas, not 0\n"_s << none;
    QTest::newRow("report, unknown paper")
        << shipFile() << u"report %in --number 0 --paper A3 --pdf %out"_s << 2 << none
        << u"Paper is A4 or Letter, not A3\n"_s << none;
    QTest::newRow("report, configuration not loadable")
        << shipFile() << u"report %in.missing --number 0 --pdf %out"_s << 2 << none
        << u"Unable to load file as error in file: no such file\n"_s << none;

    // Every verb that writes, onto a name that is not a file: refused before
    // anything of the set is written (a download before the exchange is looked for).
    const auto notAFile = [](const char *name) {
        return u"Cannot write %1: it is a device, pipe or socket, not a file\n"_s.arg(QLatin1String(name));
    };
    QTest::newRow("convert onto a pipe") << shipFile() << u"convert %in %out"_s << 2 << none << notAFile("%out") << u"out"_s;
    QTest::newRow("new onto a pipe") << shipFile() << u"new --extensions 120 --officers 8 %out"_s << 2 << none << notAFile("%out") << u"out"_s;
    QTest::newRow("export onto a pipe") << shipFile() << u"export %in %out.csv"_s << 2 << none << notAFile("%out_TieLines.csv") << u"out_TieLines.csv"_s;
    QTest::newRow("report onto a pipe") << shipFile() << u"report %in --number 0 --pdf %out"_s << 2 << none << notAFile("%out") << u"out"_s;
    QTest::newRow("download onto a pipe") << shipFile() << u"download --port %out.none %out.TWZ --image %out.bin"_s << 2 << none << notAFile("%out.bin") << u"out.bin"_s;

    // Exchange verbs refused before the exchange is looked for.
    const auto badTimeout = [](const char *value) {
        return u"version: --timeout needs a number of seconds from 0.1 to 3600, not \"%1\"\n"_s.arg(QLatin1String(value));
    };
    QTest::newRow("time-out nan") << shipFile() << u"version --timeout nan"_s << 2 << none << badTimeout("nan") << none;
    QTest::newRow("time-out zero") << shipFile() << u"version --timeout 0"_s << 2 << none << badTimeout("0") << none;
    QTest::newRow("time-out over an hour") << shipFile() << u"version --timeout 3600.5"_s << 2 << none << badTimeout("3600.5") << none;
    QTest::newRow("pin, two values") << shipFile() << u"pin 1234 5678"_s << 2 << none << u"Usage: helmwise-cli pin [--port P] [NEW]\n"_s << none;
    QTest::newRow("clock, no date") << shipFile() << u"clock --set 23:59:59"_s << 2 << none << u"23:59:59 is not a time and date (hh:mm:ss dd/mm/yy)\n"_s << none;
    QTest::newRow("missing port") << shipFile() << u"version --port %out.none"_s << 3 << none
        << u"There is no port %out.none: the Programming Module is not plugged in, or the name is wrong.\n"_s << none;
    QTest::newRow("boards, file cannot be read") << shipFile() << u"boards %in.missing"_s << 2 << none
        << u"Unable to load file as error in file\n%in.missing: no such file\n"_s << none;
    QTest::newRow("upload, errors in the file") << fileOf(duplicate) << u"upload %in"_s << 1 << none
        << u"There are errors with the configuration.\nThese need to be corrected before the configuration can be sent.\n"_s << none;
    QTest::newRow("upload, image a byte short") << QByteArray(8191, '\0') << u"upload --image %in"_s << 2 << none
        << u"%in is not an exchange image: it holds 8191 bytes, an image has 8192\n"_s << none;
    QTest::newRow("upload, image a byte long") << QByteArray(8193, '\0') << u"upload --image %in"_s << 2 << none
        << u"%in is not an exchange image: it holds more than 8192 bytes, an image has 8192\n"_s << none;
    QTest::newRow("upload, image without the marker") << QByteArray(8192, '\0') << u"upload --image %in"_s << 2 << none
        << u"%in is not an exchange configuration: it lacks the marker bytes every configuration image holds at offset 7936\n"_s << none;
}
// clang-format on

// What the verb prints and ends with, and what the folder holds afterwards:
// %out only when the verb succeeded, and a pipe neither replaced nor joined.
void TestCli::fileVerbs()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, line);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, pipe);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    const QString target = dir.filePath(QStringLiteral("out"));
    QVERIFY(writeFileBytes(in, content));
    if (!pipe.isEmpty()) {
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(pipe)).constData(), 0644), 0);
#else
        QSKIP("pipes are a Unix thing");
#endif
    }
    const CliRun run = runCli(arguments(line, in, target));
    QCOMPARE(run.err, withPaths(err, in, target));
    QCOMPARE(run.out, withPaths(out, in, target));
    QCOMPARE(run.status, status);
    // Nothing is written beside a pipe, and the pipe stays.
    const QStringList written =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QCOMPARE(written.size(), 1 + !pipe.isEmpty() + (status == 0 && line.contains(u"%out"_s)));
    QVERIFY(pipe.isEmpty() || !QFileInfo(dir.filePath(pipe)).isFile());
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
