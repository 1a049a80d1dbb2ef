// The check, convert and show verbs, run on configuration files typed here
// line by line, with their output captured from string-backed streams; and
// every verb's own usage.
#include "CliRun.h"
#include "ConfigFile.h"
#include "TempDir.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

// Pieces of a configuration file, typed as the format lays them out.
QString ext(int eq, const QString &name, int number, int cls, bool active, int group = 0,
            int directDial = 0)
{
    return QStringLiteral(
               "\t\t<Ext>\r\n\t\t\t<Equipment>%1</Equipment>\r\n\t\t\t<Name>%2</Name>\r\n"
               "\t\t\t<TrueName>True</TrueName>\r\n\t\t\t<ExtNum>%3</ExtNum>\r\n"
               "\t\t\t<Class>%4</Class>\r\n\t\t\t<Active>%5</Active>\r\n"
               "\t\t\t<Status>0,224,0,0,0</Status>\r\n\t\t\t<DirectDial>%6</DirectDial>\r\n"
               "\t\t\t<Group>%7</Group>\r\n\t\t</Ext>\r\n")
        .arg(eq).arg(name).arg(number).arg(cls)
        .arg(active ? QStringLiteral("True") : QStringLiteral("False"))
        .arg(directDial).arg(group);
}

QString tie(int eq, const QString &name, int ext1, int cls, bool dial9)
{
    return QStringLiteral(
               "\t\t<Tie>\r\n\t\t\t<Equipment>%1</Equipment>\r\n\t\t\t<Name>%2</Name>\r\n"
               "\t\t\t<DirNum>%3</DirNum>\r\n\t\t\t<Ext1>%4</Ext1>\r\n\t\t\t<Ext2>0</Ext2>\r\n"
               "\t\t\t<Class>%5</Class>\r\n\t\t\t<Active>True</Active>\r\n"
               "\t\t\t<Status>192,0,0</Status>\r\n"
               "\t\t\t<Dial6>False,False,False,False,False,False,False,False</Dial6>\r\n"
               "\t\t\t<Dial9>%6</Dial9>\r\n\t\t</Tie>\r\n")
        .arg(eq).arg(name).arg(900 + eq).arg(ext1).arg(cls)
        .arg(dial9 ? QStringLiteral("True") : QStringLiteral("False"));
}

// Slot 2 holds a Subscriber board (extensions 0..7), slot 3 a Tie Line
// board (tie lines 4..7); no classes section entries: the built-in classes stay.
QByteArray configText(const QString &exts, const QString &ties,
                      const QString &pass = QStringLiteral("ABCD"),
                      const QString &version = QStringLiteral("3.0"))
{
    QString slotText;
    const char *boards[18] = {"Tone 8 Channels", "Processor", "Subscriber", "Tie Line"};
    for (int s = 0; s < 18; ++s) {
        const char *board = s == 17 ? "Ringing Module" : (boards[s] ? boards[s] : "Empty");
        slotText += QStringLiteral("\t\t<Slot>%1</Slot>\r\n").arg(QLatin1String(board));
    }
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\"?>\r\n<TidelexAnalog>\r\n\t<VERSION>%1</VERSION>\r\n"
            "\t<LastUpdate>01/02/2026 10:00</LastUpdate>\r\n\t<Name>MV Test &amp; Co</Name>\r\n"
            "\t<PIN>1234</PIN>\r\n\t<Pass>%2</Pass>\r\n\t<SlotsList>\r\n%3\t</SlotsList>\r\n"
            "\t<GuaranteedAccess>\r\n\t\t<GA>-1</GA>\r\n\t\t<GA>-1</GA>\r\n\t\t<GA>-1</GA>\r\n"
            "\t</GuaranteedAccess>\r\n\t<Extensions>\r\n%4\t</Extensions>\r\n"
            "\t<TieLines>\r\n%5\t</TieLines>\r\n\t<Groups>\r\n"
            "\t\t<Group>\r\n\t\t\t<ID>0</ID>\r\n\t\t\t<Active>True</Active>\r\n"
            "\t\t\t<Name>Mess "
            "hunt</Name>\r\n\t\t\t<DirNum>500</DirNum>\r\n\t\t\t<Type>64</Type>\r\n"
            "\t\t\t<Num>1</Num>\r\n\t\t\t<Exts>100,0,0,0,0,0,0,0,0,0,0,0,0</Exts>\r\n\t\t</"
            "Group>\r\n"
            "\t</Groups>\r\n\t<Classes>\r\n\t</Classes>\r\n</TidelexAnalog>\r\n")
            .arg(version, pass, slotText, exts, ties);
    return text.toLatin1();
}

