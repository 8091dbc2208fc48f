#pragma once
// Which display the programs open before the application starts: X11 through XWayland on a
// Wayland session where it is there, and a plain message instead of Qt's abort when no
// display can be opened at all.

#include <QString>

namespace platform {

// The Qt platform plugin to ask for before the application starts: "xcb" on a Wayland session
// where X11 is there too (finding, raising and typing into other programs' windows and the
// clipboard watch need X11), empty to keep Qt's own choice. `qpaPlatform`, `waylandDisplay`,
// `sessionType` and `display` are the values of QT_QPA_PLATFORM, WAYLAND_DISPLAY,
// XDG_SESSION_TYPE and DISPLAY.
QString preferredQpaPlatform(const QString& qpaPlatform, const QString& waylandDisplay,
                             const QString& sessionType, const QString& display);

// Why no window can open, given QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY and whether the
// X server answers: Qt would end the program with an abort there, a Wayland session without
// X11 included. Empty when X11 answers or the user named another Qt plugin.
QString displayProblem(const QString& qpaPlatform, const QString& waylandDisplay,
                       const QString& display, bool x11Reachable);

// Per platform; both are called before QApplication is made.
// Applies preferredQpaPlatform to this process's environment, when the X server answers.
void choosePlatformPlugin();
// displayProblem for this process (always empty on Windows): main shows it and ends.
QString startupDisplayProblem();

} // namespace platform
