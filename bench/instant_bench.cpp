// Page turns and clicks on 6000 × 4000 JPEGs with the thumbnail cache and the decoding
// ahead, side by side with the decoder's own cost:
//   DecodeFull      QImageReader reading one photo whole
//   FirstVisit      a page of ten never shown (the cache emptied each time)
//   TurnBack        back to a page already shown
//   TurnForwardIdle forward after the window was idle long enough to decode ahead
//   ClickHandler    Image1_Click on a photo cell, until it returns to the event loop
//   ClickToPicture  from the click until the clipboard hands out the whole picture
//   Paging300       300 photos, one page turn every 0.5 s: the longest turn (counter)
// Ten distinct photos are made once in /tmp; the 300 are hard links to them, so each
// path is decoded on its own as a distinct file would be.
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>
#include <QScrollBar>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

namespace {

const QString kPhotos = QStringLiteral("/tmp/tarvo-bench-instant/photos/");
const QString kMany = QStringLiteral("/tmp/tarvo-bench-instant/many/");

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
    QDir().mkpath(kMany);
    for (int i = 0; i < 10; ++i) {
        const QString p = kPhotos + QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        if (QFile::exists(p))
            continue;
        QImageWriter w(p, "jpeg");
        w.setQuality(85);
        w.write(photoLike(6000, 4000, static_cast<quint32>(i + 1)));
    }
    for (int i = 0; i < 300; ++i) {
        const QString p = kMany + QStringLiteral("m%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFile::exists(p))
            std::filesystem::create_hard_link(
                (kPhotos + QStringLiteral("p%1.jpg").arg(i % 10, 2, 10, QLatin1Char('0')))
                    .toStdString(),
                p.toStdString());
    }
}

double maxRssMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;
}

struct Session {
    QString oldDir = QDir::currentPath();
    std::unique_ptr<tarvo::Organiser> org;
    explicit Session(const QString& folder) {
        QDir::setCurrent(folder);
        org = std::make_unique<tarvo::Organiser>();
        org->imgView();
    }
    ~Session() {
        org.reset();
        QDir::setCurrent(oldDir);
    }
    tarvo::ImgView* view() { return org->imgView(); }
    // The window idle: queued events run and the pages beside are decoded.
    void idle() {
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents();
        view()->thumbnails().waitForPrefetch();
    }
};

void DecodeFull(benchmark::State& state) {
    for (auto _ : state) {
        QImageReader reader(kPhotos + QStringLiteral("p00.jpg"));
        QImage img = reader.read();
        benchmark::DoNotOptimize(img.constBits());
    }
}

void FirstVisit(benchmark::State& state) {
    std::unique_ptr<Session> s;
    for (auto _ : state) {
        state.PauseTiming();
        s.reset();
        s = std::make_unique<Session>(kMany); // a fresh cache; page 0 filled
        s->view()->thumbnails().waitForPrefetch();
        state.ResumeTiming();
        s->view()->FillPage(100);
    }
    state.counters["maxrss_MB"] = maxRssMb();
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
    state.counters["maxrss_MB"] = maxRssMb();
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

void Paging300(benchmark::State& state) {
    double longest = 0, total = 0;
    int turns = 0;
    for (auto _ : state) {
        Session s(kMany);
        for (int page = 10; page <= 290; page += 10) {
            QElapsedTimer wait;
            wait.start();
            while (wait.elapsed() < 500)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            QElapsedTimer t;
            t.start();
            s.view()->VScroll1()->setValue(page);
            const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
            longest = std::max(longest, ms);
            total += ms;
            ++turns;
        }
    }
    state.counters["longest_turn_ms"] = longest;
    state.counters["mean_turn_ms"] = total / std::max(1, turns);
    state.counters["maxrss_MB"] = maxRssMb();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    makePhotos();
    auto reg = [](const char* name, void (*f)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, f)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    reg("DecodeFull", DecodeFull);
    reg("FirstVisit", FirstVisit);
    reg("TurnBack", TurnBack);
    reg("TurnForwardIdle", TurnForwardIdle);
    reg("ClickHandler", ClickHandler);
    reg("ClickToPicture", ClickToPicture);
    reg("Paging300", Paging300)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
