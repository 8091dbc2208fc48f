#pragma once
// The programs' icons, drawn in code.

#include <QIcon>
#include <QImage>

namespace platform {

// The organiser: a picture frame with a landscape (16, 32 and 48 pixels).
QIcon tarvoIcon();
// The capture saver: a camera over a clipboard (32 and 16 pixels).
QIcon mirokIcon();
QImage mirokIconImage(int px);
// The copy destination: a folder with an arrow, in dark red (16 × 16, 16 colours).
QIcon copyDirIcon();

} // namespace platform
