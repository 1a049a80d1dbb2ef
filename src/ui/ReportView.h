#pragma once
// The report preview of the main window (vspReport): shows one report and
// prints it or saves it as PDF.
#include "ReportOptions.h"

#include <QWidget>

class ConfigDocument;

class ReportView : public QWidget {
    Q_OBJECT
public:
    explicit ReportView(ConfigDocument &doc, QWidget *parent = nullptr);
    // Builds report `number` (0, 100..403) with the options as they stand now.
    void showReport(int number, const ReportOptions &options);
    // -1 while no report is shown.
    int currentReport() const;
    // Through the print dialog; false when cancelled or failed.
    bool printReport();
    bool saveReportPdf(const QString &fileName, QString *error);

private:
    struct Private;
    Private *d;
};