QByteArray cleanText()
{
    return configText(ext(0, QStringLiteral("Bridge"), 100, 1, true) +
                          ext(1, QStringLiteral("Mess"), 101, 2, true),
                      tie(4, QStringLiteral("Shore"), 100, 0, true));
}

const QString header = QStringLiteral("Error #\tType\tWhere\tProblem\tReference\n");

} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT
  private slots:
    void check_data();
    void check();
    void convert_data();
    void convert();
    void convertWarnsOfLostCharacters_data();
    void convertWarnsOfLostCharacters();
    void convertKeepsOutputOnBadInput();
    void show_data();
    void show();
    void everyVerbsUsage_data();
    void everyVerbsUsage();
};

// clang-format off
void TestCliFiles::check_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString bridge = QStringLiteral("Bridge");
    QTest::newRow("clean") << cleanText() << 0 << header << QString();
    QTest::newRow("duplicate numbers")
        << configText(ext(0, bridge, 201, 1, true) + ext(1, QStringLiteral("Mess"), 201, 2, true) +
                          ext(2, QStringLiteral("Spare"), 100, 2, true),
                      tie(4, QStringLiteral("Shore"), 100, 0, true))
        << 1
        << header + QStringLiteral("1\tError\tBridge\tDuplicate Extension number (201)\tE000\n"
                                   "2\tError\tMess\tDuplicate Extension number (201)\tE001\n")
        << QString();
    QTest::newRow("warning only")
        << configText(ext(0, bridge, 100, 1, true), tie(4, QStringLiteral("Sat"), 100, 1, true)) << 0
        << header + QStringLiteral("1\tWarning\tSat\tDial 9 is only allowed on Shore\tT004\n") << QString();
    QTest::newRow("error in file")
        << configText(ext(0, bridge, 70000, 1, true), QString()) << 2 << QString()
        << QStringLiteral("Unable to load file as error in file\n");
    // Hostile files: the reason follows on the next line.
    QTest::newRow("a NUL byte")
        << QByteArray(cleanText()).replace("<Name>", QByteArray("<Name>\0", 7)) << 2 << QString()
        << QStringLiteral("Unable to load file as error in file\na control character (code 0)");
}
// clang-format on

void TestCliFiles::check()
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
void TestCliFiles::convert_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("outName");    // relative to the test folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");

    QTest::newRow("hand-typed file") << cleanText() << "out.TWZ" << 0 << QString();
    QTest::newRow("quoted output name") << cleanText() << "\"out.TWZ\"" << 0 << QString();
    QTest::newRow("output under a DOS name") << cleanText() << "out.tdz" << 2 << "Refusing";
    QTest::newRow("output folder missing") << cleanText() << "no/such/out.TWZ" << 2 << "Cannot create";
    QTest::newRow("input not a configuration")
        << QByteArray("<?xml version=\"1.0\"?>\r\n<TidelexAnalog >\r\n") << "out.TWZ" << 2
        << "Unable to load file as error in file";
}
// clang-format on

void TestCliFiles::convert()
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
    const QString outArg =
        outName.startsWith(QLatin1Char('"')) ? QLatin1Char('"') + out + QLatin1Char('"') : out;

    const CliRun r = runCli({QStringLiteral("convert"), in, outArg});
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
    if (status != 0) {
        QVERIFY(!QFile::exists(out));
        return;
    }
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    // The written file is a configuration file holding what the input held.
    QString probe = out;
    QVERIFY(existFile(probe));
    Configuration fromIn = makeDefaultConfiguration();
    Configuration fromOut = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(in, fromIn), ReadConfigOk);
    QCOMPARE(readConfigFile(out, fromOut), ReadConfigOk);
    QCOMPARE(fromOut.Extensions[1].Name, QStringLiteral("Mess"));
    QCOMPARE(fromOut.SysConfig.Name, QStringLiteral("MV Test & Co"));
    fromOut.SysConfig.LastUpdate = fromIn.SysConfig.LastUpdate; // the save time is new
    QVERIFY(fromOut == fromIn);
    const QByteArray written = readFileBytes(out);
    QVERIFY(written.contains("\t<Name>MV Test &amp; Co</Name>\r\n"));
}

