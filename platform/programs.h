#pragma once
// Other programs and their windows: start a program by name with a window style, find and
// activate a top-level window by caption, send keystrokes to the active window.

#include "result.h"

#include <QString>
#include <QStringList>

namespace platform {

enum class WindowStyle {
    NormalFocus = 1,   // normal size, the new program gets the focus
    NormalNoFocus = 4, // normal size, the caller keeps the focus
};

class Programs {
public:
    virtual ~Programs() = default;
    // Starts a program by its Windows-style name ("CLIPBRD.EXE", "MSPAINT.EXE",
    // "mirok101.exe"), resolved by the platform (see the implementation's table). The
    // started program outlives the caller. Error::NotFound when nothing can be started.
    virtual Result start(const QString& name, WindowStyle style) = 0;
    // Activates the top-level window whose caption equals caption, else one whose caption
    // begins with it. A minimised window keeps its state. With wait set, first waits
    // (bounded) until the caller's own window has the focus. Error::NotFound when none.
    virtual Result activate(const QString& caption, bool wait) = 0;
    // Like activate(caption, false), but a minimised window is first brought back to its
    // normal state, so that it really has the focus when this succeeds (for keys that must
    // reach it). Error::NotFound when none, Error::Busy when it did not get the focus.
    virtual Result restore(const QString& caption) = 0;
    // Sends keys to the active window: "+" holds Shift for the next key, "{F10}" is F10,
    // a letter is that key. With wait set, returns once they are processed (bounded).
    virtual Result sendKeys(const QString& keys, bool wait) = 0;
    // The full paths at which start(name) looks for the program, in the order it tries
    // them, so that a caller can look the program up as a file first.
    virtual QStringList searchPaths(const QString& name) = 0;
};

Programs& systemPrograms();

// The text shown when no paint program can be started: what the user can do about it on
// this platform.
QString paintMissingMessage();

} // namespace platform
