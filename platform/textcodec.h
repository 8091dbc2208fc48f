#pragma once
// The platform's text code page. On Linux that is UTF-8; memo files written on a Japanese
// Windows desktop arrive as CP932 (Shift-JIS), so bytes that are not valid UTF-8 are read
// as CP932.

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

enum class TextEncoding { Utf8, Cp932 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

bool isValidUtf8(const QByteArray& bytes);
// UTF-8 when valid, else CP932; CP932 bytes that do not decode become U+FFFD.
DecodedText decodeText(const QByteArray& bytes);
std::optional<QString> decodeCp932(const QByteArray& bytes);
// Nothing when a character has no CP932 form.
std::optional<QByteArray> encodeCp932(const QString& text);
// Text in a Windows code page (1251, 936, 1361 for Johab...); bytes that do not convert
// become U+FFFD, one per byte. Nothing when the platform does not know the code page.
std::optional<QString> decodeCodePage(const QByteArray& bytes, int codePage);

} // namespace platform
