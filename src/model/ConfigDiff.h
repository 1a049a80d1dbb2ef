#pragma once
// The differences between two configurations in the technician's terms:
// record by record ("Extension 01.3", "Tie line 16.2", "Group 3", the
// system and the classes), field by field in the words of the panes, with
// the value each configuration holds.
#include "Configuration.h"

#include <QList>
#include <QString>

struct Difference {
    QString key;    // the record's tree key ("E017", "T005", "G003", "RRR"); "XXX" for a class
    QString record; // "Extension 03.2"
    QString field;  // "Name", "Class", "Dial 61", "In use"
    QString first;  // the value in the first configuration
    QString second; // the value in the second

    bool operator==(const Difference &) const = default;
};

struct DiffOptions {
    bool ignoreNames = false; // the exchange stores no names: leave every name out
};

// Every difference, records in table order: system, extensions, tie lines,
// groups, extension classes, tie-line classes. Only records in use in either
// configuration count (live extensions and tie lines, enabled groups and
// classes); a record in use in one only is one "In use" (or "Enabled")
// difference. The time of the last save is never a difference. When both
// sides take an extension's or tie line's options from different classes,
// the class is reported and not each option it brings.
QList<Difference> compareConfigurations(const Configuration &first, const Configuration &second,
                                        const DiffOptions &options = {});
