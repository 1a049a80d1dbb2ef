#pragma once
// How group types and tie-line classes are named, in one table each, for
// the lists, grids, panes, reports and exports alike.
#include "Configuration.h"

#include <QString>
#include <array>

// A group type as each view words it.
struct GroupTypeNames {
    int16_t type;
    const char *name;     // reports and exports: "Pickup"
    const char *listName; // port list column: "PickUp"
    const char *paneName; // group pane drop-down and comparisons: "Pick up"
    const char *gridName; // details grid drop-down: "Pickup"
    const char *icon;     // image key: "GrpPickUp"
};

// Pickup, Hunt, Multiple Call Forward: the order the drop-downs offer them.
extern const std::array<GroupTypeNames, 3> groupTypes;

// The entry of a type; nullptr for a value that is no group type, which
// each view words its own way ("Unknown", "N/A", nothing).
const GroupTypeNames *findGroupType(int type);
// Image key of a group of that type; an unknown type looks like MCF.
QString groupTypeIcon(int type);

// A built-in tie-line class: its name in the class table, the class bits
// it gives its lines, and the wording of the tie-line pane's drop-down.
struct TieClassNames {
    int index;
    const char *name;     // "Shore", "Sat Comm", "PA", "Pager"
    uint8_t status0;      // TieClassBits and incoming DTMF of Status byte 0
    const char *paneName; // "Shore Line", "Sat Comm", "Public Addr", "Pager"
};
extern const std::array<TieClassNames, 4> builtInTieClasses;

// Whether the lists and the grid show a line's incoming side: only for
// Shore and Sat Comm lines.
constexpr bool tieClassHasIncomingSide(int cls)
{
    return cls == tidelex::TieClassShore || cls == tidelex::TieClassSatComm;
}

// Name of class `index` of an extension or tie-line class table; empty for
// an index outside the classes 0..31 in use.
QString className(const std::array<ClassRecord, tidelex::ClassTableSize> &table, int index);
