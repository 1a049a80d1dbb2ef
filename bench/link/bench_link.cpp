// bench_link: downloads and uploads a full configuration through tidelex-sim
// on a pseudo-terminal paced at 57600 baud and prints each time as a ratio
// to the wire limit: every byte on the line, both ways, at 10 bits a byte,
// plus the 1.6 s setup pause. 1.00 is the line itself; the target is 1.05.
#include "DownloadController.h"
#include "QtSerialLine.h"
#include "UploadController.h"
#include "mdlSerial.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr double Baud = 57600.0;
constexpr double SetupPause = 1.6;

// The Qt line with a count of the bytes that cross it.
class CountingLine : public QtSerialLine {
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

// A configuration memory with data in every block, none of them uniform.
QByteArray fullImage()
{
    QRandomGenerator random(2381);
    QByteArray image(8192, '\0');
    for (char &byte : image)
        byte = char(random.bounded(1, 256));
    return image;
}

// Runs the operation to its end; seconds taken, or -1 when it failed.
double timeOperation(LinkOperation &operation, CountingLine &line, const std::function<void()> &start,
                     QTextStream &out)
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

void report(QTextStream &out, const char *name, double seconds, const CountingLine &line)
{
    const qint64 bytes = line.sent + line.received;
    const double limit = bytes * 10.0 / Baud + SetupPause;
    out << name << ": " << QString::number(seconds, 'f', 3) << " s, " << line.sent << " bytes sent, "
        << line.received << " received, wire limit " << QString::number(limit, 'f', 3)
        << " s, ratio " << QString::number(seconds / limit, 'f', 3) << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QByteArray image = fullImage();
    const QString imageFile = dir.filePath(QStringLiteral("full.bin"));
    {
        QFile file(imageFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
            out << "cannot write " << imageFile << Qt::endl;
            return 1;
        }
    }

    QProcess sim;
    sim.start(QStringLiteral(TIDELEX_SIM),
              {QStringLiteral("--baud"), QStringLiteral("57600"), QStringLiteral("--image"), imageFile});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        out << "tidelex-sim did not start" << Qt::endl;
        return 1;
    }
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();
    out << "tidelex-sim on " << pty << ", 57600 baud" << Qt::endl;

    CountingLine line;
    SerialLink link(&line);
    MemoryImages memory;
    link.setSilenceLimit(10000);
    if (line.open(pty) != SerialLine::Opened) {
        out << "cannot open " << pty << Qt::endl;
        return 1;
    }

    DownloadController download(link, memory);
    QByteArray got;
    QObject::connect(&download, &DownloadController::imageReady,
                     [&got](const QByteArray &bytes) { got = bytes; });
    const double down = timeOperation(download, line, [&] { download.start(); }, out);
    if (down >= 0) {
        report(out, "download", down, line);
        out << "  image " << (got == image ? "identical" : "DIFFERENT") << Qt::endl;
    }

    line.sent = line.received = 0;
    QByteArray upImage = image;
    std::reverse(upImage.begin(), upImage.end());
    UploadController upload(link, memory);
    const double up = timeOperation(upload, line, [&] { upload.startImage(upImage); }, out);
    if (up >= 0)
        report(out, "upload", up, line);

    line.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return down >= 0 && up >= 0 ? 0 : 1;
}
