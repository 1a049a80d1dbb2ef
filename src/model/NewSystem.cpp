#include "NewSystem.h"

#include <algorithm>

using namespace tidelex;

namespace {

int nonNegative(int value)
{
    return std::max(value, 0);
}

int totalLines(const NewSystemCounts &counts)
{
    return nonNegative(counts.shore) + nonNegative(counts.satcom) + nonNegative(counts.pa) +
           nonNegative(counts.pager);
}

// Extension names: at least two digits, three when the kind counts 100 or more.
QString extensionName(const char *kind, int number, int countOfKind)
{
    const int width = countOfKind >= 100 ? 3 : 2;
    return QString::fromLatin1(kind) +
           QString::number(number).rightJustified(width, QLatin1Char('0'));
}

// Tie-line names: a leading zero only when the kind counts 10 or more.
QString tieLineName(const char *kind, int number, int countOfKind)
{
    const int width = countOfKind >= 10 ? 2 : 1;
    return QString::fromLatin1(kind) +
           QString::number(number).rightJustified(width, QLatin1Char('0'));
}

void fillExtension(ExtRecord &ext, int index, const QString &name, int cls,
                   std::array<uint8_t, 5> status)
{
    ext.Active = true;
    ext.Name = name;
    ext.TrueName = true;
    ext.ExtNum = static_cast<int16_t>(defaultExtensionNumber(index));
    ext.Class = static_cast<int16_t>(cls);
    std::copy(status.begin(), status.end(), ext.Status.begin());
    ext.DirectDial = 0;
}

// Tie records in the order new lines take them: the four records of a board
// in rising order, boards from slot 16 downwards (56..59, 52..55, ..., 0..3).
int nextFreeTieRecord(const Configuration &config)
{
    for (int board = LineSlotCount - 1; board >= 0; --board) {
        for (int port = 0; port < TiesPerBoard; ++port) {
            const int t = board * TiesPerBoard + port;
            if (!config.TieLines[t].Active)
                return t;
        }
    }
    return -1;
}

struct TieKind {
    const char *name;
    int16_t ext1;
    int16_t cls;
    uint8_t status0;
    bool dial9;
};

constexpr TieKind shoreKind{"Shore ", 103, TieClassShore, 64, true};
constexpr TieKind satcomKind{"SATCOM ", 103, TieClassSatComm, 80, false};
constexpr TieKind paKind{"Public Address ", 0, TieClassPA, 32, false};
constexpr TieKind pagerKind{"Pager ", 103, TieClassPager, 48, false};

void fillTieLine(TieRecord &tie, const QString &name, int dirNum, const TieKind &kind,
                 uint8_t status0)
{
    tie.Active = true;
    tie.Name = name;
    tie.DirNum = static_cast<int16_t>(dirNum);
    tie.Ext1 = kind.ext1;
    tie.Ext2 = 0;
    tie.Class = kind.cls;
    tie.Status[0] = status0;
    tie.Status[1] = 0;
    tie.Dial9 = kind.dial9;
}

// The top tie board (records 56..59) has fixed roles: two shore lines, the
// first PA line and the first SATCOM line, each only when that kind is wanted.
// Returns how many of each kind were placed there.
struct FixedPlaced {
    int shore = 0, satcom = 0, pa = 0;
};

FixedPlaced placeFixedTieLines(Configuration &config, int shore, int satcom, int pa)
{
    constexpr int first = MaxTieLines - TiesPerBoard; // 56
    FixedPlaced placed;
    for (int k = 0; k < 2 && k < shore; ++k) {
        const int t = first + k;
        fillTieLine(config.TieLines[t], tieLineName(shoreKind.name, k + 1, shore),
                    defaultTieLineNumber(t), shoreKind, shoreKind.status0);
        ++placed.shore;
    }
    if (pa > 0) {
        const int t = first + 2;
        fillTieLine(config.TieLines[t], tieLineName(paKind.name, 1, pa), defaultTieLineNumber(t),
                    paKind, paKind.status0);
        placed.pa = 1;
    }
    if (satcom > 0) {
        const int t = first + 3;
        fillTieLine(config.TieLines[t], tieLineName(satcomKind.name, 1, satcom),
                    defaultTieLineNumber(t), satcomKind, satcomKind.status0);
        config.TieLines[t].Dial6[0] = true;
        placed.satcom = 1;
    }
    return placed;
}

} // namespace

BoardPlanResult planBoards(const NewSystemCounts &counts)
{
    BoardPlanResult result;
    int extensions = nonNegative(counts.extensions);
    if (extensions > MaxExtensions) {
        result.overflow = true;
        extensions = MaxExtensions;
    }
    const int extBoards = (extensions + ExtsPerBoard - 1) / ExtsPerBoard;
    for (int k = 1; k <= extBoards; ++k)
        result.BoardPlan[k] = BoardSubscriber;

    const int lines = totalLines(counts);
    const int tieBoards = (lines + TiesPerBoard - 1) / TiesPerBoard;
    for (int k = 1; k <= tieBoards; ++k) {
        const int position = LineSlotCount + 1 - k;
        // Position 0 is no slot: a plan of more than 15 tie boards does not fit
        // even in an otherwise empty cabinet.
        if (position >= 1 && result.BoardPlan[position] == BoardEmpty)
            result.BoardPlan[position] = BoardTieLine;
        else
            result.overflow = true;
    }
    return result;
}

