#include "ExchangeImage.h"

#include "Equipment.h"

using namespace tidelex;
namespace L = ExchMap;

static_assert(L::SlotCodeCount == SlotCount, "one slot byte per cabinet slot");

namespace {

// The offset of word `index` of the table at `table`.
constexpr int entry(int table, int index)
{
    return table + L::WordSize * index;
}

void putWord(QByteArray &image, int offset, ExchWord word)
{
    image[offset] = static_cast<char>(word.low);
    image[offset + 1] = static_cast<char>(word.high);
}

void putByte(QByteArray &image, int offset, int value)
{
    image[offset] = static_cast<char>(value);
}

uint8_t byteAt(const QByteArray &image, int offset)
{
    return static_cast<uint8_t>(image.at(offset));
}

ExchWord wordAt(const QByteArray &image, int offset)
{
    return {byteAt(image, offset), byteAt(image, offset + 1)};
}

bool isGuaranteed(const SystemRecord &sys, int number)
{
    for (int k = 0; k < GAEntries; ++k) {
        if (sys.GA[k] != -1 && sys.GA[k] == number)
            return true;
    }
    return false;
}

// The second-extension entry a tie line's Ext2 goes into: the extension the
// exchange rings first. Only an extension that is actually sent can carry
// it, so inactive records (which keep their default numbers) are passed
// over; a number that names no sent extension gives -1 and nothing is
// written.
int secondExtensionEntry(const Configuration &config, int ext1)
{
    if (!isExtensionNumber(ext1))
        return -1;
    return findActiveExtension(config, ext1);
}

// ---- encoding -------------------------------------------------------------

void encodeExtensions(const Configuration &config, QByteArray &image)
{
    const SystemRecord &sys = config.SysConfig;
    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &ext = config.Extensions[i];
        if (!ext.Active)
            continue;
        putWord(image, entry(L::ExtNumbers, i), encodeBcdWord(ext.ExtNum));
        putByte(image, L::ExtStatus0 + i, ext.Status[0]);
        putByte(image, L::ExtStatus1 + i, ext.Status[1]);
        putByte(image, L::ExtStatus2 + i, ext.Status[2]);
        if (ext.Group > 0)
            putWord(image, entry(L::ExtGroups, i), encodeFlaggedWord(ext.Group));
        if (isGuaranteed(sys, ext.ExtNum))
            putWord(image, entry(L::ExtGuaranteed, i), GuaranteedWord);

        // Hot-line digits share the word with the option bits of Status[4]:
        // tens and units in the low byte, the hundreds digit in the low
        // nibble of the high byte.
        const uint8_t optionBits = ext.Status[4] & L::HotLineOptionBits;
        if (ext.Class == ClassHotLine) {
            const ExchWord digits = encodeBcdWord(ext.DirectDial);
            putByte(image, entry(L::ExtHotLine, i), digits.low);
            putByte(image, entry(L::ExtHotLine, i) + 1,
                    optionBits | (digits.high & L::HotLineHundredsBits));
        } else {
            putByte(image, entry(L::ExtHotLine, i) + 1, optionBits);
        }
    }
}

void encodeTieLines(const Configuration &config, QByteArray &image)
{
    for (int t = 0; t < MaxTieLines; ++t) {
        const TieRecord &tie = config.TieLines[t];
        if (!tie.Active)
            continue;
        putWord(image, entry(L::TieNumbers, t), encodeBcdWord(tie.DirNum));
        putWord(image, entry(L::TieExt1, t), encodeBcdWord(tie.Ext1));
        if (tie.Ext2 > 0) {
            const int x = secondExtensionEntry(config, tie.Ext1);
            if (x >= 0)
                putWord(image, entry(L::SecondExtensions, x), encodeFlaggedWord(tie.Ext2));
        }
        putByte(image, L::TieStatus0 + t, tie.Status[0]);
        putByte(image, L::TieStatus1 + t, tie.Status[1]);
    }
}

