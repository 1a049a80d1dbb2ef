// bench_link: downloads a full configuration through tidelex-sim on a
// pseudo-terminal paced at 57600 baud, then uploads another with the backup
// before and the read-back after, and prints each time as a ratio to the
// wire limit: every byte on the line, both ways, at 10 bits a byte, plus the
// 1.6 s setup pause. The upload is measured against the sum of three limits,
// one per part: the backup read, the writes, the read-back. 1.00 is the line
// itself; the target is 1.05.
#include "DownloadController.h"
#include "QtSerialLine.h"
#include "UploadController.h"
#include "SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace
{

constexpr double Baud = 57600.0;
constexpr double SetupPause = 1.6;

// The Qt line with a count of the bytes that cross it.
class CountingLine : public QtSerialLine
{
  public:
    qint64 sent = 0;
    qint64 received = 0;
    void write(const QByteArray &bytes) override
    {
        sent += bytes.size();
        QtSerialLine::write(bytes);
    }
    QByteArray readAll() override
    {
        const QByteArray bytes = QtSerialLine::readAll();
        received += bytes.size();
        return bytes;
    }
};

// A configuration memory with data in every block, none of them uniform:
// decimal digit pairs (numbers an exchange can hold), groups without
// members, and the marker of a configuration.
QByteArray fullImage(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray image(ExchMap::MemorySize, '\0');
    for (char &byte : image)
        byte = char(random.bounded(1, 10) << 4 | random.bounded(10));
    for (int g = 0; g < 16; ++g)
        image[ExchMap::Groups + g * ExchMap::GroupRecordSize + ExchMap::GroupMemberCount] = 0;
    image[ExchMap::SystemMarker] = char(ExchMap::SystemMarkerBytes[0]);
    image[ExchMap::SystemMarker + 1] = char(ExchMap::SystemMarkerBytes[1]);
    return image;
}

// Runs the operation to its end; seconds taken, or -1 when it failed.
double timeOperation(LinkOperation &operation, CountingLine &line,
                     const std::function<void()> &start, QTextStream &out)
{
    QEventLoop loop;
    bool ok = true;
    QObject::connect(&operation, &LinkOperation::finished, &loop, &QEventLoop::quit);
    QObject::connect(&operation, &LinkOperation::failed, &loop, [&](const QString &message) {
        out << "  failed: " << message << Qt::endl;
        ok = false;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    start();
    loop.exec();
    line.drain(5000);
    return ok ? clock.nsecsElapsed() / 1e9 : -1;
}

double wireSeconds(qint64 bytes)
{
    return bytes * 10.0 / Baud;
}

QString seconds(double value)
{
    return QString::number(value, 'f', 3) + QStringLiteral(" s");
}

void report(QTextStream &out, const char *name, double taken, const CountingLine &line)
{
    const double limit = wireSeconds(line.sent + line.received) + SetupPause;
    out << name << ": " << seconds(taken) << ", " << line.sent << " bytes sent, " << line.received
        << " received, wire limit " << seconds(limit) << ", ratio "
        << QString::number(taken / limit, 'f', 3) << Qt::endl;
}

// Bytes on the line in each part of an upload: the backup read, the writes
// (clearing, blocks, final words), the read-back (and the reboot).
struct UploadParts {
    qint64 bytes[3] = {0, 0, 0};
    int part = 0;
    qint64 mark = 0;

    void moveTo(int next, const CountingLine &line)
    {
        const qint64 now = line.sent + line.received;
        bytes[part] += now - mark;
        mark = now;
        part = next;
    }
};

int partOf(UploadController::Phase phase)
{
    switch (phase) {
    case UploadController::Phase::Boards:
    case UploadController::Phase::Backup:
    case UploadController::Phase::Plan:
        return 0;
    case UploadController::Phase::Verifying:
    case UploadController::Phase::Rebooting:
    case UploadController::Phase::Idle:
        return 2;
    default:
        return 1;
    }
}

void reportUpload(QTextStream &out, double taken, const UploadParts &parts)
{
    const double limits[3] = {wireSeconds(parts.bytes[0]) + SetupPause, wireSeconds(parts.bytes[1]),
                              wireSeconds(parts.bytes[2])};
    const char *names[3] = {"backup", "writes", "read-back"};
    out << "upload with backup and read-back: " << seconds(taken) << Qt::endl;
    for (int k = 0; k < 3; ++k)
        out << "  " << names[k] << ": " << parts.bytes[k] << " bytes, wire limit "
            << seconds(limits[k]) << Qt::endl;
    const double sum = limits[0] + limits[1] + limits[2];
    out << "  sum of the limits " << seconds(sum) << ", ratio "
        << QString::number(taken / sum, 'f', 3) << Qt::endl;
}

struct Times {
    double download = -1;
    double upload = -1;
    int retries = 0;
};

// One tidelex-sim with the given fault options: a download of `image`, then
// an upload of another image with the backup before and the read-back after.
Times measure(const QString &imageFile, const QByteArray &image, const QStringList &faults,
              QTextStream &out)
{
    Times times;
    QProcess sim;
    sim.start(QStringLiteral(TIDELEX_SIM),
              QStringList{QStringLiteral("--baud"), QStringLiteral("57600"),
                          QStringLiteral("--image"), imageFile} +
                  faults);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        out << "tidelex-sim did not start" << Qt::endl;
        return times;
    }
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();
    out << "tidelex-sim on " << pty << ", 57600 baud " << faults.join(u' ') << Qt::endl;

    CountingLine line;
    SerialLink link(&line);
    MemoryImages memory;
    link.setSilenceLimit(10000);
    if (line.open(pty) != SerialLine::Opened) {
        out << "cannot open " << pty << Qt::endl;
        return times;
    }

    DownloadController download(link, memory);
    QByteArray got;
    QObject::connect(&download, &DownloadController::imageReady,
                     [&got](const QByteArray &bytes) { got = bytes; });
    times.download = timeOperation(
        download, line, [&] { download.start(); }, out);
    if (times.download >= 0) {
        report(out, "download", times.download, line);
        out << "  image " << (got == image ? "identical" : "DIFFERENT") << Qt::endl;
    }
    times.retries = download.retries();

    line.sent = line.received = 0;
    const QByteArray upImage = fullImage(2382);
    UploadController upload(link, memory);
    UploadOptions options;
    options.ignoreBoards = true; // the random slot bytes name no real cabinet
    upload.setOptions(options);
    QObject::connect(&upload, &UploadController::backupRead, [&](const QByteArray &backup) {
        out << "  backup " << (backup == image ? "identical" : "DIFFERENT") << Qt::endl;
    });
    UploadParts parts;
    QObject::connect(&upload, &UploadController::phaseChanged,
                     [&](UploadController::Phase phase) { parts.moveTo(partOf(phase), line); });
    times.upload = timeOperation(
        upload, line, [&] { upload.startImage(upImage); }, out);
    parts.moveTo(0, line);
    if (times.upload >= 0)
        reportUpload(out, times.upload, parts);
    times.retries += upload.retries();

    line.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QByteArray image = fullImage(2381);
    const QString imageFile = dir.filePath(QStringLiteral("full.bin"));
    {
        QFile file(imageFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
            out << "cannot write " << imageFile << Qt::endl;
            return 1;
        }
    }
    const Times clean = measure(imageFile, image, {}, out);
    // Every third reply lost on the way: the time asking again costs, as a
    // ratio to the same transfers on a clean line in this run.
    const Times lossy =
        measure(imageFile, image, {QStringLiteral("--drop-every"), QStringLiteral("3")}, out);
    if (clean.download < 0 || clean.upload < 0 || lossy.download < 0 || lossy.upload < 0)
        return 1;
    out << "every 3rd reply dropped: " << lossy.retries << " retries; download "
        << QString::number(lossy.download / clean.download, 'f', 2) << " x, upload "
        << QString::number(lossy.upload / clean.upload, 'f', 2)
        << " x the clean line's time (target at most 2)" << Qt::endl;
    return 0;
}
