// Options and session of the exchange verbs.
#include "DeviceVerbs.h"

#include "ExchangeMap.h"
#include "LinkOperation.h"
#include "PortProblems.h"
#include "ServiceValues.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <cmath>

namespace cli
{

namespace
{

bool isVerb(const DeviceOptions &options, const char *verb)
{
    return options.verb == QLatin1String(verb);
}

// --timeout: a finite number of seconds in range; NaN, infinities and
// values that round to no limit at all are refused.
bool readTimeout(const QString &text, DeviceOptions &options, Streams io)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < MinTimeoutSeconds ||
        seconds > MaxTimeoutSeconds) {
        io.err << options.verb << ": --timeout needs a number of seconds from " << MinTimeoutSeconds
               << " to " << MaxTimeoutSeconds << ", not \"" << text << '"' << Qt::endl;
        return false;
    }
    options.timeoutMs = int(std::lround(seconds * 1000));
    return true;
}

} // namespace

std::optional<int> parseDeviceOptions(const QStringList &args, int least, int most,
                                      DeviceOptions &options, Streams io)
{
    options.verb = args.value(0);
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Serial port"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds of silence before giving up, from 0.1 to 3600 (default 10)"),
        QStringLiteral("SECONDS"));
    const QCommandLineOption image(
        QStringLiteral("image"),
        (isVerb(options, "upload") ? QStringLiteral("Send this backup image (%1 bytes) instead")
                                   : QStringLiteral("Also write the raw image (%1 bytes)"))
            .arg(ExchMap::MemorySize),
        QStringLiteral("FILE"));
    const QCommandLineOption readTwice(QStringLiteral("verify"),
                                       QStringLiteral("Read every block until two readings agree"));
    const QCommandLineOption backupDir(QStringLiteral("backup-dir"),
                                       QStringLiteral("Folder for the backup of the exchange"),
                                       QStringLiteral("DIR"));
    const QCommandLineOption noBackup(QStringLiteral("no-backup"),
                                      QStringLiteral("Do not back up the exchange first"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"),
                                      QStringLiteral("Do not read the written area back"));
    const QCommandLineOption ignoreBoards(
        QStringLiteral("ignore-boards"),
        QStringLiteral("Send even when the cabinet's boards differ from the configuration's"));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("Read the boards and the memory and print what would change "
                       "(Record, Field, Exchange, File); write nothing and keep no backup"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("New time and date"),
                                 QStringLiteral("hh:mm:ss dd/mm/yy"));
    const QCommandLineOption pc(QStringLiteral("pc"), QStringLiteral("Set to PC Time"));
    parser.addOptions({port, timeout});
    if (isVerb(options, "download"))
        parser.addOptions({image, readTwice});
    if (isVerb(options, "upload"))
        parser.addOptions({image, backupDir, noBackup, noVerify, ignoreBoards, dryRun});
    if (isVerb(options, "clock"))
        parser.addOptions({set, pc});
    if (const auto end = parseVerbLine(parser, args, least, most, io))
        return end;
    options.port = parser.value(port);
    if (parser.isSet(timeout) && !readTimeout(parser.value(timeout), options, io))
        return ExitBadInput;
    const QStringList names = parser.optionNames();
    options.image = names.contains(QStringLiteral("image")) ? parser.value(image) : QString();
    options.readTwice = isVerb(options, "download") && parser.isSet(readTwice);
    if (isVerb(options, "upload")) {
        options.backupDir = parser.value(backupDir);
        options.backup = !parser.isSet(noBackup);
        options.verify = !parser.isSet(noVerify);
        options.ignoreBoards = parser.isSet(ignoreBoards);
        options.dryRun = parser.isSet(dryRun);
        if (!options.backup && parser.isSet(backupDir)) {
            io.err << "upload: give either --backup-dir or --no-backup" << Qt::endl;
            return ExitBadInput;
        }
    }
    if (isVerb(options, "clock")) {
        options.clockSet = parser.value(set);
        options.clockPc = parser.isSet(pc);
        if (parser.isSet(set) && options.clockPc) {
            io.err << "clock: give either --set or --pc" << Qt::endl;
            return ExitBadInput;
        }
    }
    options.positional = parser.positionalArguments();
    return std::nullopt;
}

Session::Session(const DeviceOptions &options) : m_search(&m_line), m_link(&m_line)
{
    m_link.setSilenceLimit(options.timeoutMs);
    if (!options.port.isEmpty())
        m_search.setFixedPort(options.port);
}

bool Session::connect(Streams io)
{
    if (!m_search.findModules()) {
        io.err << "No Tidelex Analogue Programming Module Found" << Qt::endl;
        return false;
    }
    for (const FoundModule &module : m_search.foundModules()) {
        const int result = m_search.probePort(module.portName);
        if (result == SerialLine::Opened)
            return true;
        io.err << describePortProblem(module.portName, result) << Qt::endl;
    }
    return false;
}

int Session::run(LinkOperation &operation, const std::function<void()> &start, Streams io)
{
    QEventLoop loop;
    int status = ExitOk;
    QString lastStatus;
    QObject::connect(&operation, &LinkOperation::progress, &loop,
                     [&](int, int, const QString &text) {
                         if (!text.isEmpty() && text != lastStatus)
                             io.err << text << Qt::endl;
                         lastStatus = text;
                     });
    QObject::connect(&operation, &LinkOperation::retrying, &loop,
                     [&](const QString &text) { io.err << text << Qt::endl; });
    QObject::connect(&operation, &LinkOperation::finished, &loop, &QEventLoop::quit);
    QObject::connect(&operation, &LinkOperation::cancelled, &loop, [&] {
        status = ExitNoReply; // whoever cancelled says why
        loop.quit();
    });
    QObject::connect(&operation, &LinkOperation::failed, &loop, [&](const QString &message) {
        io.err << message << Qt::endl;
        status = message == badClockMessage() ? ExitBadInput : ExitNoReply;
        loop.quit();
    });
    start();
    if (operation.isRunning())
        loop.exec();
    m_line.drain(2000);
    return status;
}

} // namespace cli
