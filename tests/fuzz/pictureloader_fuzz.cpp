// Feeds arbitrary bytes to the picture loader's thumbnail path: the header checks, the
// kind detection and Qt's readers behind them must fail cleanly on anything.
#include "platform/pictures/pictureloader.h"
#include "tools/gifwriter.h"
#include "tools/rlebitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <cstdlib>

namespace {

QByteArray encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(img);
    return bytes;
}

// A JPEG whose orientation tag (6, a quarter turn) the loader applies.
QByteArray turnedJpeg(const QByteArray& jpeg) {
    const QByteArray body = QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01", 16) +
                            QByteArray("\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 16);
    QByteArray app1("\xFF\xE1", 2);
    app1.append('\0').append(static_cast<char>(body.size() + 2));
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

void writeSeeds(const QString& folder) {
    QDir().mkpath(folder);
    QImage img(23, 11, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter(&img).drawEllipse(2, 2, 18, 7);
    const QRgb white = qRgb(255, 255, 255);
    const auto ink = [&](int x, int y) { return int(img.pixel(x, y) != white); };
    const struct {
        const char* name;
        QByteArray bytes;
    } seeds[] = {{"seed.bmp", encoded(img, "bmp")},
                 {"seed.jpg", encoded(img, "jpeg")},
                 {"seed.ico", encoded(img.scaled(16, 16), "ico")},
                 {"seed.gif", tools::encodeGif(img)},
                 {"seed-rle8.bmp", tools::encodeRleBitmap(23, 11, 8, {white, qRgb(0, 0, 0)}, ink)},
                 {"seed.png", encoded(img, "png")},
                 {"seed.webp", encoded(img, "webp")},
                 {"seed.tif", encoded(img, "tiff")},
                 {"seed-turned.jpg", turnedJpeg(encoded(img, "jpeg"))}};
    for (const auto& s : seeds) {
        QFile f(folder + QLatin1Char('/') + QString::fromLatin1(s.name));
        if (f.open(QIODevice::WriteOnly))
            f.write(s.bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // Qt's readers warn about every damaged input; the fuzzer would spend its time printing.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (const char* seeds = std::getenv("TARVO_MAKE_SEEDS")) {
        writeSeeds(QString::fromLocal8Bit(seeds));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The cell box, and the full size for pictures that fit, through both branches.
    // Under a name of the design's mask, and of today's kinds, which those kinds need.
    platform::loadThumbnailFromBytes(bytes, QStringLiteral("x.jpg"), QSizeF(1453, 1453));
    platform::loadThumbnailFromBytes(bytes, QStringLiteral("x.png"), QSizeF(1453, 1453));
    platform::loadFullPictureFromBytes(bytes, QStringLiteral("x.jpg")); // libjpeg driven here
    if (size > 0 && (data[0] & 1))
        platform::loadThumbnailFromBytes(bytes, QStringLiteral("x.wmf"), QSizeF(150, 300));
    return 0;
}
