#pragma once
// The programs' icons, drawn in code.

#include <QIcon>
#include <QImage>

namespace platform {

// The organiser: a picture frame with a landscape (16, 32 and 48 pixels).
QIcon tarvoIcon();
// The organiser's picture at any size (drawn, not scaled), for the desktop's larger icons.
QImage tarvoIconImage(int px);
// The capture saver: a camera over a clipboard (32 and 16 pixels).
QIcon mirokIcon();
QImage mirokIconImage(int px);
// The copy destination: a folder with an arrow, in dark red (16 × 16, 16 colours).
QIcon copyDirIcon();

} // namespace platform
