#include "ListTexts.h"

#include "Equipment.h"
#include "Names.h"
#include "TypeNames.h"

using namespace tidelex;

namespace
{

QString index3(int index)
{
    return QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0'));
}

} // namespace

QList<ListColumn> listColumns(ListCategory category)
{
    auto col = [](const char *key, const char *caption) {
        return ListColumn{QString::fromLatin1(key), QString::fromLatin1(caption)};
    };
    switch (category) {
    case ListCategory::Extensions:
        return {col("Name", "Name"),   col("ExtNum", "Ext"), col("Class", "Class"),
                col("Board", "Board"), col("Port", "Port"),  col("Options", "Options")};
    case ListCategory::TieLines:
        return {col("Name", "Name"), col("Ext1", "Ext 1"),     col("Ext2", "Ext 2"),
                col("Type", "Type"), col("Dial", "Dial"),      col("Board", "Board"),
                col("Port", "Port"), col("Options", "Options")};
    case ListCategory::Groups:
        return {col("Name", "Name"), col("Num", "Num"), col("Type", "Type"), col("Ext1", "1st Ext"),
                col("Others", "Others")};
    }
    return {};
}

QStringList gridHeader(ListCategory category)
{
    switch (category) {
    case ListCategory::Extensions:
        return {QStringLiteral("ID"),     QStringLiteral("Tag"),    QStringLiteral("Physical"),
                QStringLiteral("Name"),   QStringLiteral("Ext No"), QStringLiteral("Class"),
                QStringLiteral("Options")};
    case ListCategory::TieLines:
        return {QStringLiteral("ID"),    QStringLiteral("Tag"),      QStringLiteral("Physical"),
                QStringLiteral("Name"),  QStringLiteral("Type"),     QStringLiteral("Ext 1"),
                QStringLiteral("Ext 2"), QStringLiteral("Outgoing"), QStringLiteral("Options")};
    case ListCategory::Groups:
        return {QStringLiteral("ID"),
                QStringLiteral("Tag"),
                QStringLiteral("Dir"),
                QStringLiteral("Name"),
                QStringLiteral("Type"),
                QStringLiteral("Lead Ext."),
                QStringLiteral("Group Extensions")};
    }
    return {};
}

QString extensionOptionText(const Configuration &config, int i)
{
    const ExtRecord &ext = config.Extensions[i];
    if (ext.Class == ClassHotLine) {
        return QStringLiteral("Calls ") + getNameFromExt(config, ext.DirectDial) +
               QStringLiteral(" (") + QString::number(ext.DirectDial) + QLatin1Char(')');
    }
    if (ext.Class != ClassCustom)
        return QString();
    const auto &st = ext.Status;
    const struct {
        bool set;
        const char *word;
    } words[] = {
        {bool(st[4] & ExtDial9), "9 "},         {bool(st[0] & ExtRecall), "Recall "},
        {bool(st[1] & ExtMF), "MF "},           {bool(st[1] & ExtLD), "LD "},
        {bool(st[1] & ExtCOSB), "COSB "},       {bool(st[1] & ExtHash), "# "},
        {bool(st[1] & ExtNightPickup), "8 "},   {bool(st[1] & ExtRapid), "Rapid "},
        {bool(st[1] & ExtIntrude), "Intrude "}, {bool(st[4] & ExtHotLine), "Hot "},
    };
    QString text;
    for (const auto &w : words) {
        if (w.set)
            text += QString::fromLatin1(w.word);
    }
    return text;
}

QString tieOutgoingText(const Configuration &config, int t)
{
    const TieRecord &tie = config.TieLines[t];
    QString text;
    if (tieClassHasIncomingSide(tie.Class))
        text = (tie.Status[0] & TieInDTMF) ? QStringLiteral("DTMF ") : QStringLiteral("LD ");
    if (tie.Dial9)
        text += QStringLiteral("9 ");
    for (int k = 0; k < Dial6Codes; ++k) {
        if (tie.Dial6[k])
            text += QLatin1Char('6') + QString::number(k + 1) + QLatin1Char(' ');
    }
    return text;
}

QString tieOptionText(const Configuration &config, int t)
{
    return (config.TieLines[t].Status[0] & TieDDI) ? QStringLiteral("DDI ") : QString();
}

QString numberWithName(const Configuration &config, int number)
{
    if (number == 0)
        return QString();
    return getNameFromExt(config, number) + QStringLiteral(" (") + QString::number(number) +
           QLatin1Char(')');
}

