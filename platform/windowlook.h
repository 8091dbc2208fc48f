#pragma once
// What makes our windows look and answer like the Windows programs they stand for: button
// faces in their own colour, Enter pressing the focused button, and windows that come back
// where the user left them.

#include <QColor>
#include <QString>

class QAbstractButton;
class QWidget;

namespace platform {

// Draws the button flat and bevelled as Windows does, its face exactly `face`; an invalid
// colour gives the standard button face, whatever colour the window behind it has.
void setButtonFace(QAbstractButton* button, const QColor& face = QColor());

// Every push button of `window` (now and later) is pressed by Enter as well as by Space when
// it has the focus.
void enterPressesFocusedButton(QWidget* window);

// The top-level `window` is shown again at the place it had when it was hidden, instead of
// wherever the window manager would put a new window.
void keepPlaceWhileHidden(QWidget* window);

// The Qt platform plugin to ask for before the application starts: "xcb" on a Wayland session
// where X11 is there too (finding, raising and typing into other programs' windows and the
// clipboard watch need X11), empty to keep Qt's own choice. `qpaPlatform`, `waylandDisplay`,
// `sessionType` and `display` are the values of QT_QPA_PLATFORM, WAYLAND_DISPLAY,
// XDG_SESSION_TYPE and DISPLAY.
QString preferredQpaPlatform(const QString& qpaPlatform, const QString& waylandDisplay,
                             const QString& sessionType, const QString& display);

// Why no window can open, given QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY and whether the
// X server answers: Qt would end the program with an abort there. Empty when Qt can try.
QString displayProblem(const QString& qpaPlatform, const QString& waylandDisplay,
                       const QString& display, bool x11Reachable);

// Per platform; both are called before QApplication is made.
// Applies preferredQpaPlatform to this process's environment, when the X server answers.
void choosePlatformPlugin();
// displayProblem for this process (always empty on Windows): main shows it and ends.
QString startupDisplayProblem();

} // namespace platform
