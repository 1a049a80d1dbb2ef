#include "ReportPrinting.h"

#include "ConnectionsSheet.h"
#include "ReportCatalogue.h"
#include "ReportSections.h"

#include <QSizeF>

QString reportProgramTitle(const QString &version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    return QStringLiteral("helmWISE for Windows V") + parts.value(0, QStringLiteral("0")) +
           QLatin1Char('.') + parts.value(1, QStringLiteral("0"));
}

QString reportDateText(const QDateTime &when, const QLocale &locale)
{
    // The long time format may name the time zone; the report does not.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

ReportContent composeReport(const Configuration &config, int number, const ReportOptions &options,
                            const ReportContext &context)
{
    ReportContent report;
    report.number = number;
    report.headerLeft = reportProgramTitle(context.version);
    report.headerCentre = config.SysConfig.Name;
    report.footer = reportDateText(context.created, context.locale);

    // Tables wider than the body of an upright page turn the paper.
    const double uprightBodyCm =
        context.pageSize.size(QPageSize::Millimeter).width() / 10.0 -
        (ReportDocument::pageEdgesMm().left() + ReportDocument::pageEdgesMm().right()) / 10.0;
    for (const SectionPlan &plan : reportSections(config, number, options)) {
        ReportSection section = plan.kind == SectionKind::Connections
                                    ? buildConnectionsSection(config, plan.code)
                                    : buildListSection(config, plan);
        if (section.emptyMessage.isEmpty() &&
            totalWidthCm(section.table.columns) > uprightBodyCm + 0.01)
            report.orientation = QPageLayout::Landscape;
        report.sections.append(section);
    }
    return report;
}

std::unique_ptr<ReportDocument> buildReport(const Configuration &config, int number,
                                            const ReportOptions &options,
                                            const ReportContext &context)
{
    return std::make_unique<ReportDocument>(composeReport(config, number, options, context),
                                            context.pageSize);
}
