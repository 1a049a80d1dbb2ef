#pragma once
// Where the main window opens: a comfortable size, centred, on the first
// start; the stored placement afterwards, but always whole on a screen
// (settings written on a larger screen, another monitor or another scale
// factor would otherwise leave most of the window out of reach).
#include <QList>
#include <QRect>
#include <QSize>

// The size the window opens at the first time, when the screen allows it:
// room for the tree, the system pane and a useful error list.
constexpr QSize FirstStartSize(1100, 760);

// `saved`: the stored placement in pixels, or an invalid rectangle on the
// first start. `screens`: the available area of every screen, the primary
// first. `minimum`: the window's own minimum size.
QRect placeMainWindow(const QRect &saved, const QList<QRect> &screens, const QSize &minimum);
