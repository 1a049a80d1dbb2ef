#include "ListExport.h"

#include "Equipment.h"
#include "Names.h"
#include "SafeWrite.h"
#include "TypeNames.h"
#include "Windows1252.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace tidelex;

namespace {

// One list file being built: quoted cells, a separator after every data
// cell, CR LF line ends.
class ListWriter {
public:
    explicit ListWriter(QChar separator) : m_separator(separator) {}

    void heading(const QStringList &titles)
    {
        QStringList cells;
        for (const QString &title : titles)
            cells << quoted(title);
        m_text += cells.join(m_separator) + QStringLiteral("\r\n");
    }
    void row(const QStringList &values)
    {
        for (const QString &value : values)
            m_text += quoted(value) + m_separator;
        m_text += QStringLiteral("\r\n");
    }
    // Windows-1252 text as the spreadsheets on the ship expect.
    QByteArray bytes() const { return win1252::encode(m_text); }

private:
    // A double quote inside a value is doubled, so a reader of the file
    // never mistakes it for the end of the cell.
    static QString quoted(QString value)
    {
        value.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + value + QLatin1Char('"');
    }

    QChar m_separator;
    QString m_text;
};

QString flag(bool set)
{
    return set ? QStringLiteral("Y") : QStringLiteral("N");
}

QByteArray extensionList(const Configuration &config, QChar separator)
{
    ListWriter out(separator);
    QStringList titles = {QStringLiteral("Board"),
                          QStringLiteral("Ext Num"),
                          QStringLiteral("Name"),
                          QStringLiteral("Group"),
                          QStringLiteral("Class"),
                          QStringLiteral("Guaranteed Access"),
                          QStringLiteral("Hot Line"),
                          QStringLiteral("Recall"),
                          QStringLiteral("Night Bell Pickup"),
                          QStringLiteral("Rapid Ring"),
                          QStringLiteral("Intrude"),
                          QStringLiteral("Dial 9"),
                          QStringLiteral("Hash"),
                          QStringLiteral("MF"),
                          QStringLiteral("LD")};
    for (int k = 1; k <= Dial6Codes; ++k)
        titles << QString::number(60 + k);
    out.heading(titles);

    const auto &ga = config.SysConfig.GA;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (!isLiveExtension(config, i))
            continue;
        const ExtRecord &ext = config.Extensions[i];
        const auto &s = ext.Status;
        const bool guaranteed =
            std::find(ga.begin(), ga.begin() + GAEntries, ext.ExtNum) != ga.begin() + GAEntries;
        QStringList cells = {extensionPosition(i),
                             QString::number(ext.ExtNum),
                             ext.Name,
                             ext.Group == 0 ? QStringLiteral("-") : nameOfNumber(config, ext.Group),
                             className(config.ExtClasses, ext.Class),
                             flag(guaranteed),
                             (s[4] & ExtHotLine) ? QString::number(ext.DirectDial)
                                                 : QStringLiteral("-"),
                             flag(s[0] & ExtRecall),
                             flag(s[1] & ExtNightPickup),
                             flag(s[1] & ExtRapid),
                             flag(s[1] & ExtIntrude),
                             flag(s[4] & ExtDial9),
                             flag(s[1] & ExtHash),
                             flag(s[1] & ExtMF),
                             flag(s[1] & ExtLD)};
        for (int k = 0; k < Dial6Codes; ++k)
            cells << flag(s[2] & (1 << k));
        out.row(cells);
    }
    return out.bytes();
}

// "103 (Bridge)", or "-" for a line without an incoming side.
QString incomingText(const Configuration &config, const TieRecord &tie, int number)
{
    if (tie.Class == TieClassPA)
        return QStringLiteral("-");
    return QString::number(number) + QStringLiteral(" (") + nameOfNumber(config, number) +
           QLatin1Char(')');
}

