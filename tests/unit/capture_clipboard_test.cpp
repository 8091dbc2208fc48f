// The system clipboard service (offscreen: Qt's in-process clipboard).
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

TEST(SystemClipboard, PictureAndTextAccumulateUntilClearedAndTextIsNoBitmap) {
    platform::Clipboard& cb = platform::systemClipboard();
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(cb.clear().ok());
    ASSERT_TRUE(cb.addText(QStringLiteral("words")).ok());
    EXPECT_FALSE(cb.hasBitmap());
    QImage out;
    EXPECT_EQ(cb.readBitmap(out).error, platform::Error::NotFound);
    EXPECT_FALSE(cb.addImage(QImage()).ok());

    ASSERT_TRUE(cb.addImage(img).ok());
    EXPECT_EQ(cb.text(), QStringLiteral("words")); // a picture replaces only the picture
    EXPECT_TRUE(cb.hasBitmap());
    ASSERT_TRUE(cb.readBitmap(out).ok());
    EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), img);
    // Readers of other programs find the picture as BMP too.
    QImage viaBmp;
    ASSERT_TRUE(viaBmp.loadFromData(
        QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/bmp")), "BMP"));
    EXPECT_EQ(viaBmp.convertToFormat(QImage::Format_RGB32), img);
    ASSERT_TRUE(cb.addText(QStringLiteral("second")).ok()); // and a text only the text
    EXPECT_EQ(cb.bitmap()->convertToFormat(QImage::Format_RGB32), img);

    ASSERT_TRUE(cb.clear().ok());
    EXPECT_FALSE(cb.hasBitmap());
    EXPECT_FALSE(cb.text().has_value());
}

} // namespace
