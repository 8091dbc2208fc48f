// PNG, WebP and TIFF pictures, listed when the user types a mask naming them: shown like the
// design's kinds, refused on the same failure path when damaged or stating a size their
// file cannot hold.
#include "organiser/dialogs/setdir.h"
#include "platform/pictures/pictureloader.h"
#include "support/organiserfixture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QPainter>

using namespace testing_support;
using namespace tarvo;

namespace {

const QString kCannotDisplay = QStringLiteral("このファイルは表示不可能なプロパティイです｡");

QImage sample(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, QColor(200, 30, 30));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(30, 30, 200));
    return img;
}

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter w(&buffer, format);
    if (QByteArray(format) == "webp")
        w.setQuality(100); // lossless
    EXPECT_TRUE(w.write(img)) << format;
    return bytes;
}

quint32 crc32(const QByteArray& b) {
    quint32 c = 0xFFFFFFFFu;
    for (char ch : b) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void be32(QByteArray& b, quint32 v) {
    for (int s = 24; s >= 0; s -= 8)
        b.append(static_cast<char>((v >> s) & 0xFF));
}

// A PNG whose header states w × h, with one small data chunk: a file far too short for it.
QByteArray lyingPng(quint32 w, quint32 h) {
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray ihdr("IHDR");
    be32(ihdr, w);
    be32(ihdr, h);
    ihdr.append(QByteArray("\x08\x02\0\0\0", 5)); // 8-bit RGB
    be32(png, 13);
    png += ihdr;
    be32(png, crc32(ihdr));
    const QByteArray idat = QByteArray("IDAT") + QByteArray("\x78\x9C\x03\0\0\0\0\x01", 8);
    be32(png, 8);
    png += idat;
    be32(png, crc32(idat));
    const QByteArray iend("IEND");
    be32(png, 0);
    png += iend;
    be32(png, crc32(iend));
    return png;
}

} // namespace

TEST_F(OrganiserTest, EveryKindThisQtReadsShowsAndDamagedOnesTakeTheFailurePath) {
    const auto formats = QImageReader::supportedImageFormats();
    std::vector<std::pair<QString, const char*>> kinds{{QStringLiteral("png"), "png"}};
    // Linux has them through the image formats plugins; a Qt without them has PNG only.
    for (auto [ext, fmt] : {std::pair{"webp", "webp"}, std::pair{"tif", "tiff"}})
        if (formats.contains(fmt))
            kinds.emplace_back(QString::fromLatin1(ext), fmt);
    const QImage wide = sample(300, 120);
    for (const auto& [ext, fmt] : kinds) {
        dir.write(QStringLiteral("a.") + ext, encoded(wide, fmt));
        dir.write(QStringLiteral("b.") + ext, encoded(sample(20, 10), fmt).left(30)); // cut off
        dir.write(QStringLiteral("c.") + ext, QByteArray(fmt) + QByteArray(200, 'x'));
        SCOPED_TRACE(fmt); // the whole picture and the thumbnail, as cell and clipboard get them
        platform::Result why;
        const auto full = platform::loadFullPicture(dir.file(QStringLiteral("a.") + ext));
        ASSERT_TRUE(full.has_value());
        EXPECT_EQ(full->convertToFormat(QImage::Format_RGB32), wide);
        const auto thumb =
            platform::loadThumbnail(dir.file(QStringLiteral("a.") + ext), QSizeF(1453, 1453), &why);
        ASSERT_TRUE(thumb.has_value()) << qPrintable(why.reason);
        EXPECT_EQ(thumb->header.pixels, QSize(300, 120));
        EXPECT_EQ(thumb->image.size(), QSize(97, 39));
    }
    // A PNG stating more than its file can hold is refused before anything is allocated.
    dir.write(QStringLiteral("d.png"), lyingPng(5000, 5000));
    dir.write(QStringLiteral("e.png"), lyingPng(60000, 60000));
    for (const char* name : {"d.png", "e.png"}) {
        platform::Result why;
        EXPECT_FALSE(platform::readPictureHeader(dir.file(QLatin1String(name)), &why)) << name;
        EXPECT_TRUE(why.error == platform::Error::Corrupt || why.error == platform::Error::TooLarge)
            << name << qPrintable(why.reason);
    }

    // The start-up mask stays the design's: none of them is listed.
    start();
    EXPECT_EQ(view()->Total()->text(), QStringLiteral("0"));
    // A mask the user types lists them, in the list's order; the good ones show.
    trigger("ItemSetDIr");
    QString typed;
    for (const auto& [ext, fmt] : kinds)
        typed += QStringLiteral("*.") + ext + QLatin1Char(';');
    auto* mask = org->setDir()->findChild<QLineEdit*>(QStringLiteral("SetMask"));
    ASSERT_NE(mask, nullptr);
    mask->setFocus();
    mask->selectAll();
    QTest::keyClicks(mask, typed.chopped(1));
    QTest::mouseClick(org->setDir()->findChild<QPushButton*>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    ASSERT_EQ(view()->Total()->text().toInt(), int(kinds.size()) * 3 + 2);
    for (int i = 0; i < kCells; ++i) {
        const QString n = name(i);
        if (n.isEmpty())
            break;
        SCOPED_TRACE(n.toStdString());
        const bool good = n.startsWith(QLatin1Char('a'));
        EXPECT_EQ(view()->Image1(i)->hasPicture(), good);
        if (good) {
            EXPECT_EQ(view()->Image1(i)->width(), 97); // fitted, proportions kept
        }
    }
    EXPECT_EQ(memo()->caption(), kCannotDisplay);
}
