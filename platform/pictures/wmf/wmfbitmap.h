#pragma once
// Device-independent bitmaps inside metafile records: header checks that refuse giant or
// truncated bitmaps before any pixel buffer exists, and decoding to a QImage.

#include "platform/result.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <optional>

namespace platform::wmf {

// Bitmaps inside a metafile: at most this many pixels (64 megapixels).
inline constexpr qint64 kMaxBitmapPixels = 64'000'000;

struct DibInfo {
    int width = 0;
    int height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0;
    quint32 compression = 0;
    int colorCount = 0; // colour table entries
    int colorEntrySize = 4;
    qsizetype colorsOffset = 0;
    qsizetype bitsOffset = 0;
    qsizetype bitsSize = 0;
    quint32 masks[3] = {0, 0, 0};
};

// Checks a bitmap of avail bytes. palColors: its colour table holds palette indices.
std::optional<DibInfo> parseDib(const uchar* p, qsizetype avail, bool palColors, Result* why);

// Decodes a checked bitmap; palette resolves palette-index colour tables. A null image for
// compressions that are not drawn.
QImage decodeDib(const uchar* p, const DibInfo& info, bool palColors, const QList<QColor>& palette);

} // namespace platform::wmf