// Writes the DirNums of the active tie lines selected by `selected`, lowest
// index first, into `capacity` words from `offset`; the rest stay 00 00.
template <typename Pred>
void encodeRoute(const Configuration &config, QByteArray &image, int offset, int capacity,
                 Pred selected)
{
    int used = 0;
    for (int t = 0; t < MaxTieLines && used < capacity; ++t) {
        const TieRecord &tie = config.TieLines[t];
        if (tie.Active && selected(tie))
            putWord(image, entry(offset, used++), encodeBcdWord(tie.DirNum));
    }
}

void encodeRoutes(const Configuration &config, QByteArray &image)
{
    for (int j = 0; j < Dial6Codes; ++j) {
        encodeRoute(config, image, L::Dial6Routes + L::Dial6RouteSize * j, L::Dial6RouteLines,
                    [j](const TieRecord &tie) { return tie.Dial6[j]; });
    }
    encodeRoute(config, image, L::Dial9Route, L::Dial9RouteLines,
                [](const TieRecord &tie) { return tie.Dial9; });
}

void encodeGroups(const Configuration &config, QByteArray &image, QList<int> &missing)
{
    for (int g = 0; g < MaxGroups; ++g) {
        const GroupRecord &group = config.Groups[g];
        if (!group.Active || group.Num <= 0)
            continue;
        // A group record has room for 12 members; a thirteenth would land on
        // the next group's number.
        const int members = std::min<int>(group.Num, MaxGroupMembers);
        const int base = L::Groups + L::GroupRecordSize * g;
        putWord(image, base, encodeBcdWord(group.DirNum));
        putByte(image, base + L::GroupMemberCount, members);
        putByte(image, base + L::GroupType, group.Type);
        for (int m = 0; m < members; ++m) {
            const int index = findActiveExtension(config, group.Exts[m]);
            if (index < 0)
                missing.append(group.Exts[m]);
            else
                putByte(image, base + L::GroupMembers + m, index);
        }
    }
}

void encodeSystem(const Configuration &config, QByteArray &image)
{
    for (int k = 0; k < MaxGroups; ++k)
        putWord(image, L::GroupNumberTable + L::GroupNumberEntrySize * k,
                encodeBcdWord(FirstGroupNumber + k));

    putByte(image, L::SystemMarker, L::SystemMarkerBytes[0]);
    putByte(image, L::SystemMarker + 1, L::SystemMarkerBytes[1]);
    // Four bytes only: the slot codes of the exchange follow soon after.
    const QString &pass = config.SysConfig.Pass;
    for (int k = 0; k < std::min<int>(pass.size(), L::PasswordLength); ++k) {
        const char16_t code = pass.at(k).unicode();
        putByte(image, L::Password + k, code <= 0xFF ? code : '?');
    }
    if (config.SysConfig.PIN != 0)
        putWord(image, L::Pin, encodePinWord(config.SysConfig.PIN));
}

// ---- decoding -------------------------------------------------------------

void decodeSystem(const QByteArray &image, SystemRecord &sys)
{
    for (int s = 0; s < SlotCount; ++s)
        sys.Slots[s] = boardForSlotCode(byteAt(image, L::SlotCodes + s)).value_or(BoardEmpty);
    sys.Slots[1] = BoardProcessor;
    sys.Slots[SlotCount - 1] = BoardRinging;
    sys.PIN = static_cast<int16_t>(decodePinWord(wordAt(image, L::Pin)));
    sys.Pass = QString::fromLatin1(image.constData() + L::Password, L::PasswordLength);
}

void matchExtensionClass(const Configuration &config, ExtRecord &ext)
{
    // Byte 3 holds the hot-line digits after a download, so it says nothing
    // about the class; byte 4 carries the hundreds digit in its low nibble,
    // so only the class's own bits of it are looked for.
    ext.Class = 0;
    for (int c = 0; c < ClassTableSize; ++c) {
        const ClassRecord &cls = config.ExtClasses[c];
        if (cls.Active && cls.Status[0] == ext.Status[0] && cls.Status[1] == ext.Status[1]
            && cls.Status[2] == ext.Status[2] && (cls.Status[4] & ext.Status[4]) == cls.Status[4])
            ext.Class = static_cast<int16_t>(c);
    }
}

