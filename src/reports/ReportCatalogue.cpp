#include "ReportCatalogue.h"

#include "Equipment.h"

using namespace tidelex;

namespace {

using K = SectionKind;

// A section with the option that gates it in the heading reports (0 = none).
struct Gated {
    SectionPlan plan;
    int option;
};

// Sort codes of the section printers.
constexpr int ExtByNumber = 0, ExtByName = 1, ExtByBoard = 2;
constexpr int TieListByType = 0, TieListByName = 1;
constexpr int TieByDirNo = 0, TieByName = 1, TieByBoard = 2, TieByType = 3;
constexpr int GroupsByNumber = 0, GroupsByName = 1, GroupsByType = 2;
constexpr int ConnNumbers = 1, ConnNames = 2, ConnBoth = 3;

const QList<Gated> extensionLists = {
    {{K::ExtensionList, ExtByName}, 1},
    {{K::ExtensionList, ExtByNumber}, 2},
};
const QList<Gated> tieLineLists = {
    {{K::TieLineList, TieListByName}, 1},
    {{K::TieLineList, TieListByType}, 3},
};
const QList<Gated> extensionDetails = {
    {{K::ExtensionDetails, ExtByName}, 1},
    {{K::ExtensionDetails, ExtByNumber}, 2},
    {{K::ExtensionDetails, ExtByBoard}, 4},
};
const QList<Gated> tieLineDetails = {
    {{K::TieLineDetails, TieByName}, 1},
    {{K::TieLineDetails, TieByDirNo}, 2},
    {{K::TieLineDetails, TieByType}, 3},
    {{K::TieLineDetails, TieByBoard}, 4},
};
const QList<Gated> groupDetails = {
    {{K::Groups, GroupsByName}, 1},
    {{K::Groups, GroupsByType}, 3},
    {{K::Groups, GroupsByNumber}, 2},
};
const QList<Gated> connections = {
    {{K::Connections, ConnBoth}, 0},
    {{K::Connections, ConnNumbers}, 0},
    {{K::Connections, ConnNames}, 0},
};

// Titles printed above the sections; code -1 stands for every other code.
struct SectionTitle {
    SectionKind kind;
    int code;
    const char *title;
};

const SectionTitle sectionTitles[] = {
    {K::ExtensionList, ExtByName, "Extensions by Name"},
    {K::ExtensionList, -1, "Extensions by Number"},
    {K::TieLineList, TieListByName, "Tie Lines by Name"},
    {K::TieLineList, -1, "Tie Lines by Type"},
    {K::ExtensionDetails, ExtByName, "Extensions Details by Name"},
    {K::ExtensionDetails, ExtByBoard, "Extensions Details by Board"},
    {K::ExtensionDetails, -1, "Extension Details by Number"},
    {K::TieLineDetails, TieByName, "Tieline Details by Name"},
    {K::TieLineDetails, TieByBoard, "Tieline Details by Board"},
    {K::TieLineDetails, TieByType, "Tieline Details by Type"},
    {K::TieLineDetails, -1, "Tieline Details by Dir No"},
    {K::Groups, GroupsByName, "Groups by Name"},
    {K::Groups, GroupsByType, "Groups Details by Type"},
    {K::Groups, -1, "Groups by Directory Number"},
    {K::Connections, ConnNumbers, "Connections showing Ext No only"},
    {K::Connections, ConnNames, "Connections showing Name only"},
    {K::Connections, -1, "Connections"},
};

// Every report: the node it hangs under in the navigation tree (0 for the
// Reports node), its caption there and the sections it prints.
struct Report {
    ReportTitle title;
    QList<Gated> sections;
};

const QList<Report> &reports()
{
    static const QList<Report> table = {
        {{0, -1, "Reports"},
         extensionLists + tieLineLists + extensionDetails + tieLineDetails + groupDetails +
             connections},
        {{100, 0, "Extensions"}, extensionLists},
        {{101, 100, "by Name"}, {extensionLists[0]}},
        {{102, 100, "by Ext No"}, {extensionLists[1]}},
        {{200, 0, "Tie Lines"}, tieLineLists},
        {{201, 200, "by Name"}, {tieLineLists[0]}},
        {{202, 200, "by Type"}, {tieLineLists[1]}},
        {{300, 0, "Detailed"}, extensionDetails + tieLineDetails + groupDetails},
        {{320, 300, "Extensions"}, extensionDetails},
        {{321, 320, "by Name"}, {extensionDetails[0]}},
        {{322, 320, "by Ext No"}, {extensionDetails[1]}},
        {{323, 320, "by Board"}, {extensionDetails[2]}},
        {{330, 300, "Tie Lines"}, tieLineDetails},
        {{331, 330, "by Name"}, {tieLineDetails[0]}},
        {{332, 330, "by Dir No"}, {tieLineDetails[1]}},
        {{333, 330, "by Type"}, {tieLineDetails[2]}},
        {{334, 330, "by Board"}, {tieLineDetails[3]}},
        {{340, 300, "Groups"}, groupDetails},
        {{341, 340, "by Name"}, {groupDetails[0]}},
        {{342, 340, "by Type"}, {groupDetails[1]}},
        {{343, 340, "by Group No"}, {groupDetails[2]}},
        {{400, 0, "Connections"}, connections},
        {{401, 400, "Ext No & Names"}, {connections[0]}},
        {{402, 400, "Ext Numbers Only"}, {connections[1]}},
        {{403, 400, "Names Only"}, {connections[2]}},
    };
    return table;
}

QList<Gated> catalogue(int number)
{
    for (const Report &report : reports()) {
        if (report.title.number == number)
            return report.sections;
    }
    return {};
}

// Only the heading reports 0, 100, 200 and 300 follow the View options;
// a leaf report prints its one section whatever is ticked.
bool isGated(int number)
{
    return number % 100 == 0 && number <= 300;
}

} // namespace

