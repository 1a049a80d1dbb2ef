#include "ConfigDiff.h"

#include "Equipment.h"
#include "Names.h"
#include "OptionNames.h"
#include "TypeNames.h"

#include <QStringList>

using namespace tidelex;

namespace
{

// One field of a record as the comparison sees it. Every record of a kind
// yields the same fields in the same order, so two records compare by position.
struct Field {
    enum Kind { Plain, Name, FromClass };
    QString name;
    QString value;
    Kind kind = Plain;
    // What is compared when not the value shown: a class by its index, so
    // a renamed class is one difference of the class, not of every user; a
    // number by the number, not by the name shown with it.
    QString identity = value;
    // The value shows record names: with names left out, the identity is shown.
    bool namesShown = false;
};
using Fields = QList<Field>;

// Files and the exchange keep Status bytes 0..4 of an extension; byte 5 is the class's own.
constexpr int KeptExtStatusBytes = 5;

// A flag as the lists and exports show it.
QString flag(bool set)
{
    return set ? QStringLiteral("Y") : QStringLiteral("N");
}

QString numberOrNone(int number)
{
    return number > 0 ? QString::number(number) : QStringLiteral("None");
}

// Numbers that dial extensions or groups, each with the name the panes show
// beside it ("Galley (102), Deck Hunt (546)"), compared by the numbers alone.
// Numbers of 0 and below mean none, except in a list that counts its entries.
enum class Entries { UsedOnly, All };
Field numbersField(const QString &name, const Configuration &c, const QList<int> &numbers,
                   Entries entries = Entries::UsedOnly)
{
    QStringList shown;
    QStringList bare;
    for (int number : numbers) {
        if (number <= 0 && entries == Entries::UsedOnly)
            continue;
        shown << getNameFromExt(c, number) + QStringLiteral(" (%1)").arg(number);
        bare << QString::number(number);
    }
    const QString separator = QStringLiteral(", ");
    if (bare.isEmpty())
        return {name, QStringLiteral("None")};
    return {name, shown.join(separator), Field::Plain, bare.join(separator), true};
}

QString hexByte(uint8_t value)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// A class that is not defined shows its number, so the difference is seen.
QString comparedClassName(const std::array<ClassRecord, ClassTableSize> &table, int cls)
{
    if (cls >= 0 && cls < MaxClasses && table[cls].Active)
        return className(table, cls);
    return QStringLiteral("Class %1").arg(cls);
}

// Bits of a Status byte that no named field covers, so nothing goes unseen.
void addLeftoverBytes(Fields &fields, const uint8_t *status, const uint8_t *named, int bytes,
                      Field::Kind kind)
{
    for (int b = 0; b < bytes; ++b)
        fields.append({QStringLiteral("Status byte %1").arg(b + 1),
                       hexByte(uint8_t(status[b] & ~named[b])), kind});
}

// The extension option boxes, the class flags and Dial 61..68, then the rest.
void addExtensionOptions(Fields &fields, const uint8_t *status, int bytes, Field::Kind kind)
{
    uint8_t named[ExtStatusBytes] = {};
    for (const OptionBit &option : extensionOptions) {
        fields.append(
            {QLatin1String(option.caption), flag(status[option.byte] & option.bit), kind});
        named[option.byte] |= option.bit;
    }
    for (const OptionBit &classFlag : extensionClassFlags) {
        fields.append(
            {QLatin1String(classFlag.caption), flag(status[classFlag.byte] & classFlag.bit), kind});
        named[classFlag.byte] |= classFlag.bit;
    }
    for (int k = 0; k < Dial6Codes; ++k)
        fields.append({QStringLiteral("Dial %1").arg(61 + k), flag(status[2] & (1u << k)), kind});
    named[2] = 0xFF;
    addLeftoverBytes(fields, status, named, bytes, kind);
}

void addTieOptions(Fields &fields, const uint8_t *status, Field::Kind kind)
{
    // DTMF as the pane and the lists show it; the class bits repeat the tie
    // line's type, which has a field of its own.
    fields.append({QStringLiteral("DTMF"), flag(status[0] & TieInDTMF), kind});
    fields.append({QStringLiteral("Direct Dial In"), flag(status[0] & TieDDI), kind});
    const uint8_t named[TieStatusBytes] = {uint8_t(TieInDTMF | TieDDI | TieClassBits), 0, 0};
    addLeftoverBytes(fields, status, named, TieStatusBytes, kind);
}

QString groupTypeName(int type)
{
    const GroupTypeNames *entry = findGroupType(type);
    return entry ? QString::fromLatin1(entry->paneName) : QStringLiteral("Type %1").arg(type);
}

Fields systemFields(const Configuration &c)
{
    const SystemRecord &s = c.SysConfig;
    Fields fields{{QStringLiteral("Name"), s.Name, Field::Name},
                  {QStringLiteral("Tie PIN"), numberOrNone(s.PIN)},
                  {QStringLiteral("Setup Password"), s.Pass}};
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString board = boardTypeName(s.Slots[slot]);
        fields.append({slotTitle(slot), board.isEmpty()
                                            ? QStringLiteral("Board type %1").arg(s.Slots[slot])
                                            : board});
    }
    fields.append(numbersField(QStringLiteral("Guaranteed Access"), c,
                               QList<int>(s.GA.begin(), s.GA.begin() + GAEntries)));
    return fields;
}

