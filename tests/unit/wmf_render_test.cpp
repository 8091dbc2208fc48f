// Metafile drawing and text records rendered and checked by their pixels.
#include "platform/pictures/wmf/wmf.h"
#include "platform/pictures/wmf/wmftext.h"
#include "wmfbuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

enum { PS_SOLID = 0, PS_NULL = 5, BS_SOLID = 0, BS_NULL = 1 };
const QColor white(Qt::white), red(Qt::red), blue(Qt::blue), green(Qt::green), black(Qt::black);

struct Pixel {
    int x, y;
    QColor colour;
};
// A drawing on a 100 x 100 picture where units and pixels agree (placeable unless the drawing
// sets its own window), and the pixels it must give.
struct Drawing {
    const char* what;
    bool placeable;
    std::function<void(WmfBuilder&)> draw;
    std::vector<Pixel> pixels;
};

QImage tile() { // 4 x 2, the top row blue, the bottom green
    QImage t(4, 2, QImage::Format_RGB32);
    t.fill(Qt::green);
    for (int x = 0; x < 4; ++x)
        t.setPixelColor(x, 0, Qt::blue);
    return t;
}

// A DIBSTRETCHBLT record of the same tile as a two-colour RLE8 bitmap.
void rleBitmapRecord(WmfBuilder& b) {
    QByteArray dib = WmfBuilder::dibHeader(4, 2, 8);
    dib[16] = 1; // BI_RLE8
    dib[32] = 2; // two colours: blue, green (B, G, R, 0); then the bottom row first
    dib.append(QByteArray("\xff\x00\x00\x00\x00\xff\x00\x00", 8));
    dib.append(QByteArray("\x04\x01\x00\x00\x04\x00\x00\x01", 8));
    QByteArray params;
    for (int w : {0x0020, 0x00CC, 0, 2, 4, 0, 0, 100, 100, 0, 0})
        params.append(char(w & 0xFF)).append(char((w >> 8) & 0xFF));
    b.recordBytes(0x0F43, params + dib);
}

const Drawing kDrawings[] = {
    {"a rectangle at its place on white",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0).createBrush(BS_SOLID, Qt::red);
         b.selectObject(1).rectangle(20, 30, 60, 70);
     },
     {{40, 50, red}, {21, 31, red}, {10, 50, white}, {40, 80, white}, {65, 50, white}}},
    {"the window starts at (1000, 1000) and spans 200 units: the right half",
     true,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(1000, 1000).setWindowExt(200, 200);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(0).rectangle(1100, 1000, 1200, 1200);
     },
     {{75, 50, blue}, {25, 50, white}}},
    {"a plain metafile whose y axis points up: the bottom",
     false,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 100).setWindowExt(100, -100);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(0).rectangle(0, 0, 100, 20);
     },
     {{50, 95, blue}, {50, 5, white}}},
    {"viewport records scale relative to the first viewport, and restore undoes them",
     false,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100).setViewportOrg(0, 0);
         b.setViewportExt(100, 100).createBrush(BS_SOLID, Qt::red).selectObject(0);
         b.saveDc().setViewportExt(50, 50).rectangle(0, 0, 100, 100).restoreDc(-1);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(1).rectangle(90, 90, 100, 100);
     },
     {{25, 25, red}, {75, 75, white}, {95, 95, blue}}},
    {"ellipse, round rectangle, polygon, and a square with a hole (alternate filling)",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::green).selectObject(1).ellipse(0, 0, 40, 40);
         b.createBrush(BS_SOLID, Qt::red).selectObject(2).roundRect(50, 0, 100, 40, 20, 20);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(3).polygon({{0, 50}, {40, 50}, {0, 90}});
         b.polyPolygon(
             {{{50, 50}, {90, 50}, {90, 90}, {50, 90}}, {{60, 60}, {80, 60}, {80, 80}, {60, 80}}});
     },
     {{20, 20, green}, {75, 20, red}, {8, 58, blue}, {55, 55, blue}, {70, 70, white}}},
    {"one-pixel lines from the current position cover the row and column they name",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_SOLID, 0, Qt::black).selectObject(0);
         b.moveTo(10, 10).lineTo(90, 10).polyline({{70, 20}, {70, 90}});
         b.createBrush(BS_NULL, Qt::white).selectObject(1).rectangle(20, 40, 50, 80);
     },
     {{50, 10, black}, {50, 11, white}, {71, 50, white}, {20, 60, black}, {21, 60, white}}},
    {"clip rectangles: intersected, then excluded",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0).createBrush(BS_SOLID, Qt::red);
         b.selectObject(1).intersectClipRect(0, 0, 50, 100).excludeClipRect(0, 0, 50, 20);
         b.rectangle(0, 0, 100, 100);
     },
     {{25, 50, red}, {75, 50, white}, {25, 10, white}}},
    {"bitmaps are drawn at their destination, stretched or not",
     true,
     [](WmfBuilder& b) {
         b.stretchDib(QRect(0, 0, 40, 40), tile()).dibStretchBlt(QRect(60, 0, 40, 40), tile());
         b.dibBitBlt(QPoint(50, 90), tile());
     },
     {{20, 5, blue}, {20, 35, green}, {80, 35, green}, {50, 50, white}, {51, 91, green}}},
    {"a run-length bitmap with a colour table",
     true,
     rleBitmapRecord,
     {{50, 25, blue}, {50, 75, green}}},
    {"an escape and an unknown record are skipped by their size",
     true,
     [](WmfBuilder& b) {
         b.record(0x0626, {15, 4, 1, 2, 3, 4}).record(0x7777, {1, 2, 3});
         b.createBrush(BS_SOLID, Qt::red).selectObject(0).rectangle(0, 0, 100, 100);
     },
     {{50, 50, red}}},
    {"pattern, black, and an XOR pen of white over white",
     true,
     [](WmfBuilder& b) {
         b.createBrush(BS_SOLID, Qt::red).selectObject(0);
         b.patBlt(QRect(0, 0, 50, 50), wmftest::PATCOPY);
         b.patBlt(QRect(50, 0, 50, 50), wmftest::BLACKNESS);
         b.createPen(PS_NULL, 0, Qt::black).selectObject(1).createBrush(BS_SOLID, Qt::white);
         b.selectObject(2).setRop2(7).rectangle(0, 60, 100, 100);
     },
     {{25, 25, red}, {75, 25, black}, {50, 80, black}}},
};

