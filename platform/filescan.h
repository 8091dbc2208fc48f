#pragma once
// Folder reading for the file list: the wildcard mask and a fast scan of one folder.

#include "result.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

// A ";"-separated list of wildcard patterns ("*" any run, "?" one character), compared
// with whole file names without regard to case. A name matches when any pattern does.
class WildcardMask {
public:
    // Nothing for a pattern the file list cannot use (see the implementation for the rule).
    static std::optional<WildcardMask> parse(const QString& pattern);
    bool matches(const QString& name) const;
    const QString& text() const { return m_text; }
    // The patterns, case-folded, without empty ones.
    const std::vector<QString>& parts() const { return m_parts; }
    // Matches a name that is already case-folded (QString::toCaseFolded).
    bool matchesFolded(QStringView foldedName) const;

private:
    QString m_text;
    std::vector<QString> m_parts; // case-folded
};

// Names of the normal, non-hidden files of folder that match mask, sorted ascending
// without regard to case. Nothing when the folder cannot be read, with the reason in *why.
std::optional<QStringList> scanFolder(const QString& folder, const WildcardMask& mask,
                                      Result* why = nullptr);

} // namespace platform
