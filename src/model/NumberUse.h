#pragma once
// Which directory numbers are in use, and what is wrong with an
// extension's numbers: one rule for the checker, the extension pane, the
// details grid and the numbering of a new board. Only live records count
// (an extension or tie line Active on a board of its kind, an Active
// group): nothing else reaches the exchange, so nothing else can clash.
#include "Configuration.h"

// Whether a live extension, an active group or a live tie line answers to
// `number`. Extension numbers are kept apart from group and tie-line
// numbers by the numbering plan; a file may still hold odd ones.
bool numberInUse(const Configuration &config, int number);

// Extensions i and j (i != j) are both live and share a valid number.
bool numbersClash(const Configuration &config, int i, int j);

// What the checker reports about a live extension's number; None for a
// record that is not live.
enum class NumberFinding { None, Invalid, InUse };
NumberFinding extensionNumberFinding(const Configuration &config, int i);

// What the checker reports about the target of a live Hot Line extension;
// None for any other record.
enum class HotLineFinding { None, NoTarget, OwnNumber, NotFound };
HotLineFinding hotLineFinding(const Configuration &config, int i);

// An active Hunt or Multiple Call Forward group numbered dirNum: what an
// extension's group field may name (a Pickup group may not).
bool groupTakesMembers(const Configuration &config, int dirNum);
// A live extension naming a group that takes no members.
bool extensionGroupBad(const Configuration &config, int i);
