// The real tarvo104 on an X display, two quick clicks on large photos, the clipboard read by
// this test's own process.

#include "e2esupport.h"
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImageWriter>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using testing_support::TestFolder;

// Two progressive JPEG photos a.jpg and b.jpg (mirrored) whose every pixel differs from its
// neighbours: each takes some time to decode, at 48 megapixels seconds.
void writePhotos(const TestFolder& dir, int w, int h) {
    QImage photo(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            photo.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x + y) % 256));
    for (const char* name : {"a.jpg", "b.jpg"}) {
        QImageWriter writer(dir.file(QString::fromLatin1(name)), "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.setQuality(90);
        ASSERT_TRUE(writer.write(name[0] == 'a' ? photo : photo.mirrored(true, false)));
    }
}

// Starts the organiser on dir and clicks the pictures of cells 0 and 1 at once.
void clickBoth(const TestFolder& dir, Program& organiser) {
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));
    ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
    ASSERT_TRUE(clickMain(1650, 30, 1455, 1455));
}

TEST(SelectionE2E, SecondOfTwoQuickClicksArrivesAlsoWhenTheFilesAreDeletedMeanwhile) {
    TestFolder dir;
    ASSERT_NO_FATAL_FAILURE(writePhotos(dir, 3000, 2000));
    const QImage expected(dir.file(QStringLiteral("b.jpg")));
    ASSERT_FALSE(expected.isNull());
    Program organiser;
    ASSERT_NO_FATAL_FAILURE(clickBoth(dir, organiser));
    // Deleted as soon as the organiser has taken the clipboard.
    QClipboard* board = QApplication::clipboard();
    ASSERT_TRUE(eventually([&] {
        const QMimeData* offer = board->mimeData();
        return offer && offer->formats().contains(QStringLiteral("image/png"));
    })) << "the clicks did not take the clipboard";
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("b.jpg"))));

    QImage pasted;
    ASSERT_TRUE(eventually(
        [&] { return !(pasted = qvariant_cast<QImage>(board->mimeData()->imageData())).isNull(); },
        20000))
        << "no picture on the clipboard";
    ASSERT_EQ(pasted.size(), expected.size());
    for (int py = 0; py < expected.height(); py += 37)
        for (int px = 0; px < expected.width(); px += 41)
            ASSERT_EQ(pasted.pixel(px, py), expected.pixel(px, py)) << px << "," << py;
}

TEST(SelectionE2E, EndAfterTwoClicksOnHugePhotosEndsTheProgramAtOnce) {
    TestFolder dir;
    ASSERT_NO_FATAL_FAILURE(writePhotos(dir, 8000, 6000));
    Program organiser;
    ASSERT_NO_FATAL_FAILURE(clickBoth(dir, organiser));
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(clickMain(7704, 4500, 480, 252)); // END
    ASSERT_TRUE(organiser.process.waitForFinished(10000));
    const qint64 ms = t.elapsed();
    std::printf("END to the process's end: %lld ms\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 500);
}

} // namespace
