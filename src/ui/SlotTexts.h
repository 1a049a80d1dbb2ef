#pragma once
// What the slot pictures say: the tooltips of slots and port lamps, and the
// record a lamp stands for. Kept free of widgets so the texts can be
// checked on their own.
#include "Configuration.h"

#include <QString>

// Shown where the mouse is over no slot.
QString slotPictureText();
// A board type in the words of the slot tooltips ("Tone 8 channel", "Subscriber").
QString boardTypeWords(int boardType);
// The board of a slot as its tooltip names it, with the slot and, for a line
// slot, the board number its ports carry: "Subscriber\nSlot 5 (Board 04)".
QString slotBoardTip(int slot, int boardType);

// Lamp c (0..119) belongs to slot c / 8 + 2; on a Tie Line board only the
// first four lamps of a slot are used, lamp c standing for tie line
// (c / 8) * 4 + c % 8.
int lampSlot(int c);
int tieLineOfLamp(int c); // -1 for the four lamps a Tie Line board does not use

// The key of the record lamp c shows by its slot's board ("E024", "T012"),
// or empty.
QString lampKey(const Configuration &config, int c);

// "Bridge (100)\nOfficer, 01.1"; "Not in use" on a third line for an inactive port.
QString extensionTip(const Configuration &config, int i);
QString tieLineTip(const Configuration &config, int t);

// The tooltip of the main window's slot picture at slot and lamp (-1 for none).
QString slotPictureTip(const Configuration &config, int slot, int lamp);

// The tooltip of a slot of the Slots Display: the board the exchange
// reports and the slot, then the configuration's board where it differs.
QString installedSlotTip(const Configuration &config, const InstalledBoardList &installed,
                         int slot);
