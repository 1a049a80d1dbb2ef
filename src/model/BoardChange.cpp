#include "BoardChange.h"

#include "Equipment.h"
#include "NumberUse.h"

#include <algorithm>
#include <bitset>

using namespace tidelex;

namespace {

using NumbersInUse = std::bitset<LastExtensionNumber + 1>;

// The extension numbers already answered to in the whole numbering plan.
NumbersInUse numbersInUse(const Configuration &config)
{
    NumbersInUse used;
    for (int number = FirstExtensionNumber; number <= LastExtensionNumber; ++number)
        used.set(size_t(number), numberInUse(config, number));
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

int freeNumber(const NumbersInUse &used, int low, int high)
{
    const int inRange = firstFree(used, low, high);
    return inRange != 0 ? inRange : firstFree(used, FirstExtensionNumber, LastExtensionNumber);
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

// Called before the slot's ports come to life. A port keeps a valid number
// that nothing live answers to and no earlier port of the board took; every
// other port (numbered 0, out of the plan or clashing) gets a free number
// from its place on the board upwards. Ports for which none is left are
// returned, numbered 0.
QList<int> numberExtensions(Configuration &config, int slot)
{
    NumbersInUse used = numbersInUse(config);
    const int first = (slot - FirstLineSlot) * ExtsPerBoard;
    const int last = first + ExtsPerBoard - 1;
    QList<int> renumber;
    for (int i = first; i <= last; ++i) {
        const int number = config.Extensions[i].ExtNum;
        if (isExtensionNumber(number) && !used.test(size_t(number)))
            used.set(size_t(number));
        else
            renumber.append(i);
    }
    QList<int> unnumbered;
    for (int i : renumber) {
        const int number =
            freeNumber(used, defaultExtensionNumber(i), defaultExtensionNumber(last));
        config.Extensions[i].ExtNum = int16_t(number);
        if (number == 0)
            unnumbered.append(i);
        else
            used.set(size_t(number));
    }
    return unnumbered;
}

} // namespace

int findFreeExtensionNumber(const Configuration &config, int low, int high)
{
    return freeNumber(numbersInUse(config), low, high);
}

BoardChangeResult changeSlotBoard(Configuration &config, int slot, int board)
{
    BoardChangeResult result;
    const bool lineBoard = board == BoardEmpty || board == BoardSubscriber || board == BoardTieLine;
    if (slot < FirstLineSlot || slot > LastLineSlot || !lineBoard ||
        config.SysConfig.Slots[slot] == board)
        return result;
    if (board == BoardSubscriber)
        result.unnumbered = numberExtensions(config, slot);
    config.SysConfig.Slots[slot] = int16_t(board);
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
