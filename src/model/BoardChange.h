#pragma once
// Changing the board a line slot holds, the extension-number search that
// goes with it, and the comparison of the configuration's slots with the
// boards the exchange reports.
#include "Configuration.h"

#include <QList>
#include <QString>

// The first number in low..high that nothing live answers to (numberInUse).
// When that range is full, the first free number 100..499; 0 when every one
// is taken.
int findFreeExtensionNumber(const Configuration &config, int low, int high);

struct BoardChangeResult {
    bool changed = false;  // false: not a line slot, not a line board, or already that board
    QList<int> unnumbered; // extension indexes left at number 0 (no number was free)
};

// Puts a Subscriber board, a Tie Line board or nothing into line slot
// 2..16. The slot's records of the new board's kind become Active; the
// records of the other kind are switched off, so nothing is sent to the
// exchange for ports that are not there. Names stay, and so do numbers,
// except that a new extension port whose number is 0, outside 100..499 or
// already in use (by a live extension, an active group or a live tie line,
// or by an earlier port of the same board) gets a free number from its own
// place on the board upwards: a new board never brings a clash.
BoardChangeResult changeSlotBoard(Configuration &config, int slot, int board);

// A line slot whose board in the configuration differs from the exchange's.
struct SlotDifference {
    int slot = 0;
    int configured = 0;
    int installed = 0;
    bool operator==(const SlotDifference &) const = default;
};

// The line slots 2..16 that differ; the tone board, the processor and the
// ringing module are the cabinet's own and are not compared.
QList<SlotDifference> cabinetDifferences(const Configuration &config,
                                         const InstalledBoardList &installed);

// "Slot 5: configuration Tie Line, exchange Subscriber".
QString slotDifferenceText(const SlotDifference &difference);
