#include "WindowPlacement.h"

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

} // namespace

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
    QRect placed(saved.topLeft(), fitted(saved.size(), screen, minimum));
    // Pulled in from the right and bottom edges first, so the top-left
    // corner (title bar and menus) wins when the window is larger.
    placed.moveRight(std::min(placed.right(), screen.right()));
    placed.moveBottom(std::min(placed.bottom(), screen.bottom()));
    placed.moveLeft(std::max(placed.left(), screen.left()));
    placed.moveTop(std::max(placed.top(), screen.top()));
    return placed;
}
