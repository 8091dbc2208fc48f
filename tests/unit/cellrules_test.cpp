// The main window's pure rules: size labels, the fit of a picture in a cell, scroll range.
#include "organiser/browser/cellrules.h"

#include <gtest/gtest.h>

using namespace tarvo;

TEST(SizeLabel, DividesByThousandAndGroupsDigits) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "0.KB"},           {999, "0.KB"},
        {1000, "1.KB"},        {56789, "56.KB"},
        {999999, "999.KB"},    {1000000, "1,000.KB"},
        {1234567, "1,234.KB"}, {1234567890123, "1,234,567,890.KB"},
    };
    for (const auto& [bytes, label] : cases)
        EXPECT_EQ(sizeLabel(bytes), QString::fromLatin1(label)) << bytes;
}

TEST(FitInCell, SmallPictureIsCentredNotEnlarged) {
    const CellFit f = fitInCell(1000, 800, 1453, 1453);
    EXPECT_FALSE(f.shrunk);
    EXPECT_DOUBLE_EQ(f.width, 1000);
    EXPECT_DOUBLE_EQ(f.height, 800);
    EXPECT_DOUBLE_EQ(f.left, 226.5);
    EXPECT_DOUBLE_EQ(f.top, 326.5);
}

TEST(FitInCell, WidePictureFillsWidthAndIsCentredVertically) {
    const CellFit f = fitInCell(3000, 1500, 1453, 1453);
    EXPECT_TRUE(f.shrunk);
    EXPECT_DOUBLE_EQ(f.width, 1453);
    EXPECT_DOUBLE_EQ(f.height, 726.5);
    EXPECT_DOUBLE_EQ(f.left, 0);
    EXPECT_DOUBLE_EQ(f.top, (1453 - 726.5) / 2);
}

TEST(FitInCell, TallPictureFillsHeightAndIsCentredHorizontally) {
    const CellFit f = fitInCell(1500, 3000, 1453, 1453);
    EXPECT_DOUBLE_EQ(f.width, 726.5);
    EXPECT_DOUBLE_EQ(f.height, 1453);
    EXPECT_DOUBLE_EQ(f.top, 0);
    EXPECT_DOUBLE_EQ(f.left, (1453 - 726.5) / 2);
}

TEST(FitInCell, ExactFitAndOneTwipOver) {
    const CellFit exact = fitInCell(1453, 1453, 1453, 1453);
    EXPECT_FALSE(exact.shrunk);
    EXPECT_DOUBLE_EQ(exact.left, 0);
    EXPECT_DOUBLE_EQ(exact.top, 0);
    const CellFit over = fitInCell(1454, 1454, 1453, 1453);
    EXPECT_TRUE(over.shrunk);
    EXPECT_DOUBLE_EQ(over.width, 1453);
    EXPECT_DOUBLE_EQ(over.height, 1453);
}

TEST(ScrollMaximum, FirstIndexOfTheLastPage) {
    const std::pair<int, int> cases[] = {{0, 0},   {1, 0},   {10, 0},  {11, 10},
                                         {20, 10}, {21, 20}, {23, 20}, {32001, 32000}};
    for (const auto& [n, max] : cases)
        EXPECT_EQ(scrollMaximum(n), max) << n;
}
