#pragma once
// The pop-up menus of a slot, shared by the slot picture of the main window
// and the Slots Display: the processor, tone, line-board, ringing-module and
// empty menus. Only the line-board items act; the others only show what
// the slot holds.
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The menu for `slot` holding `board`, the board's item ticked. A line slot
// offers "Subscriber Board", "Tie Line Board" and, when `offerEmpty`,
// "Empty"; without `offerEmpty` an empty line slot shows only "Empty".
QMenu *createSlotMenu(int slot, int board, bool offerEmpty, QWidget *parent);

// The board a chosen item puts into the slot, or -1 for an item that only shows.
int boardOfSlotMenuItem(const QAction *item);

// Pops the slot's menu up at `at` (without waiting) and calls `chosen` with
// the board of an item that acts; the menu goes away when closed.
void popUpSlotMenu(int slot, int board, bool offerEmpty, QWidget *parent, const QPoint &at,
                   const std::function<void(int board)> &chosen);

// "Are you sure you want to change board type?"; true on Yes.
bool confirmBoardChange(QWidget *parent);
