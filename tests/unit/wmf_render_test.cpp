// Metafile drawing records rendered and checked by their pixels.
#include "platform/pictures/wmf/wmf.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

enum { PS_SOLID = 0, PS_NULL = 5, BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };

// A 100 x 100 unit placeable picture, rendered at 100 x 100 pixels unless asked otherwise,
// so that units and pixels agree.
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

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

const QColor white(Qt::white);
const QColor red(Qt::red);
const QColor blue(Qt::blue);
const QColor green(Qt::green);

} // namespace

TEST(WmfRender, RectangleAtItsPlaceOnWhite) {
    WmfBuilder b = picture();
    b.createPen(PS_NULL, 0, Qt::black).selectObject(0).createBrush(BS_SOLID, Qt::red);
    b.selectObject(1).rectangle(20, 30, 60, 70);
    const QImage image = draw(b);
    EXPECT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(at(image, 40, 50), red);
    EXPECT_EQ(at(image, 21, 31), red);
    EXPECT_EQ(at(image, 10, 50), white);
    EXPECT_EQ(at(image, 40, 80), white);
    EXPECT_EQ(at(image, 65, 50), white);
}

TEST(WmfRender, ScaledToTheRequestedSize) {
    WmfBuilder b = picture();
    b.createBrush(BS_SOLID, Qt::red).selectObject(0).rectangle(50, 0, 100, 100);
    const QImage image = draw(b, QSize(20, 40));
    EXPECT_EQ(image.size(), QSize(20, 40));
    EXPECT_EQ(at(image, 15, 20), red);
    EXPECT_EQ(at(image, 5, 20), white);
}

TEST(WmfRender, WindowRecordsMapOntoTheWholePicture) {
    // The window starts at (1000, 1000) and spans 200 units: the rectangle covers its
    // right half.
    WmfBuilder b = picture();
    b.setMapMode(8).setWindowOrg(1000, 1000).setWindowExt(200, 200);
    b.createBrush(BS_SOLID, Qt::blue).selectObject(0).rectangle(1100, 1000, 1200, 1200);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 75, 50), blue);
    EXPECT_EQ(at(image, 25, 50), white);

    // A plain metafile whose y axis points up.
    WmfBuilder up;
    up.setMapMode(8).setWindowOrg(0, 100).setWindowExt(100, -100);
    up.createBrush(BS_SOLID, Qt::blue).selectObject(0).rectangle(0, 0, 100, 20); // bottom
    const QImage flipped = draw(up);
    EXPECT_EQ(at(flipped, 50, 95), blue);
    EXPECT_EQ(at(flipped, 50, 5), white);
}

TEST(WmfRender, ADrawingBesideItsWindowIsShownWhereItIs) {
    // The window says 0..100 but the square is drawn at 30..110: past the right and bottom
    // edges, with the left and top thirds empty. It is shown filling the picture.
    WmfBuilder shifted = picture();
    shifted.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
    shifted.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    shifted.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(30, 30, 110, 110);
    const QImage moved = draw(shifted);
    EXPECT_EQ(at(moved, 3, 3), red);
    EXPECT_EQ(at(moved, 96, 96), red);
    EXPECT_EQ(at(moved, 3, 96), red);

    // The same, stuck out at the left and top, of a window whose y axis points up.
    WmfBuilder up;
    up.setMapMode(8).setWindowOrg(0, 100).setWindowExt(100, -100);
    up.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    up.createBrush(BS_SOLID, Qt::blue).selectObject(1).rectangle(-20, -10, 60, 50);
    const QImage upMoved = draw(up);
    EXPECT_EQ(at(upMoved, 3, 3), blue);
    EXPECT_EQ(at(upMoved, 96, 96), blue);

    // A background larger than the window on every side is cut to the window, as drawn.
    WmfBuilder cut = picture();
    cut.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
    cut.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    cut.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(-50, -50, 150, 150);
    cut.createBrush(BS_SOLID, Qt::blue).selectObject(2).rectangle(40, 40, 60, 60);
    const QImage kept = draw(cut);
    EXPECT_EQ(at(kept, 50, 50), blue);
    EXPECT_EQ(at(kept, 35, 50), red);
    EXPECT_EQ(at(kept, 65, 50), red);

    // A drawing inside its window keeps its margins.
    WmfBuilder inside = picture();
    inside.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100);
    inside.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    inside.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(30, 30, 90, 90);
    const QImage margins = draw(inside);
    EXPECT_EQ(at(margins, 10, 10), white);
    EXPECT_EQ(at(margins, 50, 50), red);
}

