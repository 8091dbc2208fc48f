// The memo file's item syntax and the memo name rule.
#include "organiser/commands/memoitems.h"

#include <gtest/gtest.h>

using namespace tarvo;

namespace {
QString memoText(const char* utf8) {
    const std::optional<QString> t = memoTextFromFile(QString::fromUtf8(utf8));
    return t ? *t : QStringLiteral("<none>");
}
} // namespace

TEST(MemoItems, LinesComeBackWithCrLf) {
    EXPECT_EQ(memoText("abc\r\n"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(memoText("abc"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(memoText("abc\r\n\r\n"), QStringLiteral("abc\r\n\r\n"));
    EXPECT_EQ(memoText(""), QString());
}

TEST(MemoItems, CommasSplitLinesAndQuotesDisappear) {
    EXPECT_EQ(memoText("a,b\r\n"), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(memoText("\"a,b\"\r\n"), QStringLiteral("a,b\r\n"));
    EXPECT_EQ(memoText("\"quoted\",x\r\n"), QStringLiteral("quoted\r\nx\r\n"));
    EXPECT_EQ(memoText("a,\r\n"), QStringLiteral("a\r\n\r\n"));
}

TEST(MemoItems, EmptyLineInTheMiddleStays) {
    EXPECT_EQ(memoText("one\r\n\r\ntwo\r\n"), QStringLiteral("one\r\n\r\ntwo\r\n"));
}

TEST(MemoItems, LoneLfAndLoneCrEndLines) {
    EXPECT_EQ(memoText("one\ntwo\n"), QStringLiteral("one\r\ntwo\r\n"));
    EXPECT_EQ(memoText("one\rtwo"), QStringLiteral("one\r\ntwo\r\n"));
}

TEST(MemoItems, BlanksAndInnerQuotesAreKept) {
    EXPECT_EQ(memoText("  indented  \r\n"), QStringLiteral("  indented  \r\n"));
    EXPECT_EQ(memoText("say \"hi\"\r\n"), QStringLiteral("say \"hi\"\r\n"));
    EXPECT_EQ(memoText("\"ab\"cd\r\n"), QStringLiteral("abcd\r\n"));
}

TEST(MemoItems, JapaneseTextPassesThrough) {
    EXPECT_EQ(memoText("海の写真、夏\r\n"), QStringLiteral("海の写真、夏\r\n"));
}

TEST(MemoItems, UnclosedQuoteGivesNoMemo) {
    EXPECT_FALSE(memoTextFromFile(QStringLiteral("\"never closed\r\nmore\r\n")).has_value());
}

TEST(MemoName, UpToTheFirstDotThenTxt) {
    EXPECT_EQ(memoNameFor(QStringLiteral("sea.jpg")), QStringLiteral("sea.TXT"));
    EXPECT_EQ(memoNameFor(QStringLiteral("a.b.jpg")), QStringLiteral("a.TXT"));
    EXPECT_EQ(memoNameFor(QStringLiteral("README")), QStringLiteral("TXT"));
    EXPECT_EQ(memoNameFor(QString()), QStringLiteral("TXT"));
    EXPECT_EQ(memoNameFor(QStringLiteral("海.JPG")), QStringLiteral("海.TXT"));
}
