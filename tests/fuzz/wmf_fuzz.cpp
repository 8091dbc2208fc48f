// libFuzzer target for the metafile reader: the header check, then rendering at thumbnail
// size. Seeds are the typical metafiles of the test builder.
#include "platform/pictures/wmf/wmf.h"

// The builder is a test-support source; the fuzz target compiles it in.
#include "tools/wmfbuilder.cpp"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdlib>

namespace {

void writeSeeds(const QString& folder) {
    using wmftest::WmfBuilder;
    QList<QByteArray> seeds{wmftest::shapesDrawing(), wmftest::clipArt(), wmftest::japaneseLabel()};
    WmfBuilder plain;
    plain.setMapMode(8).setWindowOrg(0, 0).setWindowExt(200, 100).saveDc();
    plain.createPen(1, 0, Qt::blue).selectObject(0).createBrush(2, Qt::red, 3).selectObject(1);
    plain.intersectClipRect(10, 10, 190, 90).excludeClipRect(50, 50, 60, 60);
    plain.setViewportOrg(0, 0).setViewportExt(400, 200).setRop2(7);
    plain.arcLike(0x0830, QRect(0, 0, 100, 100), QPoint(100, 50), QPoint(0, 50));
    plain.restoreDc(-1).textOut(5, 5, "Hello").patBlt(QRect(0, 0, 20, 20), wmftest::PATCOPY);
    seeds << plain.build();
    QImage tile(3, 3, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    WmfBuilder blits;
    blits.placeable(0, 0, 30, 30, 96).dibBitBlt(QPoint(1, 1), tile, wmftest::SRCAND);
    blits.dibStretchBlt(QRect(5, 5, -10, 10), tile, wmftest::SRCPAINT);
    blits.createPalette({Qt::red, Qt::green}).selectPalette(0).setStretchBltMode(4);
    blits.stretchDib(QRect(0, 0, 30, 30), tile);
    seeds << blits.build();
    QDir().mkpath(folder);
    for (qsizetype k = 0; k < seeds.size(); ++k) {
        QFile file(QDir(folder).filePath(QStringLiteral("seed%1.wmf").arg(k)));
        if (file.open(QIODevice::WriteOnly))
            file.write(seeds[k]);
    }
}

} // namespace

// Fontconfig keeps the patterns of every face name it was asked for until the process ends;
// those caches are not leaks of the reader.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Text is drawn with the application's fonts.
    static QGuiApplication app(*argc, *argv);
    const QString seeds = qEnvironmentVariable("TARVO_MAKE_SEEDS");
    if (!seeds.isEmpty()) {
        writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Qt trims its font caches from timers; give them a turn now and then.
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        QCoreApplication::processEvents();
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto header = platform::wmf::readHeader(bytes);
    const auto image = platform::wmf::render(bytes, QSize(48, 36));
    // The header check and the renderer must agree on what is a metafile.
    if (header.has_value() != image.has_value())
        std::abort();
    if (image && (image->size() != QSize(48, 36) || image->isNull()))
        std::abort();
    return 0;
}
