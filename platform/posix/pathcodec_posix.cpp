// File names as bytes: UTF-8, with bytes that are not valid UTF-8 carried through QString
// as lone surrogates U+DC80..U+DCFF (the "surrogate escape" scheme), so that every name a
// folder holds survives the round trip to QString and back.
#include "platform/files.h"
#include "platform/textcodec.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

bool isEscape(char16_t u) {
    return u >= 0xDC80 && u <= 0xDCFF;
}

// Length of the valid UTF-8 sequence starting at p, or 0 when it is not one.
int validSequence(const unsigned char* p, const unsigned char* end) {
    unsigned char c = *p;
    if (c < 0x80)
        return 1;
    int extra;
    char32_t cp;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
        extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (end - p <= extra)
        return 0;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return extra + 1;
}

} // namespace

QByteArray encodePath(const QString& path) {
    bool escaped = false;
    for (QChar c : path) {
        if (isEscape(c.unicode())) {
            escaped = true;
            break;
        }
    }
    if (!escaped)
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        char16_t u = path.at(i).unicode();
        if (!isEscape(u))
            continue;
        // A lone low surrogate; a valid pair would start with a high surrogate before it.
        if (i > 0 && path.at(i - 1).isHighSurrogate())
            continue;
        out += QStringView(path).mid(runStart, i - runStart).toUtf8();
        out += static_cast<char>(u - 0xDC00);
        runStart = i + 1;
    }
    out += QStringView(path).mid(runStart).toUtf8();
    return out;
}

QString decodePath(const QByteArray& bytes) {
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    const auto* run = p;
    while (p < end) {
        int n = validSequence(p, end);
        if (n > 0) {
            p += n;
            continue;
        }
        out += QString::fromUtf8(reinterpret_cast<const char*>(run), p - run);
        out += QChar(static_cast<char16_t>(0xDC00 + *p));
        ++p;
        run = p;
    }
    out += QString::fromUtf8(reinterpret_cast<const char*>(run), p - run);
    return out;
}

std::unique_ptr<QFile> openForReading(const QString& path, Result* why) {
    int fd = ::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (why)
            *why = resultFromErrno(errno, path);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (why)
            *why = Result::failure(Error::Io, file->errorString());
        return nullptr;
    }
    return file;
}

} // namespace platform
