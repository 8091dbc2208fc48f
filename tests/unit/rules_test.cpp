// The pure rules of both programs, as tables of input and expected result.
#include "capture/capturename.h"
#include "capture/savedpicture.h"
#include "organiser/browser/cellrules.h"
#include "organiser/browser/module1.h"
#include "organiser/commands/memoitems.h"
#include "organiser/commands/renamerules.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using namespace tarvo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(Rules, SizeLabelDividesByThousandAndGroupsDigits) {
    const std::pair<qint64, const char*> cases[] = {
        {999, "0.KB"},         {1000, "1.KB"}, {999999, "999.KB"},
        {1234567, "1,234.KB"}, {-5, "0.KB"},   {1234567890123, "1,234,567,890.KB"},
    };
    for (const auto& [bytes, label] : cases)
        EXPECT_EQ(sizeLabel(bytes), u(label)) << bytes;
}

TEST(Rules, FitInCell) {
    // picture w, h in a 1453 × 1453 cell: shrunk, width, height, left, top
    const struct {
        double w, h;
        bool shrunk;
        double fw, fh, left, top;
    } cases[] = {
        {1000, 800, false, 1000, 800, 226.5, 326.5}, // small: centred, not enlarged
        {3000, 1500, true, 1453, 726.5, 0, 363.25},  // wide: fills the width
        {1500, 3000, true, 726.5, 1453, 363.25, 0},  // tall: fills the height
        {1453, 1453, false, 1453, 1453, 0, 0},       // exact fit
        {1453, 100, false, 1453, 100, 0, 676.5},     // exactly the width
        {1454, 1454, true, 1453, 1453, 0, 0},        // one twip over, square
    };
    for (const auto& c : cases) {
        const CellFit f = fitInCell(c.w, c.h, 1453, 1453); // halves and quarters: exact
        EXPECT_EQ(std::tuple(f.shrunk, f.width, f.height, f.left, f.top),
                  std::tuple(c.shrunk, c.fw, c.fh, c.left, c.top))
            << c.w << "x" << c.h;
    }
}

TEST(Rules, ScrollMaximumIsTheFirstIndexOfTheLastPage) {
    const std::pair<int, int> cases[] = {{0, 0},   {1, 0},   {10, 0},
                                         {11, 10}, {20, 10}, {32001, 32000}};
    for (const auto& [n, max] : cases)
        EXPECT_EQ(scrollMaximum(n), max) << n;
}

TEST(Rules, FileTableHoldsIndicesZeroTo32000) {
    Module1 m;
    m.setFileName(32000, u("last.jpg"));
    m.setFileName(32001, u("past.jpg")); // ignored
    m.setFileName(-1, u("before.jpg"));  // ignored
    EXPECT_EQ(m.fileName(32000), u("last.jpg"));
    EXPECT_TRUE(m.fileName(32001).isEmpty());
    EXPECT_TRUE(m.fileName(-1).isEmpty());
    EXPECT_EQ(m.FileNames.size(), 32001u);
    EXPECT_EQ(std::count(m.FileNames.begin(), m.FileNames.end(), QString()), 32000);
}

TEST(Rules, MemoItems) {
    // The memo file as stored, and the text the memo window shows ("<none>": no memo).
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "abc\r\n"},
        {"abc\r\n\r\n", "abc\r\n\r\n"},
        {"", ""},
        {"a,b\r\n", "a\r\nb\r\n"},
        {"\"a,b\"\r\n", "a,b\r\n"},
        {"\"quoted\",x\r\n", "quoted\r\nx\r\n"},
        {"a,", "a\r\n\r\n"}, // a comma at the very end, without a line end
        {"one\ntwo\n", "one\r\ntwo\r\n"},
        {"one\rtwo", "one\r\ntwo\r\n"},
        {"  say \"hi\"  \r\n", "  say \"hi\"  \r\n"},
        {"\"ab\"cd\r\n", "abcd\r\n"},
        {"海の写真、夏\r\n", "海の写真、夏\r\n"},
        {"\"never closed\r\nmore\r\n", "<none>"},
    };
    for (const auto& [file, shown] : cases) {
        const std::optional<QString> t = memoTextFromFile(u(file));
        EXPECT_EQ(t ? *t : QStringLiteral("<none>"), u(shown)) << file;
    }
}

TEST(Rules, MemoNameIsUpToTheFirstDotThenTxt) {
    const std::pair<const char*, const char*> cases[] = {
        {"sea.jpg", "sea.TXT"}, {"a.b.jpg", "a.TXT"}, {"README", "TXT"}, {"海.JPG", "海.TXT"}};
    for (const auto& [picture, memo] : cases)
        EXPECT_EQ(memoNameFor(u(picture)), u(memo)) << picture;
}

