#include "platform/pictures/pictureloader.h"
#include "platform/twips.h"
#include "support/testfolder.h"
#include "tools/gifwriter.h"
#include "tools/rlebitmap.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

const QSizeF kCellBox(1453, 1453);

using tools::bytes;
void le16(QByteArray& b, int v) { tools::rledetail::le(b, v, 2); }
void le32(QByteArray& b, qint64 v) { tools::rledetail::le(b, v, 4); }

// A bottom-up bitmap with a grey-scale palette of 2^bits entries and the given compression
// (1 = RLE8, 2 = RLE4), its pixel data written as given.
QByteArray bitmap(int w, int h, int bits, int compression, const QByteArray& pixels) {
    const int colours = 1 << bits;
    QVector<QRgb> grey;
    for (int i = 0; i < colours; ++i)
        grey << qRgb(i * 255 / (colours - 1), i * 255 / (colours - 1), i * 255 / (colours - 1));
    return tools::bitmapFile(w, h, bits, compression, grey, pixels);
}

// TestFolder::writePicture, plus GIF, which Qt cannot write.
void writePicture(const TestFolder& dir, const QString& name, int w, int h, QColor colour) {
    if (!name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)) {
        dir.writePicture(name, w, h, colour);
        return;
    }
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    dir.write(name, tools::encodeGif(img));
}

int grey(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y));
}

} // namespace

TEST(PictureLoader, ReadsEveryKindOfTheMaskWithItsNaturalSize) {
    TestFolder dir;
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    ASSERT_DOUBLE_EQ(tx, 15.0); // 96 DPI on the offscreen screen
    struct Kind {
        const char* name;
        int w, h;
        PictureKind kind;
    } kinds[] = {{"a.bmp", 40, 30, PictureKind::Raster},  {"b.DIB", 33, 17, PictureKind::Raster},
                 {"c.RLE", 12, 50, PictureKind::Raster},  {"d.JPG", 64, 48, PictureKind::Raster},
                 {"e.jpeg", 20, 10, PictureKind::Raster}, {"f.gif", 31, 7, PictureKind::Raster},
                 {"g.ico", 32, 32, PictureKind::Icon}};
    for (const Kind& k : kinds) {
        writePicture(dir, QString::fromUtf8(k.name), k.w, k.h, Qt::blue);
        Result why;
        auto header = readPictureHeader(dir.file(QString::fromUtf8(k.name)), &why);
        ASSERT_TRUE(header.has_value()) << k.name << " " << why.reason.toStdString();
        EXPECT_EQ(header->kind, k.kind) << k.name;
        EXPECT_EQ(header->pixels, QSize(k.w, k.h)) << k.name;
        EXPECT_EQ(header->twips, QSizeF(k.w * tx, k.h * ty)) << k.name;

        PictureHeader full;
        auto image = loadFullPicture(dir.file(QString::fromUtf8(k.name)), &full);
        ASSERT_TRUE(image.has_value()) << k.name;
        EXPECT_EQ(image->size(), QSize(k.w, k.h)) << k.name;
        EXPECT_EQ(full.pixels, QSize(k.w, k.h));
        const QColor centre = image->pixelColor(k.w / 2, k.h / 2);
        EXPECT_GT(centre.blue(), 200) << k.name;
        EXPECT_LT(centre.red(), 60) << k.name;
    }
}

