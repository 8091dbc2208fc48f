#pragma once
// The window another program was active in when this one started, for a program started
// "normal size, the caller keeps the focus" (window style 4): it opens beside that window,
// not over its controls, and hands the focus back when the system gives it the new window.

#include <QRect>
#include <optional>

namespace platform {

struct ActiveWindow {
    quintptr handle = 0; // the system's own window id
    QRect frame;         // in screen pixels, frame included
};

// The active top-level window when it belongs to another program; nothing where the system
// does not tell (then the new window opens where the system puts it).
std::optional<ActiveWindow> activeWindowOfAnotherProgram();
// Makes w the active window again; false when it is gone or the system refused.
bool reactivate(const ActiveWindow& w);

// Where a window of size goes within screen so that it does not cover other: to its right,
// else to its left, below, above, aligned with its top or left edge. When no side has room
// for it, it is made smaller (down to half its width and height) to fit the side where it
// stays largest; failing that it keeps its size, below other and on the screen.
QRect placeBeside(const QRect& other, const QSize& size, const QRect& screen);

} // namespace platform
