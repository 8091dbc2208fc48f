#pragma once
// Run-length compressed Windows bitmaps (RLE8 and RLE4), decoded by us rather than by
// Qt's reader: that reader leaves the pixels a stream skips (end of line, delta, an early
// end) uninitialised, and indices past a short colour table then read beyond it. Here every
// pixel starts at index 0 and the colour table always covers every index.

#include "platform/result.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>

namespace platform {

struct RleBitmapInfo {
    QSize size;
    int bits = 8; // 8 or 4
};

// The size and depth of a run-length compressed bitmap file; nothing for any other file.
std::optional<RleBitmapInfo> rleBitmapInfo(const QByteArray& file);
// Decodes the whole file; nothing (with the reason) when its headers do not hold together.
std::optional<QImage> decodeRleBitmap(const QByteArray& file, Result* why = nullptr);

} // namespace platform
