// The page fill and the capture save timed with Qt alone, so that one program measures the
// Linux build and the Windows build (under Wine) the same way. Each case runs once to warm
// up, then N times; a line per case gives the median, the fastest and the slowest run in ms.
//   PageFill/jpeg6000x4000      the main window filling its page of ten 6000 × 4000 JPEGs
//                               (ImgView::FillPage), the thumbnail cache emptied before every
//                               run so that each one decodes all ten
//   Thumbnails/jpeg6000x4000    the same ten decoded by loadThumbnails alone (no window)
//   CaptureSave/QImage::save    QImage::save of a 3840 × 2160 picture as BMP
//   CaptureSave/writeBmp        the saver's file writer alone, same picture, same folder
//   CaptureSave/clipboardRead   the saver's reading of the bitmap from the system clipboard
//   CaptureSave/saver           the saver's step on a change notice: the bitmap read from the
//                               system clipboard, compared with the last one, written as the
//                               next numbered file
//   CaptureSave/clipboardToFile the picture put on the system clipboard until the saver's
//                               numbered file is on disk
// Usage: crossbench [--runs N] [--dir FOLDER] [--only PREFIX]
// The pictures go to FOLDER (made when missing and kept, so that both builds can read the
// same files) or to a temporary folder removed at the end. On Linux offscreen unless
// QT_QPA_PLATFORM says otherwise.

#include "bench/photolike.h"
#include "capture/form1.h"
#include "capture/module1.h"
#include "organiser/browser/imgview.h"
#include "organiser/browser/organiser.h"
#include "platform/clipboard.h"
#include "platform/pictures/bmpwriter.h"
#include "platform/pictures/pictureloader.h"
#include "platform/viewerchain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

int g_runs = 5;
QString g_only;
bool g_failed = false;

bool wanted(const char* caseName) {
    return g_only.isEmpty() || QString::fromLatin1(caseName).startsWith(g_only);
}

// True when a case whose name starts with one of prefixes may be wanted.
bool anyWanted(std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes) {
        const QString prefix = QString::fromLatin1(p);
        if (g_only.isEmpty() || prefix.startsWith(g_only) || g_only.startsWith(prefix))
            return true;
    }
    return false;
}

void fail(const char* caseName, const QString& why) {
    std::printf("%-28s FAILED: %s\n", caseName, qPrintable(why));
    std::fflush(stdout);
    g_failed = true;
}

// Runs once unmeasured, then g_runs times; prepare (untimed) comes before each run, check
// after it; a check that fails ends the case with its message.
void measure(const char* caseName, const std::function<void()>& prepare,
             const std::function<void()>& run, const std::function<QString()>& check) {
    if (!wanted(caseName))
        return;
    std::vector<double> ms;
    for (int i = 0; i <= g_runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        run();
        const double elapsed = double(t.nsecsElapsed()) / 1e6;
        if (const QString why = check(); !why.isEmpty()) {
            fail(caseName, why);
            return;
        }
        if (i > 0)
            ms.push_back(elapsed);
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-28s median %9.1f ms   min %9.1f   max %9.1f   (%zu runs)\n", caseName, median,
                ms.front(), ms.back(), n);
    std::fflush(stdout);
}

// Ten photos in folder/jpeg6000x4000, made where missing. Answers their paths, empty when
// one could not be written.
QStringList makePhotos(const QString& folder) {
    const QString dir = folder + QStringLiteral("/jpeg6000x4000/");
    QDir().mkpath(dir);
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        const QString path = dir + QStringLiteral("pic%1.jpg").arg(i);
        if (QFileInfo(path).size() <= 0) {
            QImageWriter writer(path, "jpeg");
            writer.setQuality(85);
            if (!writer.write(photoLike(6000, 4000, static_cast<quint32>(i + 1)))) {
                fail("PageFill",
                     QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
                return {};
            }
        }
        paths << path;
    }
    return paths;
}

void pageFill(const QStringList& photos) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(QFileInfo(photos.front()).absolutePath());
    {
        tarvo::Organiser org;
        tarvo::ImgView* view = org.imgView();
        tarvo::ThumbnailCache& cache = view->thumbnails();
        const auto empty = [&] {
            // Nothing decoded ahead may refill the cache during a run.
            view->cancelPrefetch();
            cache.waitForPrefetch();
            const tarvo::Module1& m = org.m();
            for (int i = 0; i < 10; ++i)
                cache.removed(m.ImageDir + m.fileName(i));
        };
        const auto check = [&]() -> QString {
            if (view->Label2(9)->text().isEmpty())
                return QStringLiteral("the page was not filled");
            if (cache.count() != 10)
                return QStringLiteral("%1 thumbnails decoded, not 10").arg(cache.count());
            return {};
        };
        // The first check also proves that emptying reaches the cache's own keys.
        empty();
        if (cache.count() != 0) {
            fail("PageFill/jpeg6000x4000", QStringLiteral("the thumbnail cache was not emptied"));
        } else {
            measure(
                "PageFill/jpeg6000x4000", empty, [&] { view->FillPage(0); },
                [&]() -> QString {
                    const QString why = check();
                    empty();
                    if (why.isEmpty() && cache.count() != 0)
                        return QStringLiteral("the thumbnail cache was not emptied");
                    return why;
                });
        }
    }
    QDir::setCurrent(old);

    std::vector<std::optional<platform::Thumbnail>> thumbs;
    measure(
        "Thumbnails/jpeg6000x4000", [&] { thumbs.clear(); },
        [&] { thumbs = platform::loadThumbnails(photos, QSizeF(1453, 1453)); },
        [&]() -> QString {
            for (const auto& t : thumbs)
                if (!t || t->image.isNull())
                    return QStringLiteral("a picture did not load");
            return {};
        });
}

