// Reading a folder for the file list: scanFolder with the design mask on 32,001 matching
// files (the most the file table holds) and on 100,000, warm, beside QDir::entryList with
// the same name filters and a bare readdir-and-sort for comparison; then the organiser's own
// LoadFileList (the file list's entries into the table, the first page, the labels) and a
// whole reload ("再表示": the file list reads the folder again, then LoadFileList). The
// folders are made once in /tmp.
#include "bench/session.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "platform/filescan.h"

#include <QApplication>
#include <QLabel>
#include <memory>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

const QString kDesignPattern = QStringLiteral("*.BMP;*.WMF;*.ICO;*.DIB;*.RLE;*.JPG;*.gif;*.jpeg");
const char* const kExtensions[] = {".jpg", ".JPG", ".bmp", ".gif", ".jpeg", ".ico", ".DIB", ".wmf"};

// count matching files with varied names and extensions, plus one memo per ten pictures
// and a few other files that the mask leaves out.
QString makeFolder(int count) {
    const QString folder = QStringLiteral("/tmp/tarvo-bench-filelist/%1/").arg(count);
    const QString done = folder + QStringLiteral(".complete");
    if (QFile::exists(done))
        return folder;
    QDir().mkpath(folder);
    auto touch = [&](const QString& name) {
        int fd = ::open(QFile::encodeName(folder + name).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    };
    for (int i = 0; i < count; ++i) {
        const QString base = (i % 7 == 0 ? QStringLiteral("写真 %1") : QStringLiteral("IMG_%1"))
                                 .arg((i * 7919) % 1000003, 7, 10, QLatin1Char('0'));
        touch(base + QString::fromLatin1(kExtensions[i % 8]));
        if (i % 10 == 0)
            touch(base + QStringLiteral(".TXT"));
    }
    touch(QStringLiteral("Thumbs.db"));
    touch(QStringLiteral(".hidden.jpg"));
    touch(QStringLiteral(".complete"));
    return folder;
}

void ScanFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString folder = makeFolder(count);
    const auto mask = platform::WildcardMask::parse(kDesignPattern);
    qsizetype listed = 0;
    for (auto _ : state) {
        auto names = platform::scanFolder(folder, *mask);
        if (!names) {
            state.SkipWithError("folder not read");
            break;
        }
        listed = names->size();
        benchmark::DoNotOptimize(names);
    }
    state.counters["files"] = static_cast<double>(listed);
}

void QDirEntryList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString folder = makeFolder(count);
    const QStringList filters = kDesignPattern.split(QLatin1Char(';'));
    qsizetype listed = 0;
    for (auto _ : state) {
        QDir dir(folder);
        QStringList names = dir.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
        listed = names.size();
        benchmark::DoNotOptimize(names);
    }
    state.counters["files"] = static_cast<double>(listed);
}

// The floor: reading the names and sorting them, with no matching, no conversion.
void RawReaddirSort(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QByteArray folder = QFile::encodeName(makeFolder(count));
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.constData());
        while (const dirent* e = dir ? ::readdir(dir) : nullptr)
            names.emplace_back(e->d_name);
        if (dir)
            ::closedir(dir);
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return ::strcasecmp(a.c_str(), b.c_str()) < 0;
        });
        benchmark::DoNotOptimize(names);
    }
}

void LoadFileList(benchmark::State& state) {
    Session s(makeFolder(static_cast<int>(state.range(0))));
    for (auto _ : state)
        tarvo::LoadFileList(*s.org);
    state.counters["total"] = s.org->imgView()->Total()->text().toDouble();
}

void Reload(benchmark::State& state) {
    Session s(makeFolder(static_cast<int>(state.range(0))));
    for (auto _ : state)
        s.org->imgView()->ResetBotton_Click();
    state.counters["total"] = s.org->imgView()->Total()->text().toDouble();
}

} // namespace

BENCHMARK(LoadFileList)->Arg(32001)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Reload)->Arg(32001)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(RawReaddirSort)->Arg(32001)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ScanFolder)->Arg(32001)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QDirEntryList)->Arg(32001)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
