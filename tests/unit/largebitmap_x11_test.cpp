// Bitmaps above Qt's default image limit of 128 MiB come off the clipboard whole.
#include "platform/bitmaplimit.h"
#include "platform/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

// Another program's offer as the X11 clipboard hands it over: BMP bytes, decoded on request.
class ForeignBitmap : public QMimeData {
public:
    explicit ForeignBitmap(QByteArray bmp) : m_bmp(std::move(bmp)) {}
    QStringList formats() const override {
        return {QStringLiteral("image/bmp"), QStringLiteral("application/x-qt-image")};
    }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        if (format == QLatin1String("image/bmp"))
            return m_bmp;
        return QImage::fromData(m_bmp, "BMP");
    }

private:
    QByteArray m_bmp;
};

} // namespace

TEST(LargeBitmap, ABitmapAbove128MiBComesOffTheClipboard) {
    // 8640 × 4096 at four bytes a pixel is 135 MiB.
    QImage screen(8640, 4096, QImage::Format_RGB32);
    screen.fill(qRgb(20, 40, 60));
    screen.setPixel(8639, 4095, qRgb(1, 2, 3));
    QByteArray bytes;
    {
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(screen.save(&buf, "BMP"));
    }
    QGuiApplication::clipboard()->setMimeData(new ForeignBitmap(std::move(bytes)));

    QImage out;
    const platform::Result r = platform::systemClipboard().readBitmap(out);
    ASSERT_TRUE(r.ok()) << r.reason.toStdString();
    EXPECT_EQ(out.size(), screen.size());
    EXPECT_EQ(out.pixel(8639, 4095), qRgb(1, 2, 3));
    // The viewer reads Qt's own image conversion, under the same limit.
    EXPECT_EQ(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()).size(),
              screen.size());
    QGuiApplication::clipboard()->clear();
}
