// Writing configuration files: the golden file, value encodings, round trips
// over random configurations, failing devices and paths, the header test.
#include "ConfigFile.h"
#include "ConfigSamples.h"
#include "FailingDevice.h"
#include "TempDir.h"

#include <QBuffer>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace tidelex;

namespace
{

const QString goldenLastUpdate = QStringLiteral("06/12/2026 09:41");

QString goldenPath()
{
    return QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ");
}

QByteArray written(const Configuration &c, const QString &lastUpdate = goldenLastUpdate)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeConfig(buffer, c, lastUpdate, &error))
        qWarning() << "write failed:" << error;
    return buffer.data();
}

ReadConfigResult readBytes(const QByteArray &bytes, Configuration &c, QString *error = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readConfig(buffer, c, error);
}

// Names the first record that differs, so a failing round trip says where.
QString firstDifference(const Configuration &a, const Configuration &b)
{
    SystemRecord sa = a.SysConfig, sb = b.SysConfig;
    sa.GA[3] = sb.GA[3] = 0; // not kept in files
    if (!(sa == sb))
        return QStringLiteral("system record");
    for (int i = 0; i < MaxExtensions; ++i)
        if (!(a.Extensions[i] == b.Extensions[i]))
            return QStringLiteral("extension %1 (%2 / %3)")
                .arg(i)
                .arg(a.Extensions[i].Name, b.Extensions[i].Name);
    for (int t = 0; t < FileTieLines; ++t)
        if (!(a.TieLines[t] == b.TieLines[t]))
            return QStringLiteral("tie line %1").arg(t);
    for (int g = 0; g < MaxGroups; ++g)
        if (!(a.Groups[g] == b.Groups[g]))
            return QStringLiteral("group %1").arg(g);
    for (int k = 0; k < MaxClasses; ++k) {
        if (!(a.ExtClasses[k] == b.ExtClasses[k]))
            return QStringLiteral("extension class %1").arg(k);
        if (!(a.TieClasses[k] == b.TieClasses[k]))
            return QStringLiteral("tie-line class %1").arg(k);
    }
    return QString();
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
  private slots:
    void goldenFileIsReproduced();
    void goldenFileReadsBack();
    void valueEncodings_data();
    void valueEncodings();
    void roundTrip_data();
    void roundTrip();
    void emptyLastUpdateMeansNow();
    void deviceFailure_data();
    void deviceFailure();
    void unwritablePath_data();
    void unwritablePath();
    void failedSaveKeepsExistingFile();
    void existFile_data();
    void existFile();
};

void TestConfigFile::goldenFileIsReproduced()
{
    const QByteArray golden = readFileBytes(goldenPath());
    QVERIFY2(!golden.isEmpty(), "golden.TWZ is missing");
    const QByteArray bytes = written(variedConfiguration());
    const QByteArrayList want = golden.split('\n');
    const QByteArrayList got = bytes.split('\n');
    for (qsizetype n = 0; n < qMin(want.size(), got.size()); ++n)
        QVERIFY2(want[n] == got[n],
                 qPrintable(QStringLiteral("line %1: expected %2, got %3")
                                .arg(n + 1)
                                .arg(QString::fromLatin1(want[n]), QString::fromLatin1(got[n]))));
    QCOMPARE(bytes.size(), golden.size());
}

void TestConfigFile::goldenFileReadsBack()
{
    Configuration expected = variedConfiguration();
    expected.SysConfig.LastUpdate = goldenLastUpdate;
    Configuration c = makeDefaultConfiguration();
    QString error;
    QCOMPARE(readConfigFile(goldenPath(), c, &error), ReadConfigOk);
    QCOMPARE(firstDifference(c, expected), QString());
}

