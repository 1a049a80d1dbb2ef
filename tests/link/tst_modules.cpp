// Finding and opening the Programming Module: which ports count, what the
// user is told at each level of silentMissing, and the search after the
// module goes away; what a technician is told when a port cannot be used:
// the real cause, in words, for the things people give as a port or that
// get in the way; and the link over a real pseudo-terminal against the
// simulated exchange, at the pace of the wire.
#include "LinkRig.h"

#include "DownloadController.h"
#include "FakeSerialLine.h"
#include "ModuleSearch.h"
#include "PortProblems.h"
#include "PtyExchange.h"
#include "PtyPair.h"
#include "QtSerialLine.h"
#include "SerialLine.h"
#include "UploadController.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

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
    void initTestCase();
    void cleanup() { setSilentMissing(-1); }
    void connectModule_data();
    void connectModule();
    void onlyTheModulesIdsCount();
    void quietSearchAndTheSearchAfterALostLine();
    void namedPortSkipsTheSearch();
    void problemsNamedByCause_data();
    void problemsNamedByCause();
    void holderIsNamed();
    void noPermissionSaysWhatToDo();
    void uploadRoundTripAtThePaceOfTheWire();
    void farEndHangUpLosesTheLine();

private:
    QTemporaryDir m_dir;
    QString m_file;
};

void TestModules::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("plain.txt"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a port\n");
    file.close();
}

void TestModules::connectModule_data()
{
    QTest::addColumn<QList<PortCandidate>>("ports");
    QTest::addColumn<QList<int>>("results"); // what opening each port gives
    QTest::addColumn<int>("silent");
    QTest::addColumn<QString>("port"); // the port opened; empty: none
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("notFoundBox"); // false: the editor's start-up
    const auto row = [](const char *name, const QList<PortCandidate> &ports,
                        const QList<int> &results, int silent, const QString &port,
                        const QStringList &boxes, bool notFoundBox = true) {
        QTest::newRow(name) << ports << results << silent << port << boxes << notFoundBox;
    };

    const QString inUse = QStringLiteral("Tidelex Analogue Programming Module \nin use by another program");
    const QString notFound = QStringLiteral("No Tidelex Analogue Programming Module Found");
    const QString second = QStringLiteral("ttyACM1");
    const QList<PortCandidate> two = {module(QStringLiteral("ttyACM0")), module(second)};
    row("first in use, second opened", two, {2, 0}, 1, second, {inUse});
    row("first in use, quiet level 4", two, {2, 0}, 4, second, {});
    row("nothing there", two, {1, 1}, 1, QString(), {notFound});
    row("unknown error shown below level 3", two, {107, 0}, 2, second,
        {QStringLiteral("Tidelex Analogue Programming Module \nhas an unknown error 107")});
    row("unknown error silent at level 3", two, {107, 0}, 3, second, {});
    // A port whose device file tells the real cause says it after the box's words.
    row("a folder given as the port", {module(m_dir.path())}, {108}, 1, QString(),
        {QStringLiteral("Tidelex Analogue Programming Module \nhas an unknown error 108\n\n"
                        "%1 is a folder, not a serial port.")
             .arg(m_dir.path()),
         notFound});
    row("an ordinary file given as the port", {module(m_file)}, {2}, 1, QString(),
        {inUse + QStringLiteral("\n\n%1 is an ordinary file, not a serial port.").arg(m_file),
         notFound});
    row("no module at all", {}, {}, 1, QString(), {notFound});
    row("in use, at start-up: only the module's own box", two, {2, 1}, 1, QString(), {inUse},
        false);
    row("no port name is probed as nothing there",
        {module(QString()), module(QStringLiteral("ttyACM3"))}, {0, 0}, 1,
        QStringLiteral("ttyACM3"), {});
}

