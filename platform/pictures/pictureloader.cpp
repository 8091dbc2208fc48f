// Picture loading for the thumbnail cells and the clipboard. The kind is decided from the
// file's first bytes, not its extension (a .DIB or .RLE file is a BMP, a renamed JPEG is
// still a JPEG): the kinds the design's file mask names, and PNG, WebP and TIFF under their
// own names for a mask the user types. Sizes are checked against the limits from the header
// before any pixel memory is allocated.
#include "pictureloader.h"

#include "bmprle.h"
#include "jpegwhole.h"
#include "pictureheaders.h"
#include "platform/files.h"
#include "platform/pictures/wmf/wmf.h"
#include "platform/twips.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numeric>

namespace platform {

namespace {

// Metafiles are read whole; nothing sensible is larger.
constexpr qint64 kMaxMetafileBytes = 64 * 1024 * 1024;
// A GIF's first image follows its colour table and a few extensions.
constexpr qint64 kGifLayoutBytes = 1 << 20;

struct Scale {
    double x = 15.0; // twips per pixel
    double y = 15.0;
};

Scale currentScale() {
    return {twipsPerPixelX(), twipsPerPixelY()};
}

void fail(Result* why, Error e, const QString& reason) {
    if (why)
        *why = Result::failure(e, reason);
}

QString readerError(const QImageReader& reader) {
    if (reader.error() == QImageReader::UnknownError)
        return QStringLiteral("damaged picture");
    return reader.errorString();
}

// The image reader refuses by default anything above 128 MB; the limits of this loader
// are the ones in the header, so the reader's limit is raised to just above them.
void setReaderLimits() {
    static std::once_flag once;
    std::call_once(once, [] {
        QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1 << 20) + 64));
    });
}

// What a file's name says about its kind: the loader goes by content, but a metafile without
// its placeable header is known by ".wmf" alone, and today's kinds are read only under their
// own names (a mask the user typed for them), so a PNG renamed ".jpg" stays refused.
struct NameHints {
    bool wmf = false;
    bool today = false;
};

NameHints hintsOf(const QString& path) {
    const QString ext = path.section(QLatin1Char('.'), -1).toLower();
    const bool hasExt = path.contains(QLatin1Char('.'));
    return {hasExt && ext == QLatin1String("wmf"),
            hasExt && (ext == QLatin1String("png") || ext == QLatin1String("webp") ||
                       ext == QLatin1String("tif") || ext == QLatin1String("tiff"))};
}

bool isMetafile(const QByteArray& head, bool wmfName) {
    auto u8 = [&](int i) { return static_cast<unsigned char>(head.at(i)); };
    if (head.size() >= 4 && u8(0) == 0xD7 && u8(1) == 0xCD && u8(2) == 0xC6 && u8(3) == 0x9A)
        return true; // placeable metafile key 0x9AC6CDD7
    // A plain metafile header: type 1 (memory) or 2 (disk), header size 9 words, version
    // 0x0100 or 0x0300.
    if (head.size() >= 6 && (u8(0) == 1 || u8(0) == 2) && u8(1) == 0 && u8(2) == 9 && u8(3) == 0 &&
        u8(4) == 0 && (u8(5) == 1 || u8(5) == 3))
        return true;
    return wmfName;
}

// The raster kinds of the mask, from their signatures.
QByteArray rasterFormat(const QByteArray& head, bool todayName) {
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.size() >= 6 && head.startsWith(QByteArray("\0\0\1\0", 4)) &&
        (head.at(4) != 0 || head.at(5) != 0))
        return "ico";
    // Today's kinds, for a mask the user types: shown when this Qt has their reader (PNG
    // always; WebP and TIFF through the image formats plugins), refused as unsupported
    // otherwise.
    QByteArray today;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        today = "png";
    else if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        today = "webp";
    else if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        today = "tiff";
    if (todayName && !today.isEmpty() && QImageReader::supportedImageFormats().contains(today))
        return today;
    return {};
}

