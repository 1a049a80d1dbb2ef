// How the editor starts: what it makes of its command line, what it answers
// without a display, the window title as the window system gets it, and where
// it finds the template a new configuration starts from: beside the program in
// the build folder, in the data folder once installed.
#include "FailOnQtWarnings.h"
#include "MainWindow.h"
#include "StartArguments.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using Action = StartArguments::Action;
using namespace Qt::StringLiterals;
Q_DECLARE_METATYPE(StartArguments::Action)

namespace
{

// "--simulate ship.TWZ" as the words a shell hands the program.
QStringList args(const char *line)
{
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

// The titles of the top-level windows on `display`, as xwininfo prints them
// (their _NET_WM_NAME, quoted).
QStringList windowTitles(const QString &xwininfo, const QString &display)
{
    QProcess tree;
    tree.start(xwininfo, {QStringLiteral("-display"), display, QStringLiteral("-root"),
                          QStringLiteral("-children")});
    if (!tree.waitForFinished(30000))
        return {};
    static const QRegularExpression child(QStringLiteral("^\\s+0x[0-9a-f]+ \"(.*)\": "),
                                          QRegularExpression::MultilineOption);
    QStringList titles;
    auto matches = child.globalMatch(QString::fromUtf8(tree.readAllStandardOutput()));
    while (matches.hasNext())
        titles.append(matches.next().captured(1));
    return titles;
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void startArguments_data();
    void startArguments();
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
    void titleAsTheWindowSystemGetsIt();
    void templateFile_data();
    void templateFile();
};

void TestStartUp::startArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("file");
    const QString ship = QStringLiteral("ship.TWZ");
    QTest::newRow("nothing") << args("") << Action::Run << false << QString();
    QTest::newRow("a file") << args("ship.TWZ") << Action::Run << false << ship;
    QTest::newRow("a path with blanks, in pieces")
        << args("/home/tech/MV Ship.TWZ") << Action::Run << false << u"/home/tech/MV Ship.TWZ"_s;
    QTest::newRow("--simulate first") << args("--simulate ship.TWZ") << Action::Run << true << ship;
    QTest::newRow("--simulate after the file")
        << args("ship.TWZ --simulate") << Action::Run << true << ship;
    QTest::newRow("--help") << args("--help") << Action::Help << false << QString();
    QTest::newRow("-h after a file") << args("ship.TWZ -h") << Action::Help << false << QString();
    QTest::newRow("--version") << args("--version") << Action::Version << false << QString();
    QTest::newRow("-v") << args("-v") << Action::Version << false << QString();
    QTest::newRow("an unknown option")
        << args("--simulated ship.TWZ") << Action::Refuse << false << QString();
    QTest::newRow("Qt's option and its value")
        << args("-platform offscreen ship.TWZ") << Action::Run << false << ship;
    QTest::newRow("Qt's option with two dashes and its value")
        << args("ship.TWZ --style Fusion") << Action::Run << false << ship;
    QTest::newRow("Qt's option joined to its value")
        << args("-style=Fusion ship.TWZ") << Action::Run << false << ship;
    QTest::newRow("Qt's option without a value")
        << args("-reverse ship.TWZ") << Action::Run << false << ship;
    QTest::newRow("-- before a name that starts with a dash")
        << args("--simulate -- -night.TWZ") << Action::Run << true << u"-night.TWZ"_s;
}

void TestStartUp::startArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(bool, simulate);
    QFETCH(QString, file);
    const StartArguments start = parseStartArguments(arguments);
    QCOMPARE(start.action, action);
    if (action == Action::Refuse) {
        QVERIFY(start.problem.startsWith(QStringLiteral("Unknown option: -")));
        return;
    }
    QCOMPARE(start.simulate, simulate);
    QCOMPARE(start.file, file);
}

void TestStartUp::answersWithoutDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // what standard output starts with
    QTest::addColumn<QString>("err"); // what standard error starts with
    const QString usage = QStringLiteral("Usage: helmwise [--simulate] [FILE]\n");
    QTest::newRow("--help") << QStringLiteral("--help") << 0 << usage << QString();
    QTest::newRow("--version") << QStringLiteral("--version") << 0
                               << QStringLiteral("helmWISE " HELMWISE_VERSION "\n") << QString();
    QTest::newRow("an unknown option")
        << QStringLiteral("--bogus") << 2 << QString()
        << QStringLiteral("helmwise: Unknown option: --bogus\n\n") + usage;
}

void TestStartUp::answersWithoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(HELMWISE_EDITOR), {argument});
    QVERIFY(editor.waitForFinished(60000));
    const QString stdOut = QString::fromLocal8Bit(editor.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(editor.readAllStandardError());
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), exitCode);
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
}

void TestStartUp::titleAsTheWindowSystemGetsIt()
{
    // The platform window may add to the title it is given (Qt appends an
    // application display name on X11), so it is read back from an X server.
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    if (xvfb.isEmpty() || xwininfo.isEmpty())
        QSKIP("Needs Xvfb and x11-utils (xwininfo); scripts/deps.sh installs them.");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ship.TWZ"));
    QVERIFY(QFile::copy(QStringLiteral(HELMWISE_TEST_DATA "/golden.TWZ"), file));

    QProcess server; // says its display number on standard output once it listens
    server.start(xvfb, args("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp"));
    QVERIFY(server.waitForStarted());
    QVERIFY2(server.waitForReadyRead(60000), server.readAllStandardError().constData());
    const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    QProcess editor;
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(HELMWISE_EDITOR), {file});
    QVERIFY(editor.waitForStarted());

    // The window shows before the file is loaded: wait for the file's title.
    QString title;
    QTRY_VERIFY_WITH_TIMEOUT(
        editor.state() != QProcess::Running ||
            !(title = windowTitles(xwininfo, display).filter(file).value(0)).isEmpty(),
        120000);
    const QByteArray editorErr = editor.readAllStandardError();
    editor.kill();
    editor.waitForFinished();
    server.terminate();
    server.waitForFinished();
    QVERIFY2(!title.isEmpty(), editorErr.constData());
    QCOMPARE(title, QStringLiteral("helmWISE - ") + file);
}

void TestStartUp::templateFile_data()
{
    QTest::addColumn<bool>("besideProgram"); // a template there too, not only in the data folder
    QTest::newRow("installed only") << false;
    QTest::newRow("beside the program comes first") << true;
}

void TestStartUp::templateFile()
{
    QFETCH(bool, besideProgram);
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("default.TWZ"));
    const QString installed = QDir::cleanPath(
        programDir.filePath(QStringLiteral(HELMWISE_DATA_FROM_PROGRAM "/default.TWZ")));
    QVERIFY2(beside != installed, "the data folder must not be the program's folder");
    QStringList placed{installed};
    if (besideProgram)
        placed.append(beside);
    for (const QString &path : placed) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString found = FileCommands::templateFile();
    for (const QString &path : placed)
        QFile::remove(path);
    QCOMPARE(found, besideProgram ? beside : installed);
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
