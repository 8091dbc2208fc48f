// CP932 through glibc's iconv, which knows the Microsoft variant (NEC and IBM extensions,
// 0x5C as backslash) under the name "CP932".
#include "platform/textcodec.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {

namespace {

// QString holds UTF-16 in the machine's byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

std::optional<QString> decodeCp932(const QByteArray& bytes) {
    Converter cv(kUtf16, "CP932");
    if (!cv.ok())
        return std::nullopt;
    QString out;
    // Every CP932 byte gives at most one UTF-16 unit.
    out.resize(bytes.size());
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* dst = reinterpret_cast<char*>(out.data());
    size_t outLeft = static_cast<size_t>(out.size()) * 2;
    while (inLeft > 0) {
        size_t r = iconv(cv.get(), &in, &inLeft, &dst, &outLeft);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == EILSEQ || errno == EINVAL) {
            // An undecodable byte (or a lead byte cut off at the end) becomes U+FFFD.
            if (outLeft < 2)
                break;
            const char16_t repl = 0xFFFD;
            std::memcpy(dst, &repl, 2);
            dst += 2;
            outLeft -= 2;
            ++in;
            --inLeft;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        return std::nullopt; // E2BIG cannot happen with the size above
    }
    out.resize(static_cast<qsizetype>((dst - reinterpret_cast<char*>(out.data())) / 2));
    return out;
}

std::optional<QByteArray> encodeCp932(const QString& text) {
    Converter cv("CP932", kUtf16);
    if (!cv.ok())
        return std::nullopt;
    QByteArray out;
    // A UTF-16 unit gives at most two CP932 bytes.
    out.resize(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (inLeft > 0 && iconv(cv.get(), &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    if (iconv(cv.get(), nullptr, nullptr, &dst, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    out.resize(dst - out.data());
    return out;
}

std::optional<QString> decodeCodePage(const QByteArray& bytes, int codePage) {
    const QByteArray name =
        codePage == 1361 ? QByteArray("JOHAB") : "CP" + QByteArray::number(codePage);
    Converter cv("UTF-16LE", name.constData());
    if (!cv.ok())
        return std::nullopt;
    QString out;
    QByteArray buffer(bytes.size() * 4 + 8, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = size_t(buffer.size());
        const size_t rc = iconv(cv.get(), &in, &inLeft, &dst, &dstLeft);
        out.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer.constData()),
                                      (buffer.size() - qsizetype(dstLeft)) / 2));
        if (rc == size_t(-1) && errno != E2BIG) {
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

} // namespace platform
