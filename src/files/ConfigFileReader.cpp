// Reading the configuration file. Sections under the root and fields inside
// a block are found by name, in any order. Every index, count and number is
// checked; the first fault ends the read with its reason.
#include "ConfigFile.h"
#include "Equipment.h"
#include "Windows1252.h"
#include "XmlTree.h"

#include <QFile>

#include <limits>
#include <optional>

using namespace tidelex;

namespace
{

class Reader
{
  public:
    explicit Reader(Configuration &target) : c(target) {}

    ReadConfigResult read(const XmlNode &root);
    QString error;

  private:
    Configuration &c;

    bool fail(const XmlNode &node, const QString &message)
    {
        if (error.isEmpty())
            error = QStringLiteral("line %1: <%2> %3").arg(node.line).arg(node.name, message);
        return false;
    }

    const XmlNode *need(const XmlNode &parent, const char *name)
    {
        const XmlNode *node = parent.child(QLatin1String(name));
        if (!node)
            fail(parent, QStringLiteral("has no <%1>").arg(QLatin1String(name)));
        return node;
    }

    bool text(const XmlNode &parent, const char *name, QString &out);
    template <typename T> bool number(const XmlNode &parent, const char *name, T &out);
    bool dirNum(const XmlNode &parent, const char *name, int16_t &out);
    bool index(const XmlNode &parent, const char *name, int tableSize, int &out);
    bool boolean(const XmlNode &parent, const char *name, bool &out);
    template <typename T>
    bool numberList(const XmlNode &parent, const char *name, int count, T *out);
    bool boolList(const XmlNode &parent, const char *name, int count, bool *out);

    bool readSystem(const XmlNode &root);
    bool readSlots(const XmlNode &section);
    bool readGuaranteedAccess(const XmlNode &section);
    bool readExtension(const XmlNode &block);
    bool readTieLine(const XmlNode &block);
    bool readGroup(const XmlNode &block);
    bool readClass(const XmlNode &block);
};

// The leading integer of a text (blanks, a sign, digits), 0 when there is
// none; nullopt when it is too long to mean anything.
std::optional<qint64> leadingNumber(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\r' || s[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    qint64 value = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        value = value * 10 + (s[i].unicode() - u'0');
        if (value > std::numeric_limits<int32_t>::max())
            return std::nullopt;
    }
    return negative ? -value : value;
}

