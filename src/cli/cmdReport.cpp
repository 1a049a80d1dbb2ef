#include "Commands.h"

#include "ConfigLoader.h"
#include "ReportCatalogue.h"
#include "ReportPrinting.h"

#include <QCommandLineParser>
#include <QGuiApplication>

namespace cli {

namespace {

// "1,4" -> options 1 and 4 ticked; false for anything but the numbers 1..5.
bool parseOptions(const QString &text, ReportOptions &options)
{
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 5)
            return false;
        options.set(n, true);
    }
    return true;
}

} // namespace

int runReport(const QStringList &args, Streams io)
{
    QCommandLineParser parser;
    const QCommandLineOption number(QStringLiteral("number"), QStringLiteral("Report number"),
                                    QStringLiteral("N"));
    const QCommandLineOption ticked(QStringLiteral("options"),
                                    QStringLiteral("Report options ticked, e.g. 1,2,5"),
                                    QStringLiteral("LIST"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("PDF file to write"),
                                 QStringLiteral("OUT.pdf"));
    const QCommandLineOption paper(QStringLiteral("paper"), QStringLiteral("A4 or Letter"),
                                   QStringLiteral("SIZE"), QStringLiteral("A4"));
    parser.addOptions({number, ticked, pdf, paper});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Configuration file"));
    if (const auto end = parseVerbLine(parser, args, 1, 1, io))
        return *end;
    const QStringList files = parser.positionalArguments();
    if (!parser.isSet(number) || !parser.isSet(pdf)) {
        io.err << usageLine(args.first()) << Qt::endl;
        return ExitBadInput;
    }
    bool numberOk = false;
    const int reportNumber = parser.value(number).toInt(&numberOk);
    if (!numberOk || !isReportNumber(reportNumber)) {
        QStringList known;
        for (int n : reportNumbers())
            known.append(QString::number(n));
        io.err << "Unknown report number " << parser.value(number) << "; reports are "
               << known.join(QStringLiteral(", ")) << Qt::endl;
        return ExitBadInput;
    }
    ReportOptions options;
    if (!parseOptions(parser.value(ticked), options)) {
        io.err << "Report options are numbers 1 to 5 separated by commas, not "
               << parser.value(ticked) << Qt::endl;
        return ExitBadInput;
    }
    ReportContext context;
    const QString paperName = parser.value(paper).toLower();
    if (paperName == QLatin1String("letter")) {
        context.pageSize = QPageSize(QPageSize::Letter);
    } else if (paperName != QLatin1String("a4")) {
        io.err << "Paper is A4 or Letter, not " << parser.value(paper) << Qt::endl;
        return ExitBadInput;
    }
    // Fonts and page layout need the GUI side of Qt (main starts it for
    // this verb, offscreen when there is no display).
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        io.err << "helmwise-cli report: no graphical application to lay out the report" << Qt::endl;
        return ExitBadInput;
    }

    Configuration config = makeDefaultConfiguration();
    const LoadOutcome loaded = loadConfigurationFile(files.first(), config);
    if (!loaded.ok) {
        io.err << loaded.message;
        if (!loaded.detail.isEmpty())
            io.err << ": " << loaded.detail;
        io.err << Qt::endl;
        return ExitBadInput;
    }

    const auto document = buildReport(config, reportNumber, options, context);
    QString error;
    if (!document->writePdf(parser.value(pdf), &error)) {
        io.err << error << Qt::endl;
        return ExitBadInput;
    }
    io.out << "Report " << reportNumber << ": " << document->pageCount() << " pages written to "
           << parser.value(pdf) << Qt::endl;
    return ExitOk;
}

} // namespace cli