TEST(Rules, RenameKeepsTheOldExtension) {
    // old name, typed, extension: new name, new memo, old memo
    const struct {
        const char *oldName, *typed, *ext, *newName, *newMemo, *oldMemo;
    } rows[] = {
        {"sea.jpg", "beach.png", ".jpg", "beach.jpg", "beach.TXT", "sea.TXT"},
        {"sea.jpg", "beach", ".jpg", "beach.jpg", "beach.TXT", "sea.TXT"},
        {"a.b.jpg", "cat", ".b.jpg", "cat.b.jpg", "cat.TXT", "a.TXT"},
        {"Sea.jpg", "sea.jpg", ".jpg", "sea.jpg", "sea.TXT", "Sea.TXT"},
        {"写真.JPG", "海", ".JPG", "海.JPG", "海.TXT", "写真.TXT"},
        {"sea.jpg", "my beach.x.y", ".jpg", "my beach.jpg", "my beach.TXT", "sea.TXT"},
    };
    for (const auto& r : rows) {
        const auto t = renameTargets(u(r.oldName), u(r.typed), u(r.ext));
        ASSERT_TRUE(t.has_value()) << r.typed;
        EXPECT_EQ(t->newName, u(r.newName));
        EXPECT_EQ(t->newMemo, u(r.newMemo));
        EXPECT_EQ(t->oldMemo, u(r.oldMemo));
    }
}

TEST(Rules, RenameRefusesNamesThatLeaveTheFolderHideOrHoldControlCharacters) {
    // An emptied field or a name typed from its "." would give a hidden ".jpg".
    const char* refused[] = {"up/..",    "sub/dir", "back\\slash", "line\r\n", "tab\there",
                             "bell\x07", "",        ".hidden",     "del\x7f"};
    for (const char* typed : refused)
        EXPECT_FALSE(renameTargets(u("sea.jpg"), u(typed), u(".jpg")).has_value()) << typed;
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_FALSE(renameTargets(u("sea.jpg"), withNul, u(".jpg")).has_value());
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "a\tb", "a\x7f"})
        EXPECT_FALSE(isSafeFileName(u(name))) << name;
    EXPECT_TRUE(isSafeFileName(u("...")));
    // An old name ending in a dot would otherwise give the names "." and "..".
    EXPECT_FALSE(renameTargets(u("x."), QString(), u(".")).has_value());
    EXPECT_FALSE(renameTargets(u("x.."), QString(), u("..")).has_value());
}

TEST(Rules, CaptureNamesCycleTwoDigitsAndTakeThePrefixAsTyped) {
    const struct {
        const char* prefix;
        int count;
        const char* name;
    } rows[] = {{"SAVE", 1, "SAVE01.bmp"},   {"SAVE", 99, "SAVE99.bmp"},
                {"SAVE", 100, "SAVE00.bmp"}, {"SAVE", 123456, "SAVE56.bmp"},
                {"", 1, "01.bmp"},           {"shots/day ", 3, "shots/day 03.bmp"},
                {"画面", 4, "画面04.bmp"}};
    for (const auto& r : rows)
        EXPECT_EQ(capture::captureFileName(u(r.prefix), r.count), u(r.name)) << r.count;
}

TEST(Rules, CaptureCounterNeverOverflows) {
    EXPECT_EQ(capture::nextSaveCount(0), 1);
    EXPECT_EQ(capture::nextSaveCount(32767), 32768); // the old 16-bit counter stopped here
    const std::int32_t top = std::numeric_limits<std::int32_t>::max();
    const std::int32_t after = capture::nextSaveCount(top);
    EXPECT_GT(after, 0);
    // The digits go on from ...47 to ...48.
    EXPECT_EQ(capture::captureFileName(QString(), top), u("47.bmp"));
    EXPECT_EQ(capture::captureFileName(QString(), after), u("48.bmp"));
}

TEST(Rules, SavedPictureIsEachDistinctPictureOnce) {
    auto filled = [](QRgb c, int w = 8, int h = 6) {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(c);
        return img;
    };
    const QImage a = filled(qRgb(10, 20, 30));
    QImage onePixel = a.copy();
    onePixel.setPixel(7, 5, qRgb(10, 20, 31));
    const QImage half = filled(qRgba(10, 20, 30, 128));
    // last saved, next read: saved?
    const struct {
        QImage last, next;
        bool saved;
    } rows[] = {
        {QImage(), QImage(), false}, // nothing on the clipboard is never saved
        {a, QImage(), false},
        {QImage(), a, true},
        {a, a.copy(), false},                                 // the same picture read again
        {a, a.convertToFormat(QImage::Format_RGB888), false}, // same pixels, other format
        {a, onePixel, true},
        {a, filled(qRgb(10, 20, 30), 6, 8), true},
        {a, half, true},
        {half, a.convertToFormat(QImage::Format_RGB32), true},
    };
    int row = 0;
    for (const auto& r : rows)
        EXPECT_EQ(capture::isNewCapture(r.last, r.next), r.saved) << "row " << row++;
}

} // namespace
