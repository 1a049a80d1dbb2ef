// The exchange verbs of helmwise-cli: download, upload, pin, password,
// clock, version, reboot and ports. Each finds (or is told) the Programming
// Module's port, runs one operation of the link in an event loop, and turns
// the outcome into an exit status.
#include "Commands.h"

#include "CheckConfig.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "MemoryImages.h"
#include "ModuleSearch.h"
#include "QtSerialLine.h"
#include "SafeWrite.h"
#include "ServiceController.h"
#include "ServiceValues.h"
#include "UploadController.h"
#include "mdlSerial.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QEventLoop>

namespace cli {

namespace {

constexpr int DefaultTimeoutSeconds = 10;

struct DeviceOptions {
    QString verb;
    QString port;
    int timeoutMs = DefaultTimeoutSeconds * 1000;
    QString image;
    QString clockSet;
    bool clockPc = false;
    QStringList positional;
};

// Parses the verb's options; false with the reason printed.
bool parseOptions(const QStringList &args, DeviceOptions &options, Streams io)
{
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Serial port"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds of silence before giving up"),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("Raw image file"),
                                   QStringLiteral("FILE"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("New time and date"),
                                 QStringLiteral("hh:mm:ss dd/mm/yy"));
    const QCommandLineOption pc(QStringLiteral("pc"), QStringLiteral("Set to PC Time"));
    parser.addOptions({port, timeout});
    options.verb = args.value(0);
    if (options.verb == QLatin1String("download"))
        parser.addOption(image);
    if (options.verb == QLatin1String("clock"))
        parser.addOptions({set, pc});
    if (!parser.parse(QStringList{QStringLiteral("helmwise-cli")} + args.mid(1))) {
        io.err << options.verb << ": " << parser.errorText() << Qt::endl;
        return false;
    }
    options.port = parser.value(port);
    if (parser.isSet(timeout)) {
        bool ok = false;
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 3600) {
            io.err << options.verb << ": --timeout needs a number of seconds" << Qt::endl;
            return false;
        }
        options.timeoutMs = int(seconds * 1000);
    }
    if (parser.optionNames().contains(QStringLiteral("image")))
        options.image = parser.value(image);
    if (options.verb == QLatin1String("clock")) {
        options.clockSet = parser.value(set);
        options.clockPc = parser.isSet(pc);
        if (parser.isSet(set) && options.clockPc) {
            io.err << "clock: give either --set or --pc" << Qt::endl;
            return false;
        }
    }
    options.positional = parser.positionalArguments();
    return true;
}

bool expectPositional(const DeviceOptions &options, int least, int most, Streams io)
{
    const int count = int(options.positional.size());
    if (count >= least && count <= most)
        return true;
    for (const Verb &verb : verbs()) {
        if (options.verb == QLatin1String(verb.name))
            io.err << "usage: " << verb.summary << Qt::endl;
    }
    return false;
}

// The port, the link on it and the memory images, for one command.
class Session {
public:
    explicit Session(const DeviceOptions &options) : m_search(&m_line), m_link(&m_line)
    {
        m_link.setSilenceLimit(options.timeoutMs);
        if (!options.port.isEmpty())
            m_search.setFixedPort(options.port);
    }

    bool connect(Streams io)
    {
        if (!m_search.fixedPort().isEmpty()) {
            const int result = m_search.ProbePort(m_search.fixedPort());
            if (result == SerialLine::Opened)
                return true;
            io.err << "Cannot open " << m_search.fixedPort() << ": "
                   << (result == SerialLine::InUse        ? QStringLiteral("in use by another program")
                       : result == SerialLine::NothingThere ? QStringLiteral("no such port")
                                                            : QStringLiteral("error %1").arg(result))
                   << Qt::endl;
            return false;
        }
        ModuleMessages messages;
        messages.critical = [io](const QString &, const QString &text) {
            io.err << QString(text).replace(QStringLiteral(" \n"), QStringLiteral(" ")) << Qt::endl;
        };
        return m_search.ConnectModule(messages);
    }

    // Runs the operation started by `start` until it ends; the exit status.
    int run(LinkOperation &operation, const std::function<void()> &start, Streams io)
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
        QObject::connect(&operation, &LinkOperation::finished, &loop, &QEventLoop::quit);
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

    SerialLink &link() { return m_link; }
    MemoryImages &memory() { return m_memory; }

private:
    QtSerialLine m_line;
    ModuleSearch m_search;
    SerialLink m_link;
    MemoryImages m_memory;
};

