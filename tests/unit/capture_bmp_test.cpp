// The BMP writer: files that readers accept with the right pixels, and a failed write that
// leaves the older file of the name alone.
#include "platform/pictures/bmpwriter.h"
#include "support/testfolder.h"

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

TEST(BmpWriter, OpaqueIs24BitAndAlphaIsKeptEvenHalfTransparent) {
    // Odd widths need row padding; 3 bytes × 5 pixels = 15, padded to 16.
    for (int w : {1, 5, 64}) {
        const QImage img = pattern(w, 7, QImage::Format_RGB32);
        const QByteArray bytes = platform::encodeBmp(img);
        EXPECT_EQ(uchar(bytes[28]), 24);
        QImage back;
        ASSERT_TRUE(back.loadFromData(bytes, "BMP")) << w;
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img) << w;
    }
    // An alpha channel that is opaque everywhere gives the same bytes as none.
    const QByteArray plain = platform::encodeBmp(pattern(5, 3, QImage::Format_RGB32));
    for (QImage::Format f : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied})
        EXPECT_EQ(platform::encodeBmp(pattern(5, 3, f)), plain) << f;

    // The only see-through pixel is half transparent.
    QImage img(3, 2, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 255));
    img.setPixel(1, 0, qRgba(200, 100, 50, 128));
    const QByteArray bytes = platform::encodeBmp(img);
    EXPECT_EQ(uchar(bytes[28]), 32);
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes, "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), img);
}

TEST(BmpWriter, AFailedWriteKeepsTheOldFileAndAWholeOneLeavesNoTemporary) {
    TestFolder dir;
    const QImage img = pattern(4, 4, QImage::Format_RGB32);
    EXPECT_FALSE(platform::writeBmp(QImage(), dir.file(QStringLiteral("x.bmp"))).ok());

    // A file-size limit makes the write fail part way, as a full disk would.
    dir.write(QStringLiteral("SAVE01.bmp"), "older capture");
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000;
    setrlimit(RLIMIT_FSIZE, &small);
    const platform::Result r = platform::writeBmp(pattern(1000, 1000, QImage::Format_RGB32),
                                                  dir.file(QStringLiteral("SAVE01.bmp")));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(dir.read(QStringLiteral("SAVE01.bmp")), QByteArray("older capture"));

    // A whole write replaces it, leaving no temporary file.
    ASSERT_TRUE(platform::writeBmp(img, dir.file(QStringLiteral("SAVE01.bmp"))).ok());
    EXPECT_EQ(QImage(dir.file(QStringLiteral("SAVE01.bmp"))).convertToFormat(QImage::Format_RGB32),
              img);
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

} // namespace