TEST(PictureLoader, DecodesRunLengthBitmapsBuiltByHand) {
    TestFolder dir;
    // RLE8, 4 × 2: bottom row a run of four 255s and an end of line; top row a run of
    // one 0, then an absolute run 128 255 0 padded to a word, then end of bitmap.
    QByteArray rle8 = bytes({4, 255, 0, 0, 1, 0, 0, 3, 128, 255, 0, 0, 0, 1});
    dir.write("run8.rle", bitmap(4, 2, 8, 1, rle8));
    auto image8 = loadFullPicture(dir.file("run8.rle"));
    ASSERT_TRUE(image8.has_value());
    ASSERT_EQ(image8->size(), QSize(4, 2));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(grey(*image8, x, 1), 255) << x;
    EXPECT_EQ(grey(*image8, 0, 0), 0);
    EXPECT_EQ(grey(*image8, 1, 0), 128);
    EXPECT_EQ(grey(*image8, 2, 0), 255);
    EXPECT_EQ(grey(*image8, 3, 0), 0);

    // RLE4, 4 × 1 with 16 greys: a run of 4 alternating 15 and 0, then end of bitmap.
    QByteArray rle4 = bytes({4, 0xF0, 0, 1});
    dir.write("run4.bmp", bitmap(4, 1, 4, 2, rle4));
    auto image4 = loadFullPicture(dir.file("run4.bmp"));
    ASSERT_TRUE(image4.has_value());
    EXPECT_EQ(grey(*image4, 0, 0), 255);
    EXPECT_EQ(grey(*image4, 1, 0), 0);
    EXPECT_EQ(grey(*image4, 2, 0), 255);
    EXPECT_EQ(grey(*image4, 3, 0), 0);
}

TEST(PictureLoader, ThumbnailIsDecodedAtTheCellFitSize) {
    TestFolder dir;
    dir.writePicture("wide.jpg", 2000, 1000, Qt::green); // 30000 × 15000 twips
    auto wide = loadThumbnail(dir.file("wide.jpg"), kCellBox);
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->header.pixels, QSize(2000, 1000));
    EXPECT_EQ(wide->header.twips, QSizeF(30000, 15000));
    EXPECT_EQ(wide->image.size(), QSize(97, 48)); // 1453 × 726.5 twips

    writePicture(dir, "tall.gif", 300, 600, Qt::green);
    auto tall = loadThumbnail(dir.file("tall.gif"), kCellBox);
    ASSERT_TRUE(tall.has_value());
    EXPECT_EQ(tall->image.size(), QSize(48, 97));

    // A picture that fits is never enlarged.
    dir.writePicture("small.bmp", 50, 20, Qt::green);
    auto small = loadThumbnail(dir.file("small.bmp"), kCellBox);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->image.size(), QSize(50, 20));

    // Several at once keep their order; a failure leaves its place empty.
    dir.write("bad.jpg", "not a picture");
    auto all = loadThumbnails(
        {dir.file("small.bmp"), dir.file("bad.jpg"), dir.file("tall.gif"), dir.file("gone.jpg")},
        kCellBox);
    ASSERT_EQ(all.size(), 4u);
    ASSERT_TRUE(all[0].has_value());
    EXPECT_EQ(all[0]->image.size(), QSize(50, 20));
    EXPECT_FALSE(all[1].has_value());
    ASSERT_TRUE(all[2].has_value());
    EXPECT_EQ(all[2]->image.size(), QSize(48, 97));
    EXPECT_FALSE(all[3].has_value());
}

TEST(PictureLoader, KindComesFromTheContentNotTheExtension) {
    TestFolder dir;
    dir.writePicture("photo.jpg", 20, 10);
    QFile::copy(dir.file("photo.jpg"), dir.file("photo.bmp"));
    auto header = readPictureHeader(dir.file("photo.bmp"));
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->pixels, QSize(20, 10));
    // PNG is no kind of the mask, whatever the file is called.
    dir.writePicture("x.png", 20, 10);
    QFile::copy(dir.file("x.png"), dir.file("png.jpg"));
    Result why;
    EXPECT_FALSE(readPictureHeader(dir.file("png.jpg"), &why).has_value());
    EXPECT_EQ(why.error, Error::Unsupported);
}

