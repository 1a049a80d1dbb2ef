#include "DosImport.h"
#include "Equipment.h"
#include "Windows1252.h"

#include <QFile>

#include <algorithm>
#include <optional>

using namespace tidelex;

namespace {

constexpr int ExtRecordSize = 23;
constexpr int GroupRecordSize = 39;
constexpr int TieRecordSize = 37;
constexpr int NameSize = 13;
constexpr int MaxExtRecords = 121;  // the DOS tool kept at most 121 extension words
constexpr int MaxGroupCount = 10;   // members of a DOS group, lead included
constexpr int FitsInteger = 0x8000; // 16-bit words are stored into signed fields
constexpr int MaxRouteWord = 256;

// A bounded cursor over the file's bytes: every read says whether it fitted.
class ByteReader {
public:
    explicit ByteReader(const QByteArray &bytes) : m_bytes(bytes) {}

    // One header line ended by CR LF; nothing when the file ends first.
    std::optional<QByteArray> line()
    {
        const qsizetype end = m_bytes.indexOf("\r\n", m_pos);
        if (end < 0)
            return std::nullopt;
        QByteArray text = m_bytes.mid(m_pos, end - m_pos);
        m_pos = end + 2;
        return text;
    }
    // The rest of the file as line 1 when it holds no line end.
    QByteArray rest() const { return m_bytes.mid(m_pos); }

