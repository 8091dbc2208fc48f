// Metafile headers: natural size from the placeable box or the window extent, and damaged
// or absurd files refused before anything is drawn.
#include "platform/pictures/wmf/wmf.h"
#include "platform/twips.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::Error;
using platform::Result;
using wmftest::WmfBuilder;
namespace wmf = platform::wmf;

namespace {

WmfBuilder drawing() {
    WmfBuilder b;
    b.createBrush(0, Qt::red).selectObject(0).rectangle(10, 10, 50, 50);
    return b;
}

// The bytes of a bitmap record (StretchDIB) stated as w x h, with the given pixel bytes.
QByteArray bitmapRecord(int w, int h, int pixelBytes) {
    WmfBuilder b;
    QByteArray params;
    for (int word : {0x0020, 0x00CC, 0, h & 0xFFFF, w & 0xFFFF, 0, 0, 100, 100, 0, 0}) {
        params.append(char(word & 0xFF));
        params.append(char((word >> 8) & 0xFF));
    }
    params += WmfBuilder::dibHeader(w, h, 24) + QByteArray(pixelBytes, '\0');
    return b.placeable(0, 0, 100, 100, 1440).recordBytes(0x0F43, params).build();
}

} // namespace

TEST(WmfHeader, PlaceableSizeIsTheBoxInItsUnitsPerInch) {
    struct Case {
        int left, top, right, bottom, inch;
        double twipsW, twipsH;
    };
    // 1440 units per inch are twips; 576 units per inch make each unit 2.5 twips.
    const Case cases[] = {{0, 0, 1000, 800, 1440, 1000, 800},
                          {0, 0, 576, 288, 576, 1440, 720},
                          {-500, 200, 500, 700, 1440, 1000, 500}};
    for (const Case& c : cases) {
        QByteArray bytes = drawing().placeable(c.left, c.top, c.right, c.bottom, c.inch).build();
        if (c.left) // writers often get the checksum wrong
            bytes[20] = char(bytes[20] ^ 0x5A);
        Result why;
        const auto header = wmf::readHeader(bytes, &why);
        ASSERT_TRUE(header) << why.reason.toStdString();
        EXPECT_EQ(header->kind, platform::PictureKind::Metafile);
        EXPECT_EQ(header->twips, QSizeF(c.twipsW, c.twipsH));
        EXPECT_EQ(header->pixels.width(), int(std::lround(c.twipsW / platform::twipsPerPixelX())));
        EXPECT_EQ(header->pixels.height(), int(std::lround(c.twipsH / platform::twipsPerPixelY())));
    }
}

TEST(WmfHeader, PlainSizeIsTheWindowExtentInItsMappingModeOrWhatItDraws) {
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
        EXPECT_EQ(header->twips, QSizeF(c.twipsW, c.twipsH)) << "mode " << c.mode;
    }
    // No window: drawn from (100, 50) to (292, 146), 192 x 96 pixels at 96 per inch.
    WmfBuilder b;
    b.rectangle(100, 50, 200, 146).moveTo(200, 100).lineTo(292, 100);
    const auto header = wmf::readHeader(b.build());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->twips, QSizeF(2880, 1440));
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
        {"a 60,000 x 60,000 bitmap", bitmapRecord(60000, 60000, 64), Error::TooLarge},
        {"a bitmap without its pixels", bitmapRecord(100, 100, 100), Error::Corrupt},
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