TEST(PictureLoader, DamagedEmptyAndAbsurdPicturesFailCleanly) {
    TestFolder dir;
    dir.writePicture("good.jpg", 64, 64);
    const QByteArray jpeg = dir.read("good.jpg");
    dir.write("empty.jpg", "");
    dir.write("text.gif", "hello, this is text\r\n");
    dir.write("header-only.jpg", jpeg.left(200));
    dir.write("bm-only.bmp", "BM");
    dir.writePicture("good.bmp", 30, 30);
    dir.write("cut.bmp", dir.read("good.bmp").left(54)); // headers only
    dir.write("half.bmp", dir.read("good.bmp").left(54 + 30 * 90 / 2));

    // GIF and BMP headers declaring 60000 × 60000.
    QByteArray gif("GIF89a");
    le16(gif, 60000);
    le16(gif, 60000);
    gif += bytes({0, 0, 0, ',', 0, 0, 0, 0});
    le16(gif, 60000);
    le16(gif, 60000);
    gif += bytes({0, 2, 2, 0x4C, 1, 0, 0x3B});
    dir.write("huge.gif", gif);
    QByteArray bmp = bitmap(1, 1, 8, 0, QByteArray(4, '\0'));
    bmp.replace(18, 8, QByteArray("\x60\xEA\0\0\x60\xEA\0\0", 8));
    dir.write("huge.bmp", bmp);
    QByteArray bigJpeg = jpeg;
    int sof = bigJpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    bigJpeg[sof + 5] = '\xEA', bigJpeg[sof + 6] = '\x60'; // 60000 × 60000
    bigJpeg[sof + 7] = '\xEA', bigJpeg[sof + 8] = '\x60';
    dir.write("huge.jpg", bigJpeg);

    const struct {
        const char* name;
        Error error;
    } cases[] = {{"empty.jpg", Error::Corrupt},       {"text.gif", Error::Unsupported},
                 {"header-only.jpg", Error::Corrupt}, {"bm-only.bmp", Error::Corrupt},
                 {"cut.bmp", Error::Corrupt},         {"half.bmp", Error::Corrupt},
                 {"huge.gif", Error::TooLarge},       {"huge.bmp", Error::TooLarge},
                 {"huge.jpg", Error::TooLarge},       {"gone.jpg", Error::NotFound}};
    for (const auto& c : cases) {
        const QString path = dir.file(QString::fromUtf8(c.name));
        Result why;
        auto thumb = loadThumbnail(path, kCellBox, &why);
        EXPECT_FALSE(thumb.has_value()) << c.name;
        EXPECT_EQ(why.error, c.error) << c.name << ": " << why.reason.toStdString();
        EXPECT_FALSE(loadFullPicture(path).has_value()) << c.name;
    }
}

namespace {

// A 24-bit bitmap with the given header size (40, 108 or 124) and signed height; V4 and
// V5 headers carry bit-field masks after the first 40 bytes.
QByteArray bitmap24(int infoSize, int w, int h, QRgb top, QRgb bottom) {
    const int stride = (w * 3 + 3) / 4 * 4;
    const int rows = h < 0 ? -h : h;
    QByteArray b("BM");
    le32(b, 14 + infoSize + stride * rows);
    le32(b, 0);
    le32(b, 14 + infoSize);
    le32(b, infoSize);
    le32(b, w);
    le32(b, h);
    le16(b, 1);
    le16(b, 24);
    le32(b, 0);
    le32(b, stride * rows);
    le32(b, 2835);
    le32(b, 2835);
    le32(b, 0);
    le32(b, 0);
    b.append(QByteArray(infoSize - 40, '\0'));
    for (int r = 0; r < rows; ++r) {
        // Stored first: the top row of a top-down bitmap, the bottom row otherwise.
        const bool isTop = h < 0 ? r == 0 : r == rows - 1;
        const QRgb c = isTop ? top : bottom;
        QByteArray row;
        for (int x = 0; x < w; ++x)
            row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        row.append(QByteArray(stride - w * 3, '\0'));
        b += row;
    }
    return b;
}

} // namespace

TEST(PictureLoader, TopDownAndV4V5BitmapsShowTheRightWayUp) {
    TestFolder dir;
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    for (int infoSize : {40, 108, 124}) {
        for (int h : {3, -3}) {
            const QString name = QStringLiteral("b%1_%2.bmp").arg(infoSize).arg(h);
            dir.write(name, bitmap24(infoSize, 5, h, red, blue));
            auto header = readPictureHeader(dir.file(name));
            ASSERT_TRUE(header.has_value()) << name.toStdString();
            EXPECT_EQ(header->pixels, QSize(5, 3)) << name.toStdString();
            auto image = loadFullPicture(dir.file(name));
            ASSERT_TRUE(image.has_value()) << name.toStdString();
            EXPECT_EQ(image->pixel(2, 0), red) << name.toStdString();
            EXPECT_EQ(image->pixel(2, 2), blue) << name.toStdString();
        }
    }
}

