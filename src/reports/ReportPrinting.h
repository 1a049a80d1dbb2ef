#pragma once
// The report engine: builds a report of the catalogue from the
// configuration and lays it out for the preview, the printer and PDF.
#include "Configuration.h"
#include "ReportContent.h"
#include "ReportDocument.h"
#include "ReportOptions.h"

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <memory>

struct ReportContext {
    QString version = QStringLiteral(HELMWISE_VERSION);
    QDateTime created = QDateTime::currentDateTime();
    QLocale locale;
    QPageSize pageSize = QPageSize(QPageSize::A4);
};

// "helmWISE for Windows V" and the major and minor version ("1.0" of "1.0.3").
QString reportProgramTitle(const QString &version);
// Short date and the time with seconds in the locale's format.
QString reportDateText(const QDateTime &when, const QLocale &locale);

// Sections and rows of report `number`, nothing laid out yet. An unknown
// number gives a report without sections.
ReportContent composeReport(const Configuration &config, int number, const ReportOptions &options,
                            const ReportContext &context = {});

// The report laid out on pages of the context's paper.
std::unique_ptr<ReportDocument> buildReport(const Configuration &config, int number,
                                            const ReportOptions &options,
                                            const ReportContext &context = {});