// Pixel count and decoding memory within the limits, and no more pixels than the file can
// hold: a short file stating a huge size is refused, not given the memory it asks for.
std::optional<Result> checkSize(QSize size, const QByteArray& format, qint64 fileBytes,
                                const std::optional<JpegFrame>& jpeg) {
    const QString stated =
        QStringLiteral("picture of %1 × %2 pixels").arg(size.width()).arg(size.height());
    if (!pixelCountAcceptable(size) || decodingBytes(size, jpeg) > kMaxPictureBytes)
        return Result::failure(Error::TooLarge, stated);
    const qint64 pixels = qint64(size.width()) * size.height();
    const qint64 held = mostPixelsHeld(format, fileBytes, jpeg);
    if (pixels > kFreePixels && held >= 0 && pixels > held)
        return Result::failure(Error::Corrupt,
                               stated + QStringLiteral(" in a file too short for it"));
    return std::nullopt;
}

// Checks what Qt's bitmap reader leaves to chance: a header whose sizes are out of all
// proportion (refused as too large rather than as damaged) and a file that ends before
// its pixel data begins (Qt would show it black). Gives the size, the height without the
// sign that marks a top-down bitmap (Qt's reader reports it negative).
std::optional<Result> checkBitmapHeader(QIODevice& device, QSize* size) {
    const QByteArray head = device.peek(54);
    if (head.size() < 26)
        return Result::failure(Error::Corrupt, QStringLiteral("bitmap header cut off"));
    const std::optional<BitmapInfo> info = readBitmapInfo(head);
    if (!info)
        return Result::failure(Error::Corrupt, QStringLiteral("bitmap header damaged"));
    if (device.size() <= info->offBits)
        return Result::failure(Error::Corrupt, QStringLiteral("bitmap without pixel data"));
    *size = info->size;
    if (info->infoSize < 40)
        return std::nullopt; // the old OS/2 header: 16-bit sizes, left to Qt
    const bool rle = info->compression == 1 || info->compression == 2;
    if (auto bad = checkSize(info->size, rle ? "rle" : "bmp", device.size(), std::nullopt))
        return bad;
    // Uncompressed rows have a known length: a file too short for them is cut off, and
    // is refused before the reader allocates the whole picture for it.
    const qint64 w = info->size.width();
    const qint64 h = info->size.height();
    const int bits = info->bits;
    if ((info->compression == 0 || info->compression == 3 || info->compression == 6) && bits > 0 &&
        bits <= 32) {
        const qint64 stride = (w * bits + 31) / 32 * 4;
        const qint64 lastRow = (w * bits + 7) / 8; // the last row may lack its padding
        if (device.size() < info->offBits + stride * (h - 1) + lastRow)
            return Result::failure(Error::Corrupt, QStringLiteral("bitmap cut off"));
    }
    return std::nullopt;
}

// Whether a bit-field bitmap keeps its alpha in a single bit (as A1R5G5B5 does). Qt's reader
// widens such a bit to half opacity; the bit means opaque or transparent.
bool hasOneBitAlpha(QIODevice& device) {
    const QByteArray head = device.peek(14 + 56);
    const std::optional<BitmapInfo> info = readBitmapInfo(head);
    if (!info || info->infoSize < 56 || head.size() < 14 + 56 ||
        (info->compression != 3 && info->compression != 6))
        return false;
    auto u8 = [&head](int i) { return quint32(static_cast<unsigned char>(head.at(i))); };
    const int at = 14 + 52; // the alpha mask, after the red, green and blue masks
    const quint32 mask = u8(at) | (u8(at + 1) << 8) | (u8(at + 2) << 16) | (u8(at + 3) << 24);
    return std::popcount(mask) == 1;
}

// Makes every pixel that is not transparent fully opaque.
void widenOneBitAlpha(QImage& image) {
    if (!image.hasAlphaChannel())
        return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                row[x] = row[x] | 0xFF000000u;
    }
}

// The parts of a GIF's screen that its first image does not cover are transparent, as
// browsers show them; Qt's reader paints them in the background colour.
void clearOutsideFirstFrame(QImage& image, const std::optional<GifLayout>& layout) {
    if (!layout || layout->screen != image.size())
        return;
    const QRect frame = layout->firstFrame.intersected(image.rect());
    if (frame == image.rect())
        return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!frame.contains(x, y))
                line[x] = 0;
        }
    }
}

