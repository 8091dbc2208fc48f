// Text records: Shift-JIS strings of SHIFTJIS fonts drawn as Japanese, alignment, the
// spacing array and the clipping rectangle of ExtTextOut.
#include "platform/pictures/wmf/wmf.h"
#include "platform/pictures/wmf/wmftext.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

// "日本語" and "ＭＳ ゴシック" in CP932.
const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea");
const QByteArray kMsGothic("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");

// Bounding box of the non-white pixels.
QRect inked(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white))
                box |= QRect(x, y, 1, 1);
    return box;
}

int darkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// 日本語 by ExtTextOut at (x, 20) in a 40-unit SHIFTJIS font, on yellow where it is opaque.
QImage japanese(int x, int options = 0, QRect rect = {}, const QList<int>& dx = {}) {
    WmfBuilder b;
    b.placeable(0, 0, 200, 100, 1440).createFont(-40, 128, kMsGothic).selectObject(0);
    b.setBkMode(1).setTextColor(Qt::black).setBkColor(Qt::yellow);
    const auto image =
        wmf::render(b.extTextOut(x, 20, kNihongo, options, rect, dx).build(), QSize(200, 100));
    EXPECT_TRUE(image);
    return image ? *image : QImage(200, 100, QImage::Format_RGB32);
}

} // namespace

TEST(WmfText, ShiftJisBytesDecodeAsJapanese) {
    EXPECT_EQ(wmf::decodeAnsi(kNihongo, 128), QStringLiteral("日本語"));
    EXPECT_EQ(wmf::decodeAnsi(kMsGothic, 128), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(wmf::decodeAnsi("caf\xe9 \x80", 0), QStringLiteral("café €"));
    const QByteArray mixed = QByteArray("a\x93\xfa") + 'b';
    EXPECT_EQ(wmf::characterLengths(mixed, 128), (QList<int>{1, 2, 1}));
    EXPECT_EQ(wmf::characterLengths(mixed, 0), (QList<int>{1, 1, 1, 1}));
}

TEST(WmfText, JapaneseExtTextOutDrawsInEmSquaresAtItsSpacingAndClipped) {
    QImage image = japanese(10);
    QRect box = inked(image);
    EXPECT_GT(darkPixels(image), 150);
    // Three em-square characters of 40 pixels from (10, 20), top-aligned.
    EXPECT_GE(box.left(), 9);
    EXPECT_GE(box.top(), 19);
    EXPECT_GT(box.width(), 90);
    EXPECT_LE(box.right(), 10 + 3 * 40 + 2);
    EXPECT_LE(box.bottom(), 20 + 45);

    // Two bytes per character: the advance is the sum of both entries, so the third
    // character starts at 120 instead of 80 and nothing is drawn between 42 and 58.
    image = japanese(0, 0, {}, {60, 0, 60, 0, 40, 0});
    EXPECT_GT(inked(image).right(), 125);
    EXPECT_EQ(darkPixels(image.copy(42, 0, 16, 100)), 0);

    // Opaque and clipped to the first 50 units: only the first character shows, on yellow.
    image = japanese(10, 0x6, QRect(0, 10, 50, 60));
    EXPECT_EQ(image.pixelColor(2, 12), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(100, 40), QColor(Qt::white));
    EXPECT_LE(inked(image).right(), 50);
    EXPECT_GT(darkPixels(image), 30);
}

TEST(WmfText, AlignmentMovesTheReferencePoint) {
    auto rightEdge = [](int align) {
        WmfBuilder b;
        b.placeable(0, 0, 200, 100, 1440).createFont(-30, 0, "Arial").selectObject(0);
        b.setBkMode(1).setTextAlign(align).textOut(100, 50, "HHHH");
        const auto image = wmf::render(b.build(), QSize(200, 100));
        return image ? inked(*image) : QRect();
    };
    const QRect left = rightEdge(0);
    const QRect right = rightEdge(2);
    const QRect centre = rightEdge(6);
    EXPECT_GE(left.left(), 99);
    EXPECT_LE(right.right(), 101);
    EXPECT_LT(centre.left(), 100);
    EXPECT_GT(centre.right(), 100);
    // Top alignment hangs the text below y = 50; baseline alignment sets it above.
    EXPECT_GE(left.top(), 50);
    EXPECT_LE(rightEdge(24).bottom(), 51);
}

TEST(WmfText, APlainMetafileOfTextOnlyIsAsLargeAsItsText) {
    // No placeable header and no window: the picture is the area the strings cover.
    WmfBuilder lines;
    lines.createFont(-40, 0, "Arial").selectObject(0).setBkMode(1);
    lines.textOut(0, 0, "HHHHHHHH").textOut(0, 50, "HHHH");
    const auto header = wmf::readHeader(lines.build());
    ASSERT_TRUE(header);
    const QSize natural = header->pixels;
    EXPECT_GT(natural.width(), 8 * 15);
    EXPECT_GT(natural.height(), 50 + 25);
    const auto image = wmf::render(lines.build(), natural);
    ASSERT_TRUE(image);
    const QRect box = inked(*image);
    // All of the text shows, and fills the picture but for the glyphs' side bearings and
    // the space below the baseline.
    EXPECT_GT(box.left(), 0);
    EXPECT_GT(box.top(), 0);
    EXPECT_LT(box.right(), natural.width() - 1);
    EXPECT_LT(box.bottom(), natural.height() - 1);
    EXPECT_GT(box.width(), natural.width() * 8 / 10);
    EXPECT_GT(box.height(), natural.height() * 6 / 10);

    // Text turned a quarter turn runs upwards from its reference point, above y = 0.
    WmfBuilder turned;
    turned.createFont(-40, 0, "Arial", 400, 900).selectObject(0).setBkMode(1);
    turned.textOut(0, 0, "HHHHHHHH");
    const auto upright = wmf::readHeader(turned.build());
    ASSERT_TRUE(upright);
    EXPECT_GT(upright->pixels.height(), upright->pixels.width() * 2);
    const auto drawn = wmf::render(turned.build(), upright->pixels);
    ASSERT_TRUE(drawn);
    // The ink falls short of the run by the side bearings, which depend on the font the
    // system gives for Arial (wider under Wine than on Linux).
    EXPECT_GT(inked(*drawn).height(), upright->pixels.height() * 7 / 10);
}
