// show FILE: a short summary of a configuration for a quick look.
#include "CheckConfig.h"
#include "Commands.h"
#include "Configuration.h"
#include "Equipment.h"

using namespace tidelex;

namespace cli
{
namespace
{

QString slotLine(const Configuration &config, int slot)
{
    const int code = config.SysConfig.Slots[slot];
    QString board = boardTypeName(code);
    if (board.isEmpty())
        board = QStringLiteral("unknown board %1").arg(code);
    // The boards line up: "Slot 17:" is padded to the width of "Slot 16 (Board 15):".
    return QStringLiteral("  %1 %2").arg(slotTitle(slot) + QLatin1Char(':'), -19).arg(board);
}

void printTieLines(const Configuration &config, QTextStream &out)
{
    std::array<int, ClassTableSize> perClass{};
    int live = 0;
    for (int t = 0; t < MaxTieLines; ++t) {
        if (!isLiveTieLine(config, t))
            continue;
        ++live;
        const int cls = config.TieLines[t].Class;
        if (cls >= 0 && cls < ClassTableSize)
            ++perClass[cls];
    }
    out << "Live tie lines: " << live << Qt::endl;
    for (int cls = 0; cls < ClassTableSize; ++cls) {
        if (perClass[cls] > 0)
            out << "  " << config.TieClasses[cls].Name << ": " << perClass[cls] << Qt::endl;
    }
}

} // namespace

int runShow(const QStringList &args, Streams io)
{
    Configuration config = makeDefaultConfiguration();
    if (const auto end = loadOnlyArgument(args, config, io))
        return *end;

    QTextStream &out = io.out;
    out << "System: " << config.SysConfig.Name << Qt::endl;
    out << "Last saved: " << config.SysConfig.LastUpdate << Qt::endl;
    out << "Slots:" << Qt::endl;
    for (int slot = 0; slot < SlotCount; ++slot)
        out << slotLine(config, slot) << Qt::endl;

    int extensions = 0;
    for (int i = 0; i < MaxExtensions; ++i)
        extensions += isLiveExtension(config, i) ? 1 : 0;
    out << "Live extensions: " << extensions << Qt::endl;
    printTieLines(config, out);
    int groups = 0;
    for (int g = 0; g < MaxGroups; ++g)
        groups += config.Groups[g].Active ? 1 : 0;
    out << "Active groups: " << groups << Qt::endl;

    const CheckResult check = checkConfig(config);
    out << "Errors: " << check.errorCount() << Qt::endl;
    out << "Warnings: " << check.warningCount() << Qt::endl;
    return ExitOk;
}

} // namespace cli