TEST(PictureLoader, PixelCountNotOneSideIsLimitedAndShortFilesCannotClaimHugeSizes) {
    TestFolder dir;
    // A strip 65,000 pixels long is a picture like any other.
    writePicture(dir, "strip.gif", 65000, 1, Qt::red);
    auto strip = readPictureHeader(dir.file("strip.gif"));
    ASSERT_TRUE(strip.has_value());
    EXPECT_EQ(strip->pixels, QSize(65000, 1));
    ASSERT_TRUE(loadThumbnail(dir.file("strip.gif"), kCellBox).has_value());

    // 12,000 × 12,000 is within the pixel limit, but 30 bytes cannot hold it.
    QByteArray gif("GIF89a");
    le16(gif, 12000);
    le16(gif, 12000);
    gif += bytes({0, 0, 0, ',', 0, 0, 0, 0});
    le16(gif, 12000);
    le16(gif, 12000);
    gif += bytes({0, 2, 2, 0x4C, 1, 0, 0x3B});
    dir.write("liar.gif", gif);
    Result why;
    EXPECT_FALSE(loadThumbnail(dir.file("liar.gif"), kCellBox, &why).has_value());
    EXPECT_EQ(why.error, Error::Corrupt) << why.reason.toStdString();

    // A bitmap past the pixel count is too large even when each side is modest.
    QByteArray bmp = bitmap(1, 1, 8, 0, QByteArray(4, '\0'));
    bmp.replace(18, 8, QByteArray("\x40\x9C\0\0\x40\x9C\0\0", 8)); // 40,000 × 40,000
    dir.write("big.bmp", bmp);
    EXPECT_FALSE(readPictureHeader(dir.file("big.bmp"), &why).has_value());
    EXPECT_EQ(why.error, Error::TooLarge);
}

TEST(PictureLoader, GifScreenOutsideTheFirstImageIsTransparent) {
    TestFolder dir;
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray gif = tools::encodeGif(img);
    // Widen the logical screen to 4 × 2: the image covers its left half only.
    gif[6] = 4;
    dir.write("half.gif", gif);
    auto image = loadFullPicture(dir.file("half.gif"));
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->size(), QSize(4, 2));
    EXPECT_EQ(qAlpha(image->pixel(1, 1)), 255);
    EXPECT_EQ(qRed(image->pixel(1, 1)), 255);
    EXPECT_EQ(qAlpha(image->pixel(3, 0)), 0);
}

namespace {

// An icon file of 32-bit entries, each one colour, in the order given; the directory states
// the colour depth given (the reader reads the entry's own header).
struct IconPart {
    int side;
    QRgb colour;
    int statedBits = 32;
};
QByteArray iconFile(const std::vector<IconPart>& entries) {
    QByteArray dir, data;
    le16(dir, 0);
    le16(dir, 1);
    le16(dir, static_cast<int>(entries.size()));
    qint64 offset = 6 + 16 * static_cast<qint64>(entries.size());
    for (const auto& [side, colour, statedBits] : entries) {
        QByteArray e;
        le32(e, 40);
        le32(e, side);
        le32(e, side * 2); // the colour rows and the mask rows
        le16(e, 1);
        le16(e, 32);
        for (int k = 0; k < 6; ++k)
            le32(e, 0);
        for (int p = 0; p < side * side; ++p) {
            e.append(static_cast<char>(qBlue(colour)));
            e.append(static_cast<char>(qGreen(colour)));
            e.append(static_cast<char>(qRed(colour)));
            e.append(static_cast<char>(0xFF));
        }
        e.append(QByteArray(((side + 31) / 32) * 4 * side, '\0')); // nothing masked out
        dir.append(static_cast<char>(side == 256 ? 0 : side));
        dir.append(static_cast<char>(side == 256 ? 0 : side));
        dir.append('\0');
        dir.append('\0');
        le16(dir, 1);
        le16(dir, statedBits);
        le32(dir, e.size());
        le32(dir, offset);
        offset += e.size();
        data.append(e);
    }
    return dir + data;
}

} // namespace

