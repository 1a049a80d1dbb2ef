#include "ReportSections.h"

#include "Equipment.h"
#include "Names.h"
#include "ReportCatalogue.h"
#include "TypeNames.h"

#include <algorithm>
#include <functional>

using namespace tidelex;

namespace {

// Column formats and headers of the tables.
const char *const extListFormat = ">2cm|<5cm";
const char *const tieListFormat = "<4cm|<2.8cm|<8cm";
const char *const extDetailsFormat = "^1.5cm|^1.6cm|<3.8cm|<3.3cm|<2.5cm|<3.3cm|^0.9cm|^0.9cm|"
                                     "^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|"
                                     "^0.9cm|^0.9cm";
const char *const extDetailsHeader = "Posn|Ext|Name|Group|Class|Options|#|MF|LD|9|61|62|63|64|"
                                     "65|66|67|68";
const char *const extDetailsCustomHeader = "Posn|Ext|Name|Group|Class|Custom Options|#|MF|LD|9|"
                                           "61|62|63|64|65|66|67|68";
// The wider of the two DTMF columns, so the heading fits on one line.
const char *const tieDetailsFormat = "^1.5cm|^1.2cm|<3.8cm|<2.4cm|<3.8cm|<3.8cm|^1.4cm|^0.9cm|"
                                     "^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|^0.9cm|"
                                     "^0.9cm";
const char *const tieDetailsHeader = "Posn|Dir|Name|Class|1st Ext|2nd Ext|DTMF|DDI|9|61|62|63|"
                                     "64|65|66|67|68";
const char *const groupsFormat = "^2.1cm|<3.8cm|<4.0cm|<3.3cm|<3.3cm|<3.3cm|<3.3cm|<3.3cm";
const char *const groupsHeader = "Grp No|Name|Type|Lead Ext|Exts|||";
constexpr int groupMemberColumns = 4;

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

// A sort key that orders numbers by value even when they are compared as
// text, so a stray 1000 does not land between 100 and 200.
QString numberKey(int n)
{
    return QStringLiteral("%1").arg(n + 40000, 6, 10, QLatin1Char('0'));
}

// Record indexes in the order of their sort keys; equal keys keep table order.
QList<int> sortedIndexes(QList<QPair<QString, int>> keyed)
{
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    QList<int> order;
    for (const auto &entry : keyed)
        order.append(entry.second);
    return order;
}

QString tick(bool on)
{
    return on ? tickMark() : QString();
}

// "Bridge (101)"; nothing for 0, which names no one.
QString nameAndNumber(const Configuration &config, int number)
{
    if (number == 0)
        return QString();
    return getNameFromExt(config, number) + QStringLiteral(" (") + QString::number(number) +
           QLatin1Char(')');
}

QList<int> listedExtensions(const Configuration &config)
{
    QList<int> list;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (isLiveExtension(config, i))
            list.append(i);
    }
    return list;
}

QList<int> listedTieLines(const Configuration &config)
{
    QList<int> list;
    for (int t = 0; t < MaxTieLines; ++t) {
        if (isLiveTieLine(config, t))
            list.append(t);
    }
    return list;
}

QList<int> listedGroups(const Configuration &config)
{
    QList<int> list;
    for (int g = 0; g < MaxGroups; ++g) {
        if (config.Groups[g].Active)
            list.append(g);
    }
    return list;
}

QString extensionSortKey(const Configuration &config, int i, int order)
{
    const ExtRecord &ext = config.Extensions[i];
    switch (order) {
    case 1:
        return ext.Name;
    case 2:
        return extensionPosition(i);
    default:
        return numberKey(ext.ExtNum);
    }
}

QString tieLineSortKey(const Configuration &config, int t, int order)
{
    const TieRecord &tie = config.TieLines[t];
    switch (order) {
    case 0:
        return numberKey(tie.DirNum);
    case 1:
        return tie.Name;
    case 2:
        return tieLinePosition(t);
    default:
        return numberKey(tie.Class) + QLatin1Char('.') + tie.Name;
    }
}

