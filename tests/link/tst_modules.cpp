// Finding and opening the Programming Module: which ports count, what the
// user is told at each level of silentMissing, and the search after the
// module goes away.
#include "FakeSerialLine.h"
#include "ModuleSearch.h"
#include "SerialLine.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

PortCandidate module(const QString &port, const QString &description = QStringLiteral(
                                              "Tidelex Analogue Programming Module"))
{
    return {port, description, true, ModuleVendorId, ModuleProductId};
}

void setSilentMissing(int level)
{
    QSettings settings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
    if (level < 0)
        settings.remove(QStringLiteral("Settings/SilentMissing"));
    else
        settings.setValue(QStringLiteral("Settings/SilentMissing"), level);
    settings.sync();
}

} // namespace

class TestModules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { setSilentMissing(-1); }
    void connectModule_data();
    void connectModule();
    void onlyTheModulesIdsCount();
    void quietSearchSaysNothing();
    void lostLineStartsTheSearchAgain();
    void namedPortSkipsTheSearch();
};

void TestModules::connectModule_data()
{
    QTest::addColumn<QList<PortCandidate>>("ports");
    QTest::addColumn<QList<int>>("results"); // what opening each port gives
    QTest::addColumn<int>("silent");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("notFoundBox"); // false: the editor's start-up

    const QString inUse = QStringLiteral("Tidelex Analogue Programming Module \nin use by another program");
    const QString notFound = QStringLiteral("No Tidelex Analogue Programming Module Found");
    const QList<PortCandidate> two = {module(QStringLiteral("ttyACM0")),
                                      module(QStringLiteral("ttyACM1"))};
    QTest::newRow("first in use, second opened")
        << two << QList<int>{2, 0} << 1 << true << QStringLiteral("ttyACM1") << QStringList{inUse}
        << true;
    QTest::newRow("first in use, quiet level 4")
        << two << QList<int>{2, 0} << 4 << true << QStringLiteral("ttyACM1") << QStringList{}
        << true;
    QTest::newRow("nothing there")
        << two << QList<int>{1, 1} << 1 << false << QString() << QStringList{notFound} << true;
    QTest::newRow("unknown error shown below level 3")
        << two << QList<int>{107, 0} << 2 << true << QStringLiteral("ttyACM1")
        << QStringList{QStringLiteral(
               "Tidelex Analogue Programming Module \nhas an unknown error 107")}
        << true;
    QTest::newRow("unknown error silent at level 3")
        << two << QList<int>{107, 0} << 3 << true << QStringLiteral("ttyACM1") << QStringList{}
        << true;
    // A port whose device file tells the real cause says it after the box's words.
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.txt"));
    QFile(file).open(QIODevice::WriteOnly);
    QTest::newRow("a folder given as the port")
        << QList<PortCandidate>{module(dir.path())} << QList<int>{108} << 1 << false << QString()
        << QStringList{QStringLiteral(
                           "Tidelex Analogue Programming Module \nhas an unknown error 108\n\n"
                           "%1 is a folder, not a serial port.")
                           .arg(dir.path()),
                       notFound}
        << true;
    QTest::newRow("an ordinary file given as the port")
        << QList<PortCandidate>{module(file)} << QList<int>{2} << 1 << false << QString()
        << QStringList{inUse + QStringLiteral("\n\n%1 is an ordinary file, not a serial port.")
                                   .arg(file),
                       notFound}
        << true;
    QTest::newRow("no module at all") << QList<PortCandidate>{} << QList<int>{} << 1 << false
                                      << QString() << QStringList{notFound} << true;
    QTest::newRow("in use, at start-up: only the module's own box")
        << two << QList<int>{2, 1} << 1 << false << QString() << QStringList{inUse} << false;
    QTest::newRow("no port name is probed as nothing there")
        << QList<PortCandidate>{module(QString()), module(QStringLiteral("ttyACM3"))}
        << QList<int>{0, 0} << 1 << true << QStringLiteral("ttyACM3") << QStringList{} << true;
}

