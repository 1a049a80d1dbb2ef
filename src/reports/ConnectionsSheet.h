#pragma once
// The connections report: a wiring sheet of the cabinet, one row per slot
// with the board caption and, terminal by terminal, what is wired there.
#include "Configuration.h"
#include "ReportContent.h"

// Sort codes of the sheet: which label a port shows.
enum ConnectionLabel { LabelNumbers = 1, LabelNames = 2, LabelNumbersAndNames = 3 };

constexpr int SheetTerminalColumns = 8;

// Caption of a slot's board by its slot-list value.
QString boardCaption(int slotValue);

// The sheet section: columns board number, caption, eight terminals.
ReportSection buildConnectionsSection(const Configuration &config, int code);
