#include "TypeNames.h"

using namespace tidelex;

const std::array<GroupTypeNames, 3> groupTypes = {{
    {GroupPickup, "Pickup", "PickUp", "Pick up", "Pickup", "GrpPickUp"},
    {GroupHunt, "Hunt", "Hunt", "Hunt", "Hunt", "GrpHunt"},
    {GroupMultipleCallForward, "Multiple Call Forward", "MCF", "Multi-Call Forward",
     "Multi-call Forward", "GrpMCF"},
}};

const GroupTypeNames *findGroupType(int type)
{
    for (const GroupTypeNames &entry : groupTypes) {
        if (entry.type == type)
            return &entry;
    }
    return nullptr;
}

QString groupTypeIcon(int type)
{
    const GroupTypeNames *entry = findGroupType(type);
    return QString::fromLatin1(entry ? entry->icon : "GrpMCF");
}

const std::array<TieClassNames, 4> builtInTieClasses = {{
    {TieClassShore, "Shore", 64, "Shore Line"},
    {TieClassSatComm, "Sat Comm", 80, "Sat Comm"},
    {TieClassPA, "PA", 32, "Public Addr"},
    {TieClassPager, "Pager", 48, "Pager"},
}};

QString className(const std::array<ClassRecord, ClassTableSize> &table, int index)
{
    return index >= 0 && index < MaxClasses ? table[size_t(index)].Name : QString();
}