void TestModules::connectModule()
{
    QFETCH(QList<PortCandidate>, ports);
    QFETCH(QList<int>, results);
    QFETCH(int, silent);
    QFETCH(bool, opened);
    QFETCH(QString, port);
    QFETCH(QStringList, boxes);
    QFETCH(bool, notFoundBox);

    setSilentMissing(silent);
    FakeSerialLine line;
    for (int k = 0; k < ports.size(); ++k)
        line.openResults.insert(ports[k].portName, results.value(k));
    ModuleSearch search(&line);
    search.setPortLister([ports] { return ports; });
    QStringList shown;
    QStringList titles;
    ModuleMessages messages;
    messages.critical = [&](const QString &title, const QString &text) {
        titles.append(title);
        shown.append(text);
    };
    messages.notFoundBox = notFoundBox;
    QCOMPARE(search.connectModule(messages), opened);
    QCOMPARE(line.isOpen(), opened);
    QCOMPARE(line.portName(), port);
    QCOMPARE(shown, boxes);
    for (const QString &title : titles)
        QCOMPARE(title, QStringLiteral("Searching for Tidelex Analog..."));
}

void TestModules::onlyTheModulesIdsCount()
{
    FakeSerialLine line;
    ModuleSearch search(&line);
    search.setPortLister([] {
        return QList<PortCandidate>{
            {QStringLiteral("ttyUSB0"), QStringLiteral("FTDI"), true, 0x0403, 0x6001},
            {QStringLiteral("ttyS0"), QString(), false, 0, 0},
            {QStringLiteral("ttyACM0"), QStringLiteral("other Atmel"), true, ModuleVendorId, 0x2104},
            {QStringLiteral("COM5"), QString(), true, ModuleVendorId, ModuleProductId}};
    });
    QStringList lines;
    ModuleMessages messages;
    messages.splash = [&](const QString &text) { lines.append(text); };
    QVERIFY(search.findModules(messages));
    QCOMPARE(search.foundModules(),
             (QList<FoundModule>{{QStringLiteral("Unknown USB Port"), QStringLiteral("COM5"), 5}}));
    QCOMPARE(lines, QStringList{QStringLiteral("On \"Serial Port\" COM5")});
}

void TestModules::quietSearchSaysNothing()
{
    FakeSerialLine line;
    line.openResults.insert(QStringLiteral("ttyACM0"), SerialLine::InUse);
    ModuleSearch search(&line);
    search.setPortLister([] { return QList<PortCandidate>{module(QStringLiteral("ttyACM0"))}; });
    QVERIFY(!search.connectModuleQuietly());
    line.openResults.remove(QStringLiteral("ttyACM0"));
    QSignalSpy connected(&search, &ModuleSearch::connected);
    QVERIFY(search.connectModuleQuietly());
    QCOMPARE(connected.count(), 1);
    // Already open: nothing is opened again.
    const int attempts = int(line.openAttempts.size());
    QVERIFY(search.connectModuleQuietly());
    QCOMPARE(line.openAttempts.size(), attempts);
}

void TestModules::lostLineStartsTheSearchAgain()
{
    FakeSerialLine line;
    ModuleSearch search(&line);
    search.setPortLister([] { return QList<PortCandidate>{module(QStringLiteral("ttyACM0"))}; });
    QVERIFY(search.connectModuleQuietly());
    QVERIFY(!search.isRetrying());
    QSignalSpy gone(&search, &ModuleSearch::disconnected);
    line.vanish();
    QCOMPARE(gone.count(), 1);
    QVERIFY(search.isRetrying());
    QVERIFY(search.connectModuleQuietly());
    QVERIFY(!search.isRetrying());
}

void TestModules::namedPortSkipsTheSearch()
{
    FakeSerialLine line;
    ModuleSearch search(&line);
    bool listed = false;
    search.setPortLister([&] {
        listed = true;
        return QList<PortCandidate>{module(QStringLiteral("ttyACM0"))};
    });
    search.setFixedPort(QStringLiteral("/dev/pts/7"));
    QVERIFY(search.connectModule({}));
    QVERIFY(!listed);
    QCOMPARE(line.openAttempts, QStringList{QStringLiteral("/dev/pts/7")});
}

QTEST_GUILESS_MAIN(TestModules)
#include "tst_modules.moc"
