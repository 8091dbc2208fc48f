// Code pages of the font character sets. Shift-JIS goes through the platform's CP932
// decoder; the other double-byte and Windows code pages through the platform's converter.
#include "platform/textcodec.h"
#include "wmftext.h"

namespace platform::wmf {

namespace {

int codePage(int charset) {
    switch (charset) {
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}

// Windows-1252: Latin-1 except for the 0x80-0x9F row.
QString decode1252(const QByteArray& bytes) {
    static const char16_t row[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = uchar(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(row[b - 0x80]) : QChar(b));
    }
    return out;
}

bool isLeadByte(uchar b, int charset) {
    switch (charset) {
    case 128:
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 129:
    case 134:
    case 136:
        return b >= 0x81 && b <= 0xFE;
    case 130:
        return b >= 0x84 && b <= 0xF9;
    default:
        return false;
    }
}

} // namespace

QString decodeAnsi(const QByteArray& bytes, int charset) {
    if (charset == SHIFTJIS_CHARSET) {
        if (auto text = decodeCp932(bytes))
            return *text;
    }
    if (const int page = codePage(charset)) {
        if (auto text = decodeCodePage(bytes, page))
            return *text;
    }
    if (charset == SYMBOL_CHARSET)
        return QString::fromLatin1(bytes);
    return decode1252(bytes);
}

QList<int> characterLengths(const QByteArray& bytes, int charset) {
    QList<int> lengths;
    for (qsizetype k = 0; k < bytes.size();) {
        const int n = isLeadByte(uchar(bytes[k]), charset) && k + 1 < bytes.size() ? 2 : 1;
        lengths.append(n);
        k += n;
    }
    return lengths;
}

} // namespace platform::wmf
