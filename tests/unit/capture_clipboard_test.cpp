// The system clipboard service (offscreen: Qt's in-process clipboard): adding keeps the other
// formats, a picture comes back as it went in, text is not a bitmap.
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

QImage picture() {
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    img.setPixel(4, 2, qRgb(1, 2, 3));
    return img;
}

TEST(SystemClipboard, PictureAndTextAccumulateUntilCleared) {
    platform::Clipboard& cb = platform::systemClipboard();
    ASSERT_TRUE(cb.clear().ok());
    EXPECT_FALSE(cb.hasBitmap());
    QImage out;
    EXPECT_EQ(cb.readBitmap(out).error, platform::Error::NotFound);

    ASSERT_TRUE(cb.addImage(picture()).ok());
    ASSERT_TRUE(cb.addText(QStringLiteral("C:\\PICS\\sea.jpg")).ok());
    EXPECT_TRUE(cb.hasBitmap());
    ASSERT_TRUE(cb.bitmap().has_value());
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), picture());
    EXPECT_EQ(cb.text(), QStringLiteral("C:\\PICS\\sea.jpg"));

    // Readers of other programs find the picture as PNG and BMP too.
    const QMimeData* md = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(md, nullptr);
    EXPECT_TRUE(md->formats().contains(QStringLiteral("image/png")));
    EXPECT_TRUE(md->formats().contains(QStringLiteral("image/bmp")));
    QImage viaBmp;
    ASSERT_TRUE(viaBmp.loadFromData(md->data(QStringLiteral("image/bmp")), "BMP"));
    EXPECT_EQ(viaBmp.convertToFormat(QImage::Format_RGB32), picture());

    // A new text replaces only the text; a new picture only the picture.
    ASSERT_TRUE(cb.addText(QStringLiteral("second")).ok());
    QImage other(2, 2, QImage::Format_RGB32);
    other.fill(Qt::blue);
    ASSERT_TRUE(cb.addImage(other).ok());
    EXPECT_EQ(cb.text(), QStringLiteral("second"));
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), other);

    ASSERT_TRUE(cb.clear().ok());
    EXPECT_FALSE(cb.hasBitmap());
    EXPECT_FALSE(cb.text().has_value());
}

TEST(SystemClipboard, TextAloneIsNoBitmap) {
    platform::Clipboard& cb = platform::systemClipboard();
    cb.clear();
    cb.addText(QStringLiteral("words"));
    EXPECT_FALSE(cb.hasBitmap());
    QImage out;
    EXPECT_EQ(cb.readBitmap(out).error, platform::Error::NotFound);
    EXPECT_FALSE(cb.addImage(QImage()).ok());
    EXPECT_EQ(cb.text(), QStringLiteral("words"));
}

} // namespace