void decodeExtension(const QByteArray &image, Configuration &config, int i, bool guaranteedInUse)
{
    ExtRecord &ext = config.Extensions[i];
    ext.ExtNum = static_cast<int16_t>(decodeBcdWord(wordAt(image, entry(L::ExtNumbers, i))));
    ext.Name = ext.ExtNum != 0 ? QStringLiteral("Ext %1").arg(ext.ExtNum)
                               : QStringLiteral("Ext Brd %1 Port %2")
                                     .arg(i / ExtsPerBoard + 1)
                                     .arg(i % ExtsPerBoard + 1);
    ext.TrueName = false;
    ext.Status[0] = byteAt(image, L::ExtStatus0 + i);
    ext.Status[1] = byteAt(image, L::ExtStatus1 + i);
    ext.Status[2] = byteAt(image, L::ExtStatus2 + i);
    ext.Status[3] = byteAt(image, entry(L::ExtHotLine, i));
    ext.Status[4] = byteAt(image, entry(L::ExtHotLine, i) + 1);
    const QString tensUnits = QStringLiteral("%1").arg(int(ext.Status[3]), 2, 16, QLatin1Char('0'));
    ext.DirectDial = static_cast<int16_t>(100 * (ext.Status[4] & L::HotLineHundredsBits) +
                                          leadingDecimalValue(tensUnits));
    matchExtensionClass(config, ext);
    ext.Active = true;

    // With no guaranteed-access extension the exchange holds FF FF in every
    // entry, so an entry only marks its extension when a mask is in use.
    if (guaranteedInUse && byteAt(image, entry(L::ExtGuaranteed, i)) == GuaranteedWord.low) {
        for (int k = 0; k < GAEntries; ++k) {
            if (config.SysConfig.GA[k] == -1) {
                config.SysConfig.GA[k] = ext.ExtNum;
                break;
            }
        }
    }
}

// Whether a route of `count` words from `offset` names `dirNum`. An empty
// word (00 00) names no line, not a tie line numbered 0.
bool routeHolds(const QByteArray &image, int offset, int count, int dirNum)
{
    for (int k = 0; k < count; ++k) {
        const ExchWord word = wordAt(image, entry(offset, k));
        if (word != ExchWord{} && decodeBcdWord(word) == dirNum)
            return true;
    }
    return false;
}

void decodeTieLine(const QByteArray &image, Configuration &config, int t)
{
    TieRecord &tie = config.TieLines[t];
    tie.DirNum = static_cast<int16_t>(decodeBcdWord(wordAt(image, entry(L::TieNumbers, t))));
    tie.Name = QStringLiteral("Tie %1").arg(tie.DirNum);
    tie.Ext1 = static_cast<int16_t>(decodeBcdWord(wordAt(image, entry(L::TieExt1, t))));
    tie.Ext2 = 0;
    if (isExtensionNumber(tie.Ext1)) {
        const int x = findExtensionRecord(config, tie.Ext1);
        if (x >= 0) {
            const ExchWord word = wordAt(image, entry(L::SecondExtensions, x));
            if (word != ExchWord{})
                tie.Ext2 = static_cast<int16_t>(decodeFlaggedWord(word));
        }
    }
    tie.Status[0] = byteAt(image, L::TieStatus0 + t);
    tie.Status[1] = byteAt(image, L::TieStatus1 + t);
    tie.Class = static_cast<int16_t>((tie.Status[0] & TieClassBits) >> 4);
    for (int j = 0; j < Dial6Codes; ++j) {
        tie.Dial6[j] = routeHolds(image, L::Dial6Routes + L::Dial6RouteSize * j,
                                  L::Dial6RouteLines, tie.DirNum);
    }
    tie.Dial9 = routeHolds(image, L::Dial9Route, L::Dial9RouteLines, tie.DirNum);
    tie.Active = true;
}