// The entry of an icon file to show: the one with the most colours, and of those the largest,
// as picture viewers pick the best image of an icon. Nothing when the directory cannot be read.
struct IconEntry {
    int index = 0;
    QSize size;
};
std::optional<IconEntry> bestIconEntry(const QByteArray& file) {
    auto u8 = [&file](qsizetype i) { return static_cast<unsigned char>(file.at(i)); };
    if (file.size() < 6 + 16)
        return std::nullopt;
    const int count = u8(4) | (u8(5) << 8);
    std::optional<IconEntry> best;
    int bestBits = -1;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i) {
        const qsizetype e = 6 + 16 * i;
        const QSize size(u8(e) ? u8(e) : 256, u8(e + 1) ? u8(e + 1) : 256);
        const int bits = u8(e + 6) | (u8(e + 7) << 8);
        const qint64 area = qint64(size.width()) * size.height();
        if (!best || bits > bestBits ||
            (bits == bestBits && area > qint64(best->size.width()) * best->size.height())) {
            best = IconEntry{i, size};
            bestBits = bits;
        }
    }
    return best;
}

// The transparency mask of an icon entry stored as a bitmap whose colours carry no alpha: one
// bit a pixel after the colour rows, bottom row first, set where the icon is transparent. Qt's
// icon reader leaves it out for some colour depths. Nothing for a PNG entry, a 32-bit one
// (its alpha is the transparency), or an entry too short to hold its mask.
std::optional<QImage> iconMask(QIODevice& device, int entryIndex) {
    const QByteArray dir = device.peek(6 + 16 * (entryIndex + 1));
    if (dir.size() < 6 + 16 * (entryIndex + 1))
        return std::nullopt;
    auto u32At = [](const QByteArray& b, qsizetype i) {
        auto u8 = [&b](qsizetype k) { return quint32(static_cast<unsigned char>(b.at(k))); };
        return u8(i) | (u8(i + 1) << 8) | (u8(i + 2) << 16) | (u8(i + 3) << 24);
    };
    const qint64 entryBytes = u32At(dir, 6 + 16 * entryIndex + 8);
    const qint64 offset = u32At(dir, 6 + 16 * entryIndex + 12);
    if (offset + 40 > device.size())
        return std::nullopt;
    const QByteArray head = device.peek(offset + 40).mid(offset);
    if (head.size() < 40)
        return std::nullopt;
    const quint32 headerSize = u32At(head, 0);
    const auto width = static_cast<qint32>(u32At(head, 4));
    const auto height = static_cast<qint32>(u32At(head, 8)) / 2; // colour rows and mask rows
    const int bits =
        static_cast<unsigned char>(head.at(14)) | (static_cast<unsigned char>(head.at(15)) << 8);
    const quint32 compression = u32At(head, 16);
    const quint32 used = u32At(head, 32);
    if (headerSize < 40 || headerSize > 1024 || width <= 0 || width > 1024 || height <= 0 ||
        height > 1024 || compression != 0 || bits <= 0 || bits >= 32)
        return std::nullopt;
    // Colours up to 8 bits have their table; deeper ones only the colours the header counts.
    const qint64 colours = bits <= 8 ? (used > 0 && used <= (1u << bits) ? used : 1 << bits)
                                     : (used <= 256 ? used : 0);
    const qint64 colourStride = (qint64(width) * bits + 31) / 32 * 4;
    const qint64 maskStride = (qint64(width) + 31) / 32 * 4;
    const qint64 maskAt = offset + headerSize + colours * 4 + colourStride * height;
    const qint64 maskEnd = maskAt + maskStride * height;
    // A mask that would run past the entry or the file is not where this layout puts it.
    if (maskEnd > device.size() || maskEnd > offset + entryBytes)
        return std::nullopt;
    const QByteArray rows = device.peek(maskEnd).mid(maskAt);
    if (rows.size() < maskStride * height)
        return std::nullopt;
    QImage mask(width, height, QImage::Format_Mono);
    if (mask.isNull())
        return std::nullopt;
    for (int y = 0; y < height; ++y)
        std::memcpy(mask.scanLine(height - 1 - y), rows.constData() + maskStride * y,
                    static_cast<size_t>(qMin<qint64>(maskStride, mask.bytesPerLine())));
    return mask;
}

