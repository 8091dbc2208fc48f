// Metafile drawing records rendered and checked by their pixels.
#include "platform/pictures/wmf/wmf.h"
#include "wmfbuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

enum { PS_SOLID = 0, PS_NULL = 5, BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };

// A 100 x 100 unit placeable picture: rendered at 100 x 100, units and pixels agree.
WmfBuilder picture() {
    WmfBuilder b;
    b.placeable(0, 0, 100, 100, 1440);
    return b;
}

QImage draw(const WmfBuilder& b, QSize size = QSize(100, 100)) {
    const auto image = wmf::render(b.build(), size);
    EXPECT_TRUE(image);
    return image ? *image : QImage();
}

const QColor white(Qt::white);
const QColor red(Qt::red);
const QColor blue(Qt::blue);
const QColor green(Qt::green);
const QColor black(Qt::black);

// Drawings and the pixels they must give, on a 100 x 100 picture where units and pixels
// agree (placeable unless the drawing sets its own window).
struct Pixel {
    int x, y;
    QColor colour;
};
struct Drawing {
    const char* what;
    bool placeable;
    std::function<void(WmfBuilder&)> draw;
    std::vector<Pixel> pixels;
};

QImage tile() {
    QImage t(4, 2, QImage::Format_RGB32);
    t.fill(Qt::green);
    for (int x = 0; x < 4; ++x)
        t.setPixelColor(x, 0, Qt::blue); // top row blue
    return t;
}

// A DIBSTRETCHBLT record of a 4 x 2 RLE8 bitmap with two colours: the bottom row (first in
// the file) green, the top row blue.
void rleBitmapRecord(WmfBuilder& b) {
    QByteArray dib = WmfBuilder::dibHeader(4, 2, 8);
    dib[16] = 1;                                   // BI_RLE8
    dib[32] = 2;                                   // two colours used
    dib.append(QByteArray("\xff\x00\x00\x00", 4)); // index 0: blue (B, G, R, 0)
    dib.append(QByteArray("\x00\xff\x00\x00", 4)); // index 1: green
    dib.append(QByteArray("\x04\x01\x00\x00\x04\x00\x00\x01", 8));
    QByteArray params;
    for (int w : {0x0020, 0x00CC, 0, 2, 4, 0, 0, 100, 100, 0, 0}) {
        params.append(char(w & 0xFF));
        params.append(char((w >> 8) & 0xFF));
    }
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
    {"a square drawn at 30..110 of a 0..100 window is shown filling the picture",
     true,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(30, 30, 110, 110);
     },
     {{3, 3, red}, {96, 96, red}, {3, 96, red}}},
    {"the same, stuck out at the left and top, of a window whose y axis points up",
     false,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 100).setWindowExt(100, -100);
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(1).rectangle(-20, -10, 60, 50);
     },
     {{3, 3, blue}, {96, 96, blue}}},
    {"a background larger than the window on every side is cut to the window",
     true,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(-50, -50, 150, 150);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(2).rectangle(40, 40, 60, 60);
     },
     {{50, 50, blue}, {35, 50, red}, {65, 50, red}}},
    {"a drawing inside its window keeps its margins",
     true,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(30, 30, 90, 90);
     },
     {{10, 10, white}, {50, 50, red}}},
    {"viewport records scale relative to the first viewport",
     false,
     [](WmfBuilder& b) {
         b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100).setViewportOrg(0, 0);
         b.setViewportExt(100, 100);
         b.createBrush(BS_SOLID, Qt::red).selectObject(0);
         b.saveDc().setViewportExt(50, 50).rectangle(0, 0, 100, 100).restoreDc(-1);
     },
     {{25, 25, red}, {75, 75, white}}},
    {"ellipse, round rectangle, polygon, and a square with a hole (alternate filling)",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::green).selectObject(1).ellipse(0, 0, 40, 40);
         b.createBrush(BS_SOLID, Qt::red).selectObject(2).roundRect(50, 0, 100, 40, 20, 20);
         b.createBrush(BS_SOLID, Qt::blue).selectObject(3);
         b.polygon({{0, 50}, {40, 50}, {0, 90}});
         b.polyPolygon(
             {{{50, 50}, {90, 50}, {90, 90}, {50, 90}}, {{60, 60}, {80, 60}, {80, 80}, {60, 80}}});
     },
     {{20, 20, green},
      {1, 1, white},
      {75, 20, red},
      {51, 1, white},
      {8, 58, blue},
      {35, 85, white},
      {55, 55, blue},
      {70, 70, white}}},
    {"a pie from 3 o'clock counter-clockwise to 12 o'clock: the upper right quarter",
     true,
     [](WmfBuilder& b) {
         b.createBrush(BS_SOLID, Qt::red).selectObject(0);
         b.arcLike(0x081A, QRect(0, 0, 100, 100), QPoint(100, 50), QPoint(50, 0));
     },
     {{70, 30, red}, {30, 30, white}, {70, 70, white}}},
    {"lines use the pen and the current position",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_SOLID, 6, Qt::blue).selectObject(0);
         b.moveTo(10, 50).lineTo(90, 50);
         b.polyline({{50, 10}, {50, 30}});
     },
     {{50, 50, blue}, {20, 51, blue}, {50, 20, blue}, {50, 70, white}}},
    {"one-pixel lines cover the row and column they name",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_SOLID, 0, Qt::black).selectObject(0);
         b.moveTo(10, 10).lineTo(90, 10);
         b.polyline({{70, 20}, {70, 90}});
         b.createBrush(BS_NULL, Qt::white).selectObject(1).rectangle(20, 40, 50, 80);
     },
     {{50, 10, black},
      {50, 9, white},
      {50, 11, white},
      {70, 50, black},
      {69, 50, white},
      {71, 50, white},
      {20, 60, black},
      {19, 60, white},
      {21, 60, white},
      {35, 40, black},
      {35, 41, white}}},
    {"save and restore the drawing state: red, unclipped",
     true,
     [](WmfBuilder& b) {
         b.createBrush(BS_SOLID, Qt::red).createBrush(BS_SOLID, Qt::blue).selectObject(0);
         b.saveDc().selectObject(1).intersectClipRect(0, 0, 10, 10).restoreDc(-1);
         b.rectangle(20, 20, 80, 80);
     },
     {{50, 50, red}}},
    {"clip rectangles: intersected, then excluded",
     true,
     [](WmfBuilder& b) {
         b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
         b.createBrush(BS_SOLID, Qt::red).selectObject(1);
         b.intersectClipRect(0, 0, 50, 100).excludeClipRect(0, 0, 50, 20);
         b.rectangle(0, 0, 100, 100);
     },
     {{25, 50, red}, {75, 50, white}, {25, 10, white}}},
    {"bitmaps are drawn at their destination, stretched or not",
     true,
     [](WmfBuilder& b) {
         b.stretchDib(QRect(0, 0, 40, 40), tile());
         b.dibStretchBlt(QRect(60, 0, 40, 40), tile());
         b.dibBitBlt(QPoint(50, 90), tile());
     },
     {{20, 5, blue},
      {20, 35, green},
      {80, 5, blue},
      {80, 35, green},
      {50, 50, white},
      {51, 91, green},
      {51, 90, blue}}},
    {"a palette-index colour (flag byte 1) for entry 1",
     true,
     [](WmfBuilder& b) {
         b.objects(2).createPalette({Qt::black, Qt::green}).selectPalette(0);
         b.record(0x02FC, {0, 1, 0x0100, 0}).selectObject(1).rectangle(0, 0, 100, 100);
     },
     {{50, 50, green}}},
    {"a run-length bitmap with a colour table",
     true,
     rleBitmapRecord,
     {{50, 25, blue}, {50, 75, green}}},
    {"a plain metafile without a window is the area it draws",
     false,
     [](WmfBuilder& b) {
         b.createBrush(BS_SOLID, Qt::red).selectObject(0).rectangle(100, 50, 200, 146);
         b.moveTo(200, 100).lineTo(292, 100);
     },
     {{25, 50, red}, {75, 20, white}}},
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

} // namespace

