#pragma once
// What the port list and the details grid show for each extension, tie line
// and group: columns, row texts and which records are listed. Kept free of
// widgets so the texts can be checked on their own.
#include "Configuration.h"

#include <QList>
#include <QString>
#include <QStringList>

enum class ListCategory { Extensions = 1, TieLines = 2, Groups = 3 };

struct ListColumn {
    QString key;
    QString caption;
};

// One record as the views show it.
struct PortRow {
    QString key;           // tree key of the record ("E007")
    QString iconKey;       // image key of the large and small icon
    QStringList listCells; // one per list column, the first is the item text
    QStringList gridCells; // one per grid column, index and key first
};

QList<ListColumn> listColumns(ListCategory category);
QStringList gridHeader(ListCategory category);

// Option words of an extension as the lists show them ("9 Recall MF ").
QString extensionOptionText(const Configuration &config, int i);
// Outgoing words of a tie line ("DTMF 9 61 ") and its options ("DDI ").
QString tieOutgoingText(const Configuration &config, int t);
QString tieOptionText(const Configuration &config, int t);
// "Name (101)" for an incoming extension or group number; empty for 0.
QString numberWithName(const Configuration &config, int number);

// The row of one record, as both views add it.
PortRow addExtItem(const Configuration &config, int i);
PortRow addTieItem(const Configuration &config, int t);
PortRow addGroupItem(const Configuration &config, int g);

// The rows of a category in table order: extensions on Subscriber boards
// (0..119), tie lines on Tie Line boards (0..63), active groups (0..15);
// inactive records are left out.
QList<PortRow> listRows(const Configuration &config, ListCategory category);
