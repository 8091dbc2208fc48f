#include "pictureheaders.h"

namespace platform {

namespace {

quint32 le16(const QByteArray& b, qsizetype at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

quint32 le32(const QByteArray& b, qsizetype at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

} // namespace

std::optional<BitmapInfo> readBitmapInfo(const QByteArray& head) {
    if (head.size() < 26 || !head.startsWith("BM"))
        return std::nullopt;
    BitmapInfo info;
    info.offBits = le32(head, 10);
    info.infoSize = static_cast<int>(le32(head, 14));
    if (info.infoSize == 12) { // OS/2 1.x: 16-bit unsigned sizes
        info.size = QSize(static_cast<int>(le16(head, 18)), static_cast<int>(le16(head, 20)));
        info.bits = static_cast<int>(le16(head, 24));
        return info;
    }
    if (info.infoSize < 16 || head.size() < 34)
        return std::nullopt;
    const qint64 w = static_cast<qint32>(le32(head, 18));
    const qint64 h = static_cast<qint32>(le32(head, 22));
    // INT_MIN has no positive height; such a header is damaged, not top-down.
    if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min() || w > INT_MAX)
        return std::nullopt;
    info.topDown = h < 0;
    info.size = QSize(static_cast<int>(w), static_cast<int>(h < 0 ? -h : h));
    info.bits = static_cast<int>(le16(head, 28));
    info.compression = le32(head, 30);
    return info;
}

std::optional<GifLayout> readGifLayout(const QByteArray& file) {
    if (file.size() < 13)
        return std::nullopt;
    GifLayout layout;
    layout.screen = QSize(static_cast<int>(le16(file, 6)), static_cast<int>(le16(file, 8)));
    const int flags = static_cast<unsigned char>(file[10]);
    qsizetype pos = 13;
    if (flags & 0x80)
        pos += 3 * (qsizetype(2) << (flags & 7));
    while (pos < file.size()) {
        const int introducer = static_cast<unsigned char>(file[pos]);
        if (introducer == 0x2C) { // image descriptor
            if (pos + 9 > file.size())
                return std::nullopt;
            layout.firstFrame =
                QRect(static_cast<int>(le16(file, pos + 1)), static_cast<int>(le16(file, pos + 3)),
                      static_cast<int>(le16(file, pos + 5)), static_cast<int>(le16(file, pos + 7)));
            return layout;
        }
        if (introducer != 0x21) // the trailer, or damage
            return std::nullopt;
        pos += 2; // introducer and label, then data sub-blocks up to an empty one
        while (pos < file.size()) {
            const int length = static_cast<unsigned char>(file[pos]);
            pos += 1 + length;
            if (length == 0)
                break;
        }
    }
    return std::nullopt;
}

std::optional<JpegFrame> readJpegFrame(QIODevice& device) {
    // The frame header comes after the tables and application segments; a few hundred
    // kilobytes of them (embedded previews, colour profiles) are as far as anyone goes.
    const QByteArray b = device.peek(1 << 20);
    qsizetype pos = 2;
    while (pos + 4 <= b.size()) {
        if (static_cast<unsigned char>(b[pos]) != 0xFF)
            return std::nullopt;
        const int marker = static_cast<unsigned char>(b[pos + 1]);
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        const qsizetype length =
            (static_cast<unsigned char>(b[pos + 2]) << 8) | static_cast<unsigned char>(b[pos + 3]);
        const bool sof =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            if (pos + 10 > b.size())
                return std::nullopt;
            JpegFrame f;
            const int h = (static_cast<unsigned char>(b[pos + 5]) << 8) |
                          static_cast<unsigned char>(b[pos + 6]);
            const int w = (static_cast<unsigned char>(b[pos + 7]) << 8) |
                          static_cast<unsigned char>(b[pos + 8]);
            f.size = QSize(w, h);
            f.components = static_cast<unsigned char>(b[pos + 9]);
            f.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            f.arithmetic = marker >= 0xC9;
            return f;
        }
        if (marker == 0xDA || marker == 0xD9 || length < 2)
            return std::nullopt; // scan data or the end before any frame header
        pos += 2 + length;
    }
    return std::nullopt;
}

qint64 decodingBytes(QSize pixels, const std::optional<JpegFrame>& jpeg) {
    const qint64 n = qint64(pixels.width()) * pixels.height();
    qint64 bytes = n * 4;
    // A progressive (or multi-scan) decoder keeps every coefficient, two bytes each, of
    // every component until the last scan; subsampled components need fewer, counted as
    // full here.
    if (jpeg && jpeg->progressive)
        bytes += n * 2 * std::max(1, jpeg->components);
    return bytes;
}

qint64 mostPixelsHeld(const QByteArray& format, qint64 fileBytes,
                      const std::optional<JpegFrame>& jpeg) {
    if (format == "gif") {
        // An LZW code of at most 12 bits stands for at most 4,096 pixels: 2,731 per byte.
        return fileBytes * 4096;
    }
    if (format == "jpeg") {
        // Every 8 × 8 block of the fullest component costs at least one bit of Huffman
        // code (512 pixels a byte); arithmetic coding can do much better.
        if (jpeg && jpeg->arithmetic)
            return fileBytes * 65536;
        return fileBytes * 1024;
    }
    if (format == "png") {
        // Deflate expands a byte to at most 1,032, and a pixel takes at least one bit.
        return fileBytes * 1032 * 8;
    }
    if (format == "webp" || format == "tiff") {
        // Lossless WebP and a fax-coded TIFF page can be very small for a plain picture; no
        // real file comes near this.
        return fileBytes * 65536;
    }
    if (format == "rle") {
        // A two-byte run gives at most 255 pixels; rows skipped by end-of-line and delta
        // codes are allowed for eight times over.
        return fileBytes * 1024;
    }
    return -1;
}

} // namespace platform
