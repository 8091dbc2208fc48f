#include "platform/pictures/pictureloader.h"
#include "platform/twips.h"
#include "support/testfolder.h"
#include "tools/gifwriter.h"
#include "tools/rlebitmap.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TestFolder;

namespace {

const QSizeF kCellBox(1453, 1453);

using tools::bytes;
void le16(QByteArray& b, int v) {
    tools::rledetail::le(b, v, 2);
}
void le32(QByteArray& b, qint64 v) {
    tools::rledetail::le(b, v, 4);
}

// A GIF whose screen and first image are both w × h, with a one-pixel body.
QByteArray gifClaiming(int w, int h) {
    QByteArray gif("GIF89a");
    le16(gif, w);
    le16(gif, h);
    gif += bytes({0, 0, 0, ',', 0, 0, 0, 0});
    le16(gif, w);
    le16(gif, h);
    return gif + bytes({0, 2, 2, 0x4C, 1, 0, 0x3B});
}

// A one-pixel 8-bit bitmap whose header claims w × h.
QByteArray bitmapClaiming(int w, int h) {
    QByteArray bmp = tools::bitmapFile(1, 1, 8, 0, {qRgb(0, 0, 0)}, QByteArray(4, '\0'));
    QByteArray size;
    le32(size, w);
    le32(size, h);
    return bmp.replace(18, 8, size);
}

} // namespace

TEST(PictureLoader, ReadsEveryKindOfTheMaskWithItsNaturalSizeWhateverItIsCalled) {
    TestFolder dir;
    ASSERT_DOUBLE_EQ(twipsPerPixelX(), 15.0); // 96 DPI on the offscreen screen
    using enum PictureKind;
    const struct {
        const char* name;
        int w, h;
        PictureKind kind;
        const char* format; // written as, when not as the name says
    } kinds[] = {{"a.bmp", 40, 30, Raster, nullptr},  {"b.DIB", 33, 17, Raster, nullptr},
                 {"c.RLE", 12, 50, Raster, nullptr},  {"d.JPG", 64, 48, Raster, nullptr},
                 {"e.jpeg", 20, 10, Raster, nullptr}, {"f.gif", 31, 7, Raster, nullptr},
                 {"g.ico", 32, 32, Icon, nullptr},    {"strip.gif", 65000, 1, Raster, nullptr},
                 {"photo.bmp", 20, 10, Raster, "jpg"}};
    for (const auto& k : kinds) {
        const QString path = dir.file(QString::fromUtf8(k.name));
        dir.writePicture(QString::fromUtf8(k.name), k.w, k.h, Qt::blue, k.format);
        Result why;
        const auto header = readPictureHeader(path, &why);
        ASSERT_TRUE(header.has_value()) << k.name << " " << why.reason.toStdString();
        EXPECT_EQ(header->kind, k.kind) << k.name;
        EXPECT_EQ(header->pixels, QSize(k.w, k.h)) << k.name;
        EXPECT_EQ(header->twips, QSizeF(k.w * 15.0, k.h * 15.0)) << k.name;
        const auto image = loadFullPicture(path);
        ASSERT_TRUE(image.has_value()) << k.name;
        EXPECT_EQ(image->size(), QSize(k.w, k.h)) << k.name;
        const QColor centre = image->pixelColor(k.w / 2, k.h / 2);
        EXPECT_GT(centre.blue(), 200) << k.name;
        EXPECT_LT(centre.red(), 60) << k.name;
        EXPECT_TRUE(loadThumbnail(path, kCellBox).has_value()) << k.name;
    }
}