void decodeGroup(const QByteArray &image, Configuration &config, int g)
{
    GroupRecord &group = config.Groups[g];
    const int base = L::Groups + L::GroupRecordSize * g;
    const int count = byteAt(image, base + L::GroupMemberCount);
    group.Active = count != 0;
    group.DirNum = static_cast<int16_t>(decodeBcdWord(wordAt(image, base)));
    group.Type = byteAt(image, base + L::GroupType);
    group.Name = QStringLiteral("Group %1").arg(g + 1);
    // Never more entries than the record has member bytes.
    group.Num = static_cast<int16_t>(std::min(count, MaxGroupMembers));
    for (int m = 0; m < MaxGroupMembers; ++m)
        group.Exts[m] = -1;
    for (int m = 0; m < group.Num; ++m) {
        const int index = byteAt(image, base + L::GroupMembers + m);
        group.Exts[m] = index < MaxExtensions ? config.Extensions[index].ExtNum : 0;
    }
}

// Every extension whose membership word names a group gets that group's
// number, as the encoder wrote them.
void decodeMembership(const QByteArray &image, Configuration &config)
{
    for (int g = 0; g < MaxGroups; ++g) {
        const int dirNum = config.Groups[g].DirNum;
        if (dirNum == 0)
            continue;
        const ExchWord flagged = encodeFlaggedWord(dirNum);
        for (int i = 0; i < MaxExtensions; ++i) {
            if (wordAt(image, entry(L::ExtGroups, i)) == flagged)
                config.Extensions[i].Group = static_cast<int16_t>(dirNum);
        }
    }
}

} // namespace

ImageBuild buildExchMemory(const Configuration &config)
{
    ImageBuild build;
    build.image = QByteArray(L::MemorySize, '\0');
    QByteArray &image = build.image;

    const ExchWord mask = guaranteedAccessMask(config.SysConfig);
    for (int k = 0; k < L::GuaranteedEntries; ++k)
        putWord(image, entry(L::ExtGuaranteed, k), mask);
    for (int k = 0; k < L::TieMaskEntries; ++k)
        putWord(image, entry(L::TieMask, k), mask);

    encodeExtensions(config, image);
    encodeTieLines(config, image);
    encodeRoutes(config, image);
    encodeGroups(config, image, build.missingMembers);
    encodeSystem(config, image);
    return build;
}

bool decodeExchMemory(const QByteArray &image, Configuration &config)
{
    if (image.size() != L::MemorySize)
        return false;
    clearConfig(config);
    SystemRecord &sys = config.SysConfig;
    decodeSystem(image, sys);

    const bool guaranteedInUse = wordAt(image, L::TieMask) != GuaranteedWord;
    for (int i = 0; i < MaxExtensions; ++i) {
        decodeExtension(image, config, i, guaranteedInUse);
        config.Extensions[i].Active = sys.Slots[extensionSlot(i)] == BoardSubscriber;
    }
    // Records 60..63 fall on slot 17 and so always end inactive.
    for (int t = 0; t < FileTieLines; ++t) {
        decodeTieLine(image, config, t);
        config.TieLines[t].Active = sys.Slots[tieLineSlot(t)] == BoardTieLine;
    }
    for (int g = 0; g < MaxGroups; ++g)
        decodeGroup(image, config, g);
    decodeMembership(image, config);
    for (int g = 0; g < MaxGroups; ++g) {
        if (config.Groups[g].DirNum == 0)
            config.Groups[g].DirNum = static_cast<int16_t>(nextFreeGroupNumber(config));
    }
    return true;
}