// Clears the pixels an icon's mask marks transparent.
void applyIconMask(QImage& image, const QImage& mask) {
    if (image.size() != mask.size())
        return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uchar* bits = mask.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (bits[x >> 3] & (0x80 >> (x & 7)))
                line[x] = 0;
    }
}

// Turns a picture as stored into the way up its orientation tag says: mirrored first, then
// turned a quarter clockwise, the order the tag's eight values are defined in.
QImage oriented(QImage image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone || image.isNull())
        return image;
    const bool mirror = t.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = t.testFlag(QImageIOHandler::TransformationFlip);
    if (mirror || flip)
        image = std::move(image).mirrored(mirror, flip);
    if (t.testFlag(QImageIOHandler::TransformationRotate90))
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// Smooth scaling of a paletted picture would fall back to picking pixels; as true colour,
// thin lines and dithering average out as they should in a small picture.
QImage scaledSmoothly(const QImage& image, QSize size) {
    QImage source = image;
    if (source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB ||
        source.format() == QImage::Format_Indexed8)
        source = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                 : QImage::Format_RGB32);
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// One opened picture: a raster reader, or the bytes of a metafile.
class Source {
public:
    bool open(QIODevice& device, NameHints name, Scale scale, Result* why) {
        setReaderLimits();
        const QByteArray head = device.peek(16);
        if (head.isEmpty()) {
            fail(why, Error::Corrupt, QStringLiteral("empty file"));
            return false;
        }
        const QByteArray format = rasterFormat(head, name.today);
        if (isMetafile(head, name.wmf) && format.isEmpty())
            return openMetafile(device, why);
        if (format.isEmpty()) {
            fail(why, Error::Unsupported, QStringLiteral("not a picture of a known kind"));
            return false;
        }
        QSize bitmapSize;
        std::optional<JpegFrame> jpeg;
        if (format == "bmp") {
            if (auto bad = checkBitmapHeader(device, &bitmapSize)) {
                if (why)
                    *why = *bad;
                return false;
            }
            if (const auto rle = rleBitmapInfo(device.peek(54))) {
                m_rle = device.readAll();
                m_header.kind = PictureKind::Raster;
                m_header.pixels = rle->size;
                m_header.twips = QSizeF(rle->size.width() * scale.x, rle->size.height() * scale.y);
                return true;
            }
        }
        m_reader = std::make_unique<QImageReader>(&device, format);
        m_reader->setAutoDetectImageFormat(false);
        // The orientation tag is applied here, after any scaled decode, so the requested size
        // and the size checks stay in the stored picture's terms.
        m_reader->setAutoTransform(false);
        if (format == "gif")
            m_gif = readGifLayout(device.peek(kGifLayoutBytes));
        else if (format == "bmp")
            m_oneBitAlpha = hasOneBitAlpha(device);
        else if (format == "jpeg")
            jpeg = readJpegFrame(device);
        m_jpeg = format == "jpeg";
        // The icon reader states the first image's size whichever image it is set to read.
        std::optional<QSize> iconSize;
        if (format == "ico") {
            const auto entry = bestIconEntry(device.peek(6 + 16 * 256));
            if (entry && entry->index > 0 && m_reader->jumpToImage(entry->index))
                iconSize = entry->size;
            m_iconMask = iconMask(device, entry && iconSize ? entry->index : 0);
        }
        QSize size = iconSize ? *iconSize : m_reader->size();
        if (format == "bmp" && size.width() > 0)
            size = bitmapSize;
        if (!size.isValid() || size.isEmpty()) {
            fail(why, Error::Corrupt, readerError(*m_reader));
            return false;
        }
        if (auto bad = checkSize(size, format, device.size(), jpeg)) {
            if (why)
                *why = *bad;
            return false;
        }
        // Photos are shown upright: their natural size is the turned one.
        m_transform = m_reader->transformation();
        m_stored = size;
        if (m_transform.testFlag(QImageIOHandler::TransformationRotate90))
            size.transpose();
        m_header.kind = format == "ico" ? PictureKind::Icon : PictureKind::Raster;
        m_header.pixels = size;
        m_header.twips = QSizeF(size.width() * scale.x, size.height() * scale.y);
        return true;
    }

    const PictureHeader& header() const { return m_header; }
    bool isJpeg() const { return m_jpeg; }
    // A picture decoded elsewhere, as stored, turned upright as decode() turns its own.
    QImage upright(QImage image) const { return oriented(std::move(image), m_transform); }

