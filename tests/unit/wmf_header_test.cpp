// Metafile headers: natural size from the placeable box or the window extent, and damaged
// or absurd files refused before anything is drawn.
#include "platform/pictures/wmf/wmf.h"
#include "platform/twips.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::Error;
using platform::PictureKind;
using platform::Result;
using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

WmfBuilder drawing() {
    WmfBuilder b;
    b.createBrush(0, Qt::red).selectObject(0).rectangle(10, 10, 50, 50);
    return b;
}

Error failureOf(const QByteArray& bytes) {
    Result why;
    EXPECT_FALSE(wmf::readHeader(bytes, &why));
    Result renderWhy;
    EXPECT_FALSE(wmf::render(bytes, QSize(32, 32), &renderWhy));
    EXPECT_EQ(why.error, renderWhy.error);
    EXPECT_FALSE(why.reason.isEmpty());
    return why.error;
}

} // namespace

TEST(WmfHeader, PlaceableSizeIsTheBoxInItsUnitsPerInch) {
    struct Case {
        int right, bottom, inch;
        double twipsW, twipsH;
    };
    // 1440 units per inch are twips; 576 units per inch make each unit 2.5 twips.
    const Case cases[] = {
        {1000, 800, 1440, 1000, 800}, {576, 288, 576, 1440, 720}, {4000, 1000, 576, 10000, 2500}};
    for (const Case& c : cases) {
        const QByteArray bytes = drawing().placeable(0, 0, c.right, c.bottom, c.inch).build();
        Result why;
        const auto header = wmf::readHeader(bytes, &why);
        ASSERT_TRUE(header) << why.reason.toStdString();
        EXPECT_EQ(header->kind, PictureKind::Metafile);
        EXPECT_DOUBLE_EQ(header->twips.width(), c.twipsW);
        EXPECT_DOUBLE_EQ(header->twips.height(), c.twipsH);
        EXPECT_EQ(header->pixels.width(), int(std::lround(c.twipsW / platform::twipsPerPixelX())));
        EXPECT_EQ(header->pixels.height(), int(std::lround(c.twipsH / platform::twipsPerPixelY())));
    }
}

TEST(WmfHeader, PlaceableBoxNeedNotStartAtZero) {
    const QByteArray bytes = drawing().placeable(-500, 200, 500, 700, 1440).build();
    const auto header = wmf::readHeader(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->twips, QSizeF(1000, 500));
}

TEST(WmfHeader, PlainSizeIsTheWindowExtentInItsMappingMode) {
    struct Case {
        int mode; // 0: none set
        int extX, extY;
        double twipsW, twipsH;
    };
    const Case cases[] = {
        {0, 96, 48, 1440, 720},     // MM_TEXT by default: 96 per inch
        {8, 192, 96, 2880, 1440},   // MM_ANISOTROPIC: 96 per inch
        {7, 96, 96, 1440, 1440},    // MM_ISOTROPIC
        {6, 1440, -720, 1440, 720}, // MM_TWIPS, y upwards
        {3, 2540, 1270, 1440, 720}, // MM_HIMETRIC: 0.01 mm
        {4, 100, 50, 1440, 720},    // MM_LOENGLISH: 0.01 inch
    };
    for (const Case& c : cases) {
        WmfBuilder b;
        if (c.mode)
            b.setMapMode(c.mode);
        b.setWindowOrg(0, 0).setWindowExt(c.extX, c.extY).rectangle(0, 0, 10, 10);
        const auto header = wmf::readHeader(b.build());
        ASSERT_TRUE(header) << "mode " << c.mode;
        EXPECT_DOUBLE_EQ(header->twips.width(), c.twipsW) << "mode " << c.mode;
        EXPECT_DOUBLE_EQ(header->twips.height(), c.twipsH) << "mode " << c.mode;
    }
}

TEST(WmfHeader, DamagedFilesFail) {
    const QByteArray good = drawing().placeable(0, 0, 100, 100, 1440).build();
    ASSERT_TRUE(wmf::readHeader(good));

    // Cut anywhere inside the records: the last record runs past the file.
    for (qsizetype cut : {good.size() - 2, good.size() - 8, qsizetype(22 + 18 + 4)})
        EXPECT_EQ(failureOf(good.left(cut)), Error::Corrupt) << cut;
    EXPECT_EQ(failureOf(QByteArray()), Error::Corrupt);
    EXPECT_EQ(failureOf(good.left(30)), Error::Corrupt);
    EXPECT_EQ(failureOf(QByteArray("GIF89a not a metafile at all....")), Error::Corrupt);

    // No end record.
    EXPECT_EQ(failureOf(drawing().placeable(0, 0, 100, 100, 1440).buildWithoutEof()),
              Error::Corrupt);

    // A record claiming zero words would never advance.
    QByteArray zero = good;
    zero[22 + 18] = 0;
    zero[22 + 18 + 1] = 0;
    EXPECT_EQ(failureOf(zero), Error::Corrupt);

    // A record claiming more words than the file holds.
    QByteArray huge = good;
    huge[22 + 18 + 3] = char(0x7F);
    EXPECT_EQ(failureOf(huge), Error::Corrupt);
}

