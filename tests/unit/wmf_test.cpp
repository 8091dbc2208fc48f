// Metafiles shown through the picture loader, and Japanese text records drawn as Japanese.
// (Real drawings are compared with their references by the picture corpus.)
#include "platform/pictures/pictureloader.h"
#include "platform/pictures/wmf/wmf.h"
#include "platform/pictures/wmf/wmftext.h"
#include "support/testfolder.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

enum { PS_NULL = 5, BS_SOLID = 0 };
const QColor white(Qt::white), red(Qt::red);

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

TEST(WmfRender, ShownAtItsNaturalSizeAndAsAThumbnailWithinReasonAndTheDrawingBudget) {
    WmfBuilder b; // 3000 × 1500 twips: 200 × 100 pixels, the right half red
    b.placeable(0, 0, 3000, 1500, 1440).createPen(PS_NULL, 0, Qt::black).selectObject(0);
    b.createBrush(BS_SOLID, Qt::red).selectObject(1).rectangle(1500, 0, 3000, 1500);
    testing_support::TestFolder dir;
    dir.write(QStringLiteral("drawing.WMF"), b.build());
    const QString path = dir.file(QStringLiteral("drawing.WMF"));
    platform::PictureHeader header;
    const auto full = platform::loadFullPicture(path, &header);
    ASSERT_TRUE(full);
    EXPECT_EQ(header.kind, platform::PictureKind::Metafile);
    ASSERT_EQ(full->size(), QSize(200, 100));
    EXPECT_EQ(full->pixelColor(150, 50), red);
    EXPECT_EQ(full->pixelColor(50, 50), white);
    const auto thumb = platform::loadThumbnail(path, QSizeF(1453, 1453));
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->image.size(), QSize(97, 48));
    EXPECT_EQ(thumb->image.pixelColor(80, 20), red);
    EXPECT_EQ(thumb->image.pixelColor(20, 20), white);
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
