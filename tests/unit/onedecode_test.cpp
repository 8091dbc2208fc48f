// A picture decoded whole on the way to its thumbnail gives a second size from the same
// decode (the shared thumbnail entry): exactly what a decode of its own at that size gives,
// turned upright; and nothing where the picture was decoded at a reduced size.
#include "platform/pictures/pictureloader.h"
#include "tools/gifwriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QImage quadrants(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    return img;
}

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(img));
    return bytes;
}

// A JPEG whose APP1 segment holds only the orientation tag (6: turned a quarter clockwise).
QByteArray turnedJpeg(const QImage& img) {
    const QByteArray jpeg = encoded(img, "jpeg");
    const QByteArray body =
        QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06"
                   "\0\0\0\0\0\0",
                   32);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(0)).append(char(body.size() + 2));
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

} // namespace

TEST(OneDecode, TheSecondSizeIsWhatItsOwnDecodeGives) {
    const QSizeF cell(1453, 1453), entry(128 * 15, 128 * 15);
    const struct {
        const char* name;
        QByteArray bytes;
        bool whole; // decoded whole on the way to the cell
    } rows[] = {
        {"p.bmp", encoded(quadrants(600, 400), "bmp"), true},
        {"p.png", encoded(quadrants(90, 300), "png"), false}, // its reader scales it itself
        {"p.gif", tools::encodeGif(quadrants(333, 111)), true},
        {"small.jpg", turnedJpeg(quadrants(150, 80)), true},
        {"big.jpg", turnedJpeg(quadrants(1600, 1000)), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QImage also;
        const auto thumb = loadThumbnailFromBytes(row.bytes, QString::fromLatin1(row.name), cell,
                                                  nullptr, {entry, &also});
        ASSERT_TRUE(thumb);
        const auto alone = loadThumbnailFromBytes(row.bytes, QString::fromLatin1(row.name), cell);
        ASSERT_TRUE(alone);
        EXPECT_EQ(thumb->image, alone->image) << "the cell's own picture is unchanged";
        if (!row.whole) {
            EXPECT_TRUE(also.isNull());
            continue;
        }
        const auto own = loadThumbnailFromBytes(row.bytes, QString::fromLatin1(row.name), entry);
        ASSERT_TRUE(own);
        EXPECT_EQ(also, own->image);
    }
}
