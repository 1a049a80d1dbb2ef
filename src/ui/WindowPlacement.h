#pragma once
// Where the program's windows open. One rule for all of them: a window is
// placed where it is wanted (beside the button that opened it, centred, or
// where it was left), then pulled in whole onto the screen that holds the
// window it belongs to, shrunk to that screen first when it is larger. The
// main window also opens at a comfortable size on the first start; settings
// written on a larger screen, another monitor or another scale factor would
// otherwise leave most of it out of reach.
#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// The size the window opens at the first time, when the screen allows it:
// room for the tree, the system pane and a useful error list.
constexpr QSize FirstStartSize(1100, 760);

// `wanted` moved, and first shrunk when larger than `screen`, so that it lies
// wholly on `screen`. It moves as little as it can; when it does not fit,
// the top-left corner (title bar and menus) stays on the screen.
QRect keptOnScreen(const QRect &wanted, const QRect &screen);

// `saved`: the stored placement in pixels, or an invalid rectangle on the
// first start. `screens`: the available area of every screen, the primary
// first. `minimum`: the window's own minimum size.
QRect placeMainWindow(const QRect &saved, const QList<QRect> &screens, const QSize &minimum);

// Places the window `window` (not yet shown) with its inside at `wanted`, in
// global coordinates, kept whole, frame and all, on the screen of `owner`'s
// window. An invalid `wanted` centres it over `owner`'s window at its own size.
void placeWindow(QWidget *window, const QRect &wanted, const QWidget *owner);
// `window` beside `anchor` (a button, a picture), to its right and level
// with its top, at the window's own size; kept whole on the screen.
void placeBeside(QWidget *window, const QWidget *anchor, int gap = 0);