TEST(PictureLoader, DamagedEmptyAndAbsurdPicturesFailCleanly) {
    TestFolder dir;
    dir.writePicture("good.jpg", 64, 64);
    const QByteArray jpeg = dir.read("good.jpg");
    dir.writePicture("good.bmp", 30, 30);
    const QByteArray bmp = dir.read("good.bmp");
    dir.writePicture("png.jpg", 20, 10, Qt::red, "png"); // no kind of the mask, whatever its name
    QByteArray bigJpeg = jpeg;
    const int sof = bigJpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    bigJpeg.replace(sof + 5, 4, bytes({0xEA, 0x60, 0xEA, 0x60})); // 60000 × 60000

    const struct {
        const char* name;
        QByteArray content;
        Error error;
    } cases[] = {
        {"empty.jpg", "", Error::Corrupt},
        {"header-only.jpg", jpeg.left(200), Error::Corrupt},
        {"half.bmp", bmp.left(54 + 30 * 90 / 2), Error::Corrupt},
        {"huge.gif", gifClaiming(60000, 60000), Error::TooLarge},
        {"huge.bmp", bitmapClaiming(60000, 60000), Error::TooLarge},
        {"huge.jpg", bigJpeg, Error::TooLarge},
        // Within the pixel limit, but 30 bytes cannot hold it.
        {"liar.gif", gifClaiming(12000, 12000), Error::Corrupt},
        // Past the pixel count though each side is modest.
        {"big.bmp", bitmapClaiming(40000, 40000), Error::TooLarge},
        {"gone.jpg", QByteArray(), Error::NotFound},
        {"png.jpg", QByteArray(), Error::Unsupported},
    };
    for (const auto& c : cases) {
        const QString path = dir.file(QString::fromUtf8(c.name));
        if (!c.content.isNull())
            dir.write(QString::fromUtf8(c.name), c.content);
        Result why;
        EXPECT_FALSE(loadThumbnail(path, kCellBox, &why).has_value()) << c.name;
        EXPECT_EQ(why.error, c.error) << c.name << ": " << why.reason.toStdString();
        EXPECT_FALSE(loadFullPicture(path).has_value()) << c.name;
    }
}

TEST(PictureLoader, WhatQtsReadersLeaveWrongIsShownAsMeant) {
    // A top-down bitmap (rows stored top first: red, then blue), and a GIF screen of 4 × 2
    // whose first image, 2 × 2 red, covers its left half only.
    const QByteArray topDown = tools::bitmapFile(
        2, -2, 24, 0, {}, bytes({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0}));
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray gif = tools::encodeGif(red);
    gif[6] = 4;
    // A V5 bitmap of 16-bit A1R5G5B5 pixels with one alpha bit: opaque red, transparent blue.
    QByteArray a1 = tools::bitmapFile(2, 1, 16, 3, {}, bytes({0x00, 0xFC, 0x1F, 0x00}));
    QByteArray v5;
    for (qint64 v : {0x7C00, 0x03E0, 0x001F, 0x8000}) // red, green, blue, alpha masks
        le32(v5, v);
    a1.insert(54, v5 + QByteArray(124 - 56, '\0'));
    a1.replace(2, 4, bytes({static_cast<int>(a1.size()), 0, 0, 0}));
    a1.replace(10, 8, bytes({14 + 124, 0, 0, 0, 124, 0, 0, 0}));
    // Name, file, size, where it is opaque red, and a pixel that is blue or transparent.
    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;
        QPoint red, other;
        QRgb otherColour;
    } cases[] = {{"down.bmp", topDown, {2, 2}, {1, 0}, {1, 1}, qRgb(0, 0, 255)},
                 {"half.gif", gif, {4, 2}, {1, 1}, {3, 0}, 0},
                 {"a1.bmp", a1, {2, 1}, {0, 0}, {1, 0}, 0}};
    TestFolder dir;
    for (const auto& c : cases) {
        dir.write(QString::fromLatin1(c.name), c.bytes);
        PictureHeader header;
        const auto image = loadFullPicture(dir.file(QString::fromLatin1(c.name)), &header);
        ASSERT_TRUE(image.has_value()) << c.name;
        EXPECT_EQ(header.pixels, c.size) << c.name;
        ASSERT_EQ(image->size(), c.size) << c.name;
        const QRgb r = image->pixel(c.red);
        EXPECT_TRUE(qAlpha(r) == 255 && qRed(r) >= 248 && qGreen(r) == 0 && qBlue(r) == 0)
            << c.name << " " << std::hex << r; // five bits widened to at least 248
        const QRgb o = image->pixel(c.other);
        EXPECT_EQ(qAlpha(c.otherColour) ? o : qAlpha(o), c.otherColour) << c.name;
        const auto thumb = loadThumbnail(dir.file(QString::fromLatin1(c.name)), kCellBox);
        ASSERT_TRUE(thumb.has_value()) << c.name;
        EXPECT_EQ(qAlpha(thumb->image.pixel(c.red * thumb->image.width() / c.size.width())), 255)
            << c.name;
    }
}
