// helmwise-cli upload: sends a configuration (or, with --image, a backup
// image) to the exchange. The cabinet's boards are compared first (exit 5
// where they differ, unless --ignore-boards); by default the exchange's
// memory is backed up to files and the written area is read back before the
// reboot; the exit status is 0 only when the exchange confirmed everything.
// --dry-run prints what would change and writes nothing.
#include "DeviceVerbs.h"

#include "BoardChange.h"
#include "CheckConfig.h"
#include "ConfigDiff.h"
#include "ConfigLoader.h"
#include "ExchangeBackup.h"
#include "ExchangeImage.h"
#include "UploadController.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>

namespace cli
{

namespace
{

// What to send and the system name its backup is filed under.
struct Sending {
    Configuration config = makeDefaultConfiguration();
    QByteArray image; // set when restoring a backup image
    QString systemName;
};

bool readImage(const QString &fileName, Sending &sending, Streams io)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        io.err << "Cannot read " << fileName << ": " << file.errorString() << Qt::endl;
        return false;
    }
    // One byte more than an image tells a longer file from a whole one.
    sending.image = file.read(ExchMap::MemorySize + 1);
    if (sending.image.size() != ExchMap::MemorySize) {
        const qsizetype size = sending.image.size();
        io.err << fileName << " is not an exchange image: it holds "
               << (size > ExchMap::MemorySize ? QStringLiteral("more than ") : QString())
               << qMin<qsizetype>(size, ExchMap::MemorySize) << " bytes, an image has "
               << ExchMap::MemorySize << Qt::endl;
        return false;
    }
    // Refused before the port is opened: sending it would leave nonsense.
    if (const QString problem = configurationImageProblem(sending.image); !problem.isEmpty()) {
        io.err << fileName << " is not an exchange configuration: " << problem << Qt::endl;
        return false;
    }
    // A backup's name without its time stamp: "ship-20240131-101500" is "ship".
    static const QRegularExpression stamp(QStringLiteral("-\\d{8}-\\d{6}(-\\d+)?$"));
    sending.systemName = QFileInfo(fileName).completeBaseName().remove(stamp);
    return true;
}

// Loads the configuration; the exit status when it cannot be sent.
int loadConfiguration(const QString &fileName, Sending &sending, Streams io)
{
    const LoadOutcome loaded = loadConfigurationFile(fileName, sending.config);
    if (!loaded.ok) {
        io.err << loaded.message;
        if (!loaded.detail.isEmpty())
            io.err << " (" << loaded.detail << ')';
        io.err << Qt::endl;
        return ExitBadInput;
    }
    // Refused before the port is even opened.
    if (checkConfig(sending.config).errorsFound) {
        io.err << sendRefusalText() << Qt::endl;
        return ExitErrorsFound;
    }
    sending.systemName = sending.config.SysConfig.Name;
    return ExitOk;
}

} // namespace

int runUpload(const QStringList &args, Streams io)
{
    DeviceOptions options;
    if (const auto end = parseDeviceOptions(args, 0, 1, options, io))
        return *end;
    // A configuration file, or --image and nothing else.
    const int files = options.image.isEmpty() ? 1 : 0;
    if (options.positional.size() != files) {
        io.err << usageLine(options.verb) << Qt::endl;
        return ExitBadInput;
    }
    Sending sending;
    if (files == 0 && !readImage(options.image, sending, io))
        return ExitBadInput;
    if (files == 1) {
        const int refused = loadConfiguration(options.positional.first(), sending, io);
        if (refused != ExitOk)
            return refused;
    }
    Session session(options);
    if (!session.connect(io))
        return ExitNoReply;

    // Set by the backup's thread; outlives the upload, which waits for it.
    std::atomic<bool> backupFailed = false;
    UploadController upload(session.link(), session.memory());
    UploadOptions uploadOptions;
    uploadOptions.backup = options.backup;
    uploadOptions.verify = options.verify;
    uploadOptions.ignoreBoards = options.ignoreBoards;
    uploadOptions.dryRun = options.dryRun;
    upload.setOptions(uploadOptions);
    QObject::connect(&upload, &UploadController::memberNotFound, [io](int number) {
        io.err << "Can not find extension (" << number << ')' << Qt::endl;
    });
    bool boardsDiffer = false;
    QObject::connect(&upload, &UploadController::boardsDiffer,
                     [&](const QList<SlotDifference> &differences) {
                         for (const SlotDifference &difference : differences)
                             io.err << slotDifferenceText(difference) << Qt::endl;
                         boardsDiffer = true;
                         if (!options.ignoreBoards) {
                             io.err << "Nothing was written: the configuration does not fit this "
                                       "cabinet (--ignore-boards sends it anyway)."
                                    << Qt::endl;
                             upload.cancel();
                         }
                     });
    QObject::connect(&upload, &UploadController::planReady,
                     [&](const QList<Difference> &differences) {
                         if (!options.dryRun || differences.isEmpty())
                             return;
                         io.out << "Record\tField\tExchange\tFile" << Qt::endl;
                         for (const Difference &d : differences)
                             io.out << d.record << '\t' << d.field << '\t' << d.first << '\t'
                                    << d.second << Qt::endl;
                     });
    const QString folder = options.backupDir.isEmpty() ? defaultBackupFolder() : options.backupDir;
    upload.setBackupSink([folder, name = sending.systemName, &backupFailed](const QByteArray &image,
                                                                            QString *error) {
        const BackupFiles backup = writeExchangeBackup(folder, name, image);
        backupFailed = !backup.ok();
        *error = backup.error;
        return backup.paths;
    });
    QObject::connect(&upload, &UploadController::backupStored, [io](const QStringList &files) {
        for (const QString &path : files)
            io.out << "Backup written to " << path << Qt::endl;
    });
    QString refusal;
    bool started = false;
    const int status = session.run(
        upload,
        [&] {
            started = sending.image.isEmpty() ? upload.start(sending.config, &refusal)
                                              : upload.startImage(sending.image, &refusal);
        },
        io);
    if (!started) {
        io.err << refusal << Qt::endl;
        return ExitBadInput;
    }
    if (boardsDiffer && !options.ignoreBoards)
        return ExitBoardsDiffer;
    if (status == ExitOk) {
        if (upload.retries() > 0)
            io.err << upload.retries() << " replies were asked for again." << Qt::endl;
        if (!options.dryRun)
            io.out << (options.verify ? "Verified" : "Sent; not read back") << Qt::endl;
        return ExitOk;
    }
    if (!upload.differingBlocks().isEmpty())
        return ExitVerifyFailed;
    return backupFailed ? ExitBadInput : status;
}

} // namespace cli
