// Placeholder until the metafile reader lands: every metafile takes the failure path.
#include "wmf.h"

namespace platform::wmf {

std::optional<PictureHeader> readHeader(const QByteArray&, Result* why) {
    if (why)
        *why = Result::failure(Error::Unsupported, QStringLiteral("metafiles are not read yet"));
    return std::nullopt;
}

std::optional<QImage> render(const QByteArray&, QSize, Result* why) {
    if (why)
        *why = Result::failure(Error::Unsupported, QStringLiteral("metafiles are not read yet"));
    return std::nullopt;
}

} // namespace platform::wmf
