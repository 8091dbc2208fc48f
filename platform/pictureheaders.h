#pragma once
// What the picture loader reads from the files itself, before (and beside) Qt's readers:
// the bitmap header with its signed height, the first frame of a GIF, the frame header of
// a JPEG, and from them how much memory a picture would need and how many pixels its file
// can possibly hold. A header that states more than its file can hold is lying, and is
// refused before anything is allocated for it.

#include <QByteArray>
#include <QIODevice>
#include <QRect>
#include <QSize>
#include <optional>

namespace platform {

struct BitmapInfo {
    QSize size;           // width and height, the height without its sign
    bool topDown = false; // a negative height: rows stored from the top
    int infoSize = 0;     // 12 (OS/2 core), 40, 52, 56, 64, 108 (V4), 124 (V5)
    int bits = 0;
    quint32 compression =
        0; // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields, 4 JPEG, 5 PNG, 6 alpha bit fields
    qint64 offBits = 0;
};

// The headers of a "BM" file from its first bytes (at least 26, 54 for the full header).
std::optional<BitmapInfo> readBitmapInfo(const QByteArray& head);

struct GifLayout {
    QSize screen;     // the logical screen, the picture's size
    QRect firstFrame; // where the first image lies on it
};

// The logical screen and the first image's place; nothing when the file holds no image.
std::optional<GifLayout> readGifLayout(const QByteArray& file);

struct JpegFrame {
    QSize size;
    int components = 0;
    bool progressive = false;
    bool arithmetic = false;
};

// The frame header (SOFn) of a JPEG, walking the markers before it.
std::optional<JpegFrame> readJpegFrame(QIODevice& device);

// Bytes a decoder needs for a picture of this many pixels: the 32-bit picture and, for a
// progressive JPEG, the coefficients it keeps for the whole picture.
qint64 decodingBytes(QSize pixels, const std::optional<JpegFrame>& jpeg);

// The most pixels a file of fileBytes can describe in this format at its best
// compression; -1 where the format sets no bound.
qint64 mostPixelsHeld(const QByteArray& format, qint64 fileBytes,
                      const std::optional<JpegFrame>& jpeg);

} // namespace platform
