#include "ReportView.h"

#include "ConfigDocument.h"

// Placeholder until the report engine is built.
struct ReportView::Private {
    int number = -1;
};

ReportView::ReportView(ConfigDocument &, QWidget *parent) : QWidget(parent), d(new Private)
{
    setObjectName(QStringLiteral("vspReport"));
}
void ReportView::showReport(int number, const ReportOptions &) { d->number = number; }
int ReportView::currentReport() const { return d->number; }
bool ReportView::printReport() { return false; }
bool ReportView::saveReportPdf(const QString &, QString *error)
{
    if (error)
        *error = QStringLiteral("Reports are not available in this build");
    return false;
}
