// Entry points of the metafile reader: header and natural size, and rendering at a size.
#include "wmf.h"

#include "platform/twips.h"
#include "wmfheader.h"
#include "wmfplayer.h"

#include <cmath>

namespace platform::wmf {

std::optional<PictureHeader> readHeader(const QByteArray& bytes, Result* why) {
    const auto layout = parseLayout(bytes, why);
    if (!layout)
        return std::nullopt;
    PictureHeader header;
    header.kind = PictureKind::Metafile;
    header.twips = layout->twips;
    header.pixels = QSize(qMax(1, twipsToPixelsX(layout->twips.width())),
                          qMax(1, twipsToPixelsY(layout->twips.height())));
    if (why)
        *why = Result::success();
    return header;
}

std::optional<QImage> render(const QByteArray& bytes, QSize pixels, Result* why) {
    if (pixels.width() <= 0 || pixels.height() <= 0 || pixels.width() > kMaxPictureSide ||
        pixels.height() > kMaxPictureSide ||
        qint64(pixels.width()) * pixels.height() > kMaxPicturePixels) {
        if (why)
            *why = Result::failure(Error::TooLarge, QStringLiteral("size out of range"));
        return std::nullopt;
    }
    const auto layout = parseLayout(bytes, why);
    if (!layout)
        return std::nullopt;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        if (why)
            *why = Result::failure(Error::TooLarge, QStringLiteral("out of memory"));
        return std::nullopt;
    }
    image.fill(Qt::white);
    Player player(bytes, *layout, image);
    player.play();
    // Raster operations work on all 32 bits and can leave the alpha byte changed; the
    // picture is opaque, as on the screen it was drawn for.
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    if (why)
        *why = Result::success();
    return image;
}

} // namespace platform::wmf
