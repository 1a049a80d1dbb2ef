#include "BoardChange.h"

#include "Equipment.h"

#include <algorithm>
#include <bitset>

using namespace tdl;

namespace {

using NumbersInUse = std::bitset<LastExtensionNumber + 1>;

NumbersInUse numbersInUse(const Configuration &config)
{
    NumbersInUse used;
    for (int i = 0; i < MaxExtensions; ++i) {
        const int number = config.Extensions[i].ExtNum;
        if (isExtensionNumber(number))
            used.set(size_t(number));
    }
    return used;
}

int firstFree(const NumbersInUse &used, int low, int high)
{
    for (int number = std::max(low, FirstExtensionNumber);
         number <= std::min(high, LastExtensionNumber); ++number) {
        if (!used.test(size_t(number)))
            return number;
    }
    return 0;
}

void setExtensionsActive(Configuration &config, int slot, bool active)
{
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    for (int i = first; i < first + ExtsPerBoard; ++i)
        config.Extensions[i].Active = active;
}

void setTieLinesActive(Configuration &config, int slot, bool active)
{
    const int first = (slot - FirstLineSlot) * TiesPerBoard;
    for (int t = first; t < first + TiesPerBoard; ++t)
        config.TieLines[t].Active = active;
}

// Extensions of the slot still numbered 0 get a free number from their
// place on the board upwards; those for which none is left are returned.
QList<int> numberExtensions(Configuration &config, int slot)
{
    QList<int> unnumbered;
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    for (int i = first; i < first + ExtsPerBoard; ++i) {
        ExtRecord &ext = config.Extensions[i];
        if (ext.ExtNum != 0)
            continue;
        ext.ExtNum = int16_t(findFreeExtensionNumber(
            config, defaultExtensionNumber(i), defaultExtensionNumber(first + ExtsPerBoard - 1)));
        if (ext.ExtNum == 0)
            unnumbered.append(i);
    }
    return unnumbered;
}

} // namespace

int findFreeExtensionNumber(const Configuration &config, int low, int high)
{
    const NumbersInUse used = numbersInUse(config);
    const int inRange = firstFree(used, low, high);
    return inRange != 0 ? inRange : firstFree(used, FirstExtensionNumber, LastExtensionNumber);
}

BoardChangeResult changeSlotBoard(Configuration &config, int slot, int board)
{
    BoardChangeResult result;
    const bool lineBoard = board == BoardEmpty || board == BoardSubscriber || board == BoardTieLine;
    if (slot < FirstLineSlot || slot > LastLineSlot || !lineBoard ||
        config.SysConfig.Slots[slot] == board)
        return result;
    config.SysConfig.Slots[slot] = int16_t(board);
    if (board == BoardSubscriber)
        result.unnumbered = numberExtensions(config, slot);
    setExtensionsActive(config, slot, board == BoardSubscriber);
    setTieLinesActive(config, slot, board == BoardTieLine);
    result.changed = true;
    return result;
}

QList<SlotDifference> cabinetDifferences(const Configuration &config,
                                         const InstalledBoardList &installed)
{
    QList<SlotDifference> differences;
    for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot) {
        const int configured = config.SysConfig.Slots[slot];
        if (configured != installed[slot])
            differences.append({slot, configured, installed[slot]});
    }
    return differences;
}

QString slotDifferenceText(const SlotDifference &difference)
{
    return QStringLiteral("Slot %1: configuration %2, exchange %3")
        .arg(difference.slot)
        .arg(boardTypeName(difference.configured), boardTypeName(difference.installed));
}
