// A JPEG's whole picture, decoded by libjpeg driven by the loader so that a decode given up
// stops at once, is what Qt's reader makes of the same bytes; a picture decoded whole for its
// thumbnail gives a second size from the same decode, as a decode of its own would.
#include "platform/pictures/pictureloader.h"
#include "support/testfolder.h"
#include "tools/gifwriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>
#include <thread>

using namespace platform;

namespace {

QImage drawing(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) & 255));
    QPainter(&img).drawEllipse(w / 4, h / 4, w / 2, h / 2);
    return img.convertToFormat(format);
}

QByteArray encoded(const QImage& img, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(img));
    return bytes;
}

// A JPEG whose APP1 segment holds only the orientation tag 6 (turned a quarter clockwise).
QByteArray turnedJpeg(const QImage& img) {
    const QByteArray jpeg = encoded(img, "jpeg");
    const QByteArray body("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06"
                          "\0\0\0\0\0\0",
                          32);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(0)).append(char(body.size() + 2));
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

QImage qtReads(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "jpeg").read();
}

} // namespace

TEST(WholeJpeg, IsWhatQtsReaderMakesOfTheSameBytes) {
    const QByteArray colour = encoded(drawing(301, 203), "jpeg");
    QByteArray damaged = colour;
    damaged[damaged.size() / 2] = char(0xFF); // a marker where the rows' data should be
    damaged[damaged.size() / 2 + 1] = char(0xD9);
    const struct {
        const char* what;
        QByteArray bytes;
    } rows[] = {
        {"baseline colour", colour},
        {"progressive colour", encoded(drawing(333, 77), "jpeg", true)},
        {"grey", encoded(drawing(120, 90, QImage::Format_Grayscale8), "jpeg")},
        {"cut short", colour.left(colour.size() * 2 / 3)},
        {"cut short progressive", encoded(drawing(200, 200), "jpeg", true).left(900)},
        {"damaged", damaged},
    };
    testing_support::TestFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QImage expected = qtReads(row.bytes);
        ASSERT_FALSE(expected.isNull());
        const auto fromBytes = loadFullPictureFromBytes(row.bytes, QStringLiteral("p.jpg"));
        ASSERT_TRUE(fromBytes);
        EXPECT_EQ(fromBytes->format(), expected.format());
        EXPECT_EQ(*fromBytes, expected);
        folder.write(QStringLiteral("p.jpg"), row.bytes);
        const auto fromFile = loadFullPicture(folder.file(QStringLiteral("p.jpg")));
        ASSERT_TRUE(fromFile);
        EXPECT_EQ(*fromFile, expected);
    }
}

TEST(WholeJpeg, ADecodeGivenUpGivesNothingWhereverItStops) {
    const QByteArray bytes = encoded(drawing(2400, 1600), "jpeg");
    std::atomic<bool> cancelled{false};
    std::optional<QImage> given = QImage(1, 1, QImage::Format_RGB32);
    Result why;
    std::thread worker([&] {
        given = loadFullPictureFromBytes(bytes, QStringLiteral("p.jpg"), &cancelled, &why);
    });
    cancelled = true;
    worker.join();
    EXPECT_FALSE(given);
    EXPECT_EQ(why.error, Error::Busy);
}

TEST(OneDecode, TheSecondSizeIsWhatItsOwnDecodeGives) {
    const QSizeF cell(1453, 1453), entry(128 * 15, 128 * 15);
    const struct {
        const char* name;
        QByteArray bytes;
        bool whole; // decoded whole on the way to the cell
    } rows[] = {
        {"p.bmp", encoded(drawing(600, 400), "bmp"), true},
        {"p.gif", tools::encodeGif(drawing(333, 111)), true},
        {"small.jpg", turnedJpeg(drawing(150, 80)), true},
        {"p.png", encoded(drawing(90, 300), "png"), false}, // its reader scales it itself
        {"big.jpg", turnedJpeg(drawing(1600, 1000)), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromLatin1(row.name);
        QImage also;
        const auto thumb = loadThumbnailFromBytes(row.bytes, name, cell, nullptr, {entry, &also});
        const auto alone = loadThumbnailFromBytes(row.bytes, name, cell);
        const auto own = loadThumbnailFromBytes(row.bytes, name, entry);
        ASSERT_TRUE(thumb && alone && own);
        EXPECT_EQ(thumb->image, alone->image) << "the cell's own picture is unchanged";
        EXPECT_EQ(also, row.whole ? own->image : QImage());
    }
}
