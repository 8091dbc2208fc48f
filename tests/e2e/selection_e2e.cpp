// The real tarvo104 on an X display: a click on a thumbnail puts the picture on the X11
// clipboard, where another process reads the same pixels; Ctrl+N puts the full path there.

#include "platform/programs.h"
#include "support/testfolder.h"

#include "e2esupport.h"
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace e2e;

const QString kCaption = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");

// A picture whose every pixel differs from its neighbours, so a wrong copy shows.
QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    return img;
}

} // namespace

TEST(SelectionE2E, ClickedPictureReachesAnotherProcessThroughTheClipboard) {
    testing_support::TestFolder dir;
    const QImage source = pattern(64, 48);
    ASSERT_TRUE(source.save(dir.file(QStringLiteral("sea.bmp")), "BMP"));

    QProcess organiser;
    organiser.setWorkingDirectory(dir.path());
    organiser.start(kBin + QStringLiteral("/tarvo104"), {});
    ASSERT_TRUE(organiser.waitForStarted(10000));
    std::optional<QRect> win;
    ASSERT_TRUE(eventually([&] {
        const auto found = findWindow(kCaption);
        win = found ? std::optional<QRect>(found->rect) : std::nullopt;
        return win.has_value();
    })) << "the main window did not appear";

    // The client area is 8310 × 5160 twips (15 a pixel at 96 DPI) below the menu bar; the
    // 64 × 48 picture sits in the middle of cell 0, whose inner corner is at 91, 31 twips.
    const int menuBar = win->height() - 5160 / 15;
    const int x = win->x() + (91 + 1453 / 2) / 15;
    const int y = win->y() + menuBar + (31 + 1453 / 2) / 15;
    QTest::qWait(300);
    ASSERT_TRUE(xclick({QStringLiteral("click"), QString::number(x), QString::number(y)}));

    const QString out = dir.file(QStringLiteral("pasted.png"));
    ASSERT_TRUE(eventually([&] {
        return runHelper(QStringLiteral("clipget"), {QStringLiteral("--image"), out}).has_value();
    })) << "no picture on the clipboard";
    const QImage pasted(out);
    ASSERT_EQ(pasted.size(), source.size());
    for (int py = 0; py < source.height(); py += 7)
        for (int px = 0; px < source.width(); px += 5)
            ASSERT_EQ(pasted.pixel(px, py), source.pixel(px, py)) << px << "," << py;

    // Ctrl+N with the cell selected: the full path as text.
    platform::Programs& programs = platform::systemPrograms();
    ASSERT_TRUE(programs.activate(kCaption, false).ok());
    QTest::qWait(200);
    ASSERT_TRUE(programs.sendKeys(QStringLiteral("^n"), true).ok());
    const QString expected = dir.file(QStringLiteral("sea.bmp"));
    EXPECT_TRUE(eventually([&] {
        const auto text = runHelper(QStringLiteral("clipget"), {QStringLiteral("--text")});
        return text && *text == expected;
    })) << "the path did not arrive";

    organiser.kill();
    organiser.waitForFinished(5000);
}

// Two clicks in quick succession on two large photos: the first decode is given up, and a
// reader in another process gets the second picture, pixel for pixel.
TEST(SelectionE2E, SecondOfTwoQuickClicksIsThePictureOtherProgramsRead) {
    testing_support::TestFolder dir;
    QImage first = pattern(3000, 2000);
    QImage second = first.mirrored(true, false);
    ASSERT_TRUE(first.save(dir.file(QStringLiteral("a.jpg")), "JPEG", 90));
    ASSERT_TRUE(second.save(dir.file(QStringLiteral("b.jpg")), "JPEG", 90));
    const QImage expected(dir.file(QStringLiteral("b.jpg")));
    ASSERT_FALSE(expected.isNull());

    QProcess organiser;
    organiser.setWorkingDirectory(dir.path());
    organiser.start(kBin + QStringLiteral("/tarvo104"), {});
    ASSERT_TRUE(organiser.waitForStarted(10000));
    std::optional<QRect> win;
    ASSERT_TRUE(eventually([&] {
        const auto found = findWindow(kCaption);
        win = found ? std::optional<QRect>(found->rect) : std::nullopt;
        return win.has_value();
    })) << "the main window did not appear";
    QTest::qWait(300);

    // Cells 0 and 1: inner corners at 91 and 1651 twips across, 31 down; the middle of each.
    const int menuBar = win->height() - 5160 / 15;
    const int y = win->y() + menuBar + (31 + 1453 / 2) / 15;
    for (int left : {91, 1651}) {
        const int x = win->x() + (left + 1453 / 2) / 15;
        ASSERT_TRUE(xclick({QStringLiteral("click"), QString::number(x), QString::number(y)}));
    }

    const QString out = dir.file(QStringLiteral("pasted.png"));
    ASSERT_TRUE(eventually([&] {
        return runHelper(QStringLiteral("clipget"), {QStringLiteral("--image"), out}).has_value();
    })) << "no picture on the clipboard";
    const QImage pasted(out);
    ASSERT_EQ(pasted.size(), expected.size());
    for (int py = 0; py < expected.height(); py += 37)
        for (int px = 0; px < expected.width(); px += 41)
            ASSERT_EQ(pasted.pixel(px, py), expected.pixel(px, py)) << px << "," << py;

    organiser.kill();
    organiser.waitForFinished(5000);
}
