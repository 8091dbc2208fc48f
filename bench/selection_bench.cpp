// Cost of one selection of a cell that shows a 6000 × 4000 photo, side by side with
// decoding that JPEG once: the selection saves a pending memo, checks the pending rename,
// reads the whole picture for the clipboard, puts it there and loads the memo.
//   DecodeOnce   QImageReader reading the whole JPEG
//   Selection    ImgView::Image1_Click alternating between two such cells (so every click
//                is a real change of selection), with a memo beside each picture
//   PageChange   moving the scroll bar between two pages of ten such photos
#include "bench/session.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "organiser/commands/edittext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kFolder = QStringLiteral("/tmp/tarvo-bench-selection/");

// Smooth gradients with fine noise, which costs a decoder what a photograph does.
QImage photoLike(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(static_cast<quint32>(seed));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = static_cast<int>(rng.bounded(24));
            line[x] = qRgb((x * 255 / w + n + seed * 40) & 255, (y * 255 / h + n) & 255,
                           ((x + y) * 128 / (w + h) + n) & 255);
        }
    }
    return img;
}

void makeFolder() {
    QDir().mkpath(kFolder);
    for (int i = 0; i < 20; ++i) {
        const QString path =
            kFolder + QStringLiteral("photo%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        if (!QFile::exists(path)) {
            QImageWriter w(path, "jpeg");
            w.setQuality(90);
            w.write(photoLike(6000, 4000, i));
        }
        QFile memo(kFolder + QStringLiteral("photo%1.TXT").arg(i, 2, 10, QLatin1Char('0')));
        if (memo.open(QIODevice::WriteOnly))
            memo.write("撮影メモ\r\n海辺, 夕方\r\n");
    }
}

void DecodeOnce(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(kFolder + QStringLiteral("photo00.jpg"));
        QImage img = reader.read();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(DecodeOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

void Selection(benchmark::State& state) {
    Session s(kFolder);
    tarvo::ImgView* view = s.org->imgView();
    int cell = 0;
    for (auto _ : state) {
        // A typed memo is pending, as when the user edits and moves on.
        s.org->editText()->Etxt()->insertPlainText(QStringLiteral("x"));
        view->Image1_Click(cell);
        cell = 1 - cell;
    }
    state.counters["curCell"] = s.org->m().CurCell;
}
BENCHMARK(Selection)->Unit(benchmark::kMillisecond)->UseRealTime();

void PageChange(benchmark::State& state) {
    Session s(kFolder);
    tarvo::ImgView* view = s.org->imgView();
    int page = 10;
    for (auto _ : state) {
        view->VScroll1()->setValue(page);
        page = 10 - page;
    }
}
BENCHMARK(PageChange)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    makeFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
