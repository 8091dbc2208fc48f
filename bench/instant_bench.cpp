// Page turns and clicks on 6000 × 4000 JPEGs with the thumbnail cache and the decoding
// ahead, side by side with the decoder's own cost, in one run:
//   CacheFullMemory whole-process resident memory with the thumbnail cache full (counters)
//   DecodeFull      QImageReader reading one photo whole
//   Libjpeg8        libjpeg-turbo decoding the ten photos at 1/8 scale on the same threads
//   FirstVisit      a page of the ten never shown (the cache emptied each time)
//   TurnBack        back to a page already shown
//   TurnForwardIdle forward after the window was idle long enough to decode ahead
//   ClickHandler    Image1_Click on a photo cell, until it returns to the event loop
//   ClickToPicture  from the click until the clipboard hands out the whole picture
//   ClickToOtherProcess (only on an X display, with clipget built) from the click until
//                   another process has read the whole picture as image/bmp through the X11
//                   clipboard; reader_start_ms is the same reader on a 1 × 1 picture,
//                   decoded_photo_ms on the photo decoded beforehand (the transfer alone)
//   Paging300       300 photos, one page turn every 0.5 s with the event loop idle between
//                   turns: the longest and mean turn (counters)
// Run offscreen by default; under tests/e2e/with-xvfb.sh for the cross-process figure.
// Ten distinct photos are made once in /tmp by a child process (its memory does not count
// here); the larger folders are hard links to them, so each path is decoded on its own as
// a distinct file would be.
#include "bench/photolike.h"
#include "bench/procstatus.h"
#include "bench/session.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "organiser/browser/thumbnailcache.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifdef TARVO_HAVE_LIBJPEG
#include "bench/libjpegeighth.h"
#endif

namespace {

const QString kPhotos = QStringLiteral("/tmp/tarvo-bench-instant/photos/");
const QString kMany = QStringLiteral("/tmp/tarvo-bench-instant/many/");
// More photos than the cache holds thumbnails of.
const QString kFull = QStringLiteral("/tmp/tarvo-bench-instant/full/");
constexpr int kManyCount = 300;
constexpr int kFullCount = 900;
constexpr int kThreads = 2;

QString photo(int i) {
    return kPhotos + QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
}

void linkPhotos(const QString& folder, const char* prefix, int count) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString p = folder + QLatin1String(prefix) +
                          QStringLiteral("%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFile::exists(p))
            std::filesystem::create_hard_link(photo(i % 10).toStdString(), p.toStdString());
    }
}

void makePhotos() {
    QDir().mkpath(kPhotos);
    for (int i = 0; i < 10; ++i) {
        if (QFile::exists(photo(i)))
            continue;
        QImageWriter w(photo(i), "jpeg");
        w.setQuality(85);
        w.write(photoLike(6000, 4000, static_cast<quint32>(i + 1)));
    }
    linkPhotos(kMany, "m", kManyCount);
    linkPhotos(kFull, "f", kFullCount);
}

// CPU time of the whole process, all threads: on a shared machine the wall time of a
// parallel decode says little, the CPU it took says more.
double processCpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

class CpuMeter {
public:
    CpuMeter() : m_start(processCpuMs()) {}
    void report(benchmark::State& state) const {
        const double iterations =
            static_cast<double>(qMax<benchmark::IterationCount>(1, state.iterations()));
        state.counters["cpu_ms_all_threads"] = (processCpuMs() - m_start) / iterations;
    }

private:
    double m_start;
};