QString tieRoutes(const TieRecord &tie)
{
    QString routes;
    if (tie.Dial9)
        routes += QStringLiteral("9 ");
    for (int k = 0; k < Dial6Codes; ++k) {
        if (tie.Dial6[k])
            routes += QLatin1Char('6') + QString::number(k + 1) + QLatin1Char(' ');
    }
    return routes;
}

QString groupTypeText(int type)
{
    const GroupTypeNames *entry = findGroupType(type);
    return entry ? QString::fromLatin1(entry->name) : QStringLiteral("N/A");
}

// Member numbers of group g in order: the first Num entries (never more
// than the twelve the exchange holds) that name an extension.
QList<int> groupMembers(const GroupRecord &group)
{
    QList<int> members;
    const int used = std::clamp<int>(group.Num, 0, MaxGroupMembers);
    for (int m = 0; m < used; ++m) {
        if (group.Exts[m] > 0)
            members.append(group.Exts[m]);
    }
    return members;
}

QStringList extensionListRow(const Configuration &config, int i)
{
    const ExtRecord &ext = config.Extensions[i];
    return {QString::number(ext.ExtNum), ext.Name};
}

QStringList tieLineListRow(const Configuration &config, int t)
{
    const TieRecord &tie = config.TieLines[t];
    return {tie.Name, className(config.TieClasses, tie.Class), tieRoutes(tie)};
}

QStringList extensionDetailsRow(const Configuration &config, int i, bool allOptions)
{
    const ExtRecord &ext = config.Extensions[i];
    QStringList row = {extensionPosition(i), QString::number(ext.ExtNum), ext.Name,
                       ext.Group != 0 ? QString::number(ext.Group) : QString(),
                       className(config.ExtClasses, ext.Class)};
    const bool showOptions = allOptions || ext.Class == ClassCustom;
    if (showOptions) {
        row.append(extensionOptionTexts(config, i).join(QLatin1Char('\n')));
    } else if (ext.Class == ClassHotLine) {
        row.append(QStringLiteral("Hotline -> ") + QString::number(ext.DirectDial));
    } else {
        row.append(QString());
    }
    const auto &s = ext.Status;
    row.append(tick(showOptions && (s[1] & ExtHash)));
    row.append(tick(showOptions && (s[1] & ExtMF)));
    row.append(tick(showOptions && (s[1] & ExtLD)));
    row.append(tick(showOptions && (s[4] & ExtDial9)));
    for (int k = 0; k < Dial6Codes; ++k)
        row.append(tick(showOptions && (s[2] & (1 << k))));
    return row;
}

QStringList tieLineDetailsRow(const Configuration &config, int t)
{
    const TieRecord &tie = config.TieLines[t];
    const bool outgoingOnly = tie.Class == TieClassPA || tie.Class == TieClassPager;
    QStringList row = {tieLinePosition(t), QString::number(tie.DirNum), tie.Name,
                       className(config.TieClasses, tie.Class)};
    if (outgoingOnly) {
        row << QStringLiteral("n/a") << QStringLiteral("n/a");
    } else {
        row << nameAndNumber(config, tie.Ext1) << nameAndNumber(config, tie.Ext2);
    }
    row.append(tick(tie.Status[0] & TieInDTMF));
    row.append(tick(tie.Status[0] & TieDDI));
    row.append(tick(tie.Dial9));
    for (int k = 0; k < Dial6Codes; ++k)
        row.append(tick(tie.Dial6[k]));
    return row;
}

// The lead extension in its own column, the other members spread over the
// four "Exts" columns, one per line, left to right.
QStringList groupRow(const Configuration &config, int g)
{
    const GroupRecord &group = config.Groups[g];
    const QList<int> members = groupMembers(group);
    QStringList row = {QString::number(group.DirNum), group.Name, groupTypeText(group.Type),
                       members.isEmpty() ? QString() : nameAndNumber(config, members.first())};
    QStringList columns(groupMemberColumns);
    for (int m = 1; m < members.size(); ++m) {
        QString &cell = columns[(m - 1) % groupMemberColumns];
        if (!cell.isEmpty())
            cell += QLatin1Char('\n');
        cell += nameAndNumber(config, members[m]);
    }
    return row + columns;
}

} // namespace

