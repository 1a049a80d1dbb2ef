#pragma once
// Display names shared by the panes, lists, reports and exports.
#include "Configuration.h"

#include <QString>

// Name shown for a number: an extension (100..499, any slot) or a group
// (500..599); "Unknown Extension", "Unknown Group", "Invalid Extension",
// or empty for 0.
QString getNameFromExt(const Configuration &config, int number);

// The extensions whose Group is group g's DirNum: "101 ( Bridge) 102 ( Mess) "
// for one match, only the numbers ("101 102 ") for several, empty for none.
QString groupUsersText(const Configuration &config, int g);
