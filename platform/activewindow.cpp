#include "activewindow.h"

#include <algorithm>

namespace platform {

namespace {

// p moved as little as needed for a window of size to lie within area (its top-left corner
// when the window is larger).
QPoint within(QPoint p, const QSize& size, const QRect& area) {
    p.setX(std::clamp(p.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    p.setY(std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return p;
}

} // namespace

QRect placeBeside(const QRect& other, const QSize& size, const QRect& screen) {
    // A little room between the two: Qt places a window by its own estimate of the frame the
    // window system adds, a few pixels off under some window managers.
    const int gap = 12;
    // The parts of the screen to the right of other, to its left, below and above it.
    const QRect areas[] = {
        QRect(QPoint(other.right() + 1 + gap, screen.top()), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(other.left() - gap - 1, screen.bottom())),
        QRect(QPoint(screen.left(), other.bottom() + 1 + gap), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(screen.right(), other.top() - gap - 1)),
    };
    // A window of sz on side i, next to other and aligned with its top or left edge.
    auto placed = [&](int i, const QSize& sz) {
        const QRect& a = areas[i];
        const QPoint wanted[] = {{a.left(), other.top()},
                                 {a.right() + 1 - sz.width(), other.top()},
                                 {other.left(), a.top()},
                                 {other.left(), a.bottom() + 1 - sz.height()}};
        return QRect(within(wanted[i], sz, a), sz);
    };
    for (int i = 0; i < 4; ++i) {
        if (areas[i].width() >= size.width() && areas[i].height() >= size.height())
            return placed(i, size);
    }
    // No side has room for the whole window: it is made smaller, down to half its size, for
    // the side where it stays largest.
    QRect best;
    for (int i = 0; i < 4; ++i) {
        const QSize fitted = size.boundedTo(areas[i].size());
        if (fitted.width() * 2 < size.width() || fitted.height() * 2 < size.height())
            continue;
        if (best.isNull() || fitted.width() * fitted.height() > best.width() * best.height())
            best = placed(i, fitted);
    }
    if (!best.isNull())
        return best;
    return {within(QPoint(other.left(), other.bottom() + 1 + gap), size, screen), size};
}

} // namespace platform
