#pragma once
// The names a rename gives: the picture keeps its old extension, the memo follows the new
// base name.

#include <QString>
#include <optional>

namespace tarvo {

struct RenameTargets {
    QString newName; // the typed base name followed by the old extension
    QString newMemo;
    QString oldMemo;
};

// oldName holds a "."; renameExt is oldName from its first "." on. Nothing when the result
// cannot be a file name of this folder: an empty base name (the result would start with
// "."), a path separator, a control character (the line end that Enter types into the name
// field, a tab, a NUL), or the names "." and "..".
std::optional<RenameTargets> renameTargets(const QString& oldName, const QString& typed,
                                           const QString& renameExt);

bool isSafeFileName(const QString& name);

} // namespace tarvo
