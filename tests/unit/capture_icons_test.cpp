// The icons drawn in code: the sizes each window asks for, real artwork in each.
#include "platform/controls/icons.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

int opaquePixels(const QImage& img) {
    int n = 0;
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            n += qAlpha(argb.pixel(x, y)) > 0;
    return n;
}

TEST(Icons, EachIconHasItsSizesAndIsDrawn) {
    const QList<QSize> tarvo = platform::tarvoIcon().availableSizes();
    for (int px : {16, 32, 48})
        EXPECT_TRUE(tarvo.contains(QSize(px, px))) << px;
    const QList<QSize> mirok = platform::mirokIcon().availableSizes();
    EXPECT_TRUE(mirok.contains(QSize(32, 32)));
    EXPECT_TRUE(mirok.contains(QSize(16, 16)));

    const QImage m32 = platform::mirokIconImage(32);
    EXPECT_EQ(m32.size(), QSize(32, 32));
    EXPECT_GT(opaquePixels(m32), 32 * 32 / 3);
    EXPECT_LT(opaquePixels(m32), 32 * 32); // transparent around the board
}

TEST(Icons, CopyDestinationIconHasSixteenColoursAtMost) {
    const QImage img = platform::copyDirIcon().pixmap(16, 16).toImage();
    EXPECT_EQ(img.size(), QSize(16, 16));
    QSet<QRgb> colours;
    const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            colours.insert(argb.pixel(x, y));
    EXPECT_LE(colours.size(), 16);
    EXPECT_TRUE(colours.contains(qRgb(0x80, 0, 0))); // the dark red arrow
}

} // namespace