QStringList extensionOptionTexts(const Configuration &config, int index)
{
    const ExtRecord &ext = config.Extensions[index];
    const auto &s = ext.Status;
    QStringList texts;
    if (s[4] & ExtHotLine)
        texts.append(QStringLiteral("Hotline -> ") + QString::number(ext.DirectDial));
    for (int k = 0; k < GAEntries; ++k) {
        if (config.SysConfig.GA[k] == ext.ExtNum) {
            texts.append(QStringLiteral("Guaranteed Access"));
            break;
        }
    }
    if (s[0] & ExtRecall)
        texts.append(QStringLiteral("Recall"));
    if (s[1] & ExtNightPickup)
        texts.append(QStringLiteral("Night Bell Pickup"));
    if (s[1] & ExtRapid)
        texts.append(QStringLiteral("Rapid Ring"));
    if (s[1] & ExtIntrude)
        texts.append(QStringLiteral("Intrude"));
    return texts;
}

ReportSection buildListSection(const Configuration &config, const SectionPlan &plan)
{
    ReportSection section;
    section.plan = plan;
    section.title = sectionTitle(plan);

    QList<int> records;
    std::function<QString(int)> key;
    std::function<QStringList(int)> row;
    switch (plan.kind) {
    case SectionKind::ExtensionList:
        records = listedExtensions(config);
        key = [&](int i) { return extensionSortKey(config, i, plan.code == 1 ? 1 : 0); };
        row = [&](int i) { return extensionListRow(config, i); };
        section.table.columns = parseColumnFormat(text(extListFormat));
        section.emptyMessage = QStringLiteral("There are no extensions defined");
        break;
    case SectionKind::TieLineList:
        records = listedTieLines(config);
        key = [&](int t) { return tieLineSortKey(config, t, plan.code == 1 ? 1 : 3); };
        row = [&](int t) { return tieLineListRow(config, t); };
        section.table.columns = parseColumnFormat(text(tieListFormat));
        section.emptyMessage = QStringLiteral("There are no tie lines defined");
        break;
    case SectionKind::ExtensionDetails: {
        const bool allOptions = plan.code < 4;
        records = listedExtensions(config);
        key = [&](int i) { return extensionSortKey(config, i, plan.code % 4); };
        row = [&, allOptions](int i) { return extensionDetailsRow(config, i, allOptions); };
        section.table.columns = parseColumnFormat(text(extDetailsFormat));
        section.table.header =
            text(allOptions ? extDetailsHeader : extDetailsCustomHeader).split(QLatin1Char('|'));
        section.emptyMessage = QStringLiteral("There are no extensions defined");
        break;
    }
    case SectionKind::TieLineDetails:
        records = listedTieLines(config);
        key = [&](int t) { return tieLineSortKey(config, t, plan.code); };
        row = [&](int t) { return tieLineDetailsRow(config, t); };
        section.table.columns = parseColumnFormat(text(tieDetailsFormat));
        section.table.header = text(tieDetailsHeader).split(QLatin1Char('|'));
        section.emptyMessage = QStringLiteral("There are no tie lines defined");
        break;
    case SectionKind::Groups:
        records = listedGroups(config);
        key = [&](int g) {
            const GroupRecord &group = config.Groups[g];
            switch (plan.code) {
            case 1:
                return group.Name;
            case 2:
                return numberKey(group.Type) + QLatin1Char('.') + group.Name;
            default:
                return numberKey(group.DirNum);
            }
        };
        row = [&](int g) { return groupRow(config, g); };
        section.table.columns = parseColumnFormat(text(groupsFormat));
        section.table.header = text(groupsHeader).split(QLatin1Char('|'));
        section.emptyMessage = QStringLiteral("There are no groups defined");
        break;
    case SectionKind::Connections:
        return section;
    }

    if (records.isEmpty())
        return section;
    section.emptyMessage.clear();
    QList<QPair<QString, int>> keyed;
    for (int index : records)
        keyed.append({key(index), index});
    for (int index : sortedIndexes(keyed))
        section.table.rows.append(row(index));
    return section;
}
