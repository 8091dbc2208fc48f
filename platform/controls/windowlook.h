#pragma once
// What makes our windows look and answer like the Windows programs they stand for: button
// faces in their own colour, Enter pressing the focused button, and windows that come back
// where the user left them.

#include <QColor>

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

} // namespace platform
