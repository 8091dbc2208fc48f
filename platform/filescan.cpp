// The file list's wildcard mask. The folder reading itself is per operating system
// (filescan_posix.cpp).
#include "filescan.h"

namespace platform {

namespace {

// "*" matches any run, "?" exactly one character; both strings are case-folded.
bool globMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0, n = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

// Patterns are separated by ";"; blanks around a pattern are dropped and empty patterns
// between ";;" ignored. A mask is refused when nothing is left, or when a pattern holds a
// folder separator ("/" or "\") or a NUL, since a file list pattern names files of one
// folder only.
std::optional<WildcardMask> WildcardMask::parse(const QString& pattern) {
    WildcardMask mask;
    mask.m_text = pattern;
    const QStringList parts = pattern.split(u';');
    for (const QString& raw : parts) {
        QString part = raw.trimmed();
        if (part.isEmpty())
            continue;
        if (part.contains(u'/') || part.contains(u'\\') || part.contains(QChar(0)))
            return std::nullopt;
        // Windows matches "*.*" against every name, also one without a ".".
        if (part == QLatin1String("*.*"))
            part = QStringLiteral("*");
        mask.m_parts.push_back(part.toCaseFolded());
    }
    if (mask.m_parts.empty())
        return std::nullopt;
    return mask;
}

bool WildcardMask::matchesFolded(QStringView foldedName) const {
    for (const QString& part : m_parts) {
        if (globMatch(part, foldedName))
            return true;
    }
    return false;
}

bool WildcardMask::matches(const QString& name) const {
    return matchesFolded(name.toCaseFolded());
}

} // namespace platform