TEST(WmfRender, ViewportRecordsScaleRelativeToTheFirstViewport) {
    WmfBuilder b;
    b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(100, 100).setViewportOrg(0, 0);
    b.setViewportExt(100, 100);
    b.createBrush(BS_SOLID, Qt::red).selectObject(0);
    b.saveDc().setViewportExt(50, 50).rectangle(0, 0, 100, 100).restoreDc(-1);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 25, 25), red);
    EXPECT_EQ(at(image, 75, 75), white);
}

TEST(WmfRender, EllipseRoundRectPolygonsAndPies) {
    WmfBuilder b = picture();
    b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    b.createBrush(BS_SOLID, Qt::green).selectObject(1).ellipse(0, 0, 40, 40);
    b.createBrush(BS_SOLID, Qt::red).selectObject(2).roundRect(50, 0, 100, 40, 20, 20);
    b.createBrush(BS_SOLID, Qt::blue).selectObject(3);
    b.polygon({{0, 50}, {40, 50}, {0, 90}});
    // A square with a square hole: alternate filling leaves the hole empty.
    b.polyPolygon(
        {{{50, 50}, {90, 50}, {90, 90}, {50, 90}}, {{60, 60}, {80, 60}, {80, 80}, {60, 80}}});
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 20, 20), green); // ellipse centre
    EXPECT_EQ(at(image, 1, 1), white);   // outside the ellipse, inside its box
    EXPECT_EQ(at(image, 75, 20), red);
    EXPECT_EQ(at(image, 51, 1), white); // the rounded corner
    EXPECT_EQ(at(image, 8, 58), blue);
    EXPECT_EQ(at(image, 35, 85), white);
    EXPECT_EQ(at(image, 55, 55), blue);
    EXPECT_EQ(at(image, 70, 70), white);

    // A pie from 3 o'clock counter-clockwise to 12 o'clock: the upper right quarter.
    WmfBuilder pie = picture();
    pie.createBrush(BS_SOLID, Qt::red).selectObject(0);
    pie.arcLike(0x081A, QRect(0, 0, 100, 100), QPoint(100, 50), QPoint(50, 0));
    const QImage quarter = draw(pie);
    EXPECT_EQ(at(quarter, 70, 30), red);
    EXPECT_EQ(at(quarter, 30, 30), white);
    EXPECT_EQ(at(quarter, 70, 70), white);
}

TEST(WmfRender, LinesUseThePenAndCurrentPosition) {
    WmfBuilder b = picture();
    b.createPen(PS_SOLID, 6, Qt::blue).selectObject(0);
    b.moveTo(10, 50).lineTo(90, 50);
    b.polyline({{50, 10}, {50, 30}});
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 50, 50), blue);
    EXPECT_EQ(at(image, 20, 51), blue);
    EXPECT_EQ(at(image, 50, 20), blue);
    EXPECT_EQ(at(image, 50, 70), white);
}

TEST(WmfRender, OnePixelLinesCoverTheRowAndColumnTheyName) {
    // A thin pen along y = 10 and x = 70, and the outline of a rectangle: each line is one
    // full-coloured pixel wide, on the pixels its coordinates name.
    WmfBuilder b = picture();
    b.createPen(PS_SOLID, 0, Qt::black).selectObject(0);
    b.moveTo(10, 10).lineTo(90, 10);
    b.polyline({{70, 20}, {70, 90}});
    b.createBrush(BS_NULL, Qt::white).selectObject(1).rectangle(20, 40, 50, 80);
    const QImage image = draw(b);
    const QColor black(Qt::black);
    EXPECT_EQ(at(image, 50, 10), black);
    EXPECT_EQ(at(image, 50, 9), white);
    EXPECT_EQ(at(image, 50, 11), white);
    EXPECT_EQ(at(image, 70, 50), black);
    EXPECT_EQ(at(image, 69, 50), white);
    EXPECT_EQ(at(image, 71, 50), white);
    EXPECT_EQ(at(image, 20, 60), black);
    EXPECT_EQ(at(image, 19, 60), white);
    EXPECT_EQ(at(image, 21, 60), white);
    EXPECT_EQ(at(image, 35, 40), black);
    EXPECT_EQ(at(image, 35, 41), white);
}

