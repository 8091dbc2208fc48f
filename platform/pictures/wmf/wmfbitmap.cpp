#include "wmfbitmap.h"

#include "platform/pictures/pictureloader.h"
#include "wmfrecords.h"

#include <bit>

namespace platform::wmf {

namespace {

enum : quint32 { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

std::optional<DibInfo> refuse(Result* why, Error e, const char* text) {
    if (why)
        *why = Result::failure(e, QString::fromLatin1(text));
    return std::nullopt;
}

// Value of a channel under a bit mask, scaled to 0..255.
int channel(quint32 pixel, quint32 mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const quint32 max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
}

void decodeRle(const uchar* src, qsizetype size, const DibInfo& info, QImage& indexed) {
    // Runs and escapes; anything that would leave the picture ends the decoding.
    const bool four = info.compression == BI_RLE4;
    int x = 0;
    int y = 0;
    auto put = [&](int value) {
        if (x < info.width && y < info.height)
            indexed.scanLine(info.topDown ? y : info.height - 1 - y)[x] = uchar(value);
        ++x;
    };
    qsizetype i = 0;
    while (i + 1 < size && y < info.height) {
        const int count = src[i];
        const int value = src[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < info.width; ++k)
                put(four ? ((k & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 1 >= size)
                return;
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else {
            const int bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > size)
                return;
            for (int k = 0; k < value && x < info.width; ++k)
                put(four ? ((k & 1) ? src[i + k / 2] & 15 : src[i + k / 2] >> 4) : src[i + k]);
            i += (bytes + 1) & ~1;
        }
    }
}

} // namespace

std::optional<DibInfo> parseDib(const uchar* p, qsizetype avail, bool palColors, Result* why) {
    DibInfo info;
    if (avail < 12)
        return refuse(why, Error::Corrupt, "bitmap header is cut short");
    const quint32 headerSize = readU32(p);
    qint64 width = 0;
    qint64 height = 0;
    int planes = 0;
    quint32 colorsUsed = 0;
    if (headerSize == 12) {
        width = readU16(p + 4);
        height = qint16(readU16(p + 6));
        planes = readU16(p + 8);
        info.bitCount = readU16(p + 10);
        info.colorEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        if (avail < qsizetype(headerSize))
            return refuse(why, Error::Corrupt, "bitmap header is cut short");
        width = qint32(readU32(p + 4));
        height = qint32(readU32(p + 8));
        planes = readU16(p + 12);
        info.bitCount = readU16(p + 14);
        info.compression = readU32(p + 16);
        colorsUsed = readU32(p + 32);
        if (headerSize >= 52)
            for (int k = 0; k < 3; ++k)
                info.masks[k] = readU32(p + 40 + 4 * k);
    } else {
        return refuse(why, Error::Corrupt, "unknown bitmap header");
    }
    info.topDown = height < 0;
    if (height < 0)
        height = -height;
    if (planes != 1 || width <= 0 || height <= 0)
        return refuse(why, Error::Corrupt, "bitmap has no size");
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxBitmapPixels)
        return refuse(why, Error::TooLarge, "bitmap is too large");
    info.width = int(width);
    info.height = int(height);

    const int bpp = info.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return refuse(why, Error::Corrupt, "bitmap has an unknown depth");
    const quint32 c = info.compression;
    const bool rleOk = (c == BI_RLE8 && bpp == 8) || (c == BI_RLE4 && bpp == 4);
    const bool fieldsOk = c == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (c != BI_RGB && !rleOk && !fieldsOk)
        return refuse(why, Error::Unsupported, "bitmap compression is not supported");

    if (colorsUsed > 65536)
        return refuse(why, Error::Corrupt, "bitmap colour table is too long");
    if (bpp <= 8)
        info.colorCount = colorsUsed ? int(qMin<quint32>(colorsUsed, 1u << bpp)) : 1 << bpp;
    const int tableEntries = bpp <= 8 ? info.colorCount : int(colorsUsed);
    if (palColors)
        info.colorEntrySize = 2;
    info.colorsOffset = headerSize;
    qsizetype offset = headerSize;
    if (c == BI_BITFIELDS && headerSize == 40) {
        if (avail < 52)
            return refuse(why, Error::Corrupt, "bitmap masks are cut short");
        for (int k = 0; k < 3; ++k)
            info.masks[k] = readU32(p + 40 + 4 * k);
        offset += 12;
        info.colorsOffset = offset;
    }
    offset += qsizetype(tableEntries) * info.colorEntrySize;
    if (offset > avail)
        return refuse(why, Error::Corrupt, "bitmap colour table is cut short");
    info.bitsOffset = offset;

    if (c == BI_RLE8 || c == BI_RLE4) {
        info.bitsSize = avail - offset;
    } else {
        const qint64 stride = ((width * bpp + 31) / 32) * 4;
        const qint64 need = stride * height;
        if (need > avail - offset)
            return refuse(why, Error::Corrupt, "bitmap pixels are cut short");
        info.bitsSize = qsizetype(need);
    }
    if (bpp == 16 && c == BI_RGB) {
        info.masks[0] = 0x7C00;
        info.masks[1] = 0x03E0;
        info.masks[2] = 0x001F;
    } else if (bpp == 32 && c == BI_RGB) {
        info.masks[0] = 0xFF0000;
        info.masks[1] = 0x00FF00;
        info.masks[2] = 0x0000FF;
    }
    return info;
}

QImage decodeDib(const uchar* p, const DibInfo& info, bool palColors,
                 const QList<QColor>& palette) {
    QList<QRgb> colors;
    for (int k = 0; k < info.colorCount; ++k) {
        const uchar* e = p + info.colorsOffset + qsizetype(k) * info.colorEntrySize;
        if (palColors) {
            const int index = readU16(e);
            colors.append(index < palette.size() ? palette[index].rgb() : qRgb(0, 0, 0));
        } else {
            colors.append(qRgb(e[2], e[1], e[0]));
        }
    }
    const uchar* bits = p + info.bitsOffset;
    if (info.compression == BI_RLE8 || info.compression == BI_RLE4) {
        QImage indexed(info.width, info.height, QImage::Format_Indexed8);
        if (indexed.isNull())
            return {};
        indexed.fill(0);
        while (colors.size() < 256)
            colors.append(qRgb(0, 0, 0));
        indexed.setColorTable(colors);
        decodeRle(bits, info.bitsSize, info, indexed);
        return indexed.convertToFormat(QImage::Format_RGB32);
    }

    QImage image(info.width, info.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const qsizetype stride = ((qsizetype(info.width) * info.bitCount + 31) / 32) * 4;
    const int bpp = info.bitCount;
    for (int y = 0; y < info.height; ++y) {
        const uchar* row = bits + stride * (info.topDown ? y : info.height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < info.width; ++x) {
            if (bpp <= 8) {
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (x % perByte + 1);
                const int index = (row[x / perByte] >> shift) & ((1 << bpp) - 1);
                out[x] = index < colors.size() ? colors[index] : qRgb(0, 0, 0);
            } else if (bpp == 24) {
                const uchar* px = row + qsizetype(x) * 3;
                out[x] = qRgb(px[2], px[1], px[0]);
            } else {
                const quint32 v =
                    bpp == 16 ? readU16(row + qsizetype(x) * 2) : readU32(row + qsizetype(x) * 4);
                out[x] = qRgb(channel(v, info.masks[0]), channel(v, info.masks[1]),
                              channel(v, info.masks[2]));
            }
        }
    }
    return image;
}

} // namespace platform::wmf
