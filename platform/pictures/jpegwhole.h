#pragma once
// A whole JPEG decoded by libjpeg itself, looking at a flag between bands of rows and at
// every block of bytes it reads: a decode that is given up stops within milliseconds. Qt's
// reader, once fed no more bytes, still makes every remaining row of a baseline JPEG.

#include <QByteArray>
#include <QImage>
#include <atomic>

namespace platform {

struct WholeJpeg {
    enum Status { Decoded, GivenUp, NotMine };
    Status status = NotMine;
    QImage image; // Format_RGB32, or Format_Grayscale8 for a grey picture, as Qt's reader makes
};

// NotMine where Qt's reader is to decide: colours it converts its own way (CMYK, YCCK), a
// file libjpeg stops at with an error (what a damaged file shows is Qt's), or a build without
// a libjpeg of its own. The picture is as stored, not turned by its orientation tag.
WholeJpeg decodeWholeJpeg(const QByteArray& bytes, const std::atomic<bool>* cancelled);

} // namespace platform
