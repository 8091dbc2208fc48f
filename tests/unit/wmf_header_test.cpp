// Metafile headers: natural size from the placeable box or the window extent, and damaged
// or absurd files refused before anything is drawn.
#include "platform/pictures/wmf/wmf.h"
#include "platform/twips.h"
#include "wmfbuilder.h"

#include <gtest/gtest.h>

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
