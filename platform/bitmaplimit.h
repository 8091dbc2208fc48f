#pragma once
// Qt's image reader refuses by default any picture whose decoding needs more than 128 MB:
// an 8K screen or three 4K monitors side by side. The clipboard's bitmaps are held to the
// picture loader's own bounds instead (200 million pixels, within 1 GiB).

#include <QImageReader>

namespace platform {

inline constexpr qint64 kMaxBitmapPixels = 200'000'000;

// Raises the reader's limit (process-wide) to just above the largest bitmap allowed, at
// four bytes a pixel.
inline void allowLargeBitmaps() {
    QImageReader::setAllocationLimit(static_cast<int>(kMaxBitmapPixels * 4 / (1 << 20) + 64));
}

} // namespace platform
