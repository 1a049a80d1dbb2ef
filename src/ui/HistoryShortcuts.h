#pragma once
// Undo and redo keys that work wherever the cursor is in a window. A text
// field claims Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y for its own typing, so the
// Edit menu's shortcuts would never fire while one has the focus; here they
// go to the menu's actions instead, as long as those are enabled (with
// nothing to undo, the field still takes back its own typing).
#include <QList>

class QAction;
class QWidget;

void keepHistoryShortcuts(QWidget *window, const QList<QAction *> &actions);
