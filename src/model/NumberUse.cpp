#include "NumberUse.h"

#include "Equipment.h"

using namespace tidelex;

bool numberInUse(const Configuration &config, int number)
{
    if (findLiveExtension(config, number) >= 0 || findActiveGroup(config, number) >= 0)
        return true;
    for (int t = 0; t < MaxTieLines; ++t) {
        if (isLiveTieLine(config, t) && config.TieLines[t].DirNum == number)
            return true;
    }
    return false;
}

bool numbersClash(const Configuration &config, int i, int j)
{
    if (i == j || !isLiveExtension(config, i) || !isLiveExtension(config, j))
        return false;
    const int number = config.Extensions[i].ExtNum;
    return isExtensionNumber(number) && config.Extensions[j].ExtNum == number;
}

NumberFinding extensionNumberFinding(const Configuration &config, int i)
{
    if (!isLiveExtension(config, i))
        return NumberFinding::None;
    if (!isExtensionNumber(config.Extensions[i].ExtNum))
        return NumberFinding::Invalid;
    for (int j = 0; j < MaxExtensions; ++j) {
        if (numbersClash(config, i, j))
            return NumberFinding::InUse;
    }
    return NumberFinding::None;
}

HotLineFinding hotLineFinding(const Configuration &config, int i)
{
    if (!isLiveExtension(config, i) || config.Extensions[i].Class != ClassHotLine)
        return HotLineFinding::None;
    const ExtRecord &ext = config.Extensions[i];
    if (ext.DirectDial == 0)
        return HotLineFinding::NoTarget;
    if (ext.DirectDial == ext.ExtNum)
        return HotLineFinding::OwnNumber;
    if (findLiveExtension(config, ext.DirectDial) < 0)
        return HotLineFinding::NotFound;
    return HotLineFinding::None;
}

bool groupTakesMembers(const Configuration &config, int dirNum)
{
    for (int g = 0; g < MaxGroups; ++g) {
        const GroupRecord &group = config.Groups[g];
        if (group.Active && group.DirNum == dirNum &&
            (group.Type == GroupHunt || group.Type == GroupMultipleCallForward))
            return true;
    }
    return false;
}

bool extensionGroupBad(const Configuration &config, int i)
{
    const int group = config.Extensions[i].Group;
    return isLiveExtension(config, i) && group > 0 && !groupTakesMembers(config, group);
}
