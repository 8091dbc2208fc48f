// The numbering and naming of saved captures.
#include "capture/capturename.h"

#include <gtest/gtest.h>
#include <limits>

using capture::captureFileName;
using capture::nextSaveCount;

TEST(CaptureName, TwoDigitsCycleThroughTheCount) {
    const struct {
        int count;
        const char* name;
    } rows[] = {{1, "SAVE01.bmp"},     {9, "SAVE09.bmp"},     {10, "SAVE10.bmp"},
                {99, "SAVE99.bmp"},    {100, "SAVE00.bmp"},   {101, "SAVE01.bmp"},
                {32767, "SAVE67.bmp"}, {32768, "SAVE68.bmp"}, {123456, "SAVE56.bmp"}};
    for (const auto& r : rows)
        EXPECT_EQ(captureFileName(QStringLiteral("SAVE"), r.count), QLatin1String(r.name))
            << r.count;
}

TEST(CaptureName, PrefixIsTakenAsTyped) {
    EXPECT_EQ(captureFileName(QString(), 1), QStringLiteral("01.bmp"));
    EXPECT_EQ(captureFileName(QStringLiteral("ABC"), 2), QStringLiteral("ABC02.bmp"));
    EXPECT_EQ(captureFileName(QStringLiteral("shots/day "), 3), QStringLiteral("shots/day 03.bmp"));
    EXPECT_EQ(captureFileName(QStringLiteral("画面"), 4), QStringLiteral("画面04.bmp"));
}

TEST(CaptureName, CounterNeverOverflows) {
    EXPECT_EQ(nextSaveCount(0), 1);
    EXPECT_EQ(nextSaveCount(32767), 32768); // the old 16-bit counter stopped here
    const std::int32_t top = std::numeric_limits<std::int32_t>::max();
    const std::int32_t after = nextSaveCount(top);
    EXPECT_GT(after, 0);
    // The digits go on from ...47 to ...48.
    EXPECT_EQ(captureFileName(QString(), top), QStringLiteral("47.bmp"));
    EXPECT_EQ(captureFileName(QString(), after), QStringLiteral("48.bmp"));
}
