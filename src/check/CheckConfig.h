#pragma once
// The configuration checker: errors block sending a configuration to the
// exchange, warnings do not. A pure function of the configuration; the
// editor paints the findings and highlights the nodes.
#include "Configuration.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Finding {
    int number = 0;       // running number, errors and warnings together, from 1
    bool isError = true;  // false: a warning
    QString where;        // record name or "Dial 6"n, "Guaranteed Access", "System"
    QString problem;
    QString reference;    // tree key: "E007", "T012", "G003", "RRR" or "XXX"

    QString type() const;
    // Number, Type, Where, Problem and Reference joined by TABs, as the
    // error list holds the row.
    QString row() const;
    bool operator==(const Finding &) const = default;
};

struct CheckResult {
    QList<Finding> findings;
    bool errorsFound = false;
    // Keys of the tree nodes to paint light red, each once, in the order
    // first highlighted. Every other node keeps the window background.
    QStringList highlighted;

    int errorCount() const;
    int warningCount() const;
};

CheckResult checkConfig(const Configuration &config);

// The error list's header row: "Error #", "Type", "Where", "Problem", "Reference".
QStringList errorListHeader();

// Window title after a check: "helmWISE - " + file + "*" (or
// "helmWISE - New Configuration*") while the configuration has unsaved
// changes; otherwise the title stays as it is.
QString titleAfterCheck(bool configChanged, const QString &currentFile, const QString &title);

// The refusal shown when a configuration with errors is to be sent.
QString sendRefusalTitle();
QString sendRefusalText();
