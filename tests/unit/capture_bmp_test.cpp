// The BMP writer: files that readers accept with the right pixels, and a failed write that
// leaves the older file of the name alone.
#include "platform/pictures/bmpwriter.h"
#include "support/testfolder.h"

#include <QFile>
#include <QImageReader>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using testing_support::TestFolder;

namespace {

QImage pattern(int w, int h, QImage::Format format) {
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256));
    return img;
}

quint32 le32(const QByteArray& b, int at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 |
           quint32(uchar(b[at + 2])) << 16 | quint32(uchar(b[at + 3])) << 24;
}

TEST(BmpWriter, OpaquePictureIs24BitWithSamePixels) {
    TestFolder dir;
    // Odd widths need row padding; 3 bytes × 5 pixels = 15, padded to 16.
    for (int w : {1, 5, 64}) {
        const QImage img = pattern(w, 7, QImage::Format_RGB32);
        const QString path = dir.file(QStringLiteral("p%1.bmp").arg(w));
        ASSERT_TRUE(platform::writeBmp(img, path).ok());
        const QByteArray bytes = dir.read(QStringLiteral("p%1.bmp").arg(w));
        ASSERT_GE(bytes.size(), 54);
        EXPECT_EQ(bytes.left(2), "BM");
        EXPECT_EQ(le32(bytes, 2), quint32(bytes.size()));
        EXPECT_EQ(uchar(bytes[28]), 24);
        EXPECT_EQ(le32(bytes, 30), 0u); // BI_RGB
        QImageReader reader(path, "bmp");
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img) << w;
    }
}

TEST(BmpWriter, TransparentPictureKeepsItsAlpha) {
    TestFolder dir;
    // A picture whose only see-through pixel is half transparent, and one that also has a
    // fully transparent pixel.
    for (const bool clear : {false, true}) {
        QImage img(3, 2, QImage::Format_ARGB32);
        img.fill(qRgba(10, 20, 30, 255));
        img.setPixel(1, 0, qRgba(200, 100, 50, 128));
        if (clear)
            img.setPixel(2, 1, qRgba(0, 0, 0, 0));
        const QString path = dir.file(QStringLiteral("a.bmp"));
        ASSERT_TRUE(platform::writeBmp(img, path).ok());
        const QByteArray bytes = dir.read(QStringLiteral("a.bmp"));
        EXPECT_EQ(uchar(bytes[28]), 32) << clear;
        const QImage back = QImage(path).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(back.size(), img.size());
        EXPECT_EQ(back.pixel(1, 0), img.pixel(1, 0)) << clear;
        EXPECT_EQ(qAlpha(back.pixel(2, 1)), clear ? 0 : 255);
        EXPECT_EQ(back.pixel(0, 0), img.pixel(0, 0));
    }

    // An alpha channel that is opaque everywhere is written as 24 bits, the same bytes as
    // the picture without one.
    const QByteArray plain = platform::encodeBmp(pattern(5, 3, QImage::Format_RGB32));
    ASSERT_EQ(uchar(plain[28]), 24);
    for (QImage::Format f :
         {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888})
        EXPECT_EQ(platform::encodeBmp(pattern(5, 3, f)), plain) << f;
}

TEST(BmpWriter, ReplacesAnExistingFileAndLeavesNoTemporaryFiles) {
    TestFolder dir;
    dir.write(QStringLiteral("SAVE01.bmp"), "old");
    const QImage img = pattern(8, 8, QImage::Format_RGB32);
    ASSERT_TRUE(platform::writeBmp(img, dir.file(QStringLiteral("SAVE01.bmp"))).ok());
    EXPECT_EQ(QImage(dir.file(QStringLiteral("SAVE01.bmp"))).convertToFormat(QImage::Format_RGB32),
              img);
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

TEST(BmpWriter, FailuresAreReportedWithTheNameAndKeepTheOldFile) {
    TestFolder dir;
    const QImage img = pattern(4, 4, QImage::Format_RGB32);

    platform::Result r = platform::writeBmp(img, dir.file(QStringLiteral("missing/SAVE01.bmp")));
    EXPECT_EQ(r.error, platform::Error::NotFound);
    // The saver shows this after "保存できません: ", in the user's language.
    EXPECT_EQ(r.reason, dir.file(QStringLiteral("missing/SAVE01.bmp")) +
                            QStringLiteral(": ファイルまたはフォルダが見つかりません"));

    dir.write(QStringLiteral("file"), "x");
    r = platform::writeBmp(img, dir.file(QStringLiteral("file/SAVE01.bmp")));
    EXPECT_FALSE(r.ok());

    QDir(dir.path()).mkdir(QStringLiteral("SAVE02.bmp"));
    r = platform::writeBmp(img, dir.file(QStringLiteral("SAVE02.bmp")));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("SAVE02.bmp"))).isDir());

    EXPECT_FALSE(platform::writeBmp(QImage(), dir.file(QStringLiteral("x.bmp"))).ok());
    EXPECT_FALSE(dir.exists(QStringLiteral("x.bmp")));
}

TEST(BmpWriter, AWriteCutShortLeavesTheOlderFileIntact) {
    // A file-size limit makes the write fail part way, as a full disk would.
    TestFolder dir;
    dir.write(QStringLiteral("SAVE01.bmp"), "older capture");
    const QImage big = pattern(1000, 1000, QImage::Format_RGB32); // about 3 MB
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &small);
    const platform::Result r = platform::writeBmp(big, dir.file(QStringLiteral("SAVE01.bmp")));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.reason.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("SAVE01.bmp")), QByteArray("older capture"));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

} // namespace
