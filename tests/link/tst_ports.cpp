// What a technician is told when a port cannot be used: the real cause, in
// words, for the things people give as a port or that get in the way.
#include "FakeSerialLine.h"
#include "PortProblems.h"
#include "PtyPair.h"
#include "QtSerialLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestPorts : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void problemsNamedByCause_data();
    void problemsNamedByCause();
    void holderIsNamed();
    void noPermissionSaysWhatToDo();

  private:
    QTemporaryDir m_dir;
    QString m_file;
};

void TestPorts::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("plain.txt"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a port\n");
    file.close();
}

void TestPorts::problemsNamedByCause_data()
{
    // The port as given (a path in the scratch folder unless it starts with
    // "/", or a bare name read from the scratch folder), what the Qt line
    // answers when asked to open it (the fake line answers for a terminal
    // another program holds), and the text shown.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fake");
    QTest::addColumn<int>("fakeResult");
    QTest::addColumn<QString>("text"); // %1 is the name
    const QString notAPort = QStringLiteral("%1 is a device or special file, not a serial port.");
    QTest::newRow("ordinary file") << QStringLiteral("plain.txt") << false << 0
                                   << QStringLiteral("%1 is an ordinary file, not a serial port.");
    QTest::newRow("ordinary file, bare name")
        << QStringLiteral("bare:plain.txt") << false << 0
        << QStringLiteral("%1 is an ordinary file, not a serial port.");
    QTest::newRow("folder") << QStringLiteral(".") << false << 0
                            << QStringLiteral("%1 is a folder, not a serial port.");
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

void TestPorts::problemsNamedByCause()
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
    if (fake) {
        FakeSerialLine line;
        line.openResults.insert(port, fakeResult);
        QCOMPARE(line.open(port), fakeResult);
    } else {
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

void TestPorts::holderIsNamed()
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

void TestPorts::noPermissionSaysWhatToDo()
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

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
