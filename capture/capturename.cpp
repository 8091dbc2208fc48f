#include "capturename.h"

#include <cstdlib>
#include <limits>

namespace capture {

std::int32_t nextSaveCount(std::int32_t saveCount) {
    if (saveCount == std::numeric_limits<std::int32_t>::max())
        return saveCount % 100 + 1;
    return saveCount + 1;
}

QString captureFileName(const QString& prefix, std::int32_t saveCount) {
    const QString digits =
        QStringLiteral("00") + QString::number(std::abs(static_cast<qint64>(saveCount)));
    return prefix + digits.right(2) + QStringLiteral(".bmp");
}

} // namespace capture
