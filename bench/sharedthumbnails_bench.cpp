// A first page of ten 6000 × 4000 JPEGs, side by side:
//   FirstPage/decode  a new run's thumbnail cache fills the page with the desktop's thumbnail
//                     cache empty (the page decodes; its entries are written afterwards)
//   FirstPage/stored  the same with every entry already in the desktop's thumbnail cache
// Wall time is the page's fetch (what a page change waits for before painting); cpu_ms_page
// is the process's CPU time on all threads during it, and cpu_ms_all_threads also counts the
// entries' writing, which the decode case does after the page, off its way.
#include "organiser/browser/thumbnailcache.h"
#include "organiser/browser/thumbnailstore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/resource.h>

namespace {

// The photo set of the page fill's benchmark, made here when it is missing.
const QString kPhotos = QStringLiteral("/tmp/tarvo-bench-pagefill/jpeg6000x4000/");
const QString kCaches = QStringLiteral("/tmp/tarvo-bench-sharedthumbnails/");
const QSizeF kCellBox(1453, 1453);

QStringList photoPaths() {
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << kPhotos + QStringLiteral("pic%1.jpg").arg(i);
    return paths;
}

// A noisy gradient: flat pictures decode unrealistically fast.
QImage photoLike(int w, int h, quint32 seed) {
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

void makePhotos() {
    QDir().mkpath(kPhotos);
    const QStringList paths = photoPaths();
    for (int i = 0; i < paths.size(); ++i) {
        if (QFile::exists(paths[i]))
            continue;
        QImageWriter writer(paths[i], "jpeg");
        writer.setQuality(85);
        writer.write(photoLike(6000, 4000, static_cast<quint32>(i + 1)));
    }
}

double processCpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

void FirstPage(benchmark::State& state, bool stored) {
    const QStringList paths = photoPaths();
    const QString home = kCaches + (stored ? QStringLiteral("stored") : QStringLiteral("empty"));
    QDir(home).removeRecursively();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
    if (stored) {
        tarvo::ThumbnailCache fill;
        fill.fetch(paths, kCellBox);
        tarvo::ThumbnailStore::waitForWrites();
    }
    const double cpuStart = processCpuMs();
    double pageCpu = 0;
    for (auto _ : state) {
        if (!stored) {
            state.PauseTiming();
            QDir(home).removeRecursively();
            state.ResumeTiming();
        }
        tarvo::ThumbnailCache cache;
        const double before = processCpuMs();
        auto thumbs = cache.fetch(paths, kCellBox);
        pageCpu += processCpuMs() - before;
        for (const auto& t : thumbs)
            if (!t)
                state.SkipWithError("a picture did not load");
        benchmark::DoNotOptimize(thumbs);
        state.PauseTiming();
        tarvo::ThumbnailStore::waitForWrites();
        state.ResumeTiming();
    }
    state.counters["cpu_ms_page"] =
        pageCpu / static_cast<double>(qMax<benchmark::IterationCount>(1, state.iterations()));
    state.counters["cpu_ms_all_threads"] =
        (processCpuMs() - cpuStart) /
        static_cast<double>(qMax<benchmark::IterationCount>(1, state.iterations()));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    makePhotos();
    benchmark::RegisterBenchmark("FirstPage/decode", FirstPage, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(4);
    benchmark::RegisterBenchmark("FirstPage/stored", FirstPage, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir(kCaches).removeRecursively();
    return 0;
}
