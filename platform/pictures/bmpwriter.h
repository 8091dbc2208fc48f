#pragma once
// Writes a picture as a Windows BMP file: 24 bits per pixel, or 32 bits with an alpha mask
// (BITMAPV5HEADER) when the picture has transparent pixels. Readable by common viewers.

#include "platform/result.h"

#include <QImage>
#include <QString>

namespace platform {

// Creates or replaces path. The bytes go to a temporary file beside it that is renamed over
// path once complete, so a failed write leaves an older file of that name as it was.
Result writeBmp(const QImage& picture, const QString& path);

// The whole BMP file in memory (for tests and callers that need the bytes).
QByteArray encodeBmp(const QImage& picture);

} // namespace platform
