// A page of ten typical metafiles (drawings of a few hundred records, clip-art with a
// bitmap, a Japanese label) checked and rendered at thumbnail size, as a page fill does.
#include "platform/pictures/wmf/wmf.h"

// The builder is a test-support source; the benchmark compiles it in.
#include "tools/wmfbuilder.cpp"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

// The cell is 1453 twips: about 97 pixels at 15 twips per pixel.
constexpr int kCellPixels = 97;

QList<QByteArray> page() {
    QList<QByteArray> files;
    for (int k = 0; k < 6; ++k)
        files << wmftest::shapesDrawing(1 + k % 2);
    files << wmftest::clipArt() << wmftest::clipArt();
    files << wmftest::japaneseLabel() << wmftest::japaneseLabel();
    return files;
}

QSize thumbnailSize(QSize natural) {
    if (natural.width() <= kCellPixels && natural.height() <= kCellPixels)
        return natural;
    return natural.scaled(kCellPixels, kCellPixels, Qt::KeepAspectRatio).expandedTo({1, 1});
}

void BM_WmfPageOfTen(benchmark::State& state) {
    const QList<QByteArray> files = page();
    qint64 records = 0;
    for (const QByteArray& f : files)
        records += f.size();
    for (auto _ : state) {
        for (const QByteArray& bytes : files) {
            const auto header = platform::wmf::readHeader(bytes);
            if (!header) {
                state.SkipWithError("sample metafile refused");
                return;
            }
            auto image = platform::wmf::render(bytes, thumbnailSize(header->pixels));
            benchmark::DoNotOptimize(image);
        }
    }
    state.counters["bytes_per_page"] = double(records);
}
BENCHMARK(BM_WmfPageOfTen)->Unit(benchmark::kMillisecond);

void BM_WmfHeaderOnly(benchmark::State& state) {
    const QByteArray bytes = wmftest::shapesDrawing(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::wmf::readHeader(bytes));
}
BENCHMARK(BM_WmfHeaderOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
