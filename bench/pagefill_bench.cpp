// Cost of filling one page of ten cells with thumbnails, side by side with what the
// decoders can do at best:
//   Thumbnails/*  loadThumbnails at the cell box (1453 × 1453 twips), as the page fill runs it
//   Thumbnails200/* the same at a 200 % screen, where the box covers twice the pixels a side
//   Libjpeg/*     libjpeg-turbo itself decoding the same JPEGs at 1/8 scale on as many threads
//   FullDecode/*  decoding every picture whole, then scaling it down smoothly
//   PageFill/*    the main window's whole page fill (ImgView::FillPage: ten Dsp_Image)
//   LoadFileList/* reading the folder and filling the first page, as a reload does
// The picture sets are made once in /tmp by a child process, so that their making does not
// count in this process's peak memory; the peak (ru_maxrss) is reported after every case,
// and the Thumbnails cases run first.
#include "bench/photolike.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "platform/pictures/pictureloader.h"
#include "tools/gifwriter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifdef TARVO_HAVE_LIBJPEG
#include "bench/libjpegeighth.h"
#endif

namespace {

const QString kRoot = QStringLiteral("/tmp/tarvo-bench-pagefill/");
const QSizeF kCellBox(1453, 1453);
constexpr int kThreads = 2;

struct Set {
    const char* name;
    int w, h;
    const char* format; // "jpeg", "gif", "bmp"
};
const Set kSets[] = {{"jpeg6000x4000", 6000, 4000, "jpeg"},
                     {"jpeg1920x1080", 1920, 1080, "jpeg"},
                     {"gif800x600", 800, 600, "gif"},
                     {"bmp3000x2000", 3000, 2000, "bmp"}};

QString folderOf(const Set& s) {
    return kRoot + QString::fromLatin1(s.name) + QLatin1Char('/');
}

QStringList pathsOf(const Set& s) {
    QStringList paths;
    const QString ext = QString::fromLatin1(s.format).replace(QLatin1String("jpeg"), "jpg");
    for (int i = 0; i < 10; ++i)
        paths << folderOf(s) + QStringLiteral("pic%1.").arg(i) + ext;
    return paths;
}

void makeSets() {
    for (const Set& s : kSets) {
        QDir().mkpath(folderOf(s));
        const QStringList paths = pathsOf(s);
        for (int i = 0; i < paths.size(); ++i) {
            if (QFile::exists(paths[i]))
                continue;
            const QImage img = photoLike(s.w, s.h, static_cast<quint32>(i + 1));
            if (QByteArray(s.format) == "gif") {
                QFile f(paths[i]);
                if (f.open(QIODevice::WriteOnly))
                    f.write(tools::encodeGif(img));
            } else {
                QImageWriter writer(paths[i], s.format);
                writer.setQuality(85);
                writer.write(img);
            }
        }
    }
}

double maxRssMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;
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
        state.counters["maxrss_MB"] = maxRssMb();
    }

private:
    double m_start;
};

void ThumbnailsAt(benchmark::State& state, const Set* set, double devicePixelRatio) {
    const QStringList paths = pathsOf(*set);
    const CpuMeter cpu;
    for (auto _ : state) {
        auto thumbs = platform::loadThumbnails(paths, kCellBox * devicePixelRatio);
        for (const auto& t : thumbs)
            if (!t)
                state.SkipWithError("a picture did not load");
        benchmark::DoNotOptimize(thumbs);
    }
    cpu.report(state);
}

void Thumbnails(benchmark::State& state, const Set* set) {
    ThumbnailsAt(state, set, 1.0);
}

void Thumbnails200(benchmark::State& state, const Set* set) {
    ThumbnailsAt(state, set, 2.0);
}

void FullDecode(benchmark::State& state, const Set* set) {
    const QStringList paths = pathsOf(*set);
    const CpuMeter cpu;
    for (auto _ : state) {
        QList<QImage> out = QtConcurrent::blockingMapped(paths, [](const QString& p) {
            QImageReader reader(p);
            QImage full = reader.read();
            return full.scaled(QSize(97, 97), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        });
        benchmark::DoNotOptimize(out);
    }
    cpu.report(state);
}

// The organiser started in the picture folder, its first page filled again each time.
void PageFill(benchmark::State& state, const Set* set) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(folderOf(*set));
    {
        tarvo::Organiser org;
        tarvo::ImgView* view = org.imgView();
        const CpuMeter cpu;
        for (auto _ : state)
            view->FillPage(0);
        cpu.report(state);
        if (view->Label2(9)->text().isEmpty())
            state.SkipWithError("the page was not filled");
    }
    QDir::setCurrent(old);
}

void LoadFileList(benchmark::State& state, const Set* set) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(folderOf(*set));
    {
        tarvo::Organiser org;
        org.imgView();
        const CpuMeter cpu;
        for (auto _ : state)
            tarvo::LoadFileList(org);
        cpu.report(state);
    }
    QDir::setCurrent(old);
}

#ifdef TARVO_HAVE_LIBJPEG
void Libjpeg(benchmark::State& state, const Set* set) {
    std::vector<QByteArray> paths;
    for (const QString& p : pathsOf(*set))
        paths.push_back(QFile::encodeName(p));
    const CpuMeter cpu;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        std::atomic<size_t> bytes{0};
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (size_t i = static_cast<size_t>(t); i < paths.size(); i += kThreads)
                    bytes += decodeEighth(paths[i]);
            });
        }
        for (auto& th : threads)
            th.join();
        benchmark::DoNotOptimize(bytes.load());
    }
    cpu.report(state);
}
#endif

} // namespace

int main(int argc, char** argv) {
    // The pictures are made in a child process: its memory does not count here.
    pid_t child = fork();
    if (child == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        makeSets();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QThreadPool::globalInstance()->setMaxThreadCount(kThreads);
    std::printf("maxrss before any case: %.1f MB\n", maxRssMb());

    for (const Set& s : kSets)
        benchmark::RegisterBenchmark((std::string("Thumbnails/") + s.name).c_str(), Thumbnails, &s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    for (const Set& s : kSets)
        benchmark::RegisterBenchmark((std::string("Thumbnails200/") + s.name).c_str(),
                                     Thumbnails200, &s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
#ifdef TARVO_HAVE_LIBJPEG
    for (const Set& s : kSets)
        if (QByteArray(s.format) == "jpeg")
            benchmark::RegisterBenchmark((std::string("Libjpeg/") + s.name).c_str(), Libjpeg, &s)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
#endif
    for (const Set& s : kSets) {
        benchmark::RegisterBenchmark((std::string("PageFill/") + s.name).c_str(), PageFill, &s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("LoadFileList/") + s.name).c_str(), LoadFileList,
                                     &s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const Set& s : kSets)
        benchmark::RegisterBenchmark((std::string("FullDecode/") + s.name).c_str(), FullDecode, &s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
