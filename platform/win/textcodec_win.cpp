// CP932 through the system's own conversion tables, the ones Notepad and every other Windows
// program use for Shift-JIS.
#include "platform/textcodec.h"

#include <windows.h>

namespace platform {

std::optional<QString> decodeCp932(const QByteArray& bytes) {
    // The system's table gives the single bytes 0x80, 0xA0 and 0xFD-0xFF, which are no
    // characters of Shift-JIS, private-use code points (U+F8F0-U+F8F3) that show as nothing;
    // they are undecodable bytes, and like every other one become U+FFFD, as on Linux.
    std::optional<QString> text = decodeCodePage(bytes, 932);
    if (!text)
        return std::nullopt;
    for (QChar& c : *text)
        if (c.unicode() >= 0xF8F0 && c.unicode() <= 0xF8F3)
            c = QChar(0xFFFD);
    return text;
}

std::optional<QByteArray> encodeCp932(const QString& text) {
    if (text.isEmpty())
        return QByteArray();
    const auto* w = reinterpret_cast<const wchar_t*>(text.utf16());
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w, int(text.size()), nullptr, 0,
                                        nullptr, &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    QByteArray out(n, Qt::Uninitialized);
    ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w, int(text.size()), out.data(), n, nullptr,
                          &lossy);
    if (lossy)
        return std::nullopt;
    return out;
}

std::optional<QString> decodeCodePage(const QByteArray& bytes, int codePage) {
    if (!::IsValidCodePage(UINT(codePage)))
        return std::nullopt;
    // Byte by byte where the whole does not convert, so that one bad byte costs one
    // character, as on Linux.
    QString out;
    const auto convert = [&](qsizetype from, qsizetype len) {
        const int n = ::MultiByteToWideChar(UINT(codePage), MB_ERR_INVALID_CHARS,
                                            bytes.constData() + from, int(len), nullptr, 0);
        if (n <= 0)
            return false;
        const qsizetype at = out.size();
        out.resize(at + n);
        ::MultiByteToWideChar(UINT(codePage), MB_ERR_INVALID_CHARS, bytes.constData() + from,
                              int(len), reinterpret_cast<wchar_t*>(out.data() + at), n);
        return true;
    };
    if (bytes.isEmpty() || convert(0, bytes.size()))
        return out;
    out.clear();
    qsizetype k = 0;
    while (k < bytes.size()) {
        const bool lead = ::IsDBCSLeadByteEx(UINT(codePage), BYTE(bytes[k]));
        if (lead && k + 1 < bytes.size() && convert(k, 2)) {
            k += 2;
        } else if (convert(k, 1)) {
            ++k;
        } else {
            out.append(QChar(0xFFFD));
            ++k;
        }
    }
    return out;
}

} // namespace platform