    // Decodes at size (the natural size when size is invalid or not smaller). Where the
    // picture is decoded whole on the way, it is also made at alsoSize into *also.
    std::optional<QImage> decode(QSize size, Result* why, QSize alsoSize = {},
                                 QImage* also = nullptr) {
        if (m_header.kind == PictureKind::Metafile) {
            if (!size.isValid())
                size = m_header.pixels;
            return wmf::render(m_metafile, size, why);
        }
        const bool scaled = size.isValid() && size != m_header.pixels;
        if (!m_rle.isEmpty()) {
            std::optional<QImage> image = decodeRleBitmap(m_rle, why);
            if (image && also && alsoSize.isValid())
                *also = alsoSize == image->size() ? *image : scaledSmoothly(*image, alsoSize);
            if (image && scaled)
                *image = scaledSmoothly(*image, size);
            return image;
        }
        // From here on sizes are the stored picture's, turned upright at the end.
        if (size.isValid() && m_transform.testFlag(QImageIOHandler::TransformationRotate90))
            size.transpose();
        const bool scaledStored = size.isValid() && size != m_stored;
        // The decoder's DCT scaling keeps what is finer than its output can hold as false
        // stripes and blotches; decoded at twice the shown size at least and then averaged
        // down, fine detail shrinks as it does in the whole picture.
        if (scaledStored && m_reader->supportsOption(QImageIOHandler::ScaledSize) &&
            size.width() * 2 < m_stored.width() && size.height() * 2 < m_stored.height())
            m_reader->setScaledSize(size * 2);
        QImage image = m_reader->read();
        if (image.isNull()) {
            fail(why, Error::Corrupt, readerError(*m_reader));
            return std::nullopt;
        }
        clearOutsideFirstFrame(image, m_gif);
        if (m_iconMask)
            applyIconMask(image, *m_iconMask);
        if (m_oneBitAlpha)
            widenOneBitAlpha(image);
        if (also && alsoSize.isValid() && image.size() == m_stored) {
            if (m_transform.testFlag(QImageIOHandler::TransformationRotate90))
                alsoSize.transpose();
            *also = oriented(alsoSize == m_stored ? image : scaledSmoothly(image, alsoSize),
                             m_transform);
        }
        if (scaledStored && image.size() != size)
            image = scaledSmoothly(image, size);
        return oriented(std::move(image), m_transform);
    }

private:
    bool openMetafile(QIODevice& device, Result* why) {
        if (device.size() > kMaxMetafileBytes) {
            fail(why, Error::TooLarge, QStringLiteral("metafile too large"));
            return false;
        }
        m_metafile = device.readAll();
        auto header = wmf::readHeader(m_metafile, why);
        if (!header)
            return false;
        if (!pixelCountAcceptable(header->pixels)) {
            fail(why, Error::TooLarge, QStringLiteral("metafile too large"));
            return false;
        }
        m_header = *header;
        return true;
    }

    PictureHeader m_header;
    std::unique_ptr<QImageReader> m_reader;
    QByteArray m_metafile;
    QByteArray m_rle; // a run-length bitmap, decoded by our own reader
    std::optional<GifLayout> m_gif;
    bool m_oneBitAlpha = false;
    bool m_jpeg = false;
    std::optional<QImage> m_iconMask; // of an icon entry whose colours carry no alpha
    QSize m_stored;                   // the raster picture's size as stored, before its orientation
    QImageIOHandler::Transformations m_transform = QImageIOHandler::TransformationNone;
};

// The display size the cell gives a picture: shrink to the box, never enlarge, keep the
// proportions; the same steps as the cell rendering, in twips, then whole pixels.
QSize fitPixels(const PictureHeader& header, QSizeF box, Scale scale) {
    const double w = header.twips.width();
    const double h = header.twips.height();
    double fw = w, fh = h;
    if (!(w <= box.width() && h <= box.height())) {
        if (w >= h) {
            fw = box.width();
            fh = box.height() * h / w;
        } else {
            fw = box.width() * w / h;
            fh = box.height();
        }
    }
    if (fw >= w && fh >= h)
        return header.pixels;
    QSize px(static_cast<int>(std::lround(fw / scale.x)),
             static_cast<int>(std::lround(fh / scale.y)));
    return px.expandedTo(QSize(1, 1)).boundedTo(header.pixels);
}

