#include "GroupUsers.h"

#include "Equipment.h"

using namespace tidelex;

GroupUse groupUse(const Configuration &config, int i, int dirNum)
{
    const int group = config.Extensions[i].Group;
    if (group == dirNum)
        return GroupUse::ThisGroup;
    return group == 0 ? GroupUse::NoGroup : GroupUse::AnotherGroup;
}

QList<int> liveExtensions(const Configuration &config)
{
    QList<int> live;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (isLiveExtension(config, i))
            live.append(i);
    }
    return live;
}

bool applyGroupUse(Configuration &config, int dirNum, const QList<GroupUseChoice> &choices)
{
    bool changed = false;
    for (const GroupUseChoice &choice : choices) {
        if (choice.index < 0 || choice.index >= MaxExtensions)
            continue;
        int16_t &group = config.Extensions[choice.index].Group;
        int16_t next = group;
        if (choice.use == GroupUse::ThisGroup)
            next = int16_t(dirNum);
        else if (choice.use == GroupUse::NoGroup && group == dirNum)
            next = 0;
        changed |= next != group;
        group = next;
    }
    return changed;
}
