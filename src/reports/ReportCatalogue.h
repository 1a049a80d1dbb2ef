#pragma once
// The catalogue of report numbers: which sections each report prints, in
// which order, gated by the View menu's report options.
#include "Configuration.h"
#include "ReportContent.h"
#include "ReportOptions.h"

#include <QList>

// Numbers the navigation tree hands to the report engine.
bool isReportNumber(int number);
QList<int> reportNumbers();

// The sections report `number` prints, in order. The combined reports 0
// and 300 leave out a section whose table has nothing to list.
QList<SectionPlan> reportSections(const Configuration &config, int number,
                                  const ReportOptions &options);

// Whether the table behind a section has anything to list.
bool sectionHasRecords(const Configuration &config, SectionKind kind);
