// The real tarvo104 on an X display, with the clipboard read by another process: of two quick
// clicks on large photos the second is what arrives, pixel for pixel, also when both files are
// deleted while they are still being decoded; and END after two clicks on huge photos ends the
// program at once, without waiting for the decodes.

#include "support/testfolder.h"

#include "e2esupport.h"
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// A click on the picture of cell 0 or 1 of the top row.
bool clickCell(int cell) {
    return clickMain(90 + 1560 * cell, 30, 1455, 1455);
}

// The picture another process reads from the clipboard is expected (every 37th row, 41st column).
void expectPasted(const testing_support::TestFolder& dir, const QImage& expected) {
    const QString out = dir.file(QStringLiteral("pasted.png"));
    ASSERT_TRUE(eventually(
        [&] {
            return runHelper(QStringLiteral("clipget"), {QStringLiteral("--image"), out})
                .has_value();
        },
        20000))
        << "no picture on the clipboard";
    const QImage pasted(out);
    ASSERT_EQ(pasted.size(), expected.size());
    for (int py = 0; py < expected.height(); py += 37)
        for (int px = 0; px < expected.width(); px += 41)
            ASSERT_EQ(pasted.pixel(px, py), expected.pixel(px, py)) << px << "," << py;
}

TEST(SelectionE2E, SecondOfTwoQuickClicksArrivesAlsoWhenTheFilesAreDeletedMeanwhile) {
    testing_support::TestFolder dir;
    // Photos that take some tens of milliseconds to decode.
    const QImage first = pattern(3000, 2000);
    ASSERT_TRUE(first.save(dir.file(QStringLiteral("a.jpg")), "JPEG", 90));
    ASSERT_TRUE(first.mirrored(true, false).save(dir.file(QStringLiteral("b.jpg")), "JPEG", 90));
    const QImage expected(dir.file(QStringLiteral("b.jpg")));
    ASSERT_FALSE(expected.isNull());
    Program organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));
    ASSERT_TRUE(clickCell(0));
    ASSERT_TRUE(clickCell(1));
    // Another program deletes both as soon as the organiser has taken the clipboard.
    ASSERT_TRUE(eventually([&] {
        const auto formats = runHelper(QStringLiteral("clipget"), {QStringLiteral("--formats")});
        return formats && formats->contains(QStringLiteral("image/png"));
    })) << "the clicks did not take the clipboard";
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("b.jpg"))));
    expectPasted(dir, expected);
}

TEST(SelectionE2E, EndAfterTwoClicksOnHugePhotosEndsTheProgramAtOnce) {
    testing_support::TestFolder dir;
    // Two progressive JPEGs of 48 megapixels: each takes seconds to decode.
    const QImage huge = pattern(8000, 6000);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        QImageWriter writer(dir.file(QString::fromLatin1(name)), "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.setQuality(90);
        ASSERT_TRUE(writer.write(name[0] == 'a' ? huge : huge.mirrored(true, false)));
    }
    Program organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));
    ASSERT_TRUE(clickCell(0));
    ASSERT_TRUE(clickCell(1));
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(clickMain(7704, 4500, 480, 252)); // END
    ASSERT_TRUE(organiser.process.waitForFinished(10000));
    const qint64 ms = t.elapsed();
    std::printf("END to the process's end: %lld ms (the xclick helper's own start included)\n",
                static_cast<long long>(ms));
    EXPECT_LT(ms, 1500);
}

} // namespace
