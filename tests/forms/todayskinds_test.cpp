// PNG, WebP and TIFF pictures, listed when the user types a mask naming them: shown like the
// design's kinds, refused on the same failure path when damaged or stating a size their
// file cannot hold.
#include "organiser/dialogs/setdir.h"
#include "platform/pictures/pictureloader.h"
#include "support/organiserfixture.h"

#include <QBuffer>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>

using namespace testing_support;
using namespace tarvo;

namespace {

QImage sample(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    QPainter(&img).fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(30, 30, 200));
    return img;
}

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buffer, format, 100)) << format; // 100: lossless WebP
    return bytes;
}

QByteArray be32(quint32 v) {
    QByteArray b;
    for (int s = 24; s >= 0; s -= 8)
        b.append(static_cast<char>((v >> s) & 0xFF));
    return b;
}

// A small PNG whose header states w × h: a file far too short for it.
QByteArray lyingPng(quint32 w, quint32 h) {
    const QByteArray png = encoded(sample(20, 10), "png");
    QByteArray ihdr = png.mid(12, 17); // the chunk's type and its 13 bytes
    ihdr.replace(4, 8, be32(w) + be32(h));
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : ihdr) {
        crc ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return png.left(12) + ihdr + be32(~crc) + png.mid(33);
}

} // namespace

TEST_F(OrganiserTest, EveryKindThisQtReadsShowsAndDamagedOnesTakeTheFailurePath) {
    // Linux has WebP and TIFF through the image formats plugins; a Qt without them has PNG only.
    std::vector<std::pair<QString, const char*>> kinds{{QStringLiteral("png"), "png"}};
    for (auto [ext, fmt] : {std::pair{"webp", "webp"}, std::pair{"tif", "tiff"}})
        if (QImageReader::supportedImageFormats().contains(fmt))
            kinds.emplace_back(QString::fromLatin1(ext), fmt);
    const QImage wide = sample(300, 120);
    QString typed;
    for (const auto& [ext, fmt] : kinds) {
        dir.write(QStringLiteral("a.") + ext, encoded(wide, fmt));
        dir.write(QStringLiteral("b.") + ext, encoded(sample(20, 10), fmt).left(30)); // cut off
        dir.write(QStringLiteral("c.") + ext, QByteArray(fmt) + QByteArray(200, 'x'));
        typed += QStringLiteral(";*.") + ext;
    }
    // A PNG stating more than its file can hold is refused before anything is allocated.
    dir.write(QStringLiteral("d.png"), lyingPng(5000, 5000));
    platform::Result why;
    EXPECT_FALSE(platform::readPictureHeader(dir.file(QStringLiteral("d.png")), &why));
    EXPECT_EQ(why.error, platform::Error::Corrupt) << qPrintable(why.reason);

    start(); // the start-up mask stays the design's: none of them is listed
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    // A mask the user types lists them, in the list's order; the good ones show, fitted with
    // their proportions kept, and a click copies the whole picture.
    trigger("ItemSetDIr");
    auto* mask = org->setDir()->findChild<QLineEdit*>(QStringLiteral("SetMask"));
    ASSERT_NE(mask, nullptr);
    mask->setFocus();
    mask->selectAll();
    QTest::keyClicks(mask, typed.mid(1));
    QTest::mouseClick(org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    ASSERT_EQ(view()->Total()->text().toInt(), int(kinds.size()) * 3 + 1);
    EXPECT_EQ(memo()->caption(), QStringLiteral("このファイルは表示不可能なプロパティイです｡"));
    for (int i = 0; i < kCells && !name(i).isEmpty(); ++i) {
        SCOPED_TRACE(name(i).toStdString());
        const bool good = name(i).startsWith(QLatin1Char('a'));
        EXPECT_EQ(view()->Image1(i)->hasPicture(), good);
        if (good) {
            EXPECT_EQ(view()->Image1(i)->size(), QSize(97, 39));
            clickPicture(i);
            ASSERT_TRUE(clip.image.has_value());
            EXPECT_EQ(clip.image->convertToFormat(QImage::Format_RGB32), wide);
        }
    }
}