TEST(WmfRender, DrawingsGiveTheirPixels) {
    for (const Drawing& d : kDrawings) {
        WmfBuilder b = d.placeable ? picture() : WmfBuilder();
        d.draw(b);
        const QImage image = draw(b);
        ASSERT_EQ(image.size(), QSize(100, 100)) << d.what;
        EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied) << d.what;
        for (const Pixel& p : d.pixels)
            EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour)
                << d.what << " at " << p.x << "," << p.y;
    }
}

TEST(WmfRender, ScaledToTheRequestedSizeWithinReason) {
    WmfBuilder b = picture();
    b.createBrush(BS_SOLID, Qt::red).selectObject(0).rectangle(50, 0, 100, 100);
    const QImage image = draw(b, QSize(20, 40));
    EXPECT_EQ(image.size(), QSize(20, 40));
    EXPECT_EQ(image.pixelColor(15, 20), red);
    EXPECT_EQ(image.pixelColor(5, 20), white);
    EXPECT_TRUE(wmf::render(b.build(), QSize(1, 1)));
    EXPECT_FALSE(wmf::render(b.build(), QSize(0, 10)));
    EXPECT_FALSE(wmf::render(b.build(), QSize(100000, 100000)));
}

TEST(WmfRender, HatchedAndNullBrushes) {
    WmfBuilder b = picture();
    b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    b.createBrush(BS_HATCHED, Qt::black, 4).selectObject(1); // cross hatch
    b.setBkMode(1).rectangle(0, 0, 50, 50);
    b.createBrush(BS_NULL, Qt::red).selectObject(2).rectangle(50, 0, 100, 50);
    const QImage image = draw(b);
    int lines = 0;
    int other = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            (image.pixelColor(x, y) == black ? lines : other)++;
    EXPECT_GT(lines, 100);
    EXPECT_GT(other, 1000); // lines, not a fill
    for (int y = 0; y < 50; ++y)
        for (int x = 51; x < 100; ++x)
            ASSERT_EQ(image.pixelColor(x, y), white) << x << "," << y;
}

TEST(WmfRender, EndlessShapesStopAtTheDrawingBudget) {
    // Ten thousand full-picture ellipses still finish, fast, with the picture drawn.
    WmfBuilder b = picture();
    b.createBrush(BS_SOLID, Qt::red).selectObject(0);
    for (int k = 0; k < 10000; ++k)
        b.ellipse(-30000, -30000, 30000, 30000);
    const auto image = wmf::render(b.build(), QSize(50, 50));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelColor(25, 25), red);
}