int runDownload(const DeviceOptions &options, Streams io)
{
    if (!expectPositional(options, 1, 1, io))
        return ExitBadInput;
    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;
    DownloadController download(session.link(), session.memory());
    QByteArray image;
    QObject::connect(&download, &DownloadController::imageReady,
                     [&image](const QByteArray &bytes) { image = bytes; });
    const int status = session.run(download, [&] { download.start(); }, io);
    if (status != ExitOk)
        return status;
    Configuration config = makeDefaultConfiguration();
    if (!decodeExchMemory(image, config)) {
        io.err << "download: the exchange sent an image that cannot be read" << Qt::endl;
        return ExitNoReply;
    }
    QString error;
    if (!WriteConfigFile(options.positional.first(), config, &error)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    if (!options.image.isEmpty() && !writeWholeFile(options.image, image, &error)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    return ExitOk;
}

int runUpload(const DeviceOptions &options, Streams io)
{
    if (!expectPositional(options, 1, 1, io))
        return ExitBadInput;
    Configuration config = makeDefaultConfiguration();
    const LoadOutcome loaded = loadConfigurationFile(options.positional.first(), config);
    if (!loaded.ok) {
        io.err << loaded.message;
        if (!loaded.detail.isEmpty())
            io.err << " (" << loaded.detail << ')';
        io.err << Qt::endl;
        return ExitBadInput;
    }
    // Refused before the port is even opened.
    if (CheckConfig(config).ErrorsFound) {
        io.err << sendRefusalText() << Qt::endl;
        return ExitErrorsFound;
    }
    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;
    UploadController upload(session.link(), session.memory());
    QObject::connect(&upload, &UploadController::memberNotFound, [io](int number) {
        io.err << "Can not find extension (" << number << ')' << Qt::endl;
    });
    QString refusal;
    return session.run(upload, [&] { upload.start(config, &refusal); }, io);
}

// pin, password, clock, version, reboot.
int runService(const DeviceOptions &options, Streams io)
{
    const QString &verb = options.verb;
    const bool reading = options.positional.isEmpty() && options.clockSet.isEmpty() && !options.clockPc;
    const int most = verb == QLatin1String("pin") || verb == QLatin1String("password") ? 1 : 0;
    if (!expectPositional(options, 0, most, io))
        return ExitBadInput;

    // Values are checked before the port is opened: a refused value sends nothing.
    QString value = options.positional.value(0);
    if (verb == QLatin1String("clock") && !reading)
        value = options.clockPc ? clockText(QDateTime::currentDateTime()) : options.clockSet;
    if (!reading) {
        QString problem;
        if (verb == QLatin1String("pin"))
            problem = pinProblem(value);
        else if (verb == QLatin1String("password"))
            problem = passwordProblem(typedPassword(value));
        else if (verb == QLatin1String("clock") && !clockBytes(value))
            problem = value + QStringLiteral(" is not a time and date (hh:mm:ss dd/mm/yy)");
        if (!problem.isEmpty()) {
            io.err << problem << Qt::endl;
            return ExitBadInput;
        }
    }

    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;
    ServiceController service(session.link());
    QObject::connect(&service, &ServiceController::valueRead,
                     [io](const QString &text) { io.out << text << Qt::endl; });
    QString refused; // the controller checks again; what it refuses is never sent
    const auto start = [&] {
        if (verb == QLatin1String("pin"))
            reading ? service.readPin() : void(refused = service.writePin(value));
        else if (verb == QLatin1String("password"))
            reading ? service.readPassword() : void(refused = service.writePassword(value));
        else if (verb == QLatin1String("clock"))
            reading ? service.readClock() : void(refused = service.setClock(value));
        else if (verb == QLatin1String("version"))
            service.readVersion();
        else
            service.reboot();
    };
    const int status = session.run(service, start, io);
    if (!refused.isEmpty()) {
        io.err << refused << Qt::endl;
        return ExitBadInput;
    }
    return status;
}

int runPorts(const DeviceOptions &options, Streams io)
{
    if (!expectPositional(options, 0, 0, io))
        return ExitBadInput;
    QtSerialLine line;
    ModuleSearch search(&line);
    if (!search.FindModules()) {
        io.err << "No Tidelex Analogue Programming Module Found" << Qt::endl;
        return ExitOk;
    }
    for (const FoundModule &module : search.FoundModules())
        io.out << module.portName << '\t' << module.displayName << Qt::endl;
    return ExitOk;
}

} // namespace

int runDevice(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (!parseOptions(args, options, io))
        return ExitBadInput;
    if (options.verb == QLatin1String("download"))
        return runDownload(options, io);
    if (options.verb == QLatin1String("upload"))
        return runUpload(options, io);
    if (options.verb == QLatin1String("ports"))
        return runPorts(options, io);
    static const QStringList service = {QStringLiteral("pin"), QStringLiteral("password"),
                                        QStringLiteral("clock"), QStringLiteral("version"),
                                        QStringLiteral("reboot")};
    if (service.contains(options.verb))
        return runService(options, io);
    io.err << "Unknown command: " << options.verb << Qt::endl;
    return ExitBadInput;
}

} // namespace cli
