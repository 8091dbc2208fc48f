#pragma once
// Placing the controls of a window at their positions in twips.

class QWidget;

namespace platform {

// Places w at the given position and size in twips within its parent.
void placeTwips(QWidget* w, double left, double top, double width, double height);
// Sets a top-level window's client area in twips.
void setClientTwips(QWidget* window, double width, double height);

} // namespace platform