PortRow addExtItem(const Configuration &config, int i)
{
    const ExtRecord &ext = config.Extensions[i];
    const int board = i / ExtsPerBoard + 1;
    const QString boardText = boardNumberText(board);
    const QString port = QString::number(extensionPort(i));
    const QString cls = className(config.ExtClasses, ext.Class);
    const QString options = extensionOptionText(config, i);
    PortRow row;
    row.key = extensionKey(i);
    row.iconKey = ext.Class >= 0 && ext.Class < MaxClasses ? config.ExtClasses[ext.Class].IconName
                                                           : QString();
    row.listCells = {ext.Name, QString::number(ext.ExtNum), cls, boardText, port, options};
    row.gridCells = {
        index3(i), row.key, extensionPosition(i), ext.Name, QString::number(ext.ExtNum),
        cls,       options};
    return row;
}

PortRow addTieItem(const Configuration &config, int t)
{
    const TieRecord &tie = config.TieLines[t];
    const bool incoming = tieClassHasIncomingSide(tie.Class);
    const QString cls = className(config.TieClasses, tie.Class);
    const QString dial = !incoming                     ? QString()
                         : (tie.Status[0] & TieInDTMF) ? QStringLiteral("DTMF")
                                                       : QStringLiteral("LD");
    auto number = [&](int n) { return incoming && n != 0 ? QString::number(n) : QString(); };
    auto named = [&](int n) { return incoming ? numberWithName(config, n) : QString(); };
    PortRow row;
    row.key = tieLineKey(t);
    row.iconKey = tie.Class >= 0 && tie.Class < MaxClasses ? config.TieClasses[tie.Class].IconName
                                                           : QString();
    if (row.iconKey.isEmpty())
        row.iconKey = config.TieClasses[0].IconName;
    row.listCells = {tie.Name,
                     number(tie.Ext1),
                     number(tie.Ext2),
                     cls,
                     dial,
                     boardNumberText(t / TiesPerBoard + 1),
                     QString::number(tieLinePort(t)),
                     tieOptionText(config, t)};
    row.gridCells = {index3(t),
                     row.key,
                     tieLinePosition(t),
                     tie.Name,
                     cls,
                     named(tie.Ext1),
                     named(tie.Ext2),
                     tieOutgoingText(config, t),
                     tieOptionText(config, t)};
    return row;
}

PortRow addGroupItem(const Configuration &config, int g)
{
    const GroupRecord &group = config.Groups[g];
    QStringList numbers;
    QStringList named;
    const int count = std::clamp<int>(group.Num, 0, GroupExtsSize);
    for (int m = 0; m < count; ++m) {
        if (group.Exts[m] < 0)
            continue;
        numbers << QString::number(group.Exts[m]);
        named << numberWithName(config, group.Exts[m]);
    }
    const bool pickup = group.Type == GroupPickup;
    const GroupTypeNames *type = findGroupType(group.Type);
    PortRow row;
    row.key = groupKey(g);
    row.iconKey = groupTypeIcon(group.Type);
    row.listCells = {group.Name, QString::number(group.DirNum),
                     type ? QString::fromLatin1(type->listName) : QStringLiteral("Unknown"),
                     numbers.value(0), numbers.mid(1).join(QLatin1Char(' '))};
    row.gridCells = {index3(g),
                     row.key,
                     QString::number(group.DirNum),
                     group.Name,
                     QString::number(group.Type),
                     pickup ? QString() : groupUsersText(config, g).trimmed(),
                     named.join(QStringLiteral(", "))};
    return row;
}

QList<PortRow> listRows(const Configuration &config, ListCategory category)
{
    QList<PortRow> rows;
    switch (category) {
    case ListCategory::Extensions:
        for (int i = 0; i < MaxExtensions; ++i) {
            if (config.SysConfig.Slots[extensionSlot(i)] == BoardSubscriber &&
                config.Extensions[i].Active)
                rows << addExtItem(config, i);
        }
        break;
    case ListCategory::TieLines:
        for (int t = 0; t < FileTieLines; ++t) {
            if (config.SysConfig.Slots[tieLineSlot(t)] == BoardTieLine && config.TieLines[t].Active)
                rows << addTieItem(config, t);
        }
        break;
    case ListCategory::Groups:
        for (int g = 0; g < MaxGroups; ++g) {
            if (config.Groups[g].Active)
                rows << addGroupItem(config, g);
        }
        break;
    }
    return rows;
}
