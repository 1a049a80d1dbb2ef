#include "SimOptions.h"

#include "ExchangeSimulator.h"

#include <QCommandLineParser>

namespace
{

bool readCount(const QCommandLineParser &parser, const QCommandLineOption &option, int &out,
               QString &error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0) {
        error = QStringLiteral("--%1 needs a whole number of 0 or more, not \"%2\"")
                    .arg(option.names().constFirst(), parser.value(option));
        return false;
    }
    out = value;
    return true;
}

} // namespace

bool parseSimOptions(const QStringList &arguments, SimOptions &options, QString &error,
                     QString &helpText)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated Tidelex Analog exchange behind a pseudo-terminal.\n"
                       "Prints the terminal's path on the first line, then serves until stopped."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption image(QStringLiteral("image"),
                                   QStringLiteral("Configuration memory to start with (%1 bytes).")
                                       .arg(ExchangeSimulator::ConfigSize),
                                   QStringLiteral("file"));
    const QCommandLineOption cabinet(
        QStringLiteral("cabinet"),
        QStringLiteral("Start as the exchange a configuration file (.TWZ or .TDZ) describes: "
                       "its boards in the cabinet and its contents in memory."),
        QStringLiteral("file"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Line speed in both directions, 0 for no pacing (default 57600)."),
        QStringLiteral("n"));
    const QCommandLineOption firmware(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version byte in hex (default 32; 31 is version 1)."),
        QStringLiteral("hex"));
    const QCommandLineOption corrupt(
        QStringLiteral("corrupt-every"),
        QStringLiteral("Send every n-th block reply with a wrong checksum."), QStringLiteral("n"));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Cut replies into random pieces."));
    const QCommandLineOption drop(QStringLiteral("drop-every"),
                                  QStringLiteral("Never send every n-th reply."),
                                  QStringLiteral("n"));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Send stray bytes after replies."));
    const QCommandLineOption hangup(
        QStringLiteral("hangup-after"),
        QStringLiteral("Close the line after n blocks read or written."), QStringLiteral("n"));
    const QCommandLineOption badBlock(
        QStringLiteral("bad-block"),
        QStringLiteral("Acknowledge writes of block n (1..64) but keep them with one byte "
                       "changed."),
        QStringLiteral("n"));
    const QCommandLineOption flipPair(
        QStringLiteral("flip-pair-every"),
        QStringLiteral("Set bit 7 in two zero bytes of every n-th block reply; the checksum "
                       "still matches."),
        QStringLiteral("n"));
    const QCommandLineOption refuse(
        QStringLiteral("refuse-writes"),
        QStringLiteral("Refuse the first n block writes and fills, keeping nothing of them."),
        QStringLiteral("n"));
    parser.addOptions({image, cabinet, baud, firmware, corrupt, split, drop, noise, hangup,
                       badBlock, flipPair, refuse});

    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        error.clear();
        helpText = parser.helpText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument \"%1\"")
                    .arg(parser.positionalArguments().constFirst());
        return false;
    }
    options.imageFile = parser.value(image);
    options.cabinetFile = parser.value(cabinet);
    if (!options.imageFile.isEmpty() && !options.cabinetFile.isEmpty()) {
        error = QStringLiteral("--image and --cabinet cannot be used together");
        return false;
    }
    if (!readCount(parser, baud, options.baud, error) ||
        !readCount(parser, corrupt, options.faults.corruptEvery, error) ||
        !readCount(parser, drop, options.faults.dropEvery, error) ||
        !readCount(parser, hangup, options.faults.hangupAfter, error) ||
        !readCount(parser, badBlock, options.faults.badBlock, error) ||
        !readCount(parser, flipPair, options.faults.flipPairEvery, error) ||
        !readCount(parser, refuse, options.faults.refuseWrites, error))
        return false;
    if (options.faults.badBlock > 64) {
        error = QStringLiteral("--bad-block needs a block number from 1 to 64, not \"%1\"")
                    .arg(parser.value(badBlock));
        return false;
    }
    if (parser.isSet(firmware)) {
        QString text = parser.value(firmware);
        if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            text = text.mid(2);
        bool ok = false;
        const uint value = text.toUInt(&ok, 16);
        if (!ok || value > 0xFF) {
            error = QStringLiteral("--firmware needs one byte in hex, not \"%1\"")
                        .arg(parser.value(firmware));
            return false;
        }
        options.firmware = quint8(value);
    }
    options.faults.split = parser.isSet(split);
    options.faults.noise = parser.isSet(noise);
    return true;
}