std::optional<Thumbnail> thumbnailFrom(QIODevice& device, NameHints name, QSizeF box, Scale scale,
                                       Result* why, AlsoFitted also = {}) {
    Source source;
    if (!source.open(device, name, scale, why))
        return std::nullopt;
    const QSize alsoSize = also.image ? fitPixels(source.header(), also.boxTwips, scale) : QSize();
    auto image = source.decode(fitPixels(source.header(), box, scale), why, alsoSize, also.image);
    if (!image)
        return std::nullopt;
    return Thumbnail{source.header(), std::move(*image)};
}

// A JPEG's whole picture through libjpeg driven here, which stops at once when given up (Qt's
// reader would first make every remaining row of a baseline JPEG); turned upright. NotMine
// leaves the picture to Qt's reader, as for every other kind.
WholeJpeg wholeJpeg(const Source& source, const QByteArray& bytes,
                    const std::atomic<bool>* cancelled) {
#ifdef TARVO_HAVE_LIBJPEG
    if (source.isJpeg()) {
        WholeJpeg whole = decodeWholeJpeg(bytes, cancelled);
        if (whole.status == WholeJpeg::Decoded)
            whole.image = source.upright(std::move(whole.image));
        return whole;
    }
#else
    Q_UNUSED(source);
    Q_UNUSED(bytes);
    Q_UNUSED(cancelled);
#endif
    return {};
}

std::optional<Thumbnail> thumbnailFromFile(const QString& path, QSizeF box, Scale scale,
                                           Result* why) {
    auto file = openForReading(path, why);
    if (!file)
        return std::nullopt;
    return thumbnailFrom(*file, hintsOf(path), box, scale, why);
}

} // namespace

std::optional<PictureHeader> readPictureHeader(const QString& path, Result* why) {
    auto file = openForReading(path, why);
    if (!file)
        return std::nullopt;
    Source source;
    if (!source.open(*file, hintsOf(path), currentScale(), why))
        return std::nullopt;
    return source.header();
}

std::optional<Thumbnail> loadThumbnail(const QString& path, QSizeF boxTwips, Result* why) {
    return thumbnailFromFile(path, boxTwips, currentScale(), why);
}

std::optional<QImage> loadFullPicture(const QString& path, PictureHeader* header, Result* why) {
    auto file = openForReading(path, why);
    if (!file)
        return std::nullopt;
    Source source;
    if (!source.open(*file, hintsOf(path), currentScale(), why))
        return std::nullopt;
    if (header)
        *header = source.header();
#ifdef TARVO_HAVE_LIBJPEG
    if (source.isJpeg()) {
        if (uchar* mapped = file->map(0, file->size())) {
            WholeJpeg whole = wholeJpeg(
                source,
                QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file->size()),
                nullptr);
            file->unmap(mapped);
            if (whole.status == WholeJpeg::Decoded)
                return std::move(whole.image);
        }
    }
#endif
    return source.decode(QSize(), why);
}

std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, QSizeF boxTwips) {
    // The screen is asked here, on the calling thread, never from the pool.
    const Scale scale = currentScale();
    std::vector<std::optional<Thumbnail>> results(static_cast<size_t>(paths.size()));
    std::vector<int> indices(results.size());
    std::iota(indices.begin(), indices.end(), 0);
    QtConcurrent::blockingMap(indices, [&](int i) {
        results[static_cast<size_t>(i)] = thumbnailFromFile(paths.at(i), boxTwips, scale, nullptr);
    });
    return results;
}

std::optional<Thumbnail> loadThumbnail(QIODevice& file, const QString& name, QSizeF boxTwips,
                                       Result* why, AlsoFitted also) {
    return thumbnailFrom(file, hintsOf(name), boxTwips, currentScale(), why, also);
}

std::optional<Thumbnail> loadThumbnailFromBytes(const QByteArray& bytes, const QString& name,
                                                QSizeF boxTwips, Result* why, AlsoFitted also) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return thumbnailFrom(buffer, hintsOf(name), boxTwips, currentScale(), why, also);
}

