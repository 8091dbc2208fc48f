// Reads one folder for the file list with readdir, checking the file type from the
// directory entry and matching the common "*.EXT" patterns on the raw bytes, so that only
// the names that are listed are ever converted to QString.
#include "platform/files.h"
#include "platform/filescan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

struct ByteSuffix {
    QByteArray lower; // ASCII, lower case; empty with matchAll
    bool matchAll = false;
};

// The byte-level form of the mask when every pattern is "*" followed by plain ASCII;
// nothing when some pattern needs the general matcher.
std::optional<std::vector<ByteSuffix>> byteSuffixes(const WildcardMask& mask) {
    std::vector<ByteSuffix> out;
    for (const QString& part : mask.parts()) {
        if (!part.startsWith(u'*'))
            return std::nullopt;
        QStringView rest = QStringView(part).mid(1);
        ByteSuffix s;
        for (QChar c : rest) {
            char16_t u = c.unicode();
            if (u == u'*' || u == u'?' || u >= 0x80)
                return std::nullopt;
            s.lower += static_cast<char>(u >= 'A' && u <= 'Z' ? u + 32 : u);
        }
        s.matchAll = s.lower.isEmpty();
        out.push_back(std::move(s));
    }
    return out;
}

bool endsWithNoCase(const char* name, size_t len, const QByteArray& lower) {
    auto n = static_cast<size_t>(lower.size());
    if (len < n)
        return false;
    const char* tail = name + (len - n);
    for (size_t i = 0; i < n; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != lower[static_cast<qsizetype>(i)])
            return false;
    }
    return true;
}

bool isAscii(const char* s, size_t len) {
    unsigned char any = 0;
    for (size_t i = 0; i < len; ++i)
        any |= static_cast<unsigned char>(s[i]);
    return any < 0x80;
}

bool isRegular(int dirFd, const dirent* e) {
    if (e->d_type == DT_REG)
        return true;
    if (e->d_type != DT_UNKNOWN && e->d_type != DT_LNK)
        return false;
    // Unknown type (some file systems) or a link: ask, following links, so a link to a
    // normal file is listed like the file.
    struct stat st;
    return ::fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

struct Entry {
    QString key; // case-folded
    QString name;
};

} // namespace

std::optional<QStringList> scanFolder(const QString& folder, const WildcardMask& mask,
                                      Result* why) {
    QByteArray path = encodePath(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir) {
        if (why)
            *why = resultFromErrno(errno, folder);
        return std::nullopt;
    }
    const int dirFd = ::dirfd(dir);
    const auto suffixes = byteSuffixes(mask);
    std::vector<Entry> entries;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e)
            break;
        const char* raw = e->d_name;
        if (raw[0] == '.')
            continue; // hidden, and "." and ".."
        const size_t len = std::strlen(raw);
        QString folded;
        if (suffixes) {
            bool hit = false;
            for (const ByteSuffix& s : *suffixes) {
                if (s.matchAll || endsWithNoCase(raw, len, s.lower)) {
                    hit = true;
                    break;
                }
            }
            if (!hit)
                continue;
        }
        QString name;
        if (isAscii(raw, len)) {
            // Most names: no decoding, and folding is lower-casing.
            name = QString::fromLatin1(raw, static_cast<qsizetype>(len));
            folded = QString(static_cast<qsizetype>(len), Qt::Uninitialized);
            QChar* out = folded.data();
            for (size_t i = 0; i < len; ++i) {
                char ch = raw[i];
                out[i] = QLatin1Char(ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch);
            }
        } else {
            name = decodePath(QByteArray::fromRawData(raw, static_cast<qsizetype>(len)));
            folded = name.toCaseFolded();
        }
        if (!suffixes && !mask.matchesFolded(folded))
            continue;
        if (!isRegular(dirFd, e))
            continue;
        entries.push_back({std::move(folded), std::move(name)});
    }
    const int readErr = errno;
    ::closedir(dir);
    if (readErr != 0) {
        if (why)
            *why = resultFromErrno(readErr, folder);
        return std::nullopt;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        int c = QStringView(a.key).compare(QStringView(b.key));
        return c != 0 ? c < 0 : QStringView(a.name).compare(QStringView(b.name)) < 0;
    });
    QStringList names;
    names.reserve(static_cast<qsizetype>(entries.size()));
    for (Entry& entry : entries)
        names.push_back(std::move(entry.name));
    return names;
}

} // namespace platform
