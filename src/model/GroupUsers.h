#pragma once
// Which extensions use a group: those naming its directory number in their
// own Group field (the lead text of the group pane). This is not the
// group's member list.
#include "Configuration.h"

#include <QList>

// How an extension stands to the group with directory number dirNum.
enum class GroupUse {
    ThisGroup,    // its Group is dirNum
    NoGroup,      // its Group is 0
    AnotherGroup, // it uses some other group
};

GroupUse groupUse(const Configuration &config, int i, int dirNum);

// The live extensions (index order), as the members dialog lists them.
QList<int> liveExtensions(const Configuration &config);

struct GroupUseChoice {
    int index = 0;
    GroupUse use = GroupUse::NoGroup;
};

// Applies the choices for group dirNum: ThisGroup moves the extension into
// it (out of any other group); NoGroup takes it out when it used this
// group and leaves any other group alone; AnotherGroup changes nothing.
// True when an extension changed.
bool applyGroupUse(Configuration &config, int dirNum, const QList<GroupUseChoice> &choices);