namespace {

// Bytes in memory that stop flowing once the decode is given up: the decoder sees the file
// end there and gives up soon after, rather than decoding what nobody waits for. Not a
// QBuffer: the JPEG reader would take a QBuffer's bytes all at once, past any flag.
class CancellableDevice final : public QIODevice {
public:
    CancellableDevice(const QByteArray& bytes, const std::atomic<bool>* cancelled)
        : m_bytes(bytes), m_cancelled(cancelled) {}
    qint64 size() const override { return m_bytes.size(); }

protected:
    qint64 readData(char* data, qint64 maxlen) override {
        if (m_cancelled && m_cancelled->load(std::memory_order_relaxed)) {
            // A JPEG decoder that merely runs dry goes on to make every remaining row from
            // nothing; a second start-of-image marker is an error it gives up on at once.
            // Other decoders just see their data end.
            if (m_stopSent || maxlen < 2)
                return -1;
            m_stopSent = true;
            data[0] = char(0xFF);
            data[1] = char(0xD8);
            return 2;
        }
        const qint64 at = pos();
        const qint64 n =
            std::clamp<qint64>(std::min<qint64>(maxlen, m_bytes.size() - at), 0, 1 << 20);
        if (n == 0)
            return at >= m_bytes.size() ? -1 : 0;
        std::memcpy(data, m_bytes.constData() + at, size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray m_bytes;
    const std::atomic<bool>* m_cancelled;
    bool m_stopSent = false;
};

} // namespace

QSize fittedPixels(const PictureHeader& header, QSizeF boxTwips) {
    return fitPixels(header, boxTwips, currentScale());
}

std::optional<QImage> loadFullPictureFromBytes(const QByteArray& bytes, const QString& name,
                                               const std::atomic<bool>* cancelled, Result* why) {
    CancellableDevice device(bytes, cancelled);
    device.open(QIODevice::ReadOnly);
    Source source;
    if (!source.open(device, hintsOf(name), currentScale(), why)) {
        if (cancelled && cancelled->load()) // its header cut off by the given-up flag
            fail(why, Error::Busy, QStringLiteral("given up"));
        return std::nullopt;
    }
    WholeJpeg whole = wholeJpeg(source, bytes, cancelled);
    if (whole.status == WholeJpeg::Decoded)
        return std::move(whole.image);
    if (whole.status == WholeJpeg::GivenUp) {
        fail(why, Error::Busy, QStringLiteral("given up"));
        return std::nullopt;
    }
    std::optional<QImage> image = source.decode(QSize(), why);
    if (cancelled && cancelled->load()) {
        fail(why, Error::Busy, QStringLiteral("given up"));
        return std::nullopt;
    }
    return image;
}

std::optional<QImage> loadIconEntryFromBytes(const QByteArray& bytes, int side) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    if (rasterFormat(buffer.peek(16), false) != "ico")
        return std::nullopt;
    const QByteArray dir = buffer.peek(6 + 16 * 256);
    auto u8 = [&dir](qsizetype i) { return static_cast<unsigned char>(dir.at(i)); };
    // The entry nearest the standard size (a larger one before a smaller one at the same
    // distance, as shrinking keeps more than enlarging), and of those the one with most colours.
    const int count = dir.size() >= 6 ? (u8(4) | (u8(5) << 8)) : 0;
    int best = -1, bestDistance = 0, bestBits = 0, bestSide = 0;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= dir.size(); ++i) {
        const qsizetype e = 6 + 16 * i;
        const int w = u8(e) ? u8(e) : 256;
        const int bits = u8(e + 6) | (u8(e + 7) << 8);
        const int distance = std::abs(w - side) * 2 + (w < side ? 1 : 0);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = i;
            bestDistance = distance;
            bestBits = bits;
            bestSide = w;
        }
    }
    if (best < 0)
        return std::nullopt;
    const std::optional<QImage> mask = iconMask(buffer, best); // peeks from the start
    QImageReader reader(&buffer, "ico");
    reader.setAutoDetectImageFormat(false);
    if (best > 0 && !reader.jumpToImage(best))
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (mask)
        applyIconMask(image, *mask);
    if (bestSide != side || image.size() != QSize(side, side))
        image = scaledSmoothly(image, QSize(side, side));
    return image;
}

} // namespace platform
