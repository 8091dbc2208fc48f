// Writes the programs' icons, as the programs draw them, as Windows icon files for the
// executables' resources: make_ico FOLDER writes FOLDER/tarvo104.ico and FOLDER/Mirok101.ico,
// each with 16, 32 and 48 pixel images of 32 bits (alpha) and their AND masks. Run at build
// time under Wine.
#include "platform/controls/icons.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>
#include <cstdio>
#include <functional>

namespace {

void put16(QByteArray& out, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}
void put32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

// One icon image: a BITMAPINFOHEADER of twice the height, the bottom-up BGRA rows, then the
// 1-bit AND mask (set where the picture is fully transparent), rows padded to 32 bits.
QByteArray iconImage(const QImage& drawn) {
    const QImage img = drawn.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(2 * h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0); // BI_RGB
    const int maskStride = ((w + 31) / 32) * 4;
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(img.constScanLine(y)), w * 4);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

bool writeIco(const QString& path, const std::function<QImage(int)>& draw) {
    const int sizes[] = {16, 32, 48};
    QList<QByteArray> images;
    for (int px : sizes)
        images.append(iconImage(draw(px)));
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out.append(char(sizes[i]));
        out.append(char(sizes[i]));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, quint32(images[i].size()));
        put32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& img : images)
        out.append(img);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size() && f.flush();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // the build needs no display
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_ico FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    if (!writeIco(folder + QStringLiteral("/tarvo104.ico"), platform::tarvoIconImage) ||
        !writeIco(folder + QStringLiteral("/Mirok101.ico"), platform::mirokIconImage)) {
        std::fprintf(stderr, "make_ico: cannot write into %s\n", qPrintable(folder));
        return 1;
    }
    return 0;
}
