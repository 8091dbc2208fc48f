#pragma once
// Writes run-length compressed Windows bitmaps (RLE8 and RLE4) byte by byte from a picture
// given as palette indices; Qt reads these but does not write them.

#include <QByteArray>
#include <QRgb>
#include <QVector>
#include <functional>
#include <initializer_list>
#include <utility>

namespace tools {

namespace rledetail {

inline void le(QByteArray& b, qint64 v, int n) {
    for (int i = 0; i < n; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// One row of RLE8: runs of equal indices as (count, index); stretches of three or more
// differing indices in absolute mode (0, count, indices, padded to a word).
inline void encodeRow8(QByteArray& out, const QVector<int>& row) {
    const int w = static_cast<int>(row.size());
    int x = 0;
    while (x < w) {
        int run = 1;
        while (x + run < w && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2) {
            out.append(static_cast<char>(run)).append(static_cast<char>(row[x]));
            x += run;
            continue;
        }
        int lit = 1;
        while (x + lit < w && lit < 255 && (x + lit + 1 >= w || row[x + lit] != row[x + lit + 1]))
            ++lit;
        if (lit < 3) {
            for (int i = 0; i < lit; ++i)
                out.append('\x01').append(static_cast<char>(row[x + i]));
        } else {
            out.append('\0').append(static_cast<char>(lit));
            for (int i = 0; i < lit; ++i)
                out.append(static_cast<char>(row[x + i]));
            if (lit & 1)
                out.append('\0');
        }
        x += lit;
    }
}

// One row of RLE4: runs of one index (both nibbles equal).
inline void encodeRow4(QByteArray& out, const QVector<int>& row) {
    const int w = static_cast<int>(row.size());
    int x = 0;
    while (x < w) {
        int run = 1;
        while (x + run < w && run < 255 && row[x + run] == row[x])
            ++run;
        out.append(static_cast<char>(run)).append(static_cast<char>((row[x] << 4) | row[x]));
        x += run;
    }
}

} // namespace rledetail

// A run-length bitmap file around an already compressed pixel stream, with the palette as
// given (its size is the colour count the header states). bits is 8 or 4.
// A bottom-up bitmap file of w × h pixels: bits per pixel, compression (0 none, 1 RLE8, 2
// RLE4), the colour table and the pixel data as given. The one bitmap builder of the tests,
// the fuzz seeds and the samples.
inline QByteArray bitmapFile(int w, int h, int bits, int compression,
                             const QVector<QRgb>& palette, const QByteArray& data) {
    using namespace rledetail;
    const int colours = static_cast<int>(palette.size());
    const int offset = 14 + 40 + colours * 4;
    QByteArray b("BM");
    for (const auto& [v, n] : {std::pair<qint64, int>{offset + data.size(), 4}, {0, 4},
                               {offset, 4}, {40, 4}, {w, 4}, {h, 4}, {1, 2}, {bits, 2},
                               {compression, 4}, {data.size(), 4}, {3780, 4}, {3780, 4},
                               {colours, 4}, {0, 4}})
        le(b, v, n); // 3780 pixels per metre: 96 DPI
    for (QRgb c : palette) {
        b.append(static_cast<char>(qBlue(c)))
            .append(static_cast<char>(qGreen(c)))
            .append(static_cast<char>(qRed(c)))
            .append('\0');
    }
    return b + data;
}

// A run-length bitmap (RLE8 for 8 bits, RLE4 for 4) of an already compressed pixel stream.
inline QByteArray wrapRleBitmap(int w, int h, int bits, const QVector<QRgb>& palette,
                                const QByteArray& data) {
    return bitmapFile(w, h, bits, bits == 8 ? 1 : 2, palette, data);
}

// Bytes as written, for pixel streams and file pieces.
inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

// index(x, y) gives the palette index of a pixel, y = 0 being the top row. bits is 8 or 4.
inline QByteArray encodeRleBitmap(int w, int h, int bits, const QVector<QRgb>& palette,
                                  const std::function<int(int, int)>& index) {
    using namespace rledetail;
    const int colours = 1 << bits;
    QByteArray data;
    QVector<int> row(w);
    for (int y = h - 1; y >= 0; --y) { // bottom-up
        for (int x = 0; x < w; ++x)
            row[x] = index(x, y) & (colours - 1);
        if (bits == 8)
            encodeRow8(data, row);
        else
            encodeRow4(data, row);
        data.append('\0').append('\0'); // end of line
    }
    data.append('\0').append('\x01'); // end of bitmap
    QVector<QRgb> full(colours, qRgb(0, 0, 0));
    for (int i = 0; i < colours && i < palette.size(); ++i)
        full[i] = palette[i];
    return wrapRleBitmap(w, h, bits, full, data);
}

} // namespace tools
