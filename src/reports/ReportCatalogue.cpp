#include "ReportCatalogue.h"

#include "Equipment.h"

using namespace tdl;

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

QList<Gated> catalogue(int number)
{
    switch (number) {
    case 0:
        return extensionLists + tieLineLists + extensionDetails + tieLineDetails + groupDetails +
               connections;
    case 100:
        return extensionLists;
    case 101:
        return {extensionLists[0]};
    case 102:
        return {extensionLists[1]};
    case 200:
        return tieLineLists;
    case 201:
        return {tieLineLists[0]};
    case 202:
        return {tieLineLists[1]};
    case 300:
        return extensionDetails + tieLineDetails + groupDetails;
    case 320:
        return extensionDetails;
    case 321:
        return {extensionDetails[0]};
    case 322:
        return {extensionDetails[1]};
    case 323:
        return {extensionDetails[2]};
    case 330:
        return tieLineDetails;
    case 331:
        return {tieLineDetails[0]};
    case 332:
        return {tieLineDetails[1]};
    case 333:
        return {tieLineDetails[2]};
    case 334:
        return {tieLineDetails[3]};
    case 340:
        return groupDetails;
    case 341:
        return {groupDetails[0]};
    case 342:
        return {groupDetails[1]};
    case 343:
        return {groupDetails[2]};
    case 400:
        return connections;
    case 401:
        return {connections[0]};
    case 402:
        return {connections[1]};
    case 403:
        return {connections[2]};
    default:
        return {};
    }
}

// Only the heading reports 0, 100, 200 and 300 follow the View options;
// a leaf report prints its one section whatever is ticked.
bool isGated(int number)
{
    return number % 100 == 0 && number <= 300;
}

} // namespace

QList<int> reportNumbers()
{
    return {0,   100, 101, 102, 200, 201, 202, 300, 320, 321, 322, 323, 330,
            331, 332, 333, 334, 340, 341, 342, 343, 400, 401, 402, 403};
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
