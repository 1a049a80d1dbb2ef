#pragma once
// Equipment numbering: which slot and port a table index lives on, the
// position texts, live records and the tree keys that name records.
#include "Configuration.h"

#include <QString>

// Slot and port (1-based) of extension index i and tie-line index t.
constexpr int extensionSlot(int i) { return i / tidelex::ExtsPerBoard + tidelex::FirstLineSlot; }
constexpr int extensionPort(int i) { return i % tidelex::ExtsPerBoard + 1; }
constexpr int tieLineSlot(int t) { return t / tidelex::TiesPerBoard + tidelex::FirstLineSlot; }
constexpr int tieLinePort(int t) { return t % tidelex::TiesPerBoard + 1; }

// "01.1" for extension 0, "15.8" for extension 119.
QString extensionPosition(int i);
// "01.1" for tie line 0, "15.4" for tie line 59.
QString tieLinePosition(int t);
// Two-digit board number of a line slot (slot 2 is board "01").
QString boardNumberText(int board);
// A slot as the cabinet counts it, with the board number its ports carry
// for a line slot: "Slot 5 (Board 04)"; "Slot 1" for the processor's slot.
QString slotTitle(int slot);

// Whether the record's slot holds a board of its kind (whatever Active says).
bool extensionOnBoard(const Configuration &config, int i);
bool tieLineOnBoard(const Configuration &config, int t);

// Live: Active and on a board of its kind. Only live records reach the
// exchange, the checker and the lists.
bool isLiveExtension(const Configuration &config, int i);
bool isLiveTieLine(const Configuration &config, int t);

// Extension look-ups by directory number. Each returns the lowest index
// that matches, or -1. None tests the number against the numbering plan:
// a caller that wants only valid numbers asks isExtensionNumber first.
//
// Any record 0..records-1, Active or not, whatever board its slot holds:
// the numbers the table holds (names of numbers, the image decoder). The
// DOS import also searches the spare record 120.
int findExtensionRecord(const Configuration &config, int number, int records = tidelex::MaxExtensions);
// Records 0..119 whose Active flag is set, whatever board their slot holds:
// the extensions an upload encodes.
int findActiveExtension(const Configuration &config, int number);
// Live records 0..119 (Active and on a Subscriber board): what the checker,
// the panes and the grid accept as a working extension.
int findLiveExtension(const Configuration &config, int number);

// Index of the first active group among 0..15 with that directory number, or -1.
int findActiveGroup(const Configuration &config, int dirNum);

// Board type names as files and screens show them ("Empty", "Subscriber", ...).
QString boardTypeName(int code);
// Code of the board whose name equals `name` exactly, or -1.
int boardTypeFromName(const QString &name);

// Tree keys: "E007", "T012", "G003"; "RRR" system; "XXX" no single record.
QString extensionKey(int i);
QString tieLineKey(int t);
QString groupKey(int g);
inline const QString systemKey() { return QStringLiteral("RRR"); }
inline const QString noRecordKey() { return QStringLiteral("XXX"); }

// A record as the technician calls it: "Extension 01.3", "Tie line 16.2",
// "Group 01" (groups count from 01, as their default names do), "System"
// for "RRR"; empty for any other key.
QString recordTitle(const QString &key);
