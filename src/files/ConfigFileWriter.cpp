// Writing the configuration file, and the header test the loader runs first.
#include "ConfigFile.h"
#include "SafeWrite.h"
#include "Equipment.h"
#include "Windows1252.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

using namespace tidelex;

namespace
{

const char crlf[] = "\r\n";

// Text for element content: markup characters escaped, line breaks kept as
// character references (a parser would fold a raw CR into LF), and what the
// code page or XML cannot carry written as '?'. Quotes need no escaping in
// element content.
QByteArray escapedText(const QString &value)
{
    QByteArray out;
    out.reserve(value.size());
    qsizetype plainStart = 0;
    auto flushPlain = [&](qsizetype end) {
        if (end > plainStart)
            out += win1252::encode(QStringView(value).sliced(plainStart, end - plainStart));
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t ch = value[i].unicode();
        const char *replacement = nullptr;
        switch (ch) {
        case u'&':
            replacement = "&amp;";
            break;
        case u'<':
            replacement = "&lt;";
            break;
        case u'>':
            replacement = "&gt;";
            break;
        case u'\r':
            replacement = "&#13;";
            break;
        case u'\n':
            replacement = "&#10;";
            break;
        default:
            if ((ch < 0x20 && ch != u'\t') || ch == 0xFFFE || ch == 0xFFFF)
                replacement = "?";
            break;
        }
        if (!replacement)
            continue;
        flushPlain(i);
        out += replacement;
        plainStart = i + 1;
    }
    flushPlain(value.size());
    return out;
}

void openTag(QByteArray &file, int indent, const char *tag)
{
    file += QByteArray(indent, '\t') + '<' + tag + '>' + crlf;
}

void closeTag(QByteArray &file, int indent, const char *tag)
{
    file += QByteArray(indent, '\t') + "</" + tag + '>' + crlf;
}

void element(QByteArray &file, int indent, const char *tag, const QString &value)
{
    writeXmlElement(file, indent, QString::fromLatin1(tag), value);
}

void element(QByteArray &file, int indent, const char *tag, int value)
{
    element(file, indent, tag, QString::number(value));
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

template <typename Container> QString joinNumbers(const Container &values, int count)
{
    QStringList parts;
    for (int k = 0; k < count; ++k)
        parts << QString::number(values[k]);
    return parts.join(QLatin1Char(','));
}

QString joinBools(const std::array<bool, 9> &values, int count)
{
    QStringList parts;
    for (int k = 0; k < count; ++k)
        parts << boolText(values[k]);
    return parts.join(QLatin1Char(','));
}

void writeExtension(QByteArray &file, const ExtRecord &ext, int index)
{
    openTag(file, 2, "Ext");
    element(file, 3, "Equipment", index);
    element(file, 3, "Name", ext.Name);
    element(file, 3, "TrueName", boolText(ext.TrueName));
    element(file, 3, "ExtNum", ext.ExtNum);
    element(file, 3, "Class", ext.Class);
    element(file, 3, "Active", boolText(ext.Active));
    element(file, 3, "Status", joinNumbers(ext.Status, 5));
    element(file, 3, "DirectDial", ext.DirectDial);
    element(file, 3, "Group", ext.Group);
    closeTag(file, 2, "Ext");
}

void writeTieLine(QByteArray &file, const TieRecord &tie, int index)
{
    openTag(file, 2, "Tie");
    element(file, 3, "Equipment", index);
    element(file, 3, "Name", tie.Name);
    element(file, 3, "DirNum", tie.DirNum);
    element(file, 3, "Ext1", tie.Ext1);
    element(file, 3, "Ext2", tie.Ext2);
    element(file, 3, "Class", tie.Class);
    element(file, 3, "Active", boolText(tie.Active));
    element(file, 3, "Status", joinNumbers(tie.Status, TieStatusBytes));
    element(file, 3, "Dial6", joinBools(tie.Dial6, Dial6Codes));
    element(file, 3, "Dial9", boolText(tie.Dial9));
    closeTag(file, 2, "Tie");
}

void writeGroup(QByteArray &file, const GroupRecord &group, int index)
{
    openTag(file, 2, "Group");
    element(file, 3, "ID", index);
    element(file, 3, "Active", boolText(group.Active));
    element(file, 3, "Name", group.Name);
    element(file, 3, "DirNum", group.DirNum);
    element(file, 3, "Type", group.Type);
    element(file, 3, "Num", group.Num);
    element(file, 3, "Exts", joinNumbers(group.Exts, GroupExtsSize));
    closeTag(file, 2, "Group");
}

void writeClass(QByteArray &file, const ClassRecord &cls, const char *type, int index)
{
    openTag(file, 2, "Class");
    element(file, 3, "Type", QString::fromLatin1(type));
    element(file, 3, "ID", index);
    element(file, 3, "Active", boolText(cls.Active));
    element(file, 3, "Name", cls.Name);
    element(file, 3, "Status", joinNumbers(cls.Status, ExtStatusBytes));
    element(file, 3, "IconName", cls.IconName);
    element(file, 3, "Fixed", boolText(cls.Fixed));
    closeTag(file, 2, "Class");
}

} // namespace

QByteArray configHeaderLine1()
{
    return QByteArrayLiteral("<?xml version=\"1.0\"?>");
}

QByteArray configHeaderLine2()
{
    return QByteArrayLiteral("<TidelexAnalog>");
}

void writeXmlElement(QByteArray &file, int indent, const QString &tag, const QString &value)
{
    const QByteArray name = tag.toLatin1();
    file += QByteArray(indent, '\t');
    if (value.isEmpty())
        file += '<' + name + "/>";
    else
        file += '<' + name + '>' + escapedText(value) + "</" + name + '>';
    file += crlf;
}

QByteArray configFileBytes(const Configuration &config, const QString &lastUpdate)
{
    const SystemRecord &sys = config.SysConfig;
    QByteArray file;
    file.reserve(200 * 1024);
    file += configHeaderLine1() + crlf;
    file += configHeaderLine2() + crlf;
    element(file, 1, "VERSION", QStringLiteral("3.0"));
    element(file, 1, "LastUpdate", lastUpdate);
    element(file, 1, "Name", sys.Name);
    element(file, 1, "PIN", sys.PIN);
    element(file, 1, "Pass", sys.Pass);

    openTag(file, 1, "SlotsList");
    for (int slot = 0; slot < SlotCount; ++slot)
        element(file, 2, "Slot", boardTypeName(sys.Slots[slot]));
    closeTag(file, 1, "SlotsList");

    openTag(file, 1, "GuaranteedAccess");
    for (int k = 0; k < GAEntries; ++k)
        element(file, 2, "GA", sys.GA[k]);
    closeTag(file, 1, "GuaranteedAccess");

    openTag(file, 1, "Extensions");
    for (int i = 0; i < MaxExtensions; ++i)
        writeExtension(file, config.Extensions[i], i);
    closeTag(file, 1, "Extensions");

    openTag(file, 1, "TieLines");
    for (int t = 0; t < FileTieLines; ++t)
        writeTieLine(file, config.TieLines[t], t);
    closeTag(file, 1, "TieLines");

    openTag(file, 1, "Groups");
    for (int g = 0; g < MaxGroups; ++g)
        writeGroup(file, config.Groups[g], g);
    closeTag(file, 1, "Groups");

    openTag(file, 1, "Classes");
    for (int c = 0; c < MaxClasses; ++c)
        writeClass(file, config.ExtClasses[c], "Extension", c);
    for (int c = 0; c < MaxClasses; ++c)
        writeClass(file, config.TieClasses[c], "TieLine", c);
    closeTag(file, 1, "Classes");

    file += "</TidelexAnalog>";
    file += crlf;
    return file;
}

bool writeConfig(QIODevice &device, const Configuration &config, const QString &lastUpdate,
                 QString *error)
{
    return writeAllBytes(device, configFileBytes(config, lastUpdate), error);
}

QString currentLastUpdate()
{
    return QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

bool writeConfigFile(const QString &fileName, const Configuration &config, QString *error,
                     const QString &lastUpdate)
{
    return writeWholeFile(
        fileName, configFileBytes(config, lastUpdate.isEmpty() ? currentLastUpdate() : lastUpdate),
        error);
}

void stripFileNameQuotes(QString &fileName)
{
    if (fileName.startsWith(QLatin1Char('"')))
        fileName.remove(0, 1);
    if (fileName.endsWith(QLatin1Char('"')))
        fileName.chop(1);
}

bool existFile(QString &fileName)
{
    stripFileNameQuotes(fileName);

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Enough for both header lines; a line ends at CR LF, CR or LF.
    const QByteArray head = file.read(256);
    QByteArrayList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < head.size() && lines.size() < 2; ++i) {
        const char c = head[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << head.mid(start, i - start);
        if (c == '\r' && i + 1 < head.size() && head[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (lines.size() < 2 && start < head.size() && file.atEnd())
        lines << head.mid(start); // the second line may end the file
    return lines.size() == 2 && lines[0] == configHeaderLine1() && lines[1] == configHeaderLine2();
}
