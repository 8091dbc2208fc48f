// The whole picture of a JPEG, which the loader decodes through libjpeg itself so that a
// decode given up stops at once: pixel for pixel what Qt's reader makes of the same bytes,
// whole, cut short or damaged, from bytes and from a file.
#include "platform/pictures/pictureloader.h"
#include "support/testfolder.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>
#include <thread>

using namespace platform;

namespace {

QImage drawing(int w, int h, QImage::Format format) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) & 255));
    QPainter(&img).drawEllipse(w / 4, h / 4, w / 2, h / 2);
    return img.convertToFormat(format);
}

QByteArray jpegOf(const QImage& img, bool progressive, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(img));
    return bytes;
}

QImage qtReads(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    return reader.read();
}

} // namespace

TEST(WholeJpeg, IsWhatQtsReaderMakesOfTheSameBytes) {
    const QByteArray colour = jpegOf(drawing(301, 203, QImage::Format_RGB32), false);
    QByteArray damaged = colour;
    damaged[damaged.size() / 2] = char(0xFF); // a marker where the rows' data should be
    damaged[damaged.size() / 2 + 1] = char(0xD9);
    const struct {
        const char* what;
        QByteArray bytes;
    } rows[] = {
        {"baseline colour", colour},
        {"progressive colour", jpegOf(drawing(333, 77, QImage::Format_RGB32), true)},
        {"grey", jpegOf(drawing(120, 90, QImage::Format_Grayscale8), false)},
        {"low quality", jpegOf(drawing(64, 640, QImage::Format_RGB32), false, 10)},
        {"cut short", colour.left(colour.size() * 2 / 3)},
        {"cut short progressive", jpegOf(drawing(200, 200, QImage::Format_RGB32), true).left(900)},
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

TEST(WholeJpeg, ADecodeGivenUpGivesNothingAndTheNextGivesTheWholePicture) {
    const QByteArray bytes = jpegOf(drawing(2400, 1600, QImage::Format_RGB32), false);
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
    const auto again = loadFullPictureFromBytes(bytes, QStringLiteral("p.jpg"));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, qtReads(bytes));
}