namespace
{

bool isDecimalWord(ExchWord word)
{
    for (uint8_t byte : {word.low, word.high}) {
        if ((byte & 0x0F) > 9 || (byte >> 4) > 9)
            return false;
    }
    return true;
}

// The first of `count` number words from `table` on that is not decimal.
int firstBadNumber(const QByteArray &image, int table, int count)
{
    for (int k = 0; k < count; ++k) {
        if (!isDecimalWord(wordAt(image, entry(table, k))))
            return k;
    }
    return -1;
}

QString groupRecordProblem(const QByteArray &image, int g)
{
    const int base = L::Groups + L::GroupRecordSize * g;
    const int members = byteAt(image, base + L::GroupMemberCount);
    if (members == 0)
        return QString(); // not in use
    const int room = L::GroupRecordSize - L::GroupMembers;
    if (members > room)
        return QStringLiteral("group %1 has %2 members; a group holds at most %3")
            .arg(g + 1)
            .arg(members)
            .arg(room);
    for (int m = 0; m < members; ++m) {
        if (byteAt(image, base + L::GroupMembers + m) >= MaxExtensions)
            return QStringLiteral("a member of group %1 is not an extension").arg(g + 1);
    }
    return QString();
}

} // namespace

QString configurationImageProblem(const QByteArray &image)
{
    if (image.size() != L::MemorySize)
        return QStringLiteral("it holds %1 bytes; an exchange's memory holds %2")
            .arg(image.size())
            .arg(L::MemorySize);
    if (byteAt(image, L::SystemMarker) != L::SystemMarkerBytes[0] ||
        byteAt(image, L::SystemMarker + 1) != L::SystemMarkerBytes[1])
        return QStringLiteral("it lacks the marker bytes every configuration image holds at "
                              "offset %1")
            .arg(L::SystemMarker);
    struct NumberTable {
        int offset;
        int count;
        const char *what;
    };
    for (const NumberTable &table : {NumberTable{L::ExtNumbers, MaxExtensions, "extension"},
                                     NumberTable{L::TieNumbers, MaxTieLines, "tie line"},
                                     NumberTable{L::TieExt1, MaxTieLines, "tie line"}}) {
        const int bad = firstBadNumber(image, table.offset, table.count);
        if (bad >= 0)
            return QStringLiteral("%1 %2 has a number that is not decimal")
                .arg(QLatin1String(table.what))
                .arg(bad + 1);
    }
    for (int g = 0; g < MaxGroups; ++g) {
        const QString problem = groupRecordProblem(image, g);
        if (!problem.isEmpty())
            return problem;
        if (!isDecimalWord(wordAt(image, L::Groups + L::GroupRecordSize * g)))
            return QStringLiteral("group %1 has a number that is not decimal").arg(g + 1);
    }
    return QString();
}

int nextFreeGroupNumber(const Configuration &config)
{
    for (int number = TopGroupNumber; number > 0; --number) {
        bool taken = false;
        for (int g = 0; g < MaxGroups && !taken; ++g)
            taken = config.Groups[g].DirNum == number;
        if (!taken)
            return number;
    }
    return 0;
}

uint8_t slotCodeForBoard(int boardType)
{
    switch (boardType) {
    case BoardSubscriber:
        return L::SlotCodeSubscriber;
    case BoardTieLine:
        return L::SlotCodeTieLine;
    case BoardTone8:
        return L::SlotCodeTone8;
    default:
        return L::SlotCodeEmpty;
    }
}

std::optional<int16_t> boardForSlotCode(uint8_t code)
{
    switch (code & L::SlotCodeBits) {
    case L::SlotCodeSubscriber:
        return BoardSubscriber;
    case L::SlotCodeTieLine:
        return BoardTieLine;
    case L::SlotCodeTone8:
        return BoardTone8;
    case L::SlotCodeEmpty:
        return BoardEmpty;
    default:
        return std::nullopt;
    }
}

void stampSlotCodes(QByteArray &image, const std::array<int16_t, SlotCount> &boards)
{
    if (image.size() < L::SlotCodes + SlotCount)
        return;
    for (int s = 0; s < SlotCount; ++s)
        putByte(image, L::SlotCodes + s, slotCodeForBoard(boards[s]));
}
