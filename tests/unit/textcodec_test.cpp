#include "platform/textcodec.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextCodec, Utf8ValidityFollowsTheStrictRules) {
    EXPECT_TRUE(isValidUtf8(QByteArray()));
    EXPECT_TRUE(isValidUtf8("plain ascii\r\n"));
    EXPECT_TRUE(isValidUtf8(QStringLiteral("海の写真 😀").toUtf8()));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("abc\xE3\x81"));      // cut off
    EXPECT_FALSE(isValidUtf8("\x82\xa0"));         // CP932 "あ"
}

TEST(TextCodec, DecodesUtf8AsUtf8AndShiftJisAsCp932WithReplacementsForWhatIsNot) {
    DecodedText utf = decodeText(QStringLiteral("海\r\n").toUtf8());
    EXPECT_EQ(utf.encoding, TextEncoding::Utf8);
    EXPECT_EQ(utf.text, QStringLiteral("海\r\n"));

    // "海の写真" and the CP932-only "①" (NEC row 13) and a backslash.
    DecodedText sj = decodeText(QByteArray("\x8a\x43\x82\xcc\x8e\xca\x90\x5e\x87\x40\\"));
    EXPECT_EQ(sj.encoding, TextEncoding::Cp932);
    EXPECT_EQ(sj.text, QStringLiteral("海の写真①\\"));
    // 0xA0 and 0xFD-0xFF are not CP932; a lead byte at the very end is cut off.
    EXPECT_EQ(decodeCp932(QByteArray::fromHex("61FD6282")), QStringLiteral("a\uFFFDb\uFFFD"));
}

TEST(TextCodec, Cp932RoundTripsAndRefusesWhatItCannotHold) {
    const QString text = QStringLiteral("メモ: 画像整理ツール ｶﾅ ①Ⅱ ~\\\r\nline 2");
    auto bytes = encodeCp932(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_FALSE(isValidUtf8(*bytes));
    EXPECT_EQ(decodeCp932(*bytes), text);

    EXPECT_FALSE(encodeCp932(QStringLiteral("emoji 😀")).has_value());
    EXPECT_EQ(encodeCp932(QString()).value(), QByteArray());
}
