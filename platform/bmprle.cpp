#include "bmprle.h"

#include "pictureloader.h"

#include <climits>

namespace platform {

namespace {

quint32 le32(const QByteArray& b, qsizetype at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

int le16(const QByteArray& b, qsizetype at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

bool fail(Result* why, const char* reason) {
    if (why)
        *why = Result::failure(Error::Corrupt, QString::fromLatin1(reason));
    return false;
}

// Sets one pixel of the picture, rows counted from the bottom as the file stores them;
// pixels outside the picture are dropped.
class Canvas {
public:
    Canvas(QImage& img, bool bottomUp) : m_img(img), m_bottomUp(bottomUp) {}
    void put(qint64 x, qint64 y, int index) {
        if (x < 0 || y < 0 || x >= m_img.width() || y >= m_img.height())
            return;
        const qint64 row = m_bottomUp ? m_img.height() - 1 - y : y;
        m_img.scanLine(static_cast<int>(row))[x] = static_cast<uchar>(index);
    }

private:
    QImage& m_img;
    bool m_bottomUp;
};

} // namespace

std::optional<RleBitmapInfo> rleBitmapInfo(const QByteArray& file) {
    if (file.size() < 54 || !file.startsWith("BM"))
        return std::nullopt;
    const quint32 infoSize = le32(file, 14);
    if (infoSize < 40)
        return std::nullopt;
    const int bits = le16(file, 28);
    const quint32 compression = le32(file, 30);
    if (!((compression == 1 && bits == 8) || (compression == 2 && bits == 4)))
        return std::nullopt;
    const qint64 w = static_cast<qint32>(le32(file, 18));
    qint64 h = static_cast<qint32>(le32(file, 22));
    if (h < 0)
        h = -h;
    if (w <= 0 || h <= 0 || w > INT_MAX || h > INT_MAX ||
        !pixelCountAcceptable(QSize(static_cast<int>(w), static_cast<int>(h))))
        return std::nullopt;
    return RleBitmapInfo{QSize(static_cast<int>(w), static_cast<int>(h)), bits};
}

std::optional<QImage> decodeRleBitmap(const QByteArray& file, Result* why) {
    const std::optional<RleBitmapInfo> info = rleBitmapInfo(file);
    if (!info) {
        fail(why, "not a run-length bitmap of a usable size");
        return std::nullopt;
    }
    const qint64 infoSize = le32(file, 14);
    const qint64 offBits = le32(file, 10);
    const int maxColours = 1 << info->bits;
    qint64 used = le32(file, 46);
    if (used <= 0 || used > maxColours)
        used = maxColours;
    const qint64 tableAt = 14 + infoSize;
    if (tableAt > file.size() || offBits > file.size() || offBits < 14 + 40) {
        fail(why, "bitmap headers point outside the file");
        return std::nullopt;
    }
    const qint64 available = (std::min<qint64>(offBits, file.size()) - tableAt) / 4;
    used = std::clamp<qint64>(available, 0, used);

    QImage img(info->size, QImage::Format_Indexed8);
    if (img.isNull()) {
        fail(why, "no memory for the picture");
        return std::nullopt;
    }
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (qint64 i = 0; i < used; ++i) {
        const qint64 at = tableAt + 4 * i;
        table[i] =
            qRgb(static_cast<unsigned char>(file[at + 2]), static_cast<unsigned char>(file[at + 1]),
                 static_cast<unsigned char>(file[at]));
    }
    img.setColorTable(table);
    img.fill(0);

    const bool bottomUp = static_cast<qint32>(le32(file, 22)) > 0;
    Canvas canvas(img, bottomUp);
    const bool rle8 = info->bits == 8;
    auto byteAt = [&file](qint64 at) { return static_cast<unsigned char>(file[at]); };
    qint64 pos = offBits;
    const qint64 end = file.size();
    qint64 x = 0;
    qint64 y = 0;
    // Every step consumes at least two bytes, so the loop ends with the data.
    while (pos + 1 < end && y < img.height()) {
        const int count = byteAt(pos);
        const int value = byteAt(pos + 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i, ++x)
                canvas.put(x, y, rle8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta: move right and up
            if (pos + 1 >= end)
                break;
            x += byteAt(pos);
            y += byteAt(pos + 1);
            pos += 2;
        } else { // absolute: value pixels as they are, padded to a whole word
            qint64 bytes = rle8 ? value : (value + 1) / 2;
            if (pos + bytes > end)
                break;
            for (int i = 0; i < value; ++i, ++x) {
                const int b = byteAt(pos + (rle8 ? i : i / 2));
                canvas.put(x, y, rle8 ? b : (i % 2 == 0 ? b >> 4 : b & 0x0F));
            }
            pos += bytes + (bytes & 1);
        }
    }
    return img;
}

} // namespace platform
