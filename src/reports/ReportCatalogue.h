#pragma once
// The catalogue of report numbers: which sections each report prints, in
// which order, gated by the View menu's report options.
#include "Configuration.h"
#include "ReportContent.h"
#include "ReportOptions.h"

#include <QList>

// A report as the navigation tree offers it: node "P" + number under the
// node of `parent` (0: the Reports node, which is report 0 itself, -1).
struct ReportTitle {
    int number;
    int parent;
    const char *caption; // "by Ext No"
};

// Every report in tree order, report 0 first.
QList<ReportTitle> reportTitles();

// Numbers the navigation tree hands to the report engine.
bool isReportNumber(int number);
QList<int> reportNumbers();

// The title printed above a section ("Extensions Details by Name").
QString sectionTitle(const SectionPlan &plan);

// The sections report `number` prints, in order. The combined reports 0
// and 300 leave out a section whose table has nothing to list.
QList<SectionPlan> reportSections(const Configuration &config, int number,
                                  const ReportOptions &options);

// Whether the table behind a section has anything to list.
bool sectionHasRecords(const Configuration &config, SectionKind kind);
