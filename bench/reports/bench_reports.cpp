// Renders the combined report of a full cabinet (15 line boards, every
// report option ticked) to PDF and prints how fast it went. With --out DIR
// it also writes every report of the catalogue on A4 and Letter for a look.
// With --save FILE it only writes that configuration, for timing the whole
// helmwise-cli process (report_process.sh).
#include "ConfigFile.h"
#include "Configuration.h"
#include "ReportCatalogue.h"
#include "ReportPrinting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>

using namespace tidelex;

namespace {

Configuration fullConfiguration()
{
    Configuration config = makeDefaultConfiguration();
    config.SysConfig.Name = QStringLiteral("MV Northern Tern");
    config.SysConfig.Slots[0] = BoardTone16;
    for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot)
        config.SysConfig.Slots[slot] = slot <= 13 ? BoardSubscriber : BoardTieLine;
    config.SysConfig.GA[0] = 101;
    config.SysConfig.GA[1] = 150;
    for (int i = 0; i < (13 - 1) * ExtsPerBoard; ++i) {
        ExtRecord &ext = config.Extensions[i];
        ext.Active = true;
        ext.ExtNum = int16_t(101 + (i * 37) % 300);
        ext.Class = int16_t(i % 7);
        ext.Name = QStringLiteral("Cabin %1 deck %2").arg(i).arg(i % 5);
        ext.Status = config.ExtClasses[ext.Class].Status;
        if (ext.Class == ClassCustom)
            ext.Status = {0x80, 0xDF, 0xA5, 0, 0x30, 0};
        ext.DirectDial = ext.Class == ClassHotLine ? 101 : 0;
        ext.Group = int16_t(i % 3 == 0 ? 500 + i % 16 : 0);
    }
    for (int t = (14 - 2) * TiesPerBoard; t < MaxTieLines; ++t) {
        TieRecord &tie = config.TieLines[t];
        tie.Active = true;
        tie.Class = int16_t(t % 4);
        tie.Name = QStringLiteral("Line %1").arg(t);
        tie.Ext1 = 101;
        tie.Ext2 = int16_t(t % 2 ? 500 : 138);
        tie.Dial6[t % 8] = true;
        tie.Status[0] = 0x48;
    }
    for (int g = 0; g < MaxGroups; ++g) {
        GroupRecord &group = config.Groups[g];
        group.Active = true;
        group.DirNum = int16_t(500 + g);
        group.Name = QStringLiteral("Group %1").arg(g);
        group.Type = int16_t(g % 3 == 0 ? GroupPickup : g % 3 == 1 ? GroupHunt : 0);
        group.Num = MaxGroupMembers;
        for (int m = 0; m < MaxGroupMembers; ++m)
            group.Exts[m] = config.Extensions[(g * 5 + m) % 96].ExtNum;
    }
    return config;
}

ReportOptions allOptions()
{
    ReportOptions options;
    for (int n = 1; n <= 5; ++n)
        options.set(n, true);
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const Configuration config = fullConfiguration();
    const QStringList args = app.arguments();

    const int saveAt = int(args.indexOf(QStringLiteral("--save")));
    if (saveAt > 0 && saveAt + 1 < args.size()) {
        QString error;
        if (writeConfigFile(args[saveAt + 1], config, &error))
            return 0;
        out << error << Qt::endl;
        return 1;
    }

    const int outAt = int(args.indexOf(QStringLiteral("--out")));
    if (outAt > 0 && outAt + 1 < args.size()) {
        const QDir dir(args[outAt + 1]);
        const ReportOptions options = allOptions();
        QList<int> numbers = reportNumbers();
        const int onlyAt = int(args.indexOf(QStringLiteral("--only")));
        if (onlyAt > 0 && onlyAt + 1 < args.size()) {
            numbers.clear();
            for (const QString &n : args[onlyAt + 1].split(QLatin1Char(',')))
                numbers.append(n.toInt());
        }
        for (int number : numbers) {
            for (const auto &[id, name] :
                 {std::pair{QPageSize::A4, "A4"}, std::pair{QPageSize::Letter, "Letter"}}) {
                ReportContext context;
                context.pageSize = QPageSize(id);
                QString error;
                const QString file = dir.filePath(
                    QStringLiteral("report_%1_%2.pdf").arg(number).arg(QLatin1String(name)));
                if (!buildReport(config, number, options, context)->writePdf(file, &error))
                    out << file << ": " << error << Qt::endl;
            }
        }
        return 0;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("combined.pdf"));
    const int runs = 5;
    qint64 buildNs = 0;
    qint64 writeNs = 0;
    int pages = 0;
    // The machine may be shared: report processor time beside wall time.
    const std::clock_t cpuStart = std::clock();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto document = buildReport(config, 0, allOptions());
        buildNs += timer.nsecsElapsed();
        timer.restart();
        QString error;
        if (!document->writePdf(file, &error)) {
            out << "PDF failed: " << error << Qt::endl;
            return 1;
        }
        writeNs += timer.nsecsElapsed();
        pages = document->pageCount();
    }
    const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC / runs;
    const double buildMs = buildNs / 1e6 / runs;
    const double writeMs = writeNs / 1e6 / runs;
    out << "combined report, full cabinet, all options: " << pages << " pages" << Qt::endl;
    out << "build and lay out: " << buildMs << " ms, write PDF: " << writeMs << " ms" << Qt::endl;
    out << "pages per second (wall): " << pages / ((buildMs + writeMs) / 1000.0) << Qt::endl;
    out << "processor time per run: " << cpuMs
        << " ms, pages per processor second: " << pages / (cpuMs / 1000.0) << Qt::endl;
    return 0;
}