QByteArray tieLineList(const Configuration &config, QChar separator)
{
    ListWriter out(separator);
    QStringList titles = {
        QStringLiteral("Board"), QStringLiteral("Dir Num"), QStringLiteral("Name"),
        QStringLiteral("Class"), QStringLiteral("Ext 1"),   QStringLiteral("Ext 2"),
        QStringLiteral("DTMF"),  QStringLiteral("DDI"),     QStringLiteral("9")};
    for (int k = 1; k <= Dial6Codes; ++k)
        titles << QString::number(60 + k);
    out.heading(titles);

    for (int t = 0; t < FileTieLines; ++t) {
        if (!isLiveTieLine(config, t))
            continue;
        const TieRecord &tie = config.TieLines[t];
        QStringList cells = {tieLinePosition(t),
                             QString::number(tie.DirNum),
                             tie.Name,
                             className(config.TieClasses, tie.Class),
                             incomingText(config, tie, tie.Ext1),
                             incomingText(config, tie, tie.Ext2),
                             flag(tie.Status[0] & TieInDTMF),
                             flag(tie.Status[0] & TieDDI),
                             flag(tie.Dial9)};
        for (int k = 0; k < Dial6Codes; ++k)
            cells << flag(tie.Dial6[k]);
        out.row(cells);
    }
    return out.bytes();
}

QByteArray groupList(const Configuration &config, QChar separator)
{
    ListWriter out(separator);
    out.heading({QStringLiteral("Grp Num"), QStringLiteral("Name"), QStringLiteral("Type"),
                 QStringLiteral("Lead Ext"), QStringLiteral("Exts")});
    for (int g = 0; g < MaxGroups; ++g) {
        const GroupRecord &group = config.Groups[g];
        if (!group.Active)
            continue;
        QString members;
        const int used = std::clamp<int>(group.Num, 0, GroupExtsSize);
        for (int m = 0; m < used; ++m) {
            const int number = group.Exts[m];
            if (number < 0)
                continue;
            members += QLatin1Char(' ') + QString::number(number) + QStringLiteral(" (") +
                       nameOfNumber(config, number) + QStringLiteral(") ");
        }
        const GroupTypeNames *type = findGroupType(group.Type);
        out.row({QString::number(group.DirNum), group.Name,
                 type ? QString::fromLatin1(type->name) : QString(),
                 group.Type == GroupPickup ? QStringLiteral("-") : groupUsersText(config, g),
                 members.trimmed()});
    }
    return out.bytes();
}

// The base name without the suffix of an earlier export, so picking any file
// of that set writes the set again.
QString exportBase(const QString &baseName)
{
    const QString upper = baseName.toUpper();
    for (const char *suffix : {"_EXTENSIONS", "_TIELINES", "_GROUPS"}) {
        const QLatin1String ending(suffix);
        if (upper.endsWith(ending))
            return baseName.left(baseName.size() - ending.size());
    }
    return baseName;
}

} // namespace

PathParts splitPath(const QString &fileName)
{
    if (fileName.isEmpty())
        return {};
    QString path = fileName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(path);
    return {info.path(), info.fileName(), info.baseName(), info.completeSuffix()};
}

QString nameOfNumber(const Configuration &config, int number)
{
    return getNameFromExt(config, number);
}

QStringList exportFileNames(const QString &fileName)
{
    const PathParts parts = splitPath(fileName);
    const QString base = exportBase(parts.baseName);
    const QString dot = parts.extension.isEmpty() ? QString() : QStringLiteral(".");
    // A bare name stays bare: the files go to the current folder.
    const bool bare = !fileName.contains(QLatin1Char('/')) && !fileName.contains(QLatin1Char('\\'));
    const QDir folder(parts.folder);
    QStringList names;
    for (const char *suffix : {"_Extensions", "_TieLines", "_Groups"}) {
        const QString name = base + QLatin1String(suffix) + dot + parts.extension;
        names << (bare ? name : folder.filePath(name));
    }
    return names;
}

bool exportLists(const QString &fileName, const Configuration &config, QString *message)
{
    const PathParts parts = splitPath(fileName);
    if (parts.baseName.isEmpty()) {
        if (message)
            *message = QStringLiteral("No file name to export to: \"%1\"").arg(fileName);
        return false;
    }
    const QChar separator =
        parts.extension == QLatin1String("TAB") ? QLatin1Char('\t') : QLatin1Char(',');
    const QStringList names = exportFileNames(fileName);
    // The three lists belong together: all of them are replaced, or none.
    return writeWholeFiles({{names[0], extensionList(config, separator)},
                            {names[1], tieLineList(config, separator)},
                            {names[2], groupList(config, separator)}},
                           message);
}