// Whether an extension's options are just what its class gives.
bool extensionFollowsClass(const Configuration &c, const ExtRecord &e)
{
    if (e.Class == ClassCustom || e.Class < 0 || e.Class >= MaxClasses)
        return false;
    const ClassRecord &cls = c.ExtClasses[e.Class];
    return std::equal(e.Status.begin(), e.Status.begin() + KeptExtStatusBytes, cls.Status.begin());
}

Fields extensionFields(const Configuration &c, int i)
{
    const ExtRecord &e = c.Extensions[i];
    const bool hotLine = e.Status[4] & ExtHotLine;
    Fields fields{{QStringLiteral("Ext No"), QString::number(e.ExtNum)},
                  {QStringLiteral("Name"), e.Name, Field::Name},
                  {QStringLiteral("Class"), comparedClassName(c.ExtClasses, e.Class), Field::Plain,
                   QString::number(e.Class)},
                  numbersField(QStringLiteral("Group"), c, {e.Group}),
                  hotLine ? numbersField(QStringLiteral("Hotline to"), c, {e.DirectDial})
                          : Field{QStringLiteral("Hotline to"), QString()}};
    addExtensionOptions(fields, e.Status.data(), KeptExtStatusBytes, Field::FromClass);
    return fields;
}

bool tieLineFollowsClass(const Configuration &c, const TieRecord &t)
{
    if (t.Class < 0 || t.Class >= MaxClasses)
        return false;
    const ClassRecord &cls = c.TieClasses[t.Class];
    return std::equal(t.Status.begin(), t.Status.end(), cls.Status.begin());
}

Fields tieLineFields(const Configuration &c, int index)
{
    const TieRecord &t = c.TieLines[index];
    Fields fields{{QStringLiteral("Name"), t.Name, Field::Name},
                  {QStringLiteral("Dir No"), QString::number(t.DirNum)},
                  {QStringLiteral("Type"), comparedClassName(c.TieClasses, t.Class), Field::Plain,
                   QString::number(t.Class)},
                  numbersField(QStringLiteral("Default Ext"), c, {t.Ext1}),
                  numbersField(QStringLiteral("2nd Designated"), c, {t.Ext2}),
                  {QStringLiteral("Dial 9"), flag(t.Dial9)}};
    for (int k = 0; k < Dial6Codes; ++k)
        fields.append({QStringLiteral("Dial %1").arg(61 + k), flag(t.Dial6[k])});
    addTieOptions(fields, t.Status.data(), Field::FromClass);
    return fields;
}

Fields groupFields(const Configuration &c, int g)
{
    const GroupRecord &grp = c.Groups[g];
    const int members = std::clamp(int(grp.Num), 0, GroupExtsSize);
    return {{QStringLiteral("Name"), grp.Name, Field::Name},
            {QStringLiteral("Dir No"), QString::number(grp.DirNum)},
            {QStringLiteral("Type"), groupTypeName(grp.Type)},
            numbersField(QStringLiteral("Members"), c,
                         QList<int>(grp.Exts.begin(), grp.Exts.begin() + members), Entries::All)};
}

Fields extensionClassFields(const Configuration &c, int k)
{
    const ClassRecord &cls = c.ExtClasses[k];
    Fields fields{{QStringLiteral("Name"), cls.Name, Field::Name}};
    addExtensionOptions(fields, cls.Status.data(), ExtStatusBytes, Field::Plain);
    return fields;
}

Fields tieClassFields(const Configuration &c, int k)
{
    const ClassRecord &cls = c.TieClasses[k];
    Fields fields{{QStringLiteral("Name"), cls.Name, Field::Name}};
    addTieOptions(fields, cls.Status.data(), Field::Plain);
    return fields;
}

// A class by its name, as Class Rights and the panes name it ("Class
// Officer", "Tie line class Shore"); the name in the first configuration,
// or in the second where the first does not use the class.
QString classTitle(const char *lead, const std::array<ClassRecord, ClassTableSize> &first,
                   const std::array<ClassRecord, ClassTableSize> &second, int k)
{
    QString name = first[k].Active ? first[k].Name : second[k].Name;
    if (name.isEmpty())
        name = QString::number(k);
    return QLatin1String(lead) + name;
}

// Collects the differences of one record after another.
class Comparison
{
  public:
    explicit Comparison(const DiffOptions &options) : options_(options) {}

    // A record compared only when in use on either side.
    void record(RecordKind kind, const QString &key, const QString &title, bool usedFirst,
                bool usedSecond, const QString &usedField, const Fields &first,
                const Fields &second, bool optionsFromBothClasses = false)
    {
        if (!usedFirst && !usedSecond)
            return;
        if (usedFirst != usedSecond) {
            list_.append({key, title, usedField, flag(usedFirst), flag(usedSecond), kind});
            return;
        }
        fields(kind, key, title, first, second, optionsFromBothClasses);
    }

