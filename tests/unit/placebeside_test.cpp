// A window started "without the focus" opens beside the window that started it, never over
// it while the screen has room, smaller where it must be, and always on the screen.
#include "platform/activewindow.h"

#include <gtest/gtest.h>

TEST(PlaceBeside, BesideTheStarterSmallerWhereItMustBeAndOnTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize viewer(496, 420);
    struct Row {
        QRect starter;
        QRect at;
    };
    const Row rows[] = {
        {QRect(100, 100, 570, 400), QRect(682, 100, 496, 420)}, // right
        {QRect(700, 100, 570, 400), QRect(192, 100, 496, 420)}, // left
        {QRect(300, 100, 800, 400), QRect(300, 512, 496, 420)}, // below
        {QRect(300, 560, 800, 400), QRect(300, 128, 496, 420)}, // above
        {QRect(900, 700, 570, 400), QRect(392, 604, 496, 420)}, // left, up onto the screen
        // Centred, no side has room: below, as high as the room there.
        {QRect(316, 249, 563, 396), QRect(316, 657, 496, 367)},
    };
    for (const Row& r : rows) {
        const QRect at = platform::placeBeside(r.starter, viewer, screen);
        EXPECT_EQ(at, r.at) << r.starter.x() << "," << r.starter.y();
        EXPECT_TRUE(screen.contains(at));
        EXPECT_FALSE(at.intersects(r.starter)) << r.starter.x() << "," << r.starter.y();
    }
    // Room nowhere, not even for half the window: its own size, on the screen.
    EXPECT_EQ(platform::placeBeside(screen, viewer, screen), QRect(QPoint(0, 604), viewer));
}
