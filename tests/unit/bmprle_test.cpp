// Run-length bitmaps decoded by our own reader: every pixel defined, every index coloured.
#include "platform/pictures/bmprle.h"
#include "platform/pictures/pictureloader.h"
#include "support/testfolder.h"
#include "tools/rlebitmap.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

using tools::bytes;
using tools::wrapRleBitmap;

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);

} // namespace

TEST(RleBitmap, SkippedPixelsTakeTheFirstColourAlsoThroughThePictureLoader) {
    // 6 × 3: bottom row two 1s then end of line; a delta of 3 right and 1 up, one 1;
    // then end of bitmap. Everything else is index 0 (white).
    testing_support::TestFolder dir;
    dir.write(QStringLiteral("gap.rle"),
              wrapRleBitmap(6, 3, 8, {kWhite, kRed}, bytes({2, 1, 0, 0, 0, 2, 3, 1, 1, 1, 0, 1})));
    PictureHeader header;
    const auto img = loadFullPicture(dir.file(QStringLiteral("gap.rle")), &header);
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(header.pixels, QSize(6, 3));
    EXPECT_EQ(img->pixel(0, 2), kRed);
    EXPECT_EQ(img->pixel(1, 2), kRed);
    EXPECT_EQ(img->pixel(2, 2), kWhite);
    EXPECT_EQ(img->pixel(3, 0), kRed); // y 1 + 1 up from the second row is the top row
    EXPECT_EQ(img->pixel(0, 0), kWhite);
    EXPECT_EQ(img->pixel(5, 1), kWhite);
}

TEST(RleBitmap, AbsoluteRunsOfOddLengthAndRle4Nibbles) {
    // RLE4, 7 × 1: an absolute run of 5 nibbles 1,2,3,4,5 (3 bytes, padded to 4), then a run
    // of two alternating 6 and 7 that is only found past the padding byte.
    QList<QRgb> grey;
    for (int i = 0; i < 16; ++i)
        grey << qRgb(i * 16, i * 16, i * 16);
    const QByteArray data = bytes({0, 5, 0x12, 0x34, 0x50, 0, 2, 0x67, 0, 1});
    const auto img = decodeRleBitmap(wrapRleBitmap(7, 1, 4, grey, data));
    ASSERT_TRUE(img.has_value());
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(img->pixel(x, 0), grey[x + 1]) << x;
}

TEST(RleBitmap, CutOffStreamAndShortColourTableStayDefinedAndBadHeadersAreRefused) {
    // Indices beyond a two-entry colour table, and a stream that ends in the middle.
    const auto img =
        decodeRleBitmap(wrapRleBitmap(4, 110, 8, {kWhite, kRed}, bytes({3, 200, 0, 3, 7})));
    ASSERT_TRUE(img.has_value());
    EXPECT_EQ(img->colorCount(), 256);
    EXPECT_EQ(img->pixel(0, 109), qRgb(0, 0, 0));
    EXPECT_EQ(img->pixel(3, 109), kWhite);
    EXPECT_EQ(img->pixel(2, 0), kWhite);

    QByteArray pastEnd = wrapRleBitmap(4, 4, 8, {kWhite}, bytes({0, 1}));
    QByteArray huge = pastEnd;
    pastEnd.replace(10, 2, "\xff\xff"); // pixel data offset beyond the file
    Result why;
    EXPECT_FALSE(decodeRleBitmap(pastEnd, &why).has_value());
    EXPECT_EQ(why.error, Error::Corrupt);
    huge.replace(18, 8, bytes({0x60, 0xEA, 0, 0, 0x60, 0xEA, 0, 0})); // 60,000 × 60,000
    EXPECT_FALSE(decodeRleBitmap(huge).has_value());
    EXPECT_FALSE(rleBitmapInfo(QByteArray("BM not a bitmap")).has_value());
}
