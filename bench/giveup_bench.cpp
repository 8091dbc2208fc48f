// How soon a whole-picture decode stops once it is given up (a second click, a page change,
// END), on 8000 × 8000 photos, baseline and progressive: the time from the flag being set,
// a moment into the decode, to the loader returning. Beside it, the whole decode through the
// loader and through Qt's reader alone, which the loader must not be slower than.
#include "bench/photolike.h"
#include "platform/pictures/pictureloader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

QByteArray photo(bool progressive) {
    const QString path =
        QStringLiteral("/tmp/tarvo-bench-giveup/%1.jpg")
            .arg(progressive ? QStringLiteral("progressive") : QStringLiteral("baseline"));
    QFile file(path);
    if (!file.exists()) {
        QDir().mkpath(QStringLiteral("/tmp/tarvo-bench-giveup"));
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(progressive);
        writer.write(photoLike(8000, 8000, 7));
    }
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void GivenUp(benchmark::State& state) {
    const QByteArray bytes = photo(state.range(0) != 0);
    for (auto _ : state) {
        std::atomic<bool> cancelled{false};
        std::chrono::steady_clock::time_point returned;
        std::thread worker([&] {
            benchmark::DoNotOptimize(
                platform::loadFullPictureFromBytes(bytes, QStringLiteral("p.jpg"), &cancelled));
            returned = std::chrono::steady_clock::now();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const auto set = std::chrono::steady_clock::now();
        cancelled = true;
        worker.join();
        state.SetIterationTime(std::chrono::duration<double>(returned - set).count());
    }
}

void WholeThroughTheLoader(benchmark::State& state) {
    const QByteArray bytes = photo(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            platform::loadFullPictureFromBytes(bytes, QStringLiteral("p.jpg")));
}

void WholeThroughQtsReader(benchmark::State& state) {
    QByteArray bytes = photo(state.range(0) != 0);
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "jpeg");
        benchmark::DoNotOptimize(reader.read());
    }
}

} // namespace

BENCHMARK(GivenUp)
    ->ArgName("progressive")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(WholeThroughTheLoader)
    ->ArgName("progressive")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(WholeThroughQtsReader)
    ->ArgName("progressive")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
