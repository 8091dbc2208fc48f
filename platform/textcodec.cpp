#include "textcodec.h"

#include "files.h"

namespace platform {

namespace {

bool hasEscapedBytes(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            return true;
    return false;
}

QString shownPart(QStringView part) {
    if (!hasEscapedBytes(part))
        return part.toString();
    const QByteArray bytes = encodePath(part.toString());
    if (std::optional<QString> text = decodeCp932(bytes); text && !text->contains(QChar(0xFFFD)))
        return *text;
    QString out = part.toString();
    for (QChar& c : out)
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            c = QChar(0xFFFD);
    return out;
}

} // namespace

QString shownName(const QString& nameOrPath) {
    if (!hasEscapedBytes(nameOrPath))
        return nameOrPath;
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= nameOrPath.size(); ++i) {
        if (i < nameOrPath.size() && nameOrPath.at(i) != QLatin1Char('/'))
            continue;
        out += shownPart(QStringView(nameOrPath).mid(start, i - start));
        if (i < nameOrPath.size())
            out += QLatin1Char('/');
        start = i + 1;
    }
    return out;
}

QString nameFromShown(const QString& text, const QString& filledWith) {
    return text == shownName(filledWith) ? filledWith : text;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. A memo that
// fails this test came from the Windows side and is read as CP932.
bool isValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        char32_t cp;
        char32_t min;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            unsigned char cc = p[i];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

DecodedText decodeText(const QByteArray& bytes) {
    if (isValidUtf8(bytes))
        return {QString::fromUtf8(bytes), TextEncoding::Utf8};
    if (auto text = decodeCp932(bytes))
        return {*text, TextEncoding::Cp932};
    // No converter at all: show what can be shown rather than nothing.
    return {QString::fromUtf8(bytes), TextEncoding::Utf8};
}

} // namespace platform