    std::optional<QByteArrayView> take(qsizetype count)
    {
        if (count < 0 || m_bytes.size() - m_pos < count)
            return std::nullopt;
        QByteArrayView view(m_bytes.constData() + m_pos, count);
        m_pos += count;
        return view;
    }
    std::optional<int> byte()
    {
        const auto view = take(1);
        if (!view)
            return std::nullopt;
        return static_cast<uint8_t>(view->at(0));
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

int byteAt(QByteArrayView record, int offset)
{
    return static_cast<uint8_t>(record.at(offset));
}

// Little-endian unsigned 16-bit word.
int wordAt(QByteArrayView record, int offset)
{
    return byteAt(record, offset) | byteAt(record, offset + 1) << 8;
}

// Names are Windows-1252 bytes up to the first zero byte or the field's end.
QString nameAt(QByteArrayView record, int offset)
{
    QByteArrayView field = record.sliced(offset, NameSize);
    const qsizetype zero = field.indexOf('\0');
    if (zero >= 0)
        field.truncate(zero);
    QString name;
    if (win1252::decode(field.toByteArray(), name))
        return name;
    // The five bytes the code page leaves undefined come through as the
    // control characters Windows itself gives them; the rest as usual.
    name.clear();
    for (const char byte : field) {
        QString one;
        name +=
            win1252::decode(QByteArray(1, byte), one) ? one : QString(QChar(char16_t(uchar(byte))));
    }
    return name;
}

// First extension record among 0..120 with that number, or -1 (records the
// file did not fill still carry the numbers the reset gave them).
int extensionWithNumber(const Configuration &config, int number)
{
    return findExtensionRecord(config, number, MaxExtensions + 1);
}

enum class Failure { None, UnknownVersion, Corrupted };

// DOS extension flags (flags A and B of the record) onto option bits.
void applyExtensionFlags(Configuration &config, ExtRecord &ext, int flagsA, int flagsB)
{
    ext.Status = {0, ExtMF | ExtLD, 0, 0, 0, 0};
    if (flagsA & 0x40)
        ext.Status[0] |= ExtRecall;
    if ((flagsA & 0x20) || (flagsB & 0x02))
        ext.Status[1] |= ExtNightPickup;
    if (flagsB & 0x04)
        ext.Status[1] |= ExtHash;
    if (flagsB & 0x08)
        ext.Status[1] |= ExtRapid;
    if (flagsB & 0x10)
        ext.Status[1] |= ExtIntrude;
    if (flagsA & 0x10) {
        ext.Status[1] &= static_cast<uint8_t>(~(ExtMF | ExtLD));
    } else {
        if (flagsB & 0x20)
            ext.Status[1] &= static_cast<uint8_t>(~ExtMF);
        if (flagsB & 0x40)
            ext.Status[1] &= static_cast<uint8_t>(~ExtLD);
    }
    // Flags A bit 0x80 is the DOS tool's "may dial 9": the same bit as our
    // Dial 9 option, one byte along. Dial 9 is otherwise the one common right
    // a DOS file could not carry; storing it in the unused byte 5 would drop
    // it silently, so it becomes the Dial 9 option here.
    if (flagsA & 0x80)
        ext.Status[4] |= ExtDial9;
    if (flagsB & 0x80) {
        for (int k = 0; k < GAEntries; ++k) {
            if (config.SysConfig.GA[k] == -1) {
                config.SysConfig.GA[k] = ext.ExtNum;
                break;
            }
        }
    }
}

Failure readExtensions(ByteReader &in, Configuration &config, int count)
{
    for (int r = 0; r < count; ++r) {
        const auto record = in.take(ExtRecordSize);
        if (!record)
            return Failure::Corrupted;
        const int number = wordAt(*record, 0);
        const int index = wordAt(*record, 2);
        if (number >= FitsInteger || index >= FitsInteger)
            return Failure::Corrupted;
        if (index >= MaxExtensions)
            continue;
        ExtRecord &ext = config.Extensions[index];
        ext.ExtNum = static_cast<int16_t>(number);
        ext.Name = nameAt(*record, 4);
        ext.TrueName = !ext.Name.isEmpty();
        if (ext.Name.isEmpty())
            ext.Name = QStringLiteral("EXT ") + QString::number(number);
        ext.DirectDial = 0;
        // The options are the extension's own, so it is a Custom extension;
        // left in the reset's "Disabled" class it would show as switched off
        // while its options still reach the exchange.
        ext.Class = ClassCustom;
        applyExtensionFlags(config, ext, byteAt(*record, 18), byteAt(*record, 19));
        ext.Active = true;
    }
    return Failure::None;
}

Failure readGroups(ByteReader &in, Configuration &config, int count)
{
    for (int g = 0; g < count; ++g) {
        const auto record = in.take(GroupRecordSize);
        if (!record)
            return Failure::Corrupted;
        const int members = byteAt(*record, 16);
        if (members > MaxGroupCount || wordAt(*record, 37) >= FitsInteger)
            return Failure::Corrupted;
        for (int m = 0; m < members; ++m) {
            if (wordAt(*record, 17 + 2 * m) >= FitsInteger)
                return Failure::Corrupted;
        }

        GroupRecord &group = config.Groups[g];
        group.Name = nameAt(*record, 0);
        if (group.Name.isEmpty())
            group.Name = QStringLiteral("Grp ") + QString::number(g);
        group.DirNum = static_cast<int16_t>(TopGroupNumber - count + g);
        if (members > 0) {
            const int lead = extensionWithNumber(config, wordAt(*record, 17));
            if (lead >= 0)
                config.Extensions[lead].Group = group.DirNum;
        }
        for (int j = 0; j + 1 < members; ++j) {
            const int number = wordAt(*record, 17 + 2 * (j + 1));
            if (extensionWithNumber(config, number) >= 0)
                group.Exts[j] = static_cast<int16_t>(number);
        }
        // A group without even a lead has no entries (not -1 of them).
        group.Num = static_cast<int16_t>(std::max(members - 1, 0));
        if (byteAt(*record, 13) == 1)
            group.Type = GroupPickup;
        if (byteAt(*record, 14) == 1)
            group.Type = GroupHunt;
        if (byteAt(*record, 15) == 1)
            group.Type = GroupMultipleCallForward;
        group.Active = true;
    }
    return Failure::None;
}

// Tie lines fill the top of the table, the last one in record 59.
Failure readTieLines(ByteReader &in, Configuration &config, int count)
{
    for (int k = 0; k < count; ++k) {
        const auto record = in.take(TieRecordSize);
        if (!record)
            return Failure::Corrupted;
        const int ext1 = wordAt(*record, 15);
        const int ext2 = wordAt(*record, 17);
        if (ext1 >= FitsInteger || ext2 >= FitsInteger)
            return Failure::Corrupted;
        for (int route = 0; route < Dial6Codes; ++route) {
            if (wordAt(*record, 21 + 2 * route) >= MaxRouteWord)
                return Failure::Corrupted;
        }

        const int t = MaxTieLines - count + k;
        TieRecord &tie = config.TieLines[t];
        tie.Name = nameAt(*record, 0);
        tie.DirNum = static_cast<int16_t>(defaultTieLineNumber(t));
        tie.Ext1 = static_cast<int16_t>(ext1);
        tie.Ext2 = static_cast<int16_t>(ext2);
        for (int route = 0; route < Dial6Codes; ++route)
            tie.Dial6[route] = wordAt(*record, 21 + 2 * route) != 0;
        uint8_t status0 = 0;
        tie.Dial9 = false;
        switch (byteAt(*record, 13)) {
        case 'S':
            tie.Class = TieClassShore;
            status0 = 0;
            break;
        case 'C':
            tie.Class = TieClassSatComm;
            status0 = 16;
            break;
        case 'A':
            tie.Class = TieClassPA;
            status0 = 32;
            break;
        case 'P':
            tie.Class = TieClassPager;
            status0 = 48;
            break;
        default:
            break;
        }
        if (byteAt(*record, 14) == 'D')
            status0 += TieDTMF;
        if (byteAt(*record, 19) == 1)
            status0 += TieDDI;
        if (byteAt(*record, 20) == 1)
            tie.Dial9 = true;
        tie.Status[0] = status0;
        tie.Active = true;
    }
    return Failure::None;
}

Failure readSlots(ByteReader &in, Configuration &config, int extCount, int tieCount)
{
    const auto tag = in.byte();
    if (!tag)
        return Failure::Corrupted;
    auto &boards = config.SysConfig.Slots;
    if (*tag == '$') {
        // No slot map: one Subscriber board more than the whole boards of
        // extensions, then enough Tie Line boards for every imported line
        // (whole boards only would leave a partly filled board's lines on an
        // empty slot). Slot 17 keeps the ringing module.
        for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot)
            boards[slot] = BoardEmpty;
        const int lastSub = std::min(FirstLineSlot + extCount / ExtsPerBoard, LastLineSlot);
        for (int slot = FirstLineSlot; slot <= lastSub; ++slot)
            boards[slot] = BoardSubscriber;
        const int tieBoards = (tieCount + TiesPerBoard - 1) / TiesPerBoard;
        for (int slot = LastLineSlot; slot > LastLineSlot - tieBoards; --slot)
            boards[slot] = BoardTieLine;
        return Failure::None;
    }
    const auto map = in.take(2 + 2 * LineSlotCount);
    if (!map)
        return Failure::Corrupted;
    for (int n = 0; n < LineSlotCount; ++n) {
        const int high = byteAt(*map, 2 + 2 * n + 1);
        int16_t board = BoardEmpty;
        if (high == 0xC0)
            board = BoardSubscriber;
        else if (high == 0x90)
            board = BoardTieLine;
        boards[FirstLineSlot + n] = board;
    }
    return Failure::None;
}

Failure readDos(const QByteArray &bytes, Configuration &config)
{
    ByteReader in(bytes);
    const auto first = in.line();
    if (first.value_or(in.rest()) != "HELMWISE V02.03")
        return Failure::UnknownVersion;
    if (!first || !in.line() || !in.line())
        return Failure::Corrupted;
    const auto tag = in.byte();
    if (!tag || *tag != '*')
        return Failure::Corrupted;
    const auto extCount = in.byte();
    const auto tieCount = in.byte();
    if (!extCount || !tieCount || *extCount > MaxExtRecords || *tieCount > MaxTieLines)
        return Failure::Corrupted;
    if (!in.take(2 * *extCount))
        return Failure::Corrupted;
    if (readExtensions(in, config, *extCount) != Failure::None)
        return Failure::Corrupted;
    const auto groupCount = in.byte();
    if (!groupCount || *groupCount > MaxGroups)
        return Failure::Corrupted;
    if (readGroups(in, config, *groupCount) != Failure::None ||
        readTieLines(in, config, *tieCount) != Failure::None)
        return Failure::Corrupted;
    return readSlots(in, config, *extCount, *tieCount);
}

} // namespace

QString dosUnknownVersionText()
{
    return QStringLiteral("Unable to open TDZ File as unknown type/ version");
}

QString dosCorruptedText()
{
    return QStringLiteral("Unable to open TDZ File as corrupted file");
}

bool importDos(QIODevice &device, Configuration &config, QString *message)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) {
        if (message)
            *message = dosUnknownVersionText();
        return false;
    }
    const QByteArray bytes = device.readAll();
    Configuration scratch = config;
    clearConfig(scratch);
    const Failure failure = readDos(bytes, scratch);
    if (failure != Failure::None) {
        if (message)
            *message =
                failure == Failure::UnknownVersion ? dosUnknownVersionText() : dosCorruptedText();
        return false;
    }
    config = std::move(scratch);
    if (message)
        message->clear();
    return true;
}

bool importDosFile(const QString &fileName, Configuration &config, QString *message)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        // An absent or unreadable file holds no DOS header.
        if (message)
            *message = dosUnknownVersionText();
        return false;
    }
    return importDos(file, config, message);
}