// Waits ms with the event loop running as the window's does between two user actions:
// asleep until an event comes, so the workers have the processor.
void idleFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs first, so the peak is this case's: the organiser pages through more photos than the
// cache holds, each page left to be decoded ahead, until the cache is at its bound.
void CacheFullMemory(benchmark::State& state) {
    for (auto _ : state) {
        restartPeak();
        state.counters["start_rss_MB"] = procStatusMb("VmRSS");
        Session s(kFull);
        for (int page = 10; page < kFullCount; page += 10) {
            s.idle();
            s.view()->VScroll1()->setValue(page);
        }
        s.idle();
        state.counters["cache_entries"] = s.view()->thumbnails().count();
        state.counters["cache_KB"] = static_cast<double>(s.view()->thumbnails().bytes()) / 1024;
        state.counters["bound_KB"] = static_cast<double>(tarvo::kThumbnailCacheBytes) / 1024;
        state.counters["rss_MB"] = procStatusMb("VmRSS");
        state.counters["peak_rss_MB"] = procStatusMb("VmHWM");
    }
}

void DecodeFull(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(photo(0));
        QImage img = reader.read();
        benchmark::DoNotOptimize(img.constBits());
    }
}

#ifdef TARVO_HAVE_LIBJPEG
// The same ten files as a page of FirstVisit, on as many threads as the pool has.
void Libjpeg8(benchmark::State& state) {
    std::vector<QByteArray> paths;
    for (int i = 0; i < 10; ++i)
        paths.push_back(QFile::encodeName(photo(i)));
    const CpuMeter cpu;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        std::atomic<size_t> bytes{0};
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                for (size_t i = static_cast<size_t>(t); i < paths.size(); i += kThreads)
                    bytes += decodeEighth(paths[i]);
            });
        for (auto& th : threads)
            th.join();
        benchmark::DoNotOptimize(bytes.load());
    }
    cpu.report(state);
}
#endif

void FirstVisit(benchmark::State& state) {
    std::unique_ptr<Session> s;
    double cpuMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.reset();
        s = std::make_unique<Session>(kMany); // a fresh cache; page 0 filled
        s->view()->thumbnails().waitForPrefetch();
        const double before = processCpuMs();
        state.ResumeTiming();
        s->view()->FillPage(100); // links to the ten photos, never shown in this session
        state.PauseTiming();
        cpuMs += processCpuMs() - before;
        state.ResumeTiming();
    }
    state.counters["cpu_ms_all_threads"] =
        cpuMs / static_cast<double>(qMax<benchmark::IterationCount>(1, state.iterations()));
}

void TurnBack(benchmark::State& state) {
    Session s(kMany);
    s.view()->VScroll1()->setValue(10);
    s.idle();
    for (auto _ : state) {
        s.view()->VScroll1()->setValue(0);
        state.PauseTiming();
        s.view()->VScroll1()->setValue(10);
        state.ResumeTiming();
    }
}

void TurnForwardIdle(benchmark::State& state) {
    Session s(kMany);
    int page = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.idle();
        page = page + 10 > 290 ? 0 : page + 10;
        state.ResumeTiming();
        s.view()->VScroll1()->setValue(page);
    }
    state.counters["cache_KB"] = static_cast<double>(s.view()->thumbnails().bytes()) / 1024;
}

void ClickHandler(benchmark::State& state) {
    Session s(kPhotos);
    s.idle();
    int cell = 0;
    for (auto _ : state) {
        s.view()->Image1_Click(cell);
        state.PauseTiming();
        // The picture is made before the next click, so each click starts from quiet.
        const QMimeData* md = QGuiApplication::clipboard()->mimeData();
        benchmark::DoNotOptimize(md ? md->imageData() : QVariant());
        cell = 1 - cell;
        state.ResumeTiming();
    }
}

void ClickToPicture(benchmark::State& state) {
    Session s(kPhotos);
    s.idle();
    int cell = 0;
    for (auto _ : state) {
        s.view()->Image1_Click(cell);
        const QMimeData* md = QGuiApplication::clipboard()->mimeData();
        const QImage img = md ? qvariant_cast<QImage>(md->imageData()) : QImage();
        if (img.width() != 6000)
            state.SkipWithError("no picture on the clipboard");
        cell = 1 - cell;
    }
}

