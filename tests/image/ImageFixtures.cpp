#include "ImageFixtures.h"

#include "Equipment.h"
#include "ExchangeImage.h"

#include <QRandomGenerator>
#include <algorithm>

using namespace tidelex;

void placeExtension(Configuration &config, int i, int number, int cls, int directDial)
{
    config.SysConfig.Slots[extensionSlot(i)] = BoardSubscriber;
    ExtRecord &ext = config.Extensions[i];
    ext.Active = true;
    ext.ExtNum = static_cast<int16_t>(number);
    ext.Class = static_cast<int16_t>(cls);
    ext.Status = config.ExtClasses[cls].Status;
    ext.DirectDial = static_cast<int16_t>(directDial);
}

void placeTieLine(Configuration &config, int t, int dirNum, int cls)
{
    config.SysConfig.Slots[tieLineSlot(t)] = BoardTieLine;
    TieRecord &tie = config.TieLines[t];
    tie.Active = true;
    tie.DirNum = static_cast<int16_t>(dirNum);
    tie.Class = static_cast<int16_t>(cls);
    tie.Status[0] = config.TieClasses[cls].Status[0];
    tie.Ext1 = 0;
    tie.Dial9 = false;
}

void placeGroup(Configuration &config, int g, int dirNum, int type, const QList<int> &members)
{
    GroupRecord &group = config.Groups[g];
    group.Active = true;
    group.DirNum = static_cast<int16_t>(dirNum);
    group.Type = static_cast<int16_t>(type);
    group.Num = static_cast<int16_t>(members.size());
    for (int m = 0; m < members.size() && m < GroupExtsSize; ++m)
        group.Exts[m] = static_cast<int16_t>(members[m]);
}

namespace {

QList<int> shuffledRange(QRandomGenerator &rng, int first, int last)
{
    QList<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.append(n);
    for (qsizetype k = numbers.size() - 1; k > 0; --k)
        numbers.swapItemsAt(k, rng.bounded(int(k + 1)));
    return numbers;
}

bool chance(QRandomGenerator &rng, int percent)
{
    return rng.bounded(100) < percent;
}

} // namespace

Configuration randomConfiguration(quint32 seed)
{
    QRandomGenerator rng(seed);
    Configuration c = makeDefaultConfiguration();
    for (int s = FirstLineSlot; s <= LastLineSlot; ++s) {
        static constexpr int16_t kinds[] = {BoardEmpty, BoardSubscriber, BoardSubscriber, BoardTieLine};
        c.SysConfig.Slots[s] = kinds[rng.bounded(4)];
    }

    // Extensions; inactive records keep their default numbers 100 + i, which
    // may repeat an active number, as in a real configuration.
    const QList<int> extNumbers = shuffledRange(rng, FirstExtensionNumber, LastExtensionNumber);
    QList<int> active;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (c.SysConfig.Slots[extensionSlot(i)] != BoardSubscriber || !chance(rng, 80))
            continue;
        const int cls = rng.bounded(ClassDisabled + 1);
        placeExtension(c, i, extNumbers[i], cls, cls == ClassHotLine ? rng.bounded(100, 500) : 0);
        ExtRecord &ext = c.Extensions[i];
        if (cls == ClassCustom) {
            for (int b = 0; b < 3; ++b)
                ext.Status[b] = static_cast<uint8_t>(rng.bounded(256));
            ext.Status[4] = static_cast<uint8_t>(rng.bounded(256) & 0xD0); // no hot-line bit
        }
        active.append(ext.ExtNum);
    }
    auto anyActive = [&] { return active.isEmpty() ? 0 : active[rng.bounded(int(active.size()))]; };

    // Groups with members among the active extensions.
    const QList<int> groupNumbers = shuffledRange(rng, 500, 599);
    QList<int> groups;
    for (int g = 0; g < MaxGroups && !active.isEmpty(); ++g) {
        if (!chance(rng, 60))
            continue;
        static constexpr int types[] = {GroupMultipleCallForward, GroupHunt, GroupPickup};
        QList<int> members;
        for (int m = rng.bounded(1, MaxGroupMembers + 1); m > 0; --m)
            members.append(anyActive());
        placeGroup(c, g, groupNumbers[g], types[rng.bounded(3)], members);
        groups.append(groupNumbers[g]);
    }
    for (int i = 0; i < MaxExtensions && !groups.isEmpty(); ++i) {
        if (c.Extensions[i].Active && chance(rng, 30))
            c.Extensions[i].Group = static_cast<int16_t>(groups[rng.bounded(int(groups.size()))]);
    }

    // Tie lines; each first extension is used by one tie line at most.
    const QList<int> tieNumbers = shuffledRange(rng, 600, 999);
    QList<int> freeFirst = active;
    for (int t = 0; t < MaxTieLines; ++t) {
        if (c.SysConfig.Slots[tieLineSlot(t)] != BoardTieLine || !chance(rng, 80))
            continue;
        placeTieLine(c, t, tieNumbers[t], rng.bounded(4));
        TieRecord &tie = c.TieLines[t];
        tie.Status[0] |= static_cast<uint8_t>(rng.bounded(256) & (TieDTMF | TieDDI));
        tie.Status[1] = static_cast<uint8_t>(rng.bounded(256));
        for (int j = 0; j < Dial6Codes; ++j)
            tie.Dial6[j] = chance(rng, 30);
        tie.Dial9 = chance(rng, 50);
        if (!freeFirst.isEmpty() && chance(rng, 70)) {
            tie.Ext1 = static_cast<int16_t>(freeFirst.takeAt(rng.bounded(int(freeFirst.size()))));
            if (chance(rng, 50))
                tie.Ext2 = static_cast<int16_t>(chance(rng, 50) || groups.isEmpty()
                                                    ? anyActive()
                                                    : groups[rng.bounded(int(groups.size()))]);
        }
    }

    const int guaranteed = std::min<int>(rng.bounded(GAEntries + 1), active.size());
    for (int k = 0; k < guaranteed; ++k)
        c.SysConfig.GA[k] = static_cast<int16_t>(active[k]);
    c.SysConfig.PIN = static_cast<int16_t>(rng.bounded(10000));
    for (int k = 0; k < 4; ++k)
        c.SysConfig.Pass.append(QChar(u'A' + rng.bounded(26)));
    return c;
}

QByteArray imageToDump(const QByteArray &image)
{
    QByteArray dump;
    for (int row = 0; row < image.size(); row += 16) {
        const QByteArray bytes = image.mid(row, 16);
        if (bytes.count('\0') == bytes.size())
            continue;
        dump += QString::asprintf("%04X:", row).toLatin1() + ' ' + bytes.toHex(' ').toUpper() + '\n';
    }
    return dump;
}

QByteArray dumpToImage(const QByteArray &dump)
{
    QByteArray image(ExchMap::MemorySize, '\0');
    for (const QByteArray &line : dump.split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        const qsizetype colon = text.indexOf(':');
        bool ok = false;
        const int row = text.left(colon).toInt(&ok, 16);
        const QByteArray bytes = QByteArray::fromHex(text.mid(colon + 1));
        if (colon < 0 || !ok || bytes.size() != 16 || row % 16 != 0 || row + 16 > image.size())
            return {};
        image.replace(row, 16, bytes);
    }
    return image;
}