// How single values land in the file, checked on the system name, PIN, GA.
// clang-format off
void TestConfigFile::valueEncodings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ga0");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty name is an empty element") << QString() << 5 << QByteArray("\r\n\t<Name/>\r\n");
    QTest::newRow("markup escaped, quotes kept")
        << QStringLiteral("a&b<c>\"d'") << 5 << QByteArray("\t<Name>a&amp;b&lt;c&gt;\"d'</Name>\r\n");
    QTest::newRow("Latin-1 letter is one byte")
        << QStringLiteral("Caf\u00e9") << 5 << QByteArray("\t<Name>Caf\xe9</Name>\r\n");
    QTest::newRow("euro sign from the 0x80 row")
        << QStringLiteral("\u20ac\u0153\u2122") << 5 << QByteArray("\t<Name>\x80\x9c\x99</Name>\r\n");
    QTest::newRow("characters outside the code page become ?")
        << QStringLiteral("\u03a9-\U0001F6A2-\u0081") << 5 << QByteArray("\t<Name>?-?-?</Name>\r\n");
    QTest::newRow("control character becomes ?, tab stays")
        << QStringLiteral("a\x01\tb") << 5 << QByteArray("\t<Name>a?\tb</Name>\r\n");
    QTest::newRow("line breaks as references")
        << QStringLiteral("a\r\nb") << 5 << QByteArray("\t<Name>a&#13;&#10;b</Name>\r\n");
    QTest::newRow("negative number") << QStringLiteral("x") << -1 << QByteArray("\t\t<GA>-1</GA>\r\n");
    QTest::newRow("zero is a value, not empty") << QStringLiteral("x") << 0 << QByteArray("\t\t<GA>0</GA>\r\n");
}
// clang-format on

void TestConfigFile::valueEncodings()
{
    QFETCH(QString, name);
    QFETCH(int, ga0);
    QFETCH(QByteArray, expected);
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Name = name;
    c.SysConfig.GA[0] = int16_t(ga0);
    const QByteArray bytes = written(c);
    QVERIFY2(bytes.contains(expected), bytes.left(400).constData());
    // Whatever the text, the file must stay readable.
    Configuration back = makeDefaultConfiguration();
    QString error;
    QCOMPARE(readBytes(bytes, back, &error), ReadConfigOk);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

// clang-format off
void TestConfigFile::roundTrip_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 30; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}
// clang-format on

void TestConfigFile::roundTrip()
{
    QFETCH(quint32, seed);
    Configuration original = RandomConfiguration(seed).make();
    const QString stamp = QStringLiteral("stamp %1").arg(seed);
    const QByteArray bytes = written(original, stamp);

    // Read over a different configuration: nothing of it may survive.
    Configuration back = RandomConfiguration(seed + 1000).make();
    back.Extensions[120] = ExtRecord(); // spare records are never in files
    QString error;
    QCOMPARE(readBytes(bytes, back, &error), ReadConfigOk);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    original.SysConfig.LastUpdate = stamp;
    // Bytes the file does not hold stay as they were in memory.
    for (int i = 0; i < MaxExtensions; ++i)
        original.Extensions[i].Status[5] = back.Extensions[i].Status[5];
    for (int t = 0; t < FileTieLines; ++t)
        original.TieLines[t].Dial6[8] = back.TieLines[t].Dial6[8];
    QCOMPARE(firstDifference(back, original), QString());
    // Writing what was read gives the same file again.
    QCOMPARE(written(back, stamp), bytes);
}

void TestConfigFile::emptyLastUpdateMeansNow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("now.TWZ"));
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.LastUpdate = QStringLiteral("kept in memory");
    const QString before = currentLastUpdate();
    QString error;
    QVERIFY2(writeConfigFile(path, c, &error), qPrintable(error));
    const QString after = currentLastUpdate();
    QCOMPARE(c.SysConfig.LastUpdate, QStringLiteral("kept in memory"));
    Configuration back = makeDefaultConfiguration();
    QCOMPARE(readConfigFile(path, back), ReadConfigOk);
    QVERIFY(!back.SysConfig.LastUpdate.isEmpty());
    QVERIFY2(back.SysConfig.LastUpdate == before || back.SysConfig.LastUpdate == after,
             qPrintable(back.SysConfig.LastUpdate));
}