QImage screen(int variant) {
    QImage img(3840, 2160, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            row[x] = qRgb((x * 7 + variant) % 256, y * 3 % 256, (x ^ y) % 256);
    }
    return img;
}

void captureSave(const QString& folder) {
    // Two pictures in turn: the saver does not save the same bitmap twice running.
    const QImage pictures[2] = {screen(0), screen(1)};
    const QString dir = folder + QStringLiteral("/capture/");
    QDir().mkpath(dir);
    const QString ref = dir + QStringLiteral("ref.bmp");
    const auto written = [](const QString& path) -> QString {
        return QFileInfo(path).size() > qint64(3840) * 2160 * 3
                   ? QString()
                   : QStringLiteral("%1 not written").arg(path);
    };
    const auto removeRef = [&] { QFile::remove(ref); };

    bool saved = false;
    measure(
        "CaptureSave/QImage::save", removeRef, [&] { saved = pictures[0].save(ref, "BMP"); },
        [&] { return saved ? written(ref) : QStringLiteral("QImage::save failed"); });

    platform::Result result = platform::Result::success();
    const QString own = dir + QStringLiteral("SAVE01.bmp");
    measure(
        "CaptureSave/writeBmp", [&] { QFile::remove(own); },
        [&] { result = platform::writeBmp(pictures[0], own); },
        [&] { return result ? written(own) : result.reason; });

    // The saver's window in the folder, joined to the viewer chain and watching.
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir);
    {
        capture::module1() = {};
        auto form = std::make_unique<capture::Form1>(platform::systemViewerChain(),
                                                     platform::systemClipboard(), [] {});
        form->Command1_Click();
        platform::Clipboard& clipboard = platform::systemClipboard();
        int turn = 0;
        QString expected;
        const auto next = [&] {
            expected =
                dir + QStringLiteral("SAVE%1.bmp")
                          .arg((capture::module1().SaveCount + 1) % 100, 2, 10, QLatin1Char('0'));
            QFile::remove(expected);
        };
        const auto savedCheck = [&]() -> QString {
            if (!form->failure().isEmpty())
                return form->failure();
            return written(expected);
        };

        // The picture goes on while saving is off, so that only the reading is timed.
        QImage read;
        const auto putQuietly = [&] {
            capture::module1().CaptureOn = 0;
            clipboard.addImage(pictures[++turn % 2]);
            QCoreApplication::processEvents();
            capture::module1().CaptureOn = 1;
        };
        measure(
            "CaptureSave/clipboardRead", putQuietly, [&] { result = clipboard.readBitmap(read); },
            [&]() -> QString {
                if (!result)
                    return result.reason;
                if (read.size() != pictures[0].size())
                    return QStringLiteral("the bitmap read back is not the picture put");
                return {};
            });

        // The picture goes on while saving is off, so only the saver's own step is timed.
        measure(
            "CaptureSave/saver",
            [&] {
                next();
                putQuietly();
            },
            [&] { form->CaptureClipboard(); }, savedCheck);

        measure(
            "CaptureSave/clipboardToFile", next,
            [&] {
                clipboard.addImage(pictures[++turn % 2]); // the change notice runs the save
                QElapsedTimer t;
                t.start();
                while (!QFile::exists(expected) && t.elapsed() < 20000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            },
            savedCheck);
        form.reset();
        capture::module1() = {};
    }
    QDir::setCurrent(old);
}

} // namespace

int main(int argc, char** argv) {
#ifndef Q_OS_WIN
    // Windows builds keep the system's own platform, as the programs do: the saver's viewer
    // chain needs real windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    QString folder;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            g_runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            g_only = args[++i];
        else {
            std::printf("usage: crossbench [--runs N] [--dir FOLDER] [--only PREFIX]\n");
            return 2;
        }
    }
    std::unique_ptr<QTemporaryDir> temporary;
    if (folder.isEmpty()) {
        temporary = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                    QStringLiteral("/crossbench-XXXXXX"));
        folder = temporary->path();
    }
    std::printf("crossbench on %s (%s), Qt %s, %s platform; %d ideal threads, pool of %d\n",
                qPrintable(QSysInfo::prettyProductName()), qPrintable(QSysInfo::kernelVersion()),
                qVersion(), qPrintable(QGuiApplication::platformName()),
                QThread::idealThreadCount(), QThreadPool::globalInstance()->maxThreadCount());
    std::printf("pictures in %s\n", qPrintable(QDir::toNativeSeparators(folder)));
    std::fflush(stdout);

    if (anyWanted({"PageFill/", "Thumbnails/"})) {
        const QStringList photos = makePhotos(folder);
        if (!photos.isEmpty())
            pageFill(photos);
    }
    if (anyWanted({"CaptureSave/"}))
        captureSave(folder);
    return g_failed ? 1 : 0;
}