TEST(WmfRender, HatchedAndNullBrushes) {
    WmfBuilder b = picture();
    b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    b.createBrush(BS_HATCHED, Qt::black, 4).selectObject(1); // cross hatch
    b.setBkMode(1).rectangle(0, 0, 50, 50);
    b.createBrush(BS_NULL, Qt::red).selectObject(2).rectangle(50, 0, 100, 50);
    const QImage image = draw(b);
    int black = 0;
    int other = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            (at(image, x, y) == QColor(Qt::black) ? black : other)++;
    EXPECT_GT(black, 100);
    EXPECT_GT(other, 1000); // lines, not a fill
    for (int y = 0; y < 50; ++y)
        for (int x = 51; x < 100; ++x)
            ASSERT_EQ(at(image, x, y), white) << x << "," << y;
}

TEST(WmfRender, SaveAndRestoreTheDrawingState) {
    WmfBuilder b = picture();
    b.createBrush(BS_SOLID, Qt::red).createBrush(BS_SOLID, Qt::blue).selectObject(0);
    b.saveDc().selectObject(1).intersectClipRect(0, 0, 10, 10).restoreDc(-1);
    b.rectangle(20, 20, 80, 80); // red, unclipped
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 50, 50), red);
}

TEST(WmfRender, ClipRectangles) {
    WmfBuilder b = picture();
    b.createPen(PS_NULL, 0, Qt::black).selectObject(0);
    b.createBrush(BS_SOLID, Qt::red).selectObject(1);
    b.intersectClipRect(0, 0, 50, 100).excludeClipRect(0, 0, 50, 20);
    b.rectangle(0, 0, 100, 100);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 25, 50), red);
    EXPECT_EQ(at(image, 75, 50), white); // outside the intersection
    EXPECT_EQ(at(image, 25, 10), white); // excluded
}

TEST(WmfRender, BitmapsAreDrawnAtTheirDestination) {
    QImage tile(4, 2, QImage::Format_RGB32);
    tile.fill(Qt::green);
    for (int x = 0; x < 4; ++x)
        tile.setPixelColor(x, 0, Qt::blue); // top row blue
    WmfBuilder b = picture();
    b.stretchDib(QRect(0, 0, 40, 40), tile);
    b.dibStretchBlt(QRect(60, 0, 40, 40), tile);
    b.dibBitBlt(QPoint(50, 90), tile);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 20, 5), blue); // top half of the first copy
    EXPECT_EQ(at(image, 20, 35), green);
    EXPECT_EQ(at(image, 80, 5), blue);
    EXPECT_EQ(at(image, 80, 35), green);
    EXPECT_EQ(at(image, 50, 50), white);
    EXPECT_EQ(at(image, 51, 91), green); // unscaled 4 x 2 copy
    EXPECT_EQ(at(image, 51, 90), blue);
}

TEST(WmfRender, RasterOperations) {
    WmfBuilder b = picture();
    b.createBrush(BS_SOLID, Qt::red).selectObject(0);
    b.patBlt(QRect(0, 0, 50, 50), wmftest::PATCOPY);
    b.patBlt(QRect(50, 0, 50, 50), wmftest::BLACKNESS);
    // XOR pen of white over white gives black; the picture stays opaque.
    b.createPen(PS_NULL, 0, Qt::black).selectObject(1).createBrush(BS_SOLID, Qt::white);
    b.selectObject(2).setRop2(7).rectangle(0, 60, 100, 100);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 25, 25), red);
    EXPECT_EQ(at(image, 75, 25), QColor(Qt::black));
    EXPECT_EQ(at(image, 50, 80), QColor(Qt::black));
    EXPECT_EQ(qAlpha(image.pixel(50, 80)), 255);
}

TEST(WmfRender, PaletteColours) {
    WmfBuilder b = picture();
    b.objects(2).createPalette({Qt::black, Qt::green}).selectPalette(0);
    // A palette-index colour (flag byte 1) for entry 1.
    b.record(0x02FC, {0, 1, 0x0100, 0}).selectObject(1).rectangle(0, 0, 100, 100);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 50, 50), green);
}

TEST(WmfRender, RefusesAbsurdOutputSizes) {
    const QByteArray bytes = picture().rectangle(0, 0, 10, 10).build();
    EXPECT_FALSE(wmf::render(bytes, QSize(0, 10)));
    EXPECT_FALSE(wmf::render(bytes, QSize(100000, 100000)));
    EXPECT_TRUE(wmf::render(bytes, QSize(1, 1)));
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

TEST(WmfRender, RunLengthBitmapWithColourTable) {
    // A 4 x 2 RLE8 bitmap with two colours: the bottom row (first in the file) green, the
    // top row blue.
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
    params.append(dib);
    WmfBuilder b = picture();
    b.recordBytes(0x0F43, params);
    const QImage image = draw(b);
    EXPECT_EQ(at(image, 50, 25), blue);
    EXPECT_EQ(at(image, 50, 75), green);
}
