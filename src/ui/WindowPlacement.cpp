#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace
{

// The screen showing the largest part of `rect`; the primary when none does.
QRect screenFor(const QRect &rect, const QList<QRect> &screens)
{
    QRect best = screens.first();
    qint64 bestArea = 0;
    for (const QRect &screen : screens) {
        const QRect shared = screen.intersected(rect);
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

// `size` made to fit `screen`, but never below the window's minimum.
QSize fitted(const QSize &size, const QRect &screen, const QSize &minimum)
{
    return size.boundedTo(screen.size()).expandedTo(minimum);
}

// Moved in from the right and bottom edges first, so the top-left corner
// wins when the rectangle is larger than the screen.
QRect pulledIn(QRect placed, const QRect &screen)
{
    placed.moveRight(std::min(placed.right(), screen.right()));
    placed.moveBottom(std::min(placed.bottom(), screen.bottom()));
    placed.moveLeft(std::max(placed.left(), screen.left()));
    placed.moveTop(std::max(placed.top(), screen.top()));
    return placed;
}

} // namespace

QRect keptOnScreen(const QRect &wanted, const QRect &screen)
{
    return pulledIn(QRect(wanted.topLeft(), wanted.size().boundedTo(screen.size())), screen);
}

QRect placeMainWindow(const QRect &saved, const QList<QRect> &screens, const QSize &minimum)
{
    if (screens.isEmpty())
        return saved.isValid() ? saved : QRect(QPoint(0, 0), FirstStartSize);
    if (!saved.isValid()) {
        const QRect screen = screens.first();
        // Most of a small screen, leaving a margin round the window.
        const QSize most(screen.width() * 9 / 10, screen.height() * 9 / 10);
        QRect placed(QPoint(0, 0), fitted(FirstStartSize.boundedTo(most), screen, minimum));
        placed.moveCenter(screen.center());
        return placed;
    }
    const QRect screen = screenFor(saved, screens);
    if (!screen.intersects(saved)) {
        QRect placed(QPoint(0, 0), fitted(saved.size(), screen, minimum));
        placed.moveCenter(screen.center());
        return placed;
    }
    return pulledIn(QRect(saved.topLeft(), fitted(saved.size(), screen, minimum)), screen);
}

void placeWindow(QWidget *window, const QRect &wanted, const QWidget *owner)
{
    const QWidget *ownerWindow = owner->window();
    const QScreen *screen = ownerWindow->screen();
    // The frame the window manager adds is not known before the window is
    // shown; the owner's frame stands in for it.
    const QRect outside = ownerWindow->frameGeometry();
    const QRect inside = ownerWindow->geometry();
    const QMargins frame(inside.left() - outside.left(), inside.top() - outside.top(),
                         outside.right() - inside.right(), outside.bottom() - inside.bottom());
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QRect placed = wanted;
    if (!placed.isValid()) {
        placed = QRect(QPoint(), window->size());
        placed.moveCenter(ownerWindow->geometry().center());
    }
    const QRect framed = keptOnScreen(placed.marginsAdded(frame), screen->availableGeometry());
    window->resize(framed.marginsRemoved(frame).size());
    // A window's position is that of its frame.
    window->move(framed.topLeft());
}

void placeBeside(QWidget *window, const QWidget *anchor, int gap)
{
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    placeWindow(window,
                QRect(anchor->mapToGlobal(QPoint(anchor->width() + gap, 0)), window->size()),
                anchor);
}