TEST(PictureLoaderIcons, TheLargestEntryOfTheMostColoursIsShownWhereverItStands) {
    TestFolder dir;
    struct Case {
        const char* name;
        std::vector<IconPart> entries;
        int side;
        QRgb colour;
    };
    const Case cases[] = {
        {"first.ico", {{48, qRgb(0, 0, 255)}, {16, qRgb(255, 0, 0)}}, 48, qRgb(0, 0, 255)},
        {"middle.ico",
         {{16, qRgb(255, 0, 0)}, {48, qRgb(0, 0, 255)}, {32, qRgb(0, 255, 0)}},
         48,
         qRgb(0, 0, 255)},
        {"last.ico", {{16, qRgb(255, 0, 0)}, {32, qRgb(0, 255, 0)}}, 32, qRgb(0, 255, 0)},
        // More colours win over size: a large 8-bit image against a smaller true-colour one.
        {"deep.ico",
         {{16, qRgb(255, 0, 0), 4}, {64, qRgb(0, 0, 255), 8}, {32, qRgb(0, 255, 0), 32}},
         32,
         qRgb(0, 255, 0)},
    };
    for (const Case& c : cases) {
        dir.write(QString::fromLatin1(c.name), iconFile(c.entries));
        const QString path = dir.file(QString::fromLatin1(c.name));
        PictureHeader header;
        const auto full = loadFullPicture(path, &header);
        ASSERT_TRUE(full.has_value()) << c.name;
        EXPECT_EQ(header.pixels, QSize(c.side, c.side)) << c.name;
        EXPECT_EQ(full->size(), QSize(c.side, c.side)) << c.name;
        EXPECT_EQ(full->pixel(c.side / 2, c.side / 2), c.colour) << c.name;
        const auto thumb = loadThumbnail(path, kCellBox);
        ASSERT_TRUE(thumb.has_value()) << c.name;
        EXPECT_EQ(thumb->image.pixel(0, 0), c.colour) << c.name;
    }
}

TEST(PictureLoader, OneBitAlphaOfABitFieldBitmapIsOpaqueOrTransparent) {
    // A V5 bitmap of 16-bit A1R5G5B5 pixels, one row: opaque red, transparent blue.
    QByteArray b("BM");
    const int offset = 14 + 124;
    le32(b, offset + 4);
    le32(b, 0);
    le32(b, offset);
    le32(b, 124);
    le32(b, 2);
    le32(b, 1);
    le16(b, 1);
    le16(b, 16);
    le32(b, 3); // bit fields
    le32(b, 4);
    le32(b, 2835);
    le32(b, 2835);
    le32(b, 0);
    le32(b, 0);
    le32(b, 0x7C00); // red
    le32(b, 0x03E0); // green
    le32(b, 0x001F); // blue
    le32(b, 0x8000); // alpha: one bit
    b.append(QByteArray(124 - 56, '\0'));
    le16(b, 0x8000 | 0x7C00); // opaque red
    le16(b, 0x001F);          // transparent blue
    TestFolder dir;
    dir.write(QStringLiteral("a1.bmp"), b);
    const auto image = loadFullPicture(dir.file(QStringLiteral("a1.bmp")));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(qAlpha(image->pixel(0, 0)), 255);
    EXPECT_GE(qRed(image->pixel(0, 0)), 248); // five bits widened
    EXPECT_EQ(qAlpha(image->pixel(1, 0)), 0);
    const auto thumb = loadThumbnail(dir.file(QStringLiteral("a1.bmp")), kCellBox);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(qAlpha(thumb->image.pixel(0, 0)), 255);
}