    void fields(RecordKind kind, const QString &key, const QString &title, const Fields &first,
                const Fields &second, bool optionsFromBothClasses = false)
    {
        for (int f = 0; f < first.size() && f < second.size(); ++f) {
            const Field &a = first[f];
            const Field &b = second[f];
            if (a.identity == b.identity || (a.kind == Field::Name && options_.ignoreNames))
                continue;
            // Different classes bring different options: the class says it all.
            if (a.kind == Field::FromClass && optionsFromBothClasses)
                continue;
            list_.append({key, title, a.name, shown(a), shown(b), kind});
        }
    }

    QList<Difference> result() const { return list_; }

  private:
    QString shown(const Field &field) const
    {
        return field.namesShown && options_.ignoreNames ? field.identity : field.value;
    }

    DiffOptions options_;
    QList<Difference> list_;
};

} // namespace

QList<Difference> compareConfigurations(const Configuration &first, const Configuration &second,
                                        const DiffOptions &options)
{
    Comparison diff(options);
    const QString inUse = QStringLiteral("In use");
    const QString enabled = QStringLiteral("Enabled");
    diff.fields(RecordKind::System, systemKey(), recordTitle(systemKey()), systemFields(first),
                systemFields(second));

    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &a = first.Extensions[i];
        const ExtRecord &b = second.Extensions[i];
        const bool byClasses = a.Class != b.Class && extensionFollowsClass(first, a) &&
                               extensionFollowsClass(second, b);
        diff.record(RecordKind::Extension, extensionKey(i), recordTitle(extensionKey(i)),
                    isLiveExtension(first, i), isLiveExtension(second, i), inUse,
                    extensionFields(first, i), extensionFields(second, i), byClasses);
    }
    for (int t = 0; t < MaxTieLines; ++t) {
        const TieRecord &a = first.TieLines[t];
        const TieRecord &b = second.TieLines[t];
        const bool byClasses =
            a.Class != b.Class && tieLineFollowsClass(first, a) && tieLineFollowsClass(second, b);
        diff.record(RecordKind::TieLine, tieLineKey(t), recordTitle(tieLineKey(t)),
                    isLiveTieLine(first, t), isLiveTieLine(second, t), inUse,
                    tieLineFields(first, t), tieLineFields(second, t), byClasses);
    }
    for (int g = 0; g < MaxGroups; ++g)
        diff.record(RecordKind::Group, groupKey(g), recordTitle(groupKey(g)),
                    first.Groups[g].Active, second.Groups[g].Active, enabled, groupFields(first, g),
                    groupFields(second, g));
    for (int k = 0; k < MaxClasses; ++k)
        diff.record(RecordKind::ExtensionClass, noRecordKey(),
                    classTitle("Class ", first.ExtClasses, second.ExtClasses, k),
                    first.ExtClasses[k].Active, second.ExtClasses[k].Active, enabled,
                    extensionClassFields(first, k), extensionClassFields(second, k));
    for (int k = 0; k < MaxClasses; ++k)
        diff.record(RecordKind::TieLineClass, noRecordKey(),
                    classTitle("Tie line class ", first.TieClasses, second.TieClasses, k),
                    first.TieClasses[k].Active, second.TieClasses[k].Active, enabled,
                    tieClassFields(first, k), tieClassFields(second, k));
    return diff.result();
}

QList<KindCount> recordsPerKind(const QList<Difference> &differences)
{
    QList<KindCount> counts;
    QString lastRecord;
    for (const Difference &d : differences) {
        if (counts.isEmpty() || counts.last().kind != d.kind)
            counts.append({d.kind, 0});
        else if (d.record == lastRecord)
            continue;
        ++counts.last().records;
        lastRecord = d.record;
    }
    return counts;
}

namespace
{

struct KindWords {
    const char *heading;
    const char *one;
    const char *many;
};

KindWords kindWords(RecordKind kind)
{
    switch (kind) {
    case RecordKind::System:
        return {"System", "the system", "the system"};
    case RecordKind::Extension:
        return {"Extensions", "extension", "extensions"};
    case RecordKind::TieLine:
        return {"Tie lines", "tie line", "tie lines"};
    case RecordKind::Group:
        return {"Groups", "group", "groups"};
    case RecordKind::ExtensionClass:
        return {"Extension classes", "extension class", "extension classes"};
    case RecordKind::TieLineClass:
        return {"Tie line classes", "tie line class", "tie line classes"};
    }
    return {"", "", ""};
}

} // namespace

QString recordKindName(RecordKind kind)
{
    return QLatin1String(kindWords(kind).heading);
}

QString differenceSummary(const QList<Difference> &differences)
{
    QStringList parts;
    for (const KindCount &count : recordsPerKind(differences)) {
        const KindWords words = kindWords(count.kind);
        if (count.kind == RecordKind::System)
            parts << QLatin1String(words.one);
        else
            parts << QStringLiteral("%1 %2")
                         .arg(count.records)
                         .arg(QLatin1String(count.records == 1 ? words.one : words.many));
    }
    if (parts.size() < 2)
        return parts.join(QString());
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}
