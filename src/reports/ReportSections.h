#pragma once
// The section printers of the list and detail reports: each turns one
// table of the configuration into a titled table of rows in its sort order.
#include "Configuration.h"
#include "ReportContent.h"

// Builds the section `plan` (any kind but the connections sheet, which
// ConnectionsSheet.h builds). With nothing to list the section carries the
// empty-table message instead of rows.
ReportSection buildListSection(const Configuration &config, const SectionPlan &plan);

// The texts of the extension details' options column, one per entry.
QStringList extensionOptionTexts(const Configuration &config, int index);
