#pragma once
// Loads the picture kinds of the file mask: Windows bitmaps (BMP, DIB, RLE with RLE4/RLE8
// compression), metafiles (WMF), icons, JPEG and GIF; and PNG, WebP and TIFF under their
// own names where this Qt reads them, for a mask the user types. The natural size comes from the
// header; a thumbnail is decoded straight at the size it is shown (JPEG through the
// decoder's DCT scaling), and the full picture only when something needs it. A photo with
// an orientation tag is turned upright after decoding; its natural size is the upright one.

#include "platform/result.h"

#include <QIODevice>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>
#include <vector>

namespace platform {

enum class PictureKind { Raster, Icon, Metafile };

struct PictureHeader {
    PictureKind kind = PictureKind::Raster;
    QSize pixels; // natural size in pixels (a metafile: at the screen's DPI)
    QSizeF twips; // natural size in twips
};

struct Thumbnail {
    PictureHeader header;
    QImage image; // decoded at (or near) the requested display size
};

// Largest picture accepted, in total pixels and in the memory its decoding needs; larger
// headers are refused before anything is allocated. A side alone is not limited, so a
// 65,535 × 1 strip is read. Bitmaps inside metafiles keep a per-side limit of their own.
inline constexpr int kMaxPictureSide = 30000;
inline constexpr qint64 kMaxPicturePixels = 200'000'000;
inline constexpr qint64 kMaxPictureBytes = qint64(1) << 30;
// Up to this many pixels a picture is decoded whatever its file's length; beyond it the
// file must be long enough to hold them at its format's best compression.
inline constexpr qint64 kFreePixels = 4'000'000;

// True for a size the loader accepts by its pixel count.
inline bool pixelCountAcceptable(QSize s) {
    return s.width() > 0 && s.height() > 0 &&
           static_cast<qint64>(s.width()) * s.height() <= kMaxPicturePixels;
}

// Reads the picture's header only. Fails for missing, empty, damaged, unsupported or
// absurdly large pictures.
std::optional<PictureHeader> readPictureHeader(const QString& path, Result* why = nullptr);

// Computes the display size in pixels for a picture of natural size header.twips shown in
// a box of boxTwips (shrink to fit, never enlarge), then decodes at that size.
std::optional<Thumbnail> loadThumbnail(const QString& path, QSizeF boxTwips, Result* why = nullptr);

// Decodes the whole picture (metafiles rendered at their natural size).
std::optional<QImage> loadFullPicture(const QString& path, PictureHeader* header = nullptr,
                                      Result* why = nullptr);

// The pixels a picture of this header is shown at in a box of boxTwips: shrunk to the box,
// never enlarged, its proportions kept; the size a thumbnail is decoded at.
QSize fittedPixels(const PictureHeader& header, QSizeF boxTwips);

// Decodes several thumbnails in parallel on the global thread pool; the result holds one
// entry per path, in order, empty where loading failed.
std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, QSizeF boxTwips);

// A second size made from the same decode: where the picture is decoded whole on the way to
// its thumbnail (not by a reader that scales as it decodes, as JPEG's and PNG's do for a
// picture much larger than the box), it fitted to boxTwips goes to *image; otherwise *image
// stays null, and that size needs a decode of its own.
struct AlsoFitted {
    QSizeF boxTwips;
    QImage* image = nullptr;
};

// The thumbnail of a picture file already opened; name stands for the file's name, as below.
std::optional<Thumbnail> loadThumbnail(QIODevice& file, const QString& name, QSizeF boxTwips,
                                       Result* why = nullptr, AlsoFitted also = {});

// The thumbnail path on bytes in memory; name stands for the file's name (the loader looks at
// its extension for metafiles and today's kinds).
std::optional<Thumbnail> loadThumbnailFromBytes(const QByteArray& bytes, const QString& name,
                                                QSizeF boxTwips, Result* why = nullptr,
                                                AlsoFitted also = {});

// The whole picture from a file's bytes read at one moment, so nothing done to the file since
// can change it; name stands for the file's name, as for the thumbnail path above. While cancelled
// (when given) is set, the decoder is fed no more bytes and the decode ends early with nothing, so
// a decode nobody waits for stops soon.
std::optional<QImage> loadFullPictureFromBytes(const QByteArray& bytes, const QString& name,
                                               const std::atomic<bool>* cancelled = nullptr,
                                               Result* why = nullptr);

// The entry of an icon file that a box of side pixels shows: the standard icon size
// (kStandardIconSide), or the size nearest to it, with the most colours; drawn whole at that
// size. Nothing when the bytes hold no icon.
inline constexpr int kStandardIconSide = 32;
std::optional<QImage> loadIconEntryFromBytes(const QByteArray& bytes, int side = kStandardIconSide);

} // namespace platform