bool officersFit(const NewSystemCounts &counts)
{
    return counts.officers < counts.extensions;
}

void generateNewSystem(Configuration &config, const NewSystemCounts &counts,
                       const BoardPlanResult &plan, const QString &lastUpdate)
{
    clearConfig(config);

    SystemRecord &sys = config.SysConfig;
    sys.Pass = QStringLiteral("HMWS");
    sys.Name = QStringLiteral("Tidelex Analogue");
    sys.LastUpdate = lastUpdate;
    sys.PIN = 0;
    sys.Slots[0] = BoardTone8;
    sys.Slots[1] = BoardProcessor;
    for (int k = 1; k <= LineSlotCount; ++k)
        sys.Slots[k + 1] = static_cast<int16_t>(plan.BoardPlan[k]);

    // Extensions: officers, then crew, then spare records up to the end of
    // the last Subscriber board. Officers never outnumber the total.
    const int total = std::clamp(counts.extensions, 0, MaxExtensions);
    const int officers = std::clamp(counts.officers, 0, total);
    const int crew = total - officers;
    const int last = (total + ExtsPerBoard - 1) / ExtsPerBoard * ExtsPerBoard - 1;
    int n = 0;
    for (int j = 1; j <= officers; ++j, ++n)
        fillExtension(config.Extensions[n], n, extensionName("Officer ", j, officers), ClassOfficer,
                      {128, 215, 255, 0, 16});
    for (int j = 1; j <= crew; ++j, ++n)
        fillExtension(config.Extensions[n], n, extensionName("Crew ", j, crew), ClassCrew,
                      {0, 224, 0, 0, 0});
    const int spareExtensions = last - n + 1;
    for (; n <= last; ++n)
        fillExtension(config.Extensions[n], n, extensionName("Spare ", n, spareExtensions),
                      ClassDisabled, {0, 0, 0, 0, 0});

    // Tie lines: fixed roles on the top board, then the rest kind by kind.
    const int shore = nonNegative(counts.shore);
    const int satcom = nonNegative(counts.satcom);
    const int pa = nonNegative(counts.pa);
    const int pager = nonNegative(counts.pager);
    const FixedPlaced fixed = placeFixedTieLines(config, shore, satcom, pa);

    // Returns false once the table is full, so absurd counts stop there.
    auto placeKind = [&config](const TieKind &kind, int from, int count, uint8_t status0,
                               bool satcomRoutes) {
        for (int m = from; m <= count; ++m) {
            const int t = nextFreeTieRecord(config);
            if (t < 0)
                return false;
            fillTieLine(config.TieLines[t], tieLineName(kind.name, m, count),
                        defaultTieLineNumber(t), kind, status0);
            if (satcomRoutes)
                config.TieLines[t].Dial6[(m - 1) % Dial6Codes] = true;
        }
        return true;
    };
    // Shore lines off the top board carry no class bits in Status.
    const bool room = placeKind(shoreKind, fixed.shore + 1, shore, 0, false) &&
                      placeKind(satcomKind, fixed.satcom + 1, satcom, satcomKind.status0, true) &&
                      placeKind(paKind, fixed.pa + 1, pa, paKind.status0, false) &&
                      placeKind(pagerKind, 1, pager, pagerKind.status0, false);

    // Spare lines fill up the last tie board; their numbers start at 956.
    const int lines = shore + satcom + pa + pager;
    const int spareLines = (lines + TiesPerBoard - 1) / TiesPerBoard * TiesPerBoard - lines;
    for (int m = 1; room && m <= spareLines; ++m) {
        const int t = nextFreeTieRecord(config);
        if (t < 0)
            break;
        TieRecord &tie = config.TieLines[t];
        tie.Active = true;
        tie.Name = tieLineName("Spare ", m, spareLines > 10 ? spareLines : 0);
        tie.DirNum = static_cast<int16_t>(956 + t);
        tie.Ext1 = 103;
        tie.Ext2 = 0;
        tie.Class = TieClassShore;
        tie.Status[0] = 0;
        tie.Status[1] = 0;
    }

    for (int g = 0; g < MaxGroups; ++g) {
        GroupRecord &group = config.Groups[g];
        group.Active = false;
        group.Name =
            QStringLiteral("Group ") + QString::number(g + 1).rightJustified(2, QLatin1Char('0'));
        group.DirNum = static_cast<int16_t>(TopGroupNumber - g);
        group.Type = 0;
        group.Num = 0;
        for (int m = 0; m < MaxGroupMembers; ++m)
            group.Exts[m] = -1;
    }
}
