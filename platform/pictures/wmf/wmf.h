#pragma once
// Windows metafiles: the reader the picture loader calls for .WMF files.

#include "platform/pictures/pictureloader.h"
#include "platform/result.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>

namespace platform::wmf {

// Checks the metafile and gives its natural size (kind Metafile). Fails for anything that
// is not a sound metafile, before allocating for it.
std::optional<PictureHeader> readHeader(const QByteArray& bytes, Result* why = nullptr);
// Renders the metafile scaled to pixels.
std::optional<QImage> render(const QByteArray& bytes, QSize pixels, Result* why = nullptr);

} // namespace platform::wmf
