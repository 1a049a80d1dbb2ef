#include "Equipment.h"

#include <algorithm>

using namespace tidelex;

QString boardNumberText(int board)
{
    return QStringLiteral("%1").arg(board, 2, 10, QLatin1Char('0'));
}

QString slotTitle(int slot)
{
    QString title = QStringLiteral("Slot %1").arg(slot);
    if (slot >= FirstLineSlot && slot <= LastLineSlot)
        title += QStringLiteral(" (Board %1)").arg(boardNumberText(slot - 1));
    return title;
}

QString extensionPosition(int i)
{
    return boardNumberText(i / ExtsPerBoard + 1) + QLatin1Char('.') +
           QString::number(extensionPort(i));
}

QString tieLinePosition(int t)
{
    return boardNumberText(t / TiesPerBoard + 1) + QLatin1Char('.') +
           QString::number(tieLinePort(t));
}

bool extensionOnBoard(const Configuration &config, int i)
{
    if (i < 0 || i >= MaxExtensions)
        return false;
    return config.SysConfig.Slots[extensionSlot(i)] == BoardSubscriber;
}

bool tieLineOnBoard(const Configuration &config, int t)
{
    if (t < 0 || t >= MaxTieLines)
        return false;
    return config.SysConfig.Slots[tieLineSlot(t)] == BoardTieLine;
}

bool isLiveExtension(const Configuration &config, int i)
{
    return extensionOnBoard(config, i) && config.Extensions[i].Active;
}

bool isLiveTieLine(const Configuration &config, int t)
{
    return tieLineOnBoard(config, t) && config.TieLines[t].Active;
}

template <typename Accept>
static int findExtension(const Configuration &config, int number, int records, Accept accept)
{
    for (int i = 0; i < records; ++i) {
        if (config.Extensions[i].ExtNum == number && accept(i))
            return i;
    }
    return -1;
}

int findExtensionRecord(const Configuration &config, int number, int records)
{
    return findExtension(config, number, std::min(records, ExtTableSize), [](int) { return true; });
}

int findActiveExtension(const Configuration &config, int number)
{
    return findExtension(config, number, MaxExtensions,
                         [&config](int i) { return config.Extensions[i].Active; });
}

int findLiveExtension(const Configuration &config, int number)
{
    return findExtension(config, number, MaxExtensions,
                         [&config](int i) { return isLiveExtension(config, i); });
}

int findActiveGroup(const Configuration &config, int dirNum)
{
    for (int g = 0; g < MaxGroups; ++g) {
        if (config.Groups[g].Active && config.Groups[g].DirNum == dirNum)
            return g;
    }
    return -1;
}

namespace {
const char *const boardNames[BoardTypeCount] = {
    "Empty", "Subscriber", "Tie Line", "Processor", "Tone 8 Channels", "Tone 16 Channels",
    "Ringing Module"};
}

QString boardTypeName(int code)
{
    if (code < 0 || code >= BoardTypeCount)
        return QString();
    return QString::fromLatin1(boardNames[code]);
}

int boardTypeFromName(const QString &name)
{
    for (int code = 0; code < BoardTypeCount; ++code) {
        if (name == QLatin1String(boardNames[code]))
            return code;
    }
    return -1;
}

static QString recordKey(QChar letter, int index)
{
    return letter + QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0'));
}

QString extensionKey(int i) { return recordKey(QLatin1Char('E'), i); }
QString tieLineKey(int t) { return recordKey(QLatin1Char('T'), t); }
QString groupKey(int g) { return recordKey(QLatin1Char('G'), g); }

QString recordTitle(const QString &key)
{
    if (key == systemKey())
        return QStringLiteral("System");
    bool ok = false;
    const int index = key.mid(1).toInt(&ok);
    if (key.size() != 4 || !ok)
        return QString();
    switch (key.at(0).unicode()) {
    case 'E':
        return QStringLiteral("Extension ") + extensionPosition(index);
    case 'T':
        return QStringLiteral("Tie line ") + tieLinePosition(index);
    case 'G':
        return QStringLiteral("Group %1").arg(index + 1, 2, 10, QLatin1Char('0'));
    default:
        return QString();
    }
}
