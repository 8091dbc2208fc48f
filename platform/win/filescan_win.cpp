// One folder read with FindFirstFileExW: the attributes come with each name, so hidden and
// system files and folders are left out without a second call per file.
#include "platform/filescan.h"
#include "win32error.h"

#include <algorithm>

namespace platform {

namespace {

struct Entry {
    QString key; // case-folded, for the order
    QString name;
};

} // namespace

std::optional<QStringList> scanFolder(const QString& folder, const WildcardMask& mask,
                                      Result* why) {
    QString pattern = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (!pattern.endsWith(QLatin1Char('/')) && !pattern.endsWith(QLatin1Char('\\')))
        pattern += QLatin1Char('\\');
    pattern += QLatin1Char('*');
    WIN32_FIND_DATAW d{};
    HANDLE h = ::FindFirstFileExW(win::widePath(pattern).c_str(), FindExInfoBasic, &d,
                                  FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND)
            return QStringList(); // an empty drive root
        if (why)
            *why = win::resultFromWin32(err, folder);
        return std::nullopt;
    }
    std::vector<Entry> entries;
    constexpr DWORD kSkipped =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (d.dwFileAttributes & kSkipped)
            continue;
        QString name = QString::fromWCharArray(d.cFileName);
        QString folded = name.toCaseFolded();
        if (!mask.matchesFolded(folded))
            continue;
        entries.push_back({std::move(folded), std::move(name)});
    } while (::FindNextFileW(h, &d));
    const DWORD err = ::GetLastError();
    ::FindClose(h);
    if (err != ERROR_NO_MORE_FILES) {
        if (why)
            *why = win::resultFromWin32(err, folder);
        return std::nullopt;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        int c = QStringView(a.key).compare(QStringView(b.key));
        return c != 0 ? c < 0 : QStringView(a.name).compare(QStringView(b.name)) < 0;
    });
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (Entry& e : entries)
        names.push_back(std::move(e.name));
    return names;
}

} // namespace platform
