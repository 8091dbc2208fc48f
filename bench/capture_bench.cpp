// From a clipboard change to the capture file on disk, for a 3840 × 2160 screen, side by side
// with QImage::save writing the same picture as BMP alone.
//   BM_QImageSaveBmp          the reference: QImage::save(..., "BMP")
//   BM_ClipboardChangeToFile  the picture reaches the system clipboard; the chain notice runs
//                             the saver's procedure, which reads it and writes SAVEnn.bmp
//   BM_CrossProcessToFile     (only on an X display, with clipput built) another process owns
//                             the picture; the time from its taking the clipboard to the file
// Run offscreen by default; under tests/e2e/with-xvfb.sh for the cross-process figure.

#include "capture/form1.h"
#include "capture/module1.h"
#include "platform/clipboard.h"
#include "platform/viewerchain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QImage screen() {
    QImage img(3840, 2160, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            row[x] = qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256);
    }
    return img;
}

const QImage& bigPicture() {
    static const QImage img = screen();
    return img;
}

void BM_QImageSaveBmp(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ref.bmp"));
    for (auto _ : state)
        if (!bigPicture().save(path, "BMP"))
            state.SkipWithError("QImage::save failed");
    state.SetBytesProcessed(state.iterations() * bigPicture().sizeInBytes());
}

// The saver's window in a temporary folder, watching.
struct Saver {
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
    std::unique_ptr<capture::Form1> form;
    Saver() {
        QDir::setCurrent(dir.path());
        capture::module1() = {};
        form = std::make_unique<capture::Form1>(platform::systemViewerChain(),
                                                platform::systemClipboard(), [] {});
        form->Command1_Click();
    }
    ~Saver() {
        form.reset();
        capture::module1() = {};
        QDir::setCurrent(oldDir);
    }
    QString next() const {
        return dir.filePath(
            QStringLiteral("SAVE%1.bmp")
                .arg((capture::module1().SaveCount + 1) % 100, 2, 10, QLatin1Char('0')));
    }
};

void BM_ClipboardChangeToFile(benchmark::State& state) {
    Saver saver;
    const QImage& img = bigPicture();
    // Two pictures in turn: the saver rightly skips the same bitmap put again.
    QImage other = img.copy();
    other.setPixel(0, 0, ~other.pixel(0, 0));
    const QImage* pictures[2] = {&img, &other};
    int turn = 0;
    for (auto _ : state) {
        const QString expected = saver.next();
        QFile::remove(expected); // the numbers come round again after 99
        // the change notice runs the save
        platform::systemClipboard().addImage(*pictures[turn++ % 2]);
        if (!QFile::exists(expected) || !saver.form->failure().isEmpty())
            state.SkipWithError("the capture was not saved");
    }
    state.SetBytesProcessed(state.iterations() * img.sizeInBytes());
}

void BM_CrossProcessToFile(benchmark::State& state) {
    const QString clipput =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/clipput");
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !QFile::exists(clipput)) {
        state.SkipWithError("needs an X display and clipput");
        return;
    }
    Saver saver;
    const QString source = saver.dir.filePath(QStringLiteral("source.png"));
    bigPicture().save(source);
    for (auto _ : state) {
        const QString expected = saver.next();
        QProcess owner;
        owner.start(clipput, {QStringLiteral("--image"), source});
        // clipput loads the PNG first; the clock starts once it owns the clipboard.
        while (!owner.canReadLine() && owner.state() != QProcess::NotRunning)
            owner.waitForReadyRead(50);
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(expected) && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!QFile::exists(expected))
            state.SkipWithError("the capture was not saved");
        owner.kill();
        owner.waitForFinished();
    }
}

} // namespace

BENCHMARK(BM_QImageSaveBmp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ClipboardChangeToFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CrossProcessToFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