namespace {

// A one-entry icon of 32 × 32 red pixels stored at the given colour depth (palette colour 1
// for the paletted depths), whose transparency mask marks the left half transparent.
QByteArray maskedIcon(int bits) {
    const int side = 32;
    const int colours = bits <= 8 ? 1 << bits : 0;
    QByteArray e;
    le32(e, 40);
    le32(e, side);
    le32(e, side * 2);
    le16(e, 1);
    le16(e, bits);
    for (int k = 0; k < 6; ++k)
        le32(e, 0);
    for (int i = 0; i < colours; ++i)
        le32(e, i == 1 ? 0x00FF0000 : 0x00000000);
    const int stride = (side * bits + 31) / 32 * 4;
    for (int y = 0; y < side; ++y) {
        QByteArray row;
        for (int x = 0; x < side; ++x) {
            if (bits == 24)
                row.append('\0').append('\0').append(static_cast<char>(0xFF));
        }
        if (bits == 8)
            row = QByteArray(side, '\1');
        else if (bits == 4)
            row = QByteArray(side / 2, '\x11');
        row.append(QByteArray(stride - row.size(), '\0'));
        e.append(row);
    }
    for (int y = 0; y < side; ++y)
        e.append(bytes({0xFF, 0xFF, 0x00, 0x00})); // the left 16 pixels of each row
    QByteArray dir;
    le16(dir, 0);
    le16(dir, 1);
    le16(dir, 1);
    dir.append(static_cast<char>(side)).append(static_cast<char>(side));
    dir.append(static_cast<char>(colours == 256 ? 0 : colours)).append('\0');
    le16(dir, 1);
    le16(dir, bits);
    le32(dir, e.size());
    le32(dir, 6 + 16);
    return dir + e;
}

} // namespace

TEST(PictureLoaderIcons, TheTransparencyMaskOfAnEntryWithoutAlphaIsApplied) {
    TestFolder dir;
    for (int bits : {24, 8, 4}) {
        const QString name = QStringLiteral("masked%1.ico").arg(bits);
        dir.write(name, maskedIcon(bits));
        const auto full = loadFullPicture(dir.file(name));
        ASSERT_TRUE(full.has_value()) << bits;
        ASSERT_EQ(full->size(), QSize(32, 32)) << bits;
        EXPECT_EQ(qAlpha(full->pixel(3, 10)), 0) << bits;
        EXPECT_EQ(qAlpha(full->pixel(15, 31)), 0) << bits;
        EXPECT_EQ(full->pixel(16, 10), qRgb(255, 0, 0)) << bits;
        EXPECT_EQ(full->pixel(31, 0), qRgb(255, 0, 0)) << bits;
        const auto thumb = loadThumbnail(dir.file(name), kCellBox);
        ASSERT_TRUE(thumb.has_value()) << bits;
        EXPECT_EQ(qAlpha(thumb->image.pixel(2, 2)), 0) << bits;
        EXPECT_EQ(thumb->image.pixel(thumb->image.width() - 2, 2), qRgb(255, 0, 0)) << bits;
    }
}

TEST(PictureLoader, AJpegThumbnailOfFineDetailLooksLikeTheWholePictureShrunk) {
    // Black and white stripes six pixels apart: finer than a decoder's eighth-size DCT can
    // render, so a thumbnail drawn from one comes out striped or grey in the wrong places.
    QImage stripes(500, 333, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, x % 6 < 3 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    TestFolder dir;
    const QString path = dir.file(QStringLiteral("stripes.jpg"));
    QImageWriter writer(path, "jpeg");
    writer.setQuality(100);
    ASSERT_TRUE(writer.write(stripes));

    const auto full = loadFullPicture(path);
    const auto thumb = loadThumbnail(path, kCellBox);
    ASSERT_TRUE(full.has_value());
    ASSERT_TRUE(thumb.has_value());
    ASSERT_LT(thumb->image.width(), 120);
    const QImage expected =
        full->convertToFormat(QImage::Format_RGB32)
            .scaled(thumb->image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage got = thumb->image.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            sum += std::abs(qGray(got.pixel(x, y)) - qGray(expected.pixel(x, y)));
    EXPECT_LT(sum / (got.width() * got.height()), 8.0);
}
