#pragma once
// Which clipboard bitmaps are new captures. One copy can cause several change notices (the
// clipboard emptied, then the picture put), and a notice may be handled only when later
// ones have arrived, so the same bitmap is often read more than once.

#include <QImage>

namespace capture {

// True when next is a bitmap that differs from last, the bitmap saved before it: a null
// picture is never saved, and one with the same size and pixels (alpha included, whatever
// the pixel format it came in) is the same capture read again.
bool isNewCapture(const QImage& last, const QImage& next);

} // namespace capture
