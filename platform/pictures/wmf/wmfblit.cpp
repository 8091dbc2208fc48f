// The bitmap records: device-independent bitmaps stretched onto the picture with their
// raster operation, pattern fills, and pattern brushes.
#include "wmfbitmap.h"
#include "wmfplayer.h"

namespace platform::wmf {

namespace {

// The middle byte of a ternary raster operation names what it does.
int ropCode(quint32 rop) {
    return int((rop >> 16) & 0xFF);
}

bool usesSource(int code) {
    switch (code) {
    case 0x00: // BLACKNESS
    case 0xFF: // WHITENESS
    case 0xF0: // PATCOPY
    case 0x55: // DSTINVERT
    case 0x5A: // PATINVERT
    case 0xAA: // leaves the destination
        return false;
    default:
        return true;
    }
}

QPainter::CompositionMode sourceMode(int code) {
    switch (code) {
    case 0xEE: // SRCPAINT
        return QPainter::RasterOp_SourceOrDestination;
    case 0x88: // SRCAND
        return QPainter::RasterOp_SourceAndDestination;
    case 0x66: // SRCINVERT
        return QPainter::RasterOp_SourceXorDestination;
    case 0x33: // NOTSRCCOPY
        return QPainter::RasterOp_NotSource;
    case 0x44: // SRCERASE
        return QPainter::RasterOp_SourceAndNotDestination;
    case 0x11: // NOTSRCERASE
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0xBB: // MERGEPAINT
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return QPainter::CompositionMode_Source;
    }
}

} // namespace

void Player::patBlt(quint32 rop, const QRectF& dest) {
    const int code = ropCode(rop);
    if (code == 0xAA || !spend(dest, 4))
        return;
    const QRectF rect = deviceRect(dest);
    applyClip();
    painter_.resetTransform();
    switch (code) {
    case 0x00:
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
        painter_.fillRect(rect, Qt::black);
        break;
    case 0xFF:
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
        painter_.fillRect(rect, Qt::white);
        break;
    case 0x55:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillRect(rect, Qt::black);
        break;
    case 0x5A:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillRect(rect, currentBrush());
        break;
    default:
        if (dc_.brush.style == BS_NULL)
            return;
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.fillRect(rect, currentBrush());
        break;
    }
}

void Player::blit(const Record& r, quint32 rop, QRectF dest, QRectF source, qsizetype dibAt,
                  bool palColors) {
    const int code = ropCode(rop);
    if (!usesSource(code)) {
        patBlt(rop, dest);
        return;
    }
    const auto info = parseDib(r.params + dibAt, r.size - dibAt, palColors, nullptr);
    if (!info || !spend(dest, qsizetype(info->width) * info->height / 4))
        return;
    QImage image = decodeDib(r.params + dibAt, *info, palColors, dc_.palette.colors);
    if (image.isNull())
        return;
    // Negative extents mirror the bitmap.
    const bool flipX = dest.width() < 0;
    const bool flipY = dest.height() < 0;
    if (flipX || flipY) {
        image = image.mirrored(flipX, flipY);
        dest = dest.normalized();
    }
    source = source.normalized();
    if (source.isEmpty())
        source = image.rect();
    applyClip();
    painter_.setTransform(transform());
    painter_.setCompositionMode(sourceMode(code));
    painter_.setRenderHint(QPainter::SmoothPixmapTransform,
                           code == 0xCC && dc_.stretchMode != BLACKONWHITE);
    painter_.drawImage(dest, image, source);
    painter_.resetTransform();
}

bool Player::bitmapRecord(const Record& r) {
    switch (r.function) {
    case META_STRETCHDIB: {
        // rop, colour use, source h/w/y/x, destination h/w/y/x, bitmap
        QRectF source(r.w(6), r.w(5), r.w(4), r.w(3));
        const auto info = parseDib(r.params + 22, r.size - 22, r.u16(4) == 1, nullptr);
        if (info && !info->topDown) // the source origin is the bitmap's lower left
            source.moveTop(info->height - source.top() - source.height());
        blit(r, r.u32(0), QRectF(r.w(10), r.w(9), r.w(8), r.w(7)), source, 22, r.u16(4) == 1);
        return true;
    }
    case META_DIBSTRETCHBLT:
        if (r.size <= 22) // no bitmap: a pattern operation over the destination
            patBlt(r.u32(0), QRectF(r.w(10), r.w(9), r.w(8), r.w(7)));
        else
            blit(r, r.u32(0), QRectF(r.w(9), r.w(8), r.w(7), r.w(6)),
                 QRectF(r.w(5), r.w(4), r.w(3), r.w(2)), 20, false);
        return true;
    case META_DIBBITBLT:
        if (r.size <= 18)
            patBlt(r.u32(0), QRectF(r.w(8), r.w(7), r.w(6), r.w(5)));
        else
            blit(r, r.u32(0), QRectF(r.w(7), r.w(6), r.w(5), r.w(4)),
                 QRectF(r.w(3), r.w(2), r.w(5), r.w(4)), 16, false);
        return true;
    case META_PATBLT:
        patBlt(r.u32(0), QRectF(r.w(5), r.w(4), r.w(3), r.w(2)));
        return true;
    case META_DIBCREATEPATTERNBRUSH: {
        LogBrush brush;
        brush.style = BS_DIBPATTERN;
        brush.color = Qt::black;
        const bool palColors = r.u16(2) == 1;
        // Pattern brushes are small tiles; a giant one is not worth its memory.
        const auto info = parseDib(r.params + 4, r.size - 4, palColors, nullptr);
        if (info && qint64(info->width) * info->height <= 65536)
            brush.pattern = decodeDib(r.params + 4, *info, palColors, dc_.palette.colors);
        objects_.add(brush);
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform::wmf
