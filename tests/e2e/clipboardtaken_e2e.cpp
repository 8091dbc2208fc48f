// The real tarvo104 on an X display, with the clipboard read by another process: the click
// takes its picture at the click, so a file deleted right after it still arrives whole; and
// END after two clicks on huge photos ends the program at once, without waiting for their
// decodes.

#include "support/testfolder.h"

#include "e2esupport.h"
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace e2e;

const QString kCaption = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");

QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256);
    }
    return img;
}

struct Organiser {
    QProcess process;
    QRect win;
    int menuBar = 0;

    bool start(const QString& folder) {
        process.setWorkingDirectory(folder);
        process.start(kBin + QStringLiteral("/tarvo104"), {});
        if (!process.waitForStarted(10000))
            return false;
        const bool shown = eventually([&] {
            const auto found = findWindow(kCaption);
            if (found)
                win = found->rect;
            return found.has_value();
        });
        menuBar = win.height() - 5160 / 15;
        QTest::qWait(300);
        return shown;
    }
    // A click at a point of the client area, in twips.
    bool click(int leftTwips, int topTwips) {
        return xclick({QStringLiteral("click"), QString::number(win.x() + leftTwips / 15),
                       QString::number(win.y() + menuBar + topTwips / 15)})
            .has_value();
    }
    bool clickCell(int cell) { return click(91 + 1560 * cell + 1453 / 2, 31 + 1453 / 2); }
    ~Organiser() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

} // namespace

TEST(ClipboardTakenE2E, APictureDeletedRightAfterItsClickStaysOnTheClipboard) {
    testing_support::TestFolder dir;
    // A photo that takes some tens of milliseconds to decode.
    ASSERT_TRUE(pattern(3000, 2000).save(dir.file(QStringLiteral("sea.jpg")), "JPEG", 90));
    const QImage source(dir.file(QStringLiteral("sea.jpg")));
    ASSERT_FALSE(source.isNull());
    Organiser org;
    ASSERT_TRUE(org.start(dir.path()));
    ASSERT_TRUE(org.clickCell(0));
    // Another program deletes it as soon as the organiser has taken the clipboard, while the
    // picture is still being decoded.
    ASSERT_TRUE(eventually(
        [&] {
            const auto formats =
                runHelper(QStringLiteral("clipget"), {QStringLiteral("--formats")});
            return formats && formats->contains(QStringLiteral("image/png"));
        },
        8000))
        << "the click did not take the clipboard";
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("sea.jpg"))));

    const QString out = dir.file(QStringLiteral("pasted.png"));
    ASSERT_TRUE(eventually(
        [&] {
            return runHelper(QStringLiteral("clipget"), {QStringLiteral("--image"), out})
                .has_value();
        },
        20000))
        << "no picture on the clipboard";
    const QImage pasted(out);
    ASSERT_EQ(pasted.size(), source.size());
    for (int py = 0; py < source.height(); py += 37)
        for (int px = 0; px < source.width(); px += 41)
            ASSERT_EQ(pasted.pixel(px, py), source.pixel(px, py)) << px << "," << py;
}

TEST(ClipboardTakenE2E, EndAfterTwoClicksOnHugePhotosEndsTheProgramAtOnce) {
    testing_support::TestFolder dir;
    // Two progressive JPEGs of 48 megapixels: each takes seconds to decode.
    const QImage huge = pattern(8000, 6000);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        QImageWriter writer(dir.file(QString::fromLatin1(name)), "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.setQuality(90);
        ASSERT_TRUE(writer.write(name[0] == 'a' ? huge : huge.mirrored(true, false)));
    }
    Organiser org;
    ASSERT_TRUE(org.start(dir.path()));
    ASSERT_TRUE(org.clickCell(0));
    ASSERT_TRUE(org.clickCell(1));
    QTest::qWait(100);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(org.click(7704 + 240, 4500 + 126)); // END
    ASSERT_TRUE(org.process.waitForFinished(10000));
    const qint64 ms = t.elapsed();
    std::printf("END to the process's end: %lld ms (the xclick helper's own start included)\n",
                static_cast<long long>(ms));
    EXPECT_LT(ms, 1500);
}
