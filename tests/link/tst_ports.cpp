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

#include <sys/stat.h>
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
    QString m_fifo;
};

void TestPorts::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("plain.txt"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a port\n");
    file.close();
    m_fifo = m_dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(m_fifo.toLocal8Bit().constData(), 0600), 0);
}

void TestPorts::problemsNamedByCause_data()
{
    // What the Qt line answers when asked to open the name (the fake line
    // answers for names that are no device at all), and the text shown.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fake");
    QTest::addColumn<int>("fakeResult");
    QTest::addColumn<QString>("text"); // %1 is the name
    QTest::newRow("ordinary file") << QStringLiteral("plain.txt") << false << 0
                                   << QStringLiteral("%1 is an ordinary file, not a serial port.");
    QTest::newRow("folder") << QStringLiteral(".") << false << 0
                            << QStringLiteral("%1 is a folder, not a serial port.");
    QTest::newRow("named pipe") << QStringLiteral("pipe") << false << 0
                                << QStringLiteral("%1 is not a serial port: it cannot be set up as "
                                                  "a line (error %2).");
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
    const QString port = name == QLatin1String("pty") ? pty.slavePath() : m_dir.filePath(name);
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
    QString expected = text.arg(port);
    if (expected.contains(QLatin1String("%2")))
        expected = expected.arg(result);
    // A modem manager running on the test machine adds its hint; the cause comes first.
    QVERIFY2(describePortProblem(port, result).startsWith(expected),
             qPrintable(describePortProblem(port, result)));
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
        QSKIP("Root may open any file: no permission problem can be made here.");
    // The port is looked at while it still refuses this user.
    QVERIFY(QFile::setPermissions(m_fifo, QFileDevice::Permissions()));
    QtSerialLine line;
    const int result = line.open(m_fifo);
    const QString text = describePortProblem(m_fifo, result);
    QFile::setPermissions(m_fifo, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(text, QStringLiteral("You have no permission to use %1. Add yourself to the dialout "
                                  "group: sudo usermod -aG dialout $USER, then log in again. The "
                                  "helmWISE package installs a udev rule that gives the module to "
                                  "the user logged in at the computer; from a source build, copy "
                                  "dist/udev/60-tidelex-programming-module.rules to "
                                  "/etc/udev/rules.d/ and plug the module in again.")
                       .arg(m_fifo));
}

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
