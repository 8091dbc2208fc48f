#include "bmpwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;    // BITMAPINFOHEADER
constexpr int kV5Header = 124;     // BITMAPV5HEADER, for the alpha mask
constexpr qint64 kChunk = 1 << 20; // rows are written in blocks of about this many bytes

void put16(uchar* p, quint16 v) {
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}
void put32(uchar* p, quint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uchar(v >> (8 * i));
}

bool hasTransparency(const QImage& img) {
    if (!img.hasAlphaChannel())
        return false;
    const QImage argb =
        img.format() == QImage::Format_ARGB32 || img.format() == QImage::Format_ARGB32_Premultiplied
            ? img
            : img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

struct Layout {
    QImage pixels; // ARGB32 with alpha; without, RGB32 or any 32-bit kind of opaque pixels
    bool alpha = false;
    int bytesPerPixel = 3;
    qint64 rowBytes = 0;
    qint64 headerBytes = 0;
    qint64 fileBytes = 0;
};

Layout layoutFor(const QImage& picture) {
    Layout l;
    l.alpha = hasTransparency(picture);
    // Opaque rows are packed from the low three bytes of each pixel, which RGB32, ARGB32 and
    // (opaque) premultiplied ARGB32 hold alike: a screen read from the clipboard as ARGB32 is
    // not copied whole once more.
    const QImage::Format f = picture.format();
    const bool asIs =
        f == QImage::Format_ARGB32 ||
        (!l.alpha && (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied));
    l.pixels =
        asIs ? picture
             : picture.convertToFormat(l.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    l.bytesPerPixel = l.alpha ? 4 : 3;
    l.rowBytes = (qint64(l.pixels.width()) * l.bytesPerPixel + 3) & ~qint64(3);
    l.headerBytes = kFileHeader + (l.alpha ? kV5Header : kInfoHeader);
    l.fileBytes = l.headerBytes + l.rowBytes * l.pixels.height();
    return l;
}

QByteArray header(const Layout& l) {
    QByteArray h(int(l.headerBytes), '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, quint32(l.fileBytes));
    put32(p + 10, quint32(l.headerBytes));
    uchar* i = p + kFileHeader;
    put32(i, quint32(l.alpha ? kV5Header : kInfoHeader));
    put32(i + 4, quint32(l.pixels.width()));
    put32(i + 8, quint32(l.pixels.height())); // positive: rows bottom-up
    put16(i + 12, 1);
    put16(i + 14, quint16(l.bytesPerPixel * 8));
    put32(i + 16, l.alpha ? 3 : 0); // BI_BITFIELDS : BI_RGB
    put32(i + 20, quint32(l.rowBytes * l.pixels.height()));
    put32(i + 24, 3780); // 96 DPI in pixels per metre
    put32(i + 28, 3780);
    if (l.alpha) {
        put32(i + 40, 0x00FF0000); // red mask
        put32(i + 44, 0x0000FF00);
        put32(i + 48, 0x000000FF);
        put32(i + 52, 0xFF000000); // alpha mask
        put32(i + 56, 0x73524742); // LCS_sRGB
        put32(i + 108, 4);         // LCS_GM_IMAGES
    }
    return h;
}

// Packs rows [y0, y1) of the file (file row 0 is the picture's bottom row) into out.
void packRows(const Layout& l, int y0, int y1, uchar* out) {
    const int w = l.pixels.width();
    const int h = l.pixels.height();
    for (int fy = y0; fy < y1; ++fy) {
        const uchar* src = l.pixels.constScanLine(h - 1 - fy);
        uchar* dst = out + qint64(fy - y0) * l.rowBytes;
        if (l.alpha) {
            // ARGB32 in memory is B, G, R, A on little-endian machines, as the file wants it.
            const auto* px = reinterpret_cast<const QRgb*>(src);
            for (int x = 0; x < w; ++x) {
                dst[0] = uchar(qBlue(px[x]));
                dst[1] = uchar(qGreen(px[x]));
                dst[2] = uchar(qRed(px[x]));
                dst[3] = uchar(qAlpha(px[x]));
                dst += 4;
            }
        } else {
            const auto* px = reinterpret_cast<const QRgb*>(src);
            for (int x = 0; x < w; ++x) {
                const QRgb c = px[x];
                dst[0] = uchar(c);
                dst[1] = uchar(c >> 8);
                dst[2] = uchar(c >> 16);
                dst += 3;
            }
            const qint64 pad = l.rowBytes - qint64(w) * 3;
            std::memset(dst, 0, size_t(pad));
        }
    }
}

QString tempNameFor(const QString& path) {
    static std::atomic<unsigned> serial{0};
    const QFileInfo fi(path);
    return fi.dir().filePath(QStringLiteral(".%1.%2-%3.tmp")
                                 .arg(fi.fileName())
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(serial++));
}

Result fileFailure(int err, const QString& path, const QFile& f) {
    if (err != 0)
        return resultFromErrno(err, path);
    return Result::failure(Error::Io, path, f.errorString());
}

} // namespace

QByteArray encodeBmp(const QImage& picture) {
    if (picture.isNull())
        return {};
    const Layout l = layoutFor(picture);
    QByteArray bytes = header(l);
    const qint64 start = bytes.size();
    bytes.resize(qsizetype(l.fileBytes));
    packRows(l, 0, l.pixels.height(), reinterpret_cast<uchar*>(bytes.data()) + start);
    return bytes;
}

Result writeBmp(const QImage& picture, const QString& path) {
    if (picture.isNull())
        return Result::failure(Error::Corrupt, path, QStringLiteral("保存する画像がありません"));
    if (path.isEmpty() || path.contains(QChar(0)))
        return Result::failureOf(Error::InvalidName, path);
    const QFileInfo target(path);
    if (target.isDir())
        return Result::failure(Error::InvalidName, path, errnoText(EISDIR));
    const Layout l = layoutFor(picture);
    if (l.fileBytes > 0xFFFFFFFFll)
        return Result::failure(Error::TooLarge, path, QStringLiteral("画像が大きすぎます"));

    const QString temp = tempNameFor(path);
    QFile f(temp);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fileFailure(errno, path, f);

    bool written = f.write(header(l)) == l.headerBytes;
    const int h = l.pixels.height();
    const int rowsPerChunk = int(qMax<qint64>(1, kChunk / qMax<qint64>(1, l.rowBytes)));
    QByteArray block(qsizetype(l.rowBytes * qMin(rowsPerChunk, qMax(h, 1))), '\0');
    for (int y = 0; written && y < h; y += rowsPerChunk) {
        const int y1 = qMin(h, y + rowsPerChunk);
        packRows(l, y, y1, reinterpret_cast<uchar*>(block.data()));
        const qint64 n = l.rowBytes * (y1 - y);
        errno = 0;
        written = f.write(block.constData(), n) == n;
    }
    const int writeErr = errno;
    if (written) {
        errno = 0;
        written = f.flush();
    }
    const int err = written ? 0 : (errno ? errno : writeErr);
    f.close();
    if (!written) {
        QFile::remove(temp);
        return fileFailure(err, path, f);
    }

    std::error_code ec;
    std::filesystem::rename(temp.toStdU16String(), path.toStdU16String(), ec);
    if (ec) {
        QFile::remove(temp);
        return resultFromErrno(ec.default_error_condition().value(), path);
    }
    return Result::success();
}

} // namespace platform