QString sectionTitle(const SectionPlan &plan)
{
    // Extension details with restricted options (codes 4..6) keep the titles
    // of their sort order.
    const int code = plan.kind == K::ExtensionDetails ? plan.code % 4 : plan.code;
    for (const SectionTitle &entry : sectionTitles) {
        if (entry.kind == plan.kind && (entry.code == code || entry.code == -1))
            return QString::fromLatin1(entry.title);
    }
    return QString();
}

QList<ReportTitle> reportTitles()
{
    QList<ReportTitle> titles;
    for (const Report &report : reports())
        titles.append(report.title);
    return titles;
}

QList<int> reportNumbers()
{
    QList<int> numbers;
    for (const Report &report : reports())
        numbers.append(report.title.number);
    return numbers;
}

bool isReportNumber(int number)
{
    return reportNumbers().contains(number);
}

bool sectionHasRecords(const Configuration &config, SectionKind kind)
{
    switch (kind) {
    case K::ExtensionList:
    case K::ExtensionDetails:
        for (int i = 0; i < MaxExtensions; ++i) {
            if (isLiveExtension(config, i))
                return true;
        }
        return false;
    case K::TieLineList:
    case K::TieLineDetails:
        for (int t = 0; t < MaxTieLines; ++t) {
            if (isLiveTieLine(config, t))
                return true;
        }
        return false;
    case K::Groups:
        for (int g = 0; g < MaxGroups; ++g) {
            if (config.Groups[g].Active)
                return true;
        }
        return false;
    case K::Connections:
        return true;
    }
    return false;
}

QList<SectionPlan> reportSections(const Configuration &config, int number,
                                  const ReportOptions &options)
{
    const bool gated = isGated(number);
    const bool needsRecords = number == 0 || number == 300;
    QList<SectionPlan> sections;
    for (Gated entry : catalogue(number)) {
        if (gated && entry.option != 0 && !options[entry.option])
            continue;
        if (needsRecords && !sectionHasRecords(config, entry.plan.kind))
            continue;
        // Extension details show every option only when option 5 is ticked;
        // otherwise the codes 4..6 restrict the options column.
        if (entry.plan.kind == K::ExtensionDetails && !options[5])
            entry.plan.code += 4;
        sections.append(entry.plan);
    }
    return sections;
}
