#pragma once
// The report preview of the main window (vspReport): shows one report and
// prints it or saves it as PDF. Its toolbar (tbPreview) zooms, fits the page
// or its width, turns the pages and asks for printing or a PDF; Ctrl with
// the mouse wheel zooms too.
#include "ReportOptions.h"

#include <QPrintPreviewWidget>
#include <memory>

class ConfigDocument;
class ReportDocument;

class ReportView : public QPrintPreviewWidget
{
    Q_OBJECT
  public:
    explicit ReportView(ConfigDocument &doc, QWidget *parent = nullptr);
    ~ReportView() override;

    // Builds report `number` (0, 100..403) with the options as they stand now.
    void showReport(int number, const ReportOptions &options);
    // -1 while no report is shown.
    int currentReport() const;
    // Through the print dialog; false when cancelled or failed.
    bool printReport();
    // Refuses to write over the configuration file in use.
    bool saveReportPdf(const QString &fileName, QString *error);

    // Forgets the report (the configuration was replaced, another node chosen).
    void clearReport();
    // The report on show, laid out as the preview shows it; null when none.
    const ReportDocument *reportDocument() const;
    // The name the save dialog proposes: the configuration file's path with
    // ".pdf" in place of its extension, so the proposal never points at the
    // configuration itself; empty for a configuration never saved.
    static QString proposedPdfName(const QString &currentFile);

  signals:
    // The toolbar's Print and PDF buttons; the main window asks for the
    // printer or the file name as its menu commands do.
    void printRequested();
    void pdfRequested();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void paintReport(QPrinter *printer);
    void buildToolBar();
    void turnTo(int page);
    void showPageNumber();

    struct Private;
    std::unique_ptr<Private> d;
};
