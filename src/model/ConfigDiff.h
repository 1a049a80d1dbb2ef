#pragma once
// The differences between two configurations in the technician's terms:
// record by record ("Extension 01.3", "Tie line 16.2", "Group 01", the
// system, "Class Officer"), field by field in the words of the panes, with
// the value each configuration holds as the panes and lists show it (class
// names, "Y"/"N", "Galley (102)" for a number that names an extension).
// Kept free of widgets, so the comparison window, the command line and the
// send window word the differences alike.
#include "Configuration.h"

#include <QList>
#include <QString>

// The kinds of record, in the order the differences come.
enum class RecordKind { System, Extension, TieLine, Group, ExtensionClass, TieLineClass };

struct Difference {
    QString key;    // the record's tree key ("E017", "T005", "G003", "RRR"); "XXX" for a class
    QString record; // "Extension 03.2", "Group 01", "Class Officer", "System"
    QString field;  // "Name", "Class", "Dial 61", "In use", "Slot 5 (Board 04)"
    QString first;  // the value in the first configuration, as the panes and lists show it
    QString second; // the value in the second
    RecordKind kind = RecordKind::System;

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

// How many records of each kind differ, kinds in table order, only kinds
// with differences.
struct KindCount {
    RecordKind kind;
    int records;
    bool operator==(const KindCount &) const = default;
};
QList<KindCount> recordsPerKind(const QList<Difference> &differences);

// A kind as a heading names it: "Extensions", "Tie lines", "Groups",
// "System", "Extension classes", "Tie line classes".
QString recordKindName(RecordKind kind);

// The records that differ, counted by kind: "2 extensions, 1 tie line and
// the system"; empty when nothing differs.
QString differenceSummary(const QList<Difference> &differences);
