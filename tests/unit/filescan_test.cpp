// The file mask: which names it lists and which patterns it refuses.
#include "platform/filescan.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString kDesignPattern = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");

} // namespace

TEST(WildcardMask, MatchesWholeNamesWithoutRegardToCase) {
    const struct {
        const char* pattern; // nullptr: the design's mask
        const char* name;
        bool expected;
    } cases[] = {
        {nullptr, "SEA.JPEG", true},
        {nullptr, "anim.GIF", true},
        {nullptr, "sea.jpg.TXT", false},
        {nullptr, "jpg", false},
        {"*.gif", "a.gift", false},
        {"a?c.*", "abc.txt", true},
        {"a?c.*", "ac.txt", false},
        {"a?c.*", "海bc.txt", false},
        {"?.jpg", "海.JPG", true},
        {"*.*", "README", true},
        {"s*a*.jpg", "ship.jpg", false},
        {"Ä*.jpg", "äpfel.JPG", true},
        {" *.gif ; ;*.bmp;;", "x.BMP", true},
    };
    for (const auto& c : cases) {
        const QString pattern = c.pattern ? QString::fromUtf8(c.pattern) : kDesignPattern;
        const auto mask = WildcardMask::parse(pattern);
        ASSERT_TRUE(mask.has_value()) << c.pattern;
        EXPECT_EQ(mask->matches(QString::fromUtf8(c.name)), c.expected) << c.name;
    }
}

TEST(WildcardMask, RefusesPatternsTheFileListCannotUse) {
    for (const char* bad : {"", " ; ;; ", "../*.jpg", "*.jpg;sub/*.gif", "C:\\*.jpg"})
        EXPECT_FALSE(WildcardMask::parse(QString::fromUtf8(bad)).has_value()) << bad;
    EXPECT_FALSE(WildcardMask::parse(QStringLiteral("*.jpg") + QChar(0)).has_value());
    EXPECT_EQ(WildcardMask::parse(kDesignPattern)->text(), kDesignPattern);
}