TEST(WmfHeader, ObjectIndexOutsideTheTableFails) {
    WmfBuilder b;
    b.placeable(0, 0, 100, 100, 1440).createPen(0, 1, Qt::black).selectObject(1);
    EXPECT_EQ(failureOf(b.build()), Error::Corrupt);
    WmfBuilder d;
    d.placeable(0, 0, 100, 100, 1440).objects(2).createPen(0, 1, Qt::black).deleteObject(7);
    EXPECT_EQ(failureOf(d.build()), Error::Corrupt);
    // The same index inside a larger declared table is fine (an empty slot is ignored).
    WmfBuilder ok;
    ok.placeable(0, 0, 100, 100, 1440).objects(8).createPen(0, 1, Qt::black).selectObject(7);
    EXPECT_TRUE(wmf::render(ok.build(), QSize(10, 10)));
    WmfBuilder many;
    many.placeable(0, 0, 100, 100, 1440).objects(60000);
    EXPECT_EQ(failureOf(many.build()), Error::TooLarge);
}

TEST(WmfHeader, AbsurdSizesFail) {
    // 64,000 units at 96 per inch: 64,000 pixels a side.
    EXPECT_EQ(failureOf(drawing().placeable(-32000, -32000, 32000, 32000, 96).build()),
              Error::TooLarge);
    // One unit per inch: a picture miles wide.
    EXPECT_EQ(failureOf(drawing().placeable(0, 0, 30000, 30000, 1).build()), Error::TooLarge);
    EXPECT_EQ(failureOf(drawing().placeable(0, 0, 100, 100, 0).build()), Error::Corrupt);
    EXPECT_EQ(failureOf(drawing().placeable(0, 0, 0, 100, 1440).build()), Error::Corrupt);
    WmfBuilder plain;
    plain.setMapMode(1).setWindowExt(32000, 32000).rectangle(0, 0, 10, 10);
    EXPECT_EQ(failureOf(plain.build()), Error::TooLarge);
    WmfBuilder nothingDrawn;
    nothingDrawn.setMapMode(1).setBkMode(1);
    EXPECT_EQ(failureOf(nothingDrawn.build()), Error::Corrupt);
}

TEST(WmfHeader, PlainWithoutWindowIsWhatItDraws) {
    // Drawn from (100, 50) to (292, 146): 192 x 96 pixels at 96 per inch.
    WmfBuilder b;
    b.createBrush(0, Qt::red).selectObject(0).rectangle(100, 50, 200, 146);
    b.moveTo(200, 100).lineTo(292, 100);
    const auto header = wmf::readHeader(b.build());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->twips, QSizeF(2880, 1440));
    const auto image = wmf::render(b.build(), QSize(192, 96));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelColor(50, 48), QColor(Qt::red));
    EXPECT_EQ(image->pixelColor(150, 20), QColor(Qt::white));
}

TEST(WmfHeader, GiantOrTruncatedBitmapFails) {
    // 60,000 x 60,000 stated in the bitmap header.
    QByteArray params;
    const QList<int> words{0x0020, 0x00CC, 0, 60000 & 0xFFFF, 60000 & 0xFFFF, 0, 0, 100, 100, 0, 0};
    for (int w : words) {
        params.append(char(w & 0xFF));
        params.append(char((w >> 8) & 0xFF));
    }
    params.append(WmfBuilder::dibHeader(60000, 60000, 24));
    params.append(QByteArray(64, '\0'));
    WmfBuilder giant;
    giant.placeable(0, 0, 100, 100, 1440).recordBytes(0x0F43, params);
    EXPECT_EQ(failureOf(giant.build()), Error::TooLarge);

    // A modest bitmap whose pixels are missing.
    QByteArray cut = params.left(22);
    cut.append(WmfBuilder::dibHeader(100, 100, 24));
    cut.append(QByteArray(100, '\0'));
    WmfBuilder truncated;
    truncated.placeable(0, 0, 100, 100, 1440).recordBytes(0x0F43, cut);
    EXPECT_EQ(failureOf(truncated.build()), Error::Corrupt);
}

TEST(WmfHeader, UnknownRecordsAreSkippedBySize) {
    WmfBuilder b;
    b.placeable(0, 0, 100, 100, 100)
        .record(0x0626, {15, 4, 1, 2, 3, 4}) // an escape
        .record(0x7777, {1, 2, 3})
        .createBrush(0, Qt::red)
        .selectObject(0)
        .rectangle(0, 0, 100, 100);
    const auto image = wmf::render(b.build(), QSize(20, 20));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelColor(10, 10), QColor(Qt::red));
}

TEST(WmfHeader, WrongPlaceableChecksumIsAccepted) {
    // Writers often get the checksum wrong; the box and units are what matter.
    QByteArray bytes = drawing().placeable(0, 0, 1440, 720, 1440).build();
    bytes[20] = char(bytes[20] ^ 0x5A);
    const auto header = wmf::readHeader(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->twips, QSizeF(1440, 720));
}