// A text that is a whole integer, blanks around it allowed.
std::optional<qint64> wholeNumber(QStringView s)
{
    bool ok = false;
    const qlonglong value = s.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

// "True"/"False" in any letter case, or a number (0 = False).
std::optional<bool> booleanValue(QStringView s)
{
    const QStringView t = s.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value != 0;
}

template <typename T> bool fits(qint64 value)
{
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

template <typename T> QString rangeText()
{
    return QStringLiteral("%1..%2")
        .arg(qint64(std::numeric_limits<T>::min()))
        .arg(qint64(std::numeric_limits<T>::max()));
}

bool Reader::text(const XmlNode &parent, const char *name, QString &out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    out = node->text;
    return true;
}

template <typename T> bool Reader::number(const XmlNode &parent, const char *name, T &out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const std::optional<qint64> value = leadingNumber(node->text);
    if (!value || !fits<T>(*value))
        return fail(*node, QStringLiteral("value \"%1\" does not fit %2")
                               .arg(node->text.left(40), rangeText<T>()));
    out = static_cast<T>(*value);
    return true;
}

bool Reader::dirNum(const XmlNode &parent, const char *name, int16_t &out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const std::optional<qint64> value = wholeNumber(node->text);
    if (!value)
        return fail(*node, QStringLiteral("value \"%1\" is not a number").arg(node->text.left(40)));
    if (!fits<int16_t>(*value))
        return fail(
            *node,
            QStringLiteral("value %1 does not fit %2").arg(*value).arg(rangeText<int16_t>()));
    out = static_cast<int16_t>(*value);
    return true;
}

bool Reader::index(const XmlNode &parent, const char *name, int tableSize, int &out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const std::optional<qint64> value = wholeNumber(node->text);
    if (!value || *value < 0 || *value >= tableSize)
        return fail(*node, QStringLiteral("value \"%1\" is outside 0..%2")
                               .arg(node->text.left(40))
                               .arg(tableSize - 1));
    out = int(*value);
    return true;
}

bool Reader::boolean(const XmlNode &parent, const char *name, bool &out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const std::optional<bool> value = booleanValue(node->text);
    if (!value)
        return fail(*node,
                    QStringLiteral("value \"%1\" is not True or False").arg(node->text.left(40)));
    out = *value;
    return true;
}

// Lists are comma-separated; values beyond `count` are ignored.
template <typename T>
bool Reader::numberList(const XmlNode &parent, const char *name, int count, T *out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const QList<QStringView> parts = QStringView(node->text).split(u',');
    if (parts.size() < count)
        return fail(*node, QStringLiteral("has %1 values, needs %2").arg(parts.size()).arg(count));
    for (int k = 0; k < count; ++k) {
        const std::optional<qint64> value = leadingNumber(parts[k]);
        if (!value || !fits<T>(*value))
            return fail(*node, QStringLiteral("value %1 \"%2\" does not fit %3")
                                   .arg(k + 1)
                                   .arg(parts[k].left(40).toString(), rangeText<T>()));
        out[k] = static_cast<T>(*value);
    }
    return true;
}

bool Reader::boolList(const XmlNode &parent, const char *name, int count, bool *out)
{
    const XmlNode *node = need(parent, name);
    if (!node)
        return false;
    const QList<QStringView> parts = QStringView(node->text).split(u',');
    if (parts.size() < count)
        return fail(*node, QStringLiteral("has %1 values, needs %2").arg(parts.size()).arg(count));
    for (int k = 0; k < count; ++k) {
        const std::optional<bool> value = booleanValue(parts[k]);
        if (!value)
            return fail(*node, QStringLiteral("value %1 \"%2\" is not True or False")
                                   .arg(k + 1)
                                   .arg(parts[k].left(40).toString()));
        out[k] = *value;
    }
    return true;
}

bool Reader::readSystem(const XmlNode &root)
{
    SystemRecord &sys = c.SysConfig;
    return text(root, "Name", sys.Name) && text(root, "LastUpdate", sys.LastUpdate) &&
           text(root, "Pass", sys.Pass) && number(root, "PIN", sys.PIN);
}

bool Reader::readSlots(const XmlNode &section)
{
    if (section.children.size() > size_t(SlotCount))
        return fail(section, QStringLiteral("has %1 slots, the cabinet has %2")
                                 .arg(section.children.size())
                                 .arg(SlotCount));
    int slot = 0;
    for (const XmlNode &child : section.children) {
        // A name that is no board type leaves the slot as the reset left it.
        const int code = boardTypeFromName(child.text);
        if (code >= 0)
            c.SysConfig.Slots[slot] = static_cast<int16_t>(code);
        ++slot;
    }
    return true;
}

bool Reader::readGuaranteedAccess(const XmlNode &section)
{
    if (section.children.size() < size_t(GAEntries))
        return fail(
            section,
            QStringLiteral("has %1 entries, needs %2").arg(section.children.size()).arg(GAEntries));
    for (int k = 0; k < GAEntries; ++k) {
        const XmlNode &entry = section.children[k];
        const std::optional<qint64> value = leadingNumber(entry.text);
        if (!value || !fits<int16_t>(*value))
            return fail(entry, QStringLiteral("value \"%1\" does not fit %2")
                                   .arg(entry.text.left(40), rangeText<int16_t>()));
        c.SysConfig.GA[k] = static_cast<int16_t>(*value);
    }
    return true;
}

bool Reader::readExtension(const XmlNode &block)
{
    int i = 0;
    int classIndex = 0;
    if (!index(block, "Equipment", ExtTableSize, i) ||
        !index(block, "Class", ClassTableSize, classIndex))
        return false;
    ExtRecord &ext = c.Extensions[i];
    ext.Class = static_cast<int16_t>(classIndex);
    return boolean(block, "Active", ext.Active) && text(block, "Name", ext.Name) &&
           boolean(block, "TrueName", ext.TrueName) && number(block, "ExtNum", ext.ExtNum) &&
           numberList(block, "Status", 5, ext.Status.data()) &&
           number(block, "DirectDial", ext.DirectDial) && number(block, "Group", ext.Group);
}

bool Reader::readTieLine(const XmlNode &block)
{
    int t = 0;
    int classIndex = 0;
    if (!index(block, "Equipment", TieTableSize, t) ||
        !index(block, "Class", ClassTableSize, classIndex))
        return false;
    TieRecord &tie = c.TieLines[t];
    tie.Class = static_cast<int16_t>(classIndex);
    return boolean(block, "Active", tie.Active) && text(block, "Name", tie.Name) &&
           dirNum(block, "DirNum", tie.DirNum) && number(block, "Ext1", tie.Ext1) &&
           number(block, "Ext2", tie.Ext2) &&
           numberList(block, "Status", TieStatusBytes, tie.Status.data()) &&
           boolList(block, "Dial6", Dial6Codes, tie.Dial6.data()) &&
           boolean(block, "Dial9", tie.Dial9);
}

bool Reader::readGroup(const XmlNode &block)
{
    int g = 0;
    int members = 0;
    // The member count indexes Exts; at most 12 entries are ever used.
    if (!index(block, "ID", GroupTableSize, g) ||
        !index(block, "Num", MaxGroupMembers + 1, members))
        return false;
    GroupRecord &group = c.Groups[g];
    group.Num = static_cast<int16_t>(members);
    return boolean(block, "Active", group.Active) && text(block, "Name", group.Name) &&
           dirNum(block, "DirNum", group.DirNum) && number(block, "Type", group.Type) &&
           numberList(block, "Exts", GroupExtsSize, group.Exts.data());
}

bool Reader::readClass(const XmlNode &block)
{
    QString type;
    if (!text(block, "Type", type))
        return false;
    std::array<ClassRecord, ClassTableSize> *table = nullptr;
    if (type == QLatin1String("Extension"))
        table = &c.ExtClasses;
    else if (type == QLatin1String("TieLine"))
        table = &c.TieClasses;
    else
        return true; // a class of another kind is skipped
    int id = 0;
    if (!index(block, "ID", ClassTableSize, id))
        return false;
    ClassRecord &cls = (*table)[id];
    return boolean(block, "Active", cls.Active) && text(block, "Name", cls.Name) &&
           numberList(block, "Status", ExtStatusBytes, cls.Status.data()) &&
           text(block, "IconName", cls.IconName) && boolean(block, "Fixed", cls.Fixed);
}

ReadConfigResult Reader::read(const XmlNode &root)
{
    if (root.name != QLatin1String("TidelexAnalog")) {
        fail(root, QStringLiteral("is not the root of a configuration"));
        return ReadConfigFailed;
    }
    const XmlNode *version = need(root, "VERSION");
    if (!version)
        return ReadConfigFailed;
    if (version->text != QLatin1String("3.0")) {
        fail(*version, QStringLiteral("\"%1\" is not a known version").arg(version->text.left(40)));
        return ReadConfigBadVersion;
    }

    clearConfig(c);
    if (!readSystem(root))
        return ReadConfigFailed;

    struct Section {
        const char *name;
        bool (Reader::*perChild)(const XmlNode &);
    };
    const XmlNode *slotList = need(root, "SlotsList");
    const XmlNode *access = need(root, "GuaranteedAccess");
    if (!slotList || !readSlots(*slotList) || !access || !readGuaranteedAccess(*access))
        return ReadConfigFailed;
    const Section blocks[] = {{"Extensions", &Reader::readExtension},
                              {"TieLines", &Reader::readTieLine},
                              {"Groups", &Reader::readGroup},
                              {"Classes", &Reader::readClass}};
    for (const Section &section : blocks) {
        const XmlNode *node = need(root, section.name);
        if (!node)
            return ReadConfigFailed;
        for (const XmlNode &child : node->children) {
            if (!(this->*section.perChild)(child))
                return ReadConfigFailed;
        }
    }
    return ReadConfigOk;
}

} // namespace

ReadConfigResult readConfig(QIODevice &device, Configuration &config, QString *error)
{
    auto failed = [&](const QString &reason) {
        if (error)
            *error = reason;
        return ReadConfigFailed;
    };
    if (!device.isReadable())
        return failed(QStringLiteral("The device is not open for reading"));
    const QByteArray bytes = device.readAll();

    QString document;
    qsizetype badOffset = 0;
    if (!win1252::decode(bytes, document, &badOffset))
        return failed(
            QStringLiteral("byte %1 (0x%2) is not Windows-1252 text")
                .arg(badOffset)
                .arg(uint(static_cast<unsigned char>(bytes[badOffset])), 2, 16, QLatin1Char('0')));
    // A control character (a NUL from a damaged disk, say) can stand nowhere
    // in the file; the XML reader would only call it "Unexpected ''".
    for (qsizetype k = 0; k < document.size(); ++k) {
        const char16_t c = document.at(k).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return failed(QStringLiteral("line %1: a control character (code %2), which a "
                                         "configuration file cannot hold")
                              .arg(QStringView(document).left(k).count(u'\n') + 1)
                              .arg(int(c)));
    }
    XmlNode root;
    QString parseError;
    if (!parseXmlTree(document, root, &parseError))
        return failed(parseError);

    // Read into a scratch copy: the configuration in use changes only when
    // the whole file has been read.
    Configuration scratch = config;
    Reader reader(scratch);
    const ReadConfigResult result = reader.read(root);
    if (result != ReadConfigOk) {
        if (error)
            *error = reader.error;
        return result;
    }
    config = std::move(scratch);
    return ReadConfigOk;
}

ReadConfigResult readConfigFile(const QString &fileName, Configuration &config, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString());
        return ReadConfigFailed;
    }
    return readConfig(file, config, error);
}
