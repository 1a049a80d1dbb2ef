// The exchange verbs of helmwise-cli other than upload and boards:
// download, pin, password, clock, version, reboot and ports. Each finds (or
// is told) the Programming Module's port, runs one operation of the link in
// an event loop, and turns the outcome into an exit status.
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

// A service command: it reads when no value is given; a value is checked
// (what is refused is never sent) and written.
struct ServiceCommand {
    void (ServiceController::*read)() = nullptr;
    QString (ServiceController::*write)(const QString &) = nullptr;
    QString (*problem)(const QString &) = nullptr; // why a value cannot be written
};

int runService(const DeviceOptions &options, const std::optional<QString> &value,
               const ServiceCommand &command, Streams io)
{
    // Values are checked before the port is opened: a refused value sends nothing.
    if (value && command.problem) {
        const QString problem = command.problem(*value);
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
        if (value)
            refused = (service.*command.write)(*value);
        else
            (service.*command.read)();
    };
    const int status = session.run(service, start, io);
    if (!refused.isEmpty()) {
        io.err << refused << Qt::endl;
        return ExitBadInput;
    }
    return status;
}

std::optional<QString> givenValue(const DeviceOptions &options)
{
    if (options.positional.isEmpty())
        return std::nullopt;
    return options.positional.first();
}

} // namespace

int runDownload(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 1, 1, options, io))
        return *end;
    // Both targets are checked before the exchange is asked, and written
    // together afterwards: never a new .TWZ beside an old image.
    const auto targets = [&](const QByteArray &twz, const QByteArray &image) {
        QList<FileContents> files{{options.positional.first(), twz}};
        if (!options.image.isEmpty())
            files.append({options.image, image});
        return files;
    };
    if (const QString unsafe = unsafeTargetsReason(targets({}, {})); !unsafe.isEmpty()) {
        io.err << unsafe << Qt::endl;
        return ExitBadInput;
    }
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
    if (!writeWholeFiles(targets(configFileBytes(config, currentLastUpdate()), image), &error)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    return ExitOk;
}

int runPin(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 1, options, io))
        return *end;
    return runService(options, givenValue(options),
                      {&ServiceController::readPin, &ServiceController::writePin, pinProblem}, io);
}

int runPassword(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 1, options, io))
        return *end;
    return runService(options, givenValue(options),
                      {&ServiceController::readPassword, &ServiceController::writePassword,
                       [](const QString &typed) { return passwordProblem(typedPassword(typed)); }},
                      io);
}

int runClock(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 0, options, io))
        return *end;
    std::optional<QString> value;
    if (options.clockPc)
        value = clockText(QDateTime::currentDateTime());
    else if (!options.clockSet.isEmpty())
        value = options.clockSet;
    return runService(options, value,
                      {&ServiceController::readClock, &ServiceController::setClock,
                       [](const QString &text) {
                           return clockBytes(text) ? QString()
                                                   : text + QStringLiteral(" is not a time and "
                                                                           "date (hh:mm:ss "
                                                                           "dd/mm/yy)");
                       }},
                      io);
}

int runVersion(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 0, options, io))
        return *end;
    return runService(options, std::nullopt, {&ServiceController::readVersion}, io);
}

int runReboot(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 0, options, io))
        return *end;
    return runService(options, std::nullopt, {&ServiceController::reboot}, io);
}

int runPorts(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 0, options, io))
        return *end;
    QtSerialLine line;
    ModuleSearch search(&line);
    if (!search.findModules()) {
        io.err << "No Tidelex Analogue Programming Module Found" << Qt::endl;
        return ExitOk;
    }
    for (const FoundModule &module : search.foundModules())
        io.out << module.portName << '\t' << module.displayName << Qt::endl;
    return ExitOk;
}

} // namespace cli
