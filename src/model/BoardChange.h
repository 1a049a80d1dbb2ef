#pragma once
// Changing the board a line slot holds, the extension-number search that
// goes with it, and the comparison of the configuration's slots with the
// boards the exchange reports.
#include "Configuration.h"

#include <QList>
#include <QString>

// The first number in low..high that no extension 0..119 uses. When that
// range is full, the first free number 100..499; 0 when every one is taken.
int findFreeExtensionNumber(const Configuration &config, int low, int high);

struct BoardChangeResult {
    bool changed = false;  // false: not a line slot, not a line board, or already that board
    QList<int> unnumbered; // extension indexes left at number 0 (no number was free)
};

// Puts a Subscriber board, a Tie Line board or nothing into line slot
// 2..16. The slot's records of the new board's kind become Active (an
// extension numbered 0 gets a free number from its own range of the board
// first); the records of the other kind are switched off, so nothing is
// sent to the exchange for ports that are not there. Numbers and names stay.
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
