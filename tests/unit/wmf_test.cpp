// Metafiles: the natural size from the placeable box or the window extent, damaged or absurd
// files refused before anything is drawn, the picture loader showing them, and Japanese text
// records drawn as Japanese. (Real drawings are compared with their references by the corpus.)
#include "platform/pictures/pictureloader.h"
#include "platform/pictures/wmf/wmf.h"
#include "platform/pictures/wmf/wmftext.h"
#include "platform/twips.h"
#include "support/testfolder.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

using platform::Error;
using platform::Result;
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

WmfBuilder drawing() {
    WmfBuilder b;
    b.createBrush(0, Qt::red).selectObject(0).rectangle(10, 10, 50, 50);
    return b;
}

} // namespace

TEST(WmfHeader, NaturalSizeIsThePlaceableBoxOrTheWindowInItsMappingModeOrWhatItDraws) {
    const auto plain = [](int mode, int x, int y) {
        WmfBuilder b;
        if (mode)
            b.setMapMode(mode);
        return b.setWindowOrg(0, 0).setWindowExt(x, y).rectangle(0, 0, 10, 10).build();
    };
    QByteArray badSum = drawing().placeable(-500, 200, 500, 700, 1440).build();
    badSum[20] = char(badSum[20] ^ 0x5A); // writers often get the checksum wrong
    WmfBuilder drawn;                     // no window: drawn from (100, 50) to (292, 146)
    drawn.rectangle(100, 50, 200, 146).moveTo(200, 100).lineTo(292, 100);
    const std::pair<QByteArray, QSizeF> cases[] = {
        {drawing().placeable(0, 0, 1000, 800, 1440).build(), {1000, 800}}, // in twips
        {drawing().placeable(0, 0, 576, 288, 576).build(), {1440, 720}},   // 2.5 twips a unit
        {badSum, {1000, 500}},
        {plain(0, 96, 48), {1440, 720}},     // MM_TEXT by default: 96 per inch
        {plain(8, 192, 96), {2880, 1440}},   // MM_ANISOTROPIC: 96 per inch
        {plain(7, 96, 96), {1440, 1440}},    // MM_ISOTROPIC
        {plain(6, 1440, -720), {1440, 720}}, // MM_TWIPS, y upwards
        {plain(3, 2540, 1270), {1440, 720}}, // MM_HIMETRIC: 0.01 mm
        {plain(4, 100, 50), {1440, 720}},    // MM_LOENGLISH: 0.01 inch
        {drawn.build(), {2880, 1440}},       // 192 x 96 pixels at 96 per inch
    };
    int row = 0;
    for (const auto& [bytes, twips] : cases) {
        Result why;
        const auto header = wmf::readHeader(bytes, &why);
        ASSERT_TRUE(header) << "row " << row << ": " << why.reason.toStdString();
        EXPECT_EQ(header->kind, platform::PictureKind::Metafile);
        EXPECT_EQ(header->twips, twips) << "row " << row;
        EXPECT_EQ(header->pixels, QSizeF(twips.width() / platform::twipsPerPixelX(),
                                         twips.height() / platform::twipsPerPixelY())
                                      .toSize())
            << "row " << row++;
    }
}

TEST(WmfHeader, DamagedOrAbsurdFilesFailAlikeForTheHeaderAndTheDrawing) {
    const QByteArray good = drawing().placeable(0, 0, 100, 100, 1440).build();
    QByteArray zeroWords = good; // a record that would never advance
    zeroWords[22 + 18] = 0;
    zeroWords[22 + 18 + 1] = 0;
    QByteArray hugeRecord = good; // claims more words than the file holds
    hugeRecord[22 + 18 + 3] = char(0x7F);
    const auto placeable = [] { return WmfBuilder().placeable(0, 0, 100, 100, 1440); };
    const struct {
        const char* what;
        QByteArray bytes;
        Error error;
    } cases[] = {
        {"empty", QByteArray(), Error::Corrupt},
        {"no end record", drawing().placeable(0, 0, 100, 100, 1440).buildWithoutEof(),
         Error::Corrupt},
        {"a record of zero words", zeroWords, Error::Corrupt},
        {"a record past the end", hugeRecord, Error::Corrupt},
        {"selecting past the object table",
         placeable().createPen(0, 1, Qt::black).selectObject(1).build(), Error::Corrupt},
        {"a huge object table", placeable().objects(60000).build(), Error::TooLarge},
        {"64,000 pixels a side", drawing().placeable(-32000, -32000, 32000, 32000, 96).build(),
         Error::TooLarge},
        {"no units per inch", drawing().placeable(0, 0, 100, 100, 0).build(), Error::Corrupt},
        {"a huge window",
         WmfBuilder().setMapMode(1).setWindowExt(32000, 32000).rectangle(0, 0, 10, 10).build(),
         Error::TooLarge},
        {"nothing drawn", WmfBuilder().setMapMode(1).setBkMode(1).build(), Error::Corrupt},
    };
    for (const auto& c : cases) {
        Result why, renderWhy;
        EXPECT_FALSE(wmf::readHeader(c.bytes, &why)) << c.what;
        EXPECT_FALSE(wmf::render(c.bytes, QSize(32, 32), &renderWhy)) << c.what;
        EXPECT_EQ(why.error, c.error) << c.what;
        EXPECT_EQ(renderWhy.error, c.error) << c.what;
        EXPECT_FALSE(why.reason.isEmpty()) << c.what;
    }
    // The same index inside a larger declared table is fine (an empty slot is ignored).
    EXPECT_TRUE(wmf::render(
        placeable().objects(8).createPen(0, 1, Qt::black).selectObject(7).build(), QSize(10, 10)));
}

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