void TestModules::connectModule()
{
    QFETCH(QList<PortCandidate>, ports);
    QFETCH(QList<int>, results);
    QFETCH(int, silent);
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
    QCOMPARE(search.connectModule(messages), !port.isEmpty());
    QCOMPARE(line.isOpen(), !port.isEmpty());
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

void TestModules::quietSearchAndTheSearchAfterALostLine()
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
    // The line lost, the search runs again until the module is back.
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

void TestModules::problemsNamedByCause_data()
{
    // The port as given (a path in the scratch folder unless it starts with
    // "/", or a bare name read from the scratch folder), what the Qt line
    // answers when asked to open it (given, for a terminal another program
    // holds: no line this test opens can be held that way), and the text shown.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fake");
    QTest::addColumn<int>("fakeResult");
    QTest::addColumn<QString>("text"); // %1 is the name
    const QString notAPort = QStringLiteral("%1 is a device or special file, not a serial port.");
    QTest::newRow("ordinary file, bare name")
        << QStringLiteral("bare:plain.txt") << false << 0
        << QStringLiteral("%1 is an ordinary file, not a serial port.");
    // Held by many programs, none of them rivals for a line.
    QTest::newRow("device that is no terminal")
        << QStringLiteral("/dev/null") << false << 0 << notAPort;
    QTest::newRow("missing") << QStringLiteral("gone") << false << 0
                             << QStringLiteral("There is no port %1: the Programming Module is not "
                                               "plugged in, or the name is wrong.");
    QTest::newRow("terminal another program holds")
        << QStringLiteral("pty") << true << int(SerialLine::InUse)
        << QStringLiteral("%1 is in use by another program.");
}

void TestModules::problemsNamedByCause()
{
    QFETCH(QString, name);
    QFETCH(bool, fake);
    QFETCH(int, fakeResult);
    QFETCH(QString, text);
    PtyPair pty; // a terminal line only this program has open
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QString port = m_dir.filePath(name);
    if (name == QLatin1String("pty"))
        port = pty.slavePath();
    else if (name.startsWith(u'/'))
        port = name;
    else if (name.startsWith(QLatin1String("bare:")))
        port = name.mid(5);
    int result = fakeResult;
    if (!fake) {
        QtSerialLine line;
        result = line.open(port);
        QVERIFY(result != SerialLine::Opened);
    }
    const QString problem = describePortProblem(port, result);
    QDir::setCurrent(home);
    // A modem manager running on the test machine adds its hint; the cause comes first.
    QVERIFY2(problem.startsWith(text.arg(port)), qPrintable(problem));
    QCOMPARE(describePortProblem(port, SerialLine::Opened), QString());
}

void TestModules::holderIsNamed()
{
    // A program with the port open is named, whether it stops the open or
    // takes the replies of a line that was open.
    QProcess holder;
    holder.setStandardInputFile(m_file);
    holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(holder.waitForStarted());
    const QString who = QStringLiteral("sleep (process %1)").arg(holder.processId());
    QTRY_VERIFY(portHolders(m_file).contains(who));
    QVERIFY(lostLineReason(m_file, QStringLiteral("Resource temporarily unavailable"))
                .startsWith(QStringLiteral("another program is reading the same port and takes "
                                           "the exchange's replies: ") +
                            who));
    holder.kill();
    holder.waitForFinished();
    QTRY_VERIFY(portHolders(m_file).isEmpty());
    QCOMPARE(lostLineReason(m_dir.filePath(QStringLiteral("gone")), QStringLiteral("I/O")),
             QStringLiteral("the device is gone (unplugged, or its port was closed)"));
}

void TestModules::noPermissionSaysWhatToDo()
{
    if (::geteuid() == 0)
        QSKIP("Permissions do not hold for root.");
    // A terminal this user owns, made unusable to everyone: what a module's
    // port looks like to a user outside its group.
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(QFile::setPermissions(pty.slavePath(), QFileDevice::Permissions()));
    QtSerialLine line;
    const int result = line.open(pty.slavePath());
    QVERIFY(result != SerialLine::Opened);
    QCOMPARE(describePortProblem(pty.slavePath(), result),
             QStringLiteral("You have no permission to use %1. Add yourself to the dialout "
                            "group: sudo usermod -aG dialout $USER, then log in again. The "
                            "helmWISE package installs a udev rule that gives the module to "
                            "the user logged in at the computer; from a source build, copy "
                            "dist/udev/60-tidelex-programming-module.rules to "
                            "/etc/udev/rules.d/ and plug the module in again.")
                 .arg(pty.slavePath()));
}

void TestModules::uploadRoundTripAtThePaceOfTheWire()
{
    ExchangeSimulator exchange;
    exchange.loadConfigImage(busyImage(5));
    PtyExchange pty(&exchange);
    pty.setBaudRate(57600);
    QVERIFY(pty.open());
    QtSerialLine line;
    SerialLink link(&line);
    SerialLink::setupPauseTicks = 1; // the simulated exchange needs no pause
    link.setResendMargin(50);
    link.setSilenceLimit(3000);
    QCOMPARE(line.open(pty.slavePath()), int(SerialLine::Opened));
    MemoryImages memory;
    // No backup: its second reading of every block would only add time.
    const QByteArray image = busyImage(6);
    UploadController upload(link, memory);
    upload.setOptions({false, true});
    QSignalSpy failed(&upload, &LinkOperation::failed);
    QVERIFY(upload.startImage(image));
    QTRY_VERIFY_WITH_TIMEOUT(!upload.isRunning(), 60000);
    QCOMPARE(failed.count(), 0);
    // The reboot is the last thing sent: once it has arrived everything has.
    QTRY_COMPARE_WITH_TIMEOUT(exchange.counters().reboots, 1, 5000);
    QCOMPARE(uploaded(exchange.configImage()), uploaded(image));

    // And what goes up comes down again.
    DownloadController download(link, memory);
    QSignalSpy ready(&download, &DownloadController::imageReady);
    download.start();
    QTRY_VERIFY_WITH_TIMEOUT(!download.isRunning(), 60000);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(uploaded(ready.at(0).at(0).toByteArray()), uploaded(image));
}

void TestModules::farEndHangUpLosesTheLine()
{
    // A terminal whose far end closed reads nothing but end-of-file: the line
    // is gone even though nothing more is written to it (as while the reboot
    // is watched).
    PtyPair pty;
    QVERIFY(pty.isValid());
    QtSerialLine line;
    QCOMPARE(line.open(pty.slavePath()), int(SerialLine::Opened));
    QSignalSpy lost(&line, &SerialLine::lost);
    pty.closeMaster();
    QVERIFY(lost.wait(2000));
    QVERIFY(!line.isOpen());
}

QTEST_GUILESS_MAIN(TestModules)
#include "tst_modules.moc"
