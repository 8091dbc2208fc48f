#pragma once
// The pictures the benchmarks decode: a noisy gradient, since flat pictures decode
// unrealistically fast. The same seed gives the same picture.

#include <QImage>

inline QImage photoLike(int w, int h, quint32 seed) {
    QImage img(w, h, QImage::Format_RGB32);
    quint32 x32 = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            x32 ^= x32 << 13;
            x32 ^= x32 >> 17;
            x32 ^= x32 << 5;
            const int n = static_cast<int>(x32 & 31) - 16;
            line[x] = qRgb(qBound(0, x * 255 / w + n, 255), qBound(0, y * 255 / h + n, 255),
                           qBound(0, ((x + y) * 127 / (w + h)) + 64 + n, 255));
        }
    }
    return img;
}
