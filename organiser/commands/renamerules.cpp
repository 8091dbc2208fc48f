#include "renamerules.h"

namespace tarvo {

bool isSafeFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 ||
            c.unicode() == 0x7F)
            return false;
    }
    return true;
}

std::optional<RenameTargets> renameTargets(const QString& oldName, const QString& typed,
                                           const QString& renameExt) {
    RenameTargets t;
    const qsizetype p = typed.indexOf(QLatin1Char('.'));
    const QString base = p >= 0 ? typed.left(p) : typed;
    // An empty base name (an emptied field, or a name typed from its ".") would give
    // ".jpg", which Linux hides: the picture would vanish from the list.
    if (base.isEmpty())
        return std::nullopt;
    t.newMemo = base + QStringLiteral(".TXT");
    t.newName = base + renameExt;
    const qsizetype q = oldName.indexOf(QLatin1Char('.'));
    t.oldMemo = oldName.left(q < 0 ? 0 : q) + QStringLiteral(".TXT");
    if (!isSafeFileName(t.newName) || !isSafeFileName(t.newMemo))
        return std::nullopt;
    return t;
}

} // namespace tarvo