// Bounding box of the non-white pixels.
QRect inked(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != white)
                box |= QRect(x, y, 1, 1);
    return box;
}

// "日本語" and "ＭＳ ゴシック" in CP932.
const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea");
const QByteArray kMsGothic("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
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

TEST(WmfRender, DrawingsGiveTheirPixels) {
    for (const Drawing& d : kDrawings) {
        WmfBuilder b;
        if (d.placeable)
            b.placeable(0, 0, 100, 100, 1440);
        d.draw(b);
        const auto image = wmf::render(b.build(), QSize(100, 100));
        ASSERT_TRUE(image) << d.what;
        ASSERT_EQ(image->size(), QSize(100, 100)) << d.what;
        EXPECT_EQ(image->format(), QImage::Format_ARGB32_Premultiplied) << d.what;
        for (const Pixel& p : d.pixels)
            EXPECT_EQ(image->pixelColor(p.x, p.y), p.colour)
                << d.what << " at " << p.x << "," << p.y;
    }
}

TEST(WmfRender, ScaledToTheRequestedSizeWithinReasonAndEndlessShapesStopAtTheBudget) {
    WmfBuilder b;
    b.placeable(0, 0, 100, 100, 1440).createBrush(BS_SOLID, Qt::red).selectObject(0);
    b.rectangle(50, 0, 100, 100);
    const auto image = wmf::render(b.build(), QSize(20, 40));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(20, 40));
    EXPECT_EQ(image->pixelColor(15, 20), red);
    EXPECT_EQ(image->pixelColor(5, 20), white);
    EXPECT_TRUE(wmf::render(b.build(), QSize(1, 1)));
    EXPECT_FALSE(wmf::render(b.build(), QSize(0, 10)));
    EXPECT_FALSE(wmf::render(b.build(), QSize(100000, 100000)));
    // Ten thousand full-picture ellipses still finish with the picture drawn.
    for (int k = 0; k < 10000; ++k)
        b.ellipse(-30000, -30000, 30000, 30000);
    const auto busy = wmf::render(b.build(), QSize(50, 50));
    ASSERT_TRUE(busy);
    EXPECT_EQ(busy->pixelColor(10, 25), red);
}

TEST(WmfText, JapaneseExtTextOutDrawsInEmSquaresAtItsSpacingAndClipped) {
    EXPECT_EQ(wmf::decodeAnsi(kNihongo, 128), QStringLiteral("日本語"));
    EXPECT_EQ(wmf::decodeAnsi(kMsGothic, 128), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(wmf::decodeAnsi("caf\xe9 \x80", 0), QStringLiteral("café €"));
    EXPECT_EQ(wmf::characterLengths(QByteArray("a\x93\xfa") + 'b', 128), (QList<int>{1, 2, 1}));
    // Three em-square characters of 40 pixels from (10, 20), top-aligned.
    QRect box = inked(japanese(10));
    EXPECT_GE(box.left(), 9);
    EXPECT_GE(box.top(), 19);
    EXPECT_GT(box.width(), 90);
    EXPECT_LE(box.right(), 10 + 3 * 40 + 2);
    EXPECT_LE(box.bottom(), 20 + 45);
    // Two bytes per character: the advance is the sum of both entries, so the third
    // character starts at 120 instead of 80 and nothing is drawn between 42 and 58.
    QImage image = japanese(0, 0, {}, {60, 0, 60, 0, 40, 0});
    EXPECT_GT(inked(image).right(), 125);
    EXPECT_FALSE(inked(image.copy(42, 0, 16, 100)).isValid());
    // Opaque and clipped to the first 50 units: only the first character shows, on yellow.
    image = japanese(10, 0x6, QRect(0, 10, 50, 60));
    EXPECT_EQ(image.pixelColor(2, 12), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(100, 40), white);
    EXPECT_LE(inked(image).right(), 50);
}

TEST(WmfText, AlignmentMovesTheReferencePoint) {
    auto inkOf = [](int align) {
        WmfBuilder b;
        b.placeable(0, 0, 200, 100, 1440).createFont(-30, 0, "Arial").selectObject(0);
        b.setBkMode(1).setTextAlign(align).textOut(100, 50, "HHHH");
        const auto image = wmf::render(b.build(), QSize(200, 100));
        return image ? inked(*image) : QRect();
    };
    const QRect left = inkOf(0), centre = inkOf(6);
    EXPECT_GE(left.left(), 99);
    EXPECT_LE(inkOf(2).right(), 101);
    EXPECT_LT(centre.left(), 100);
    EXPECT_GT(centre.right(), 100);
    // Top alignment hangs the text below y = 50; baseline alignment sets it above.
    EXPECT_GE(left.top(), 50);
    EXPECT_LE(inkOf(24).bottom(), 51);
}
