// tidelex-sim: a simulated exchange on a pseudo-terminal, for trying the program and its
// tests without the Programming Module.
#include "DefaultCabinet.h"
#include "ExchangeSimulator.h"
#include "PtyExchange.h"
#include "SimOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop, so the pseudo-terminal is closed properly.
bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return true;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tidelex-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The same settings and data folders as helmWISE itself.
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane Telecom Limited"));
    QCoreApplication::setApplicationName(QStringLiteral("Tidelex Analog"));

    SimOptions options;
    QString error, helpText;
    if (!parseSimOptions(QCoreApplication::arguments(), options, error, helpText)) {
        if (error.isEmpty()) {
            std::fputs(qPrintable(helpText), stdout);
            return 0;
        }
        return fail(error);
    }

    ExchangeSimulator exchange;
    QByteArray image = defaultCabinetImage();
    if (!options.imageFile.isEmpty()) {
        QFile file(options.imageFile);
        if (!file.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("cannot read %1: %2").arg(options.imageFile, file.errorString()));
        image = file.readAll();
        if (image.size() != ExchangeSimulator::ConfigSize)
            return fail(QStringLiteral("%1 holds %2 bytes; an exchange image has %3")
                            .arg(options.imageFile)
                            .arg(image.size())
                            .arg(ExchangeSimulator::ConfigSize));
    }
    if (!options.cabinetFile.isEmpty()) {
        QString reason;
        if (!cabinetFromConfiguration(options.cabinetFile, image, reason))
            return fail(reason);
    }
    exchange.loadConfigImage(image);
    exchange.setFirmware(options.firmware);
    exchange.setClock(QDateTime::currentDateTime());
    exchange.setClockRunning(true);
    exchange.setFaults(options.faults);
    exchange.setSeed(quint32(QDateTime::currentMSecsSinceEpoch()));

    PtyExchange line(&exchange);
    line.setBaudRate(options.baud);
    if (!line.open())
        return fail(line.errorString());
    if (!quitOnSignals(app))
        return fail(QStringLiteral("cannot watch for signals"));
    // After a deliberate hang-up the line is gone and there is nothing left to serve.
    QObject::connect(&line, &PtyExchange::closed, &app, &QCoreApplication::quit);

    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
