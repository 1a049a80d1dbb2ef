// The exchange verbs of helmwise-cli other than upload: download, pin,
// password, clock, version, reboot and ports. Each finds (or is told) the
// Programming Module's port, runs one operation of the link in an event
// loop, and turns the outcome into an exit status.
#include "DeviceVerbs.h"

#include "ConfigFile.h"
#include "DownloadController.h"
#include "ExchangeImage.h"
#include "SafeWrite.h"
#include "ServiceController.h"
#include "ServiceValues.h"

#include <QDateTime>

namespace cli
{

namespace
{

int runDownload(const DeviceOptions &options, Streams io)
{
    if (!expectPositional(options, 1, 1, io))
        return ExitBadInput;
    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;
    DownloadController download(session.link(), session.memory());
    download.setVerifyReads(options.readTwice);
    QByteArray image;
    QObject::connect(&download, &DownloadController::imageReady,
                     [&image](const QByteArray &bytes) { image = bytes; });
    const int status = session.run(
        download, [&] { download.start(); }, io);
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

// pin, password, clock, version, reboot.
int runService(const DeviceOptions &options, Streams io)
{
    const QString &verb = options.verb;
    const bool reading =
        options.positional.isEmpty() && options.clockSet.isEmpty() && !options.clockPc;
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
    if (!parseDeviceOptions(args, options, io))
        return ExitBadInput;
    if (options.helpShown)
        return ExitOk;
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