// clang-format off
void TestConfigFile::deviceFailure_data()
{
    QTest::addColumn<qint64>("limit");
    const qint64 size = written(variedConfiguration()).size();
    QTest::newRow("refuses the first byte") << qint64(0);
    QTest::newRow("mid-file") << size / 2;
    QTest::newRow("one byte short") << size - 1;
}
// clang-format on

void TestConfigFile::deviceFailure()
{
    QFETCH(qint64, limit);
    FailingDevice device(limit);
    QString error;
    QVERIFY(!writeConfig(device, variedConfiguration(), goldenLastUpdate, &error));
    QVERIFY2(error.contains(QStringLiteral("simulated write failure")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("after %1 of").arg(limit)), qPrintable(error));
    QCOMPARE(device.written.size(), limit);
}

// clang-format off
void TestConfigFile::unwritablePath_data()
{
    QTest::addColumn<QString>("relative"); // inside the test's folder; "" = no name at all
    QTest::newRow("no file name") << QString();
    QTest::newRow("folder does not exist") << QStringLiteral("missing/sub/x.TWZ");
    QTest::newRow("a file stands where the folder should be") << QStringLiteral("plain.txt/x.TWZ");
    QTest::newRow("the name is a folder") << QStringLiteral("folder");
}
// clang-format on

void TestConfigFile::unwritablePath()
{
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("plain.txt")), "not a folder"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString path = relative.isEmpty() ? QString() : dir.filePath(relative);
    QString error;
    QVERIFY(!writeConfigFile(path, variedConfiguration(), &error));
    QVERIFY2(!error.isEmpty(), "no reason given");
    QCOMPARE(readFileBytes(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("not a folder"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
}

// A save that runs out of room (here: a file-size limit) must leave the
// previous file whole, not truncated.
void TestConfigFile::failedSaveKeepsExistingFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ship.TWZ"));
    QString error;
    QVERIFY2(writeConfigFile(path, variedConfiguration(), &error, goldenLastUpdate),
             qPrintable(error));
    const QByteArray good = readFileBytes(path);

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    Configuration other = RandomConfiguration(7).make();
    const bool ok = writeConfigFile(path, other, &error, QStringLiteral("later"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ok);
    QVERIFY2(!error.isEmpty(), "no reason given");
    QCOMPARE(readFileBytes(path), good);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ship.TWZ")});
#else
    QSKIP("needs a file-size limit");
#endif
}

// clang-format off
void TestConfigFile::existFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<bool>("expected");

    const QByteArray line1 = "<?xml version=\"1.0\"?>";
    QTest::newRow("header with CR LF") << line1 + "\r\n<TidelexAnalog>\r\n\t<VERSION>" << false << true;
    QTest::newRow("header with LF") << line1 + "\n<TidelexAnalog>\n" << false << true;
    QTest::newRow("file ends after line 2") << line1 + "\r\n<TidelexAnalog>" << false << true;
    QTest::newRow("quoted name") << line1 + "\r\n<TidelexAnalog>\r\n" << true << true;
    QTest::newRow("space before bracket of root") << line1 + "\r\n<TidelexAnalog >\r\n" << false << false;
    QTest::newRow("declaration with encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TidelexAnalog>\r\n") << false << false;
    QTest::newRow("both on one line") << line1 + "<TidelexAnalog>\r\n" << false << false;
    QTest::newRow("only one line") << line1 + "\r\n" << false << false;
    QTest::newRow("leading blank line") << "\r\n" + line1 + "\r\n<TidelexAnalog>\r\n" << false << false;
    QTest::newRow("no such file") << QByteArray() << false << false;
}
// clang-format on

void TestConfigFile::existFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, quoted);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("probe.TWZ"));
    if (!content.isEmpty())
        QVERIFY(writeFileBytes(path, content));
    QString name = quoted ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    QCOMPARE(::existFile(name), expected);
    QCOMPARE(name, path); // quotes are gone from the caller's string
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
