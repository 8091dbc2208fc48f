// A first page of ten 6000 × 4000 JPEGs, side by side:
//   FirstPage/decode  a new run's thumbnail cache fills the page with the desktop's thumbnail
//                     cache empty (the page decodes; its entries are written afterwards)
//   FirstPage/stored  the same with every entry already in the desktop's thumbnail cache
// Wall time is the page's fetch (what a page change waits for before painting); cpu_ms_page
// is the process's CPU time on all threads during it, and cpu_ms_all_threads also counts the
// entries' writing, which the decode case does after the page, off its way.
//   Window/decode, Window/stored  the organiser window itself, started in a folder of these
//                     ten photos and ten more, the desktop's cache empty or holding all twenty:
//                     the time is from the scroll bar's change to the second page to that page
//                     painted (a first visit; the decoding ahead is held off so the page is not
//                     ready before the change). start_cpu_ms is the process's CPU time on all
//                     threads from the organiser's construction to its first page painted,
//                     start_cpu_ms_writes adds the entries' writing after it (thread pool idle).
#include "bench/photolike.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "organiser/browser/thumbnailcache.h"
#include "organiser/browser/thumbnailstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QScrollBar>
#include <QThreadPool>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace {

// The photo set of the page fill's benchmark, made here when it is missing.
const QString kPhotos = QStringLiteral("/tmp/tarvo-bench-pagefill/jpeg6000x4000/");
const QString kCaches = QStringLiteral("/tmp/tarvo-bench-sharedthumbnails/");
const QSizeF kCellBox(1453, 1453);
// The organiser's folder: the ten photos (copied) and ten more, two pages.
const QString kFolder = QStringLiteral("/tmp/tarvo-bench-sharedthumbnails-folder/");

QStringList photoPaths() {
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << kPhotos + QStringLiteral("pic%1.jpg").arg(i);
    return paths;
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
    QDir().mkpath(kFolder);
    for (int i = 0; i < 20; ++i) {
        const QString path = kFolder + QStringLiteral("pic%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        if (QFile::exists(path))
            continue;
        if (i < 10) {
            QFile::copy(paths[i], path);
            continue;
        }
        QImageWriter writer(path, "jpeg");
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

// Starts the organiser in kFolder with its first page painted and nothing decoded ahead.
std::unique_ptr<tarvo::Organiser> startOrganiser() {
    auto org = std::make_unique<tarvo::Organiser>();
    tarvo::ImgView* view = org->imgView();
    view->cancelPrefetch();
    view->show();
    QCoreApplication::processEvents(); // the window exposed, so that repaint() paints it
    view->repaint();
    view->cancelPrefetch();
    return org;
}

void idle() {
    tarvo::ThumbnailStore::waitForWrites();
    QThreadPool::globalInstance()->waitForDone();
}

std::map<bool, double> g_startCpu;

void Window(benchmark::State& state, bool stored) {
    const QString home =
        kCaches + (stored ? QStringLiteral("window-stored") : QStringLiteral("window-empty"));
    QDir(home).removeRecursively();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(kFolder);
    if (stored) {
        auto fill = startOrganiser();
        fill->imgView()->VScroll1()->setValue(10);
        fill->imgView()->cancelPrefetch();
        idle();
    }
    double startCpu = 0, startCpuWrites = 0;
    int pageDecodes = 0;
    for (auto _ : state) {
        if (!stored)
            QDir(home).removeRecursively();
        const double cpu0 = processCpuMs();
        auto org = startOrganiser();
        startCpu += processCpuMs() - cpu0;
        idle();
        startCpuWrites += processCpuMs() - cpu0;
        QCoreApplication::processEvents();
        tarvo::ImgView* view = org->imgView();
        if (!view->windowHandle() || !view->windowHandle()->isExposed())
            state.SkipWithError("the window is not exposed, so repaint() paints nothing");
        const int decodes = tarvo::ThumbnailStore::decodes();
        QElapsedTimer timer;
        timer.start();
        view->VScroll1()->setValue(10);
        view->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        pageDecodes += tarvo::ThumbnailStore::decodes() - decodes;
        if (view->text1(0).isEmpty())
            state.SkipWithError("the second page is empty");
        view->cancelPrefetch();
        idle();
    }
    QDir::setCurrent(oldDir);
    const double n = static_cast<double>(qMax<benchmark::IterationCount>(1, state.iterations()));
    state.counters["start_cpu_ms"] = startCpu / n;
    state.counters["start_cpu_ms_writes"] = startCpuWrites / n;
    state.counters["page_decodes"] = pageDecodes / n;
    g_startCpu[stored] = startCpu / n;
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
    benchmark::RegisterBenchmark("Window/decode", Window, false)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(4);
    benchmark::RegisterBenchmark("Window/stored", Window, true)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(10);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_startCpu.count(false) && g_startCpu.count(true) && g_startCpu[false] > 0)
        std::printf("start CPU, stored / decode: %.3f\n", g_startCpu[true] / g_startCpu[false]);
    QDir(kCaches).removeRecursively();
    return 0;
}
