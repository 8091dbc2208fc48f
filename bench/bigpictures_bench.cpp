// Memory with a page of ten 100-megapixel bitmaps (10000 × 10000, 24 bits: 400 MB each once
// decoded), whole-process resident memory from /proc:
//   PageFill   the organiser started on the folder until the page and the pages beside are
//              decoded: the peak and what stays
//   Clicks     four quick clicks on four cells, then the last picture read from the
//              clipboard: the peak (at most the picture made and one being decoded are
//              wanted), what stays, a second later, and once another program has the
//              clipboard
// The bitmaps are sparse files (their pixels read as zeros), so the folder takes no disk.
#include "bench/procstatus.h"
#include "bench/session.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QThread>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kFolder = QStringLiteral("/tmp/tarvo-bench-big/");
constexpr int kSide = 10000;

void makeFolder() {
    QDir(kFolder).removeRecursively();
    QDir().mkpath(kFolder);
    const qint64 pixels = qint64(kSide) * kSide * 3;
    for (int i = 0; i < 10; ++i) {
        QFile f(kFolder + QStringLiteral("big%1.bmp").arg(i));
        f.open(QIODevice::WriteOnly);
        QByteArray h(54, '\0');
        auto le = [&h](int at, qint64 v, int n) {
            for (int k = 0; k < n; ++k)
                h[at + k] = char((v >> (8 * k)) & 0xFF);
        };
        h[0] = 'B';
        h[1] = 'M';
        le(2, 54 + pixels, 4);
        le(10, 54, 4);
        le(14, 40, 4);
        le(18, kSide, 4);
        le(22, kSide, 4);
        le(26, 1, 2);
        le(28, 24, 2);
        le(34, pixels, 4);
        f.write(h);
        f.resize(54 + pixels);
    }
}

void PageFill(benchmark::State& state) {
    for (auto _ : state) {
        restartPeak();
        state.counters["start_MB"] = procStatusMb("VmRSS");
        Session s(kFolder);
        s.idle();
        state.counters["peak_MB"] = procStatusMb("VmHWM");
        malloc_trim(0);
        state.counters["after_MB"] = procStatusMb("VmRSS");
    }
}

void Clicks(benchmark::State& state) {
    for (auto _ : state) {
        Session s(kFolder);
        s.idle();
        restartPeak();
        state.counters["start_MB"] = procStatusMb("VmRSS");
        for (int cell = 0; cell < 4; ++cell)
            s.view()->Image1_Click(cell);
        const QMimeData* md = QGuiApplication::clipboard()->mimeData();
        if (!md || qvariant_cast<QImage>(md->imageData()).width() != kSide)
            state.SkipWithError("no picture on the clipboard");
        state.counters["peak_MB"] = procStatusMb("VmHWM");
        malloc_trim(0);
        state.counters["holding_MB"] = procStatusMb("VmRSS");
        QThread::sleep(1); // nothing else decodes meanwhile: the figure stays
        malloc_trim(0);
        state.counters["holding_1s_later_MB"] = procStatusMb("VmRSS");
        QGuiApplication::clipboard()->setText(QStringLiteral("another program's text"));
        QCoreApplication::processEvents();
        malloc_trim(0);
        state.counters["after_taken_MB"] = procStatusMb("VmRSS");
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CACHE_HOME", "/tmp/tarvo-bench-big-cache");
    QDir(QStringLiteral("/tmp/tarvo-bench-big-cache")).removeRecursively();
    QApplication app(argc, argv);
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    makeFolder();
    benchmark::RegisterBenchmark("PageFill", PageFill)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Clicks", Clicks)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir(kFolder).removeRecursively();
    return 0;
}
