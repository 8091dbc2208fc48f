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

// How a file name or path is shown. A name whose bytes are not UTF-8 (Shift-JIS from old CDs
// and zips made on Windows) reaches a QString with its odd bytes escaped (see encodePath);
// each such part of the path is shown decoded as CP932, or with U+FFFD for the bytes that
// are not CP932 either. Everything else is shown as it is.
QString shownName(const QString& nameOrPath);
// The name a field's text stands for, given the name it was filled with: that name while
// the text is still how it is shown, the text as typed once the user changed it.
QString nameFromShown(const QString& text, const QString& filledWith);

} // namespace platform