// Runs the reader in another process with the event loop of this one (the clipboard's
// owner) running; its output, or nothing when it failed.
std::optional<QString> readElsewhere(const QString& reader) {
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    p.start(reader, {QStringLiteral("--bmp-size")});
    loop.exec();
    if (p.state() != QProcess::NotRunning || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

void ClickToOtherProcess(benchmark::State& state) {
    const QString reader =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/clipget");
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !QFile::exists(reader)) {
        state.SkipWithError("needs an X display and clipget");
        return;
    }
    // What starting the reader and a clipboard round trip cost by themselves.
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(dot);
    QElapsedTimer start;
    start.start();
    if (readElsewhere(reader) != QStringLiteral("1x1"))
        state.SkipWithError("the reader did not get the small picture");
    state.counters["reader_start_ms"] = static_cast<double>(start.nsecsElapsed()) / 1e6;
    // The transfer alone: the same photo, decoded beforehand, put by Qt's own clipboard.
    QGuiApplication::clipboard()->setImage(QImageReader(photo(1)).read());
    start.restart();
    if (readElsewhere(reader) != QStringLiteral("6000x4000"))
        state.SkipWithError("the reader did not get the decoded photo");
    state.counters["decoded_photo_ms"] = static_cast<double>(start.nsecsElapsed()) / 1e6;

    Session s(kPhotos);
    s.idle();
    int cell = 0;
    for (auto _ : state) {
        s.view()->Image1_Click(cell);
        if (readElsewhere(reader) != QStringLiteral("6000x4000"))
            state.SkipWithError("the other process did not get the picture");
        cell = 1 - cell;
    }
}

void Paging300(benchmark::State& state) {
    double longest = 0, total = 0;
    int turns = 0, waited = 0, ready = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        Session s(kMany);
        const double cpuStart = processCpuMs();
        for (int page = 10; page < kManyCount; page += 10) {
            idleFor(500);
            // How much of the page the decoding ahead had made by the time of the turn.
            for (int k = 0; k < 10; ++k)
                ready += s.view()->thumbnails().contains(
                    kMany + QStringLiteral("m%1.jpg").arg(page + k, 3, 10, QLatin1Char('0')));
            QElapsedTimer t;
            t.start();
            s.view()->VScroll1()->setValue(page);
            const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
            longest = std::max(longest, ms);
            total += ms;
            waited += ms > 10 ? 1 : 0;
            ++turns;
        }
        cpuMs += processCpuMs() - cpuStart;
    }
    state.counters["longest_turn_ms"] = longest;
    state.counters["mean_turn_ms"] = total / std::max(1, turns);
    state.counters["turns_over_10ms"] = waited;
    state.counters["turns"] = turns;
    // Against FirstVisit's: more would mean pictures decoded twice.
    state.counters["cpu_ms_per_page"] = cpuMs / std::max(1, turns);
    state.counters["ready_before_turn_pct"] = 10.0 * ready / std::max(1, turns);
}

} // namespace

int main(int argc, char** argv) {
    // The photos are made in a child process: its memory does not count here.
    const pid_t child = fork();
    if (child == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        makePhotos();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QThreadPool::globalInstance()->setMaxThreadCount(kThreads);
    auto reg = [](const char* name, void (*f)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, f)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    reg("CacheFullMemory", CacheFullMemory)->Iterations(1);
    reg("DecodeFull", DecodeFull);
#ifdef TARVO_HAVE_LIBJPEG
    reg("Libjpeg8", Libjpeg8);
#endif
    reg("FirstVisit", FirstVisit);
    reg("TurnBack", TurnBack);
    reg("TurnForwardIdle", TurnForwardIdle);
    reg("ClickHandler", ClickHandler);
    reg("ClickToPicture", ClickToPicture);
    reg("ClickToOtherProcess", ClickToOtherProcess)->Iterations(3);
    reg("Paging300", Paging300)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