// clang-format off
void TestCliFiles::convertWarnsOfLostCharacters_data()
{
    QTest::addColumn<QString>("name");     // an extension name, as the file holds it
    QTest::addColumn<QString>("warning");  // empty: none
    QTest::newRow("accents and the euro sign fit") << u"Caf&#xe9; &#x20ac;"_s << QString();
    QTest::newRow("a character reference beyond the code page")
        << u"Bridge &#x2603;"_s
        << u"Warning: Extension 01.1 name \"Bridge \u2603\": \u2603 cannot be kept in the file and is saved as \"?\"\n"_s;
    QTest::newRow("Greek, each letter named once")
        << u"&#x3a9;&#x3a9;&#x3b1;"_s
        << u"Warning: Extension 01.1 name \"\u03a9\u03a9\u03b1\": \u03a9\u03b1 cannot be kept in the file and is saved as \"?\"\n"_s;
}
// clang-format on

void TestCliFiles::convertWarnsOfLostCharacters()
{
    QFETCH(QString, name);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    QVERIFY(writeFileBytes(in, configText(ext(0, name, 100, 1, true), QString())));
    const CliRun r = runCli({QStringLiteral("convert"), in, dir.filePath(QStringLiteral("out.TWZ"))});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, warning);
}

void TestCliFiles::convertKeepsOutputOnBadInput()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.TWZ"));
    const QString out = dir.filePath(QStringLiteral("out.TWZ"));
    QVERIFY(writeFileBytes(in, configText(ext(0, QStringLiteral("X"), 100, 1, true), QString(),
                                          QStringLiteral("ABCD"), QStringLiteral("2.0"))));
    QVERIFY(writeFileBytes(out, "previous"));
    const CliRun r = runCli({QStringLiteral("convert"), in, out});
    QCOMPARE(r.status, 2);
    QCOMPARE(readFileBytes(out), QByteArray("previous"));
}

// clang-format off
void TestCliFiles::show_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines"); // lines the output must hold, in this order

    QTest::newRow("clean")
        << cleanText() << 0
        << QStringList{QStringLiteral("System: MV Test & Co"), QStringLiteral("  Slot 2 (Board 01):  Subscriber"),
                       QStringLiteral("  Slot 3 (Board 02):  Tie Line"), QStringLiteral("  Slot 17:            Ringing Module"),
                       QStringLiteral("Live extensions: 2"), QStringLiteral("Live tie lines: 1"),
                       QStringLiteral("  Shore: 1"), QStringLiteral("Active groups: 1"),
                       QStringLiteral("Errors: 0"), QStringLiteral("Warnings: 0")};
    // Extension 8 sits on slot 3, a Tie Line board: not live. Tie line 0
    // sits on slot 2, a Subscriber board: not live either.
    QTest::newRow("records off their boards")
        << configText(ext(0, QStringLiteral("A"), 100, 1, true) + ext(8, QStringLiteral("B"), 108, 1, true) +
                          ext(3, QStringLiteral("C"), 103, 1, false),
                      tie(0, QStringLiteral("Off board"), 100, 0, true) + tie(5, QStringLiteral("PA"), 0, 2, false) +
                          tie(6, QStringLiteral("Sat"), 100, 1, true))
        << 0
        << QStringList{QStringLiteral("Live extensions: 1"), QStringLiteral("Live tie lines: 2"),
                       QStringLiteral("  Sat Comm: 1"), QStringLiteral("  PA: 1"), QStringLiteral("Errors: 0"),
                       QStringLiteral("Warnings: 1")};
    QTest::newRow("errors counted")
        << configText(ext(0, QStringLiteral("A"), 99, 1, true), QString(), QStringLiteral("Q")) << 0
        << QStringList{QStringLiteral("Live extensions: 1"), QStringLiteral("Live tie lines: 0"),
                       QStringLiteral("Errors: 3"), QStringLiteral("Warnings: 0")};
    QTest::newRow("not loadable") << QByteArray("nonsense") << 2 << QStringList();
}
// clang-format on

void TestCliFiles::show()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(writeFileBytes(path, content));
    const CliRun r = runCli({QStringLiteral("show"), path});
    QCOMPARE(r.status, status);
    const QStringList got = r.out.split(QLatin1Char('\n'));
    qsizetype from = 0;
    for (const QString &line : lines) {
        const qsizetype at = got.indexOf(line, from);
        QVERIFY2(at >= 0,
                 qPrintable(QStringLiteral("missing or out of order: %1\n%2").arg(line, r.out)));
        from = at + 1;
    }
    if (status != 0)
        QVERIFY(r.out.isEmpty() && !r.err.isEmpty());
}

void TestCliFiles::everyVerbsUsage_data()
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
void TestCliFiles::everyVerbsUsage()
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

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_cli_files.moc"
