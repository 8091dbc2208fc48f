#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <atomic>
#include <cmath>

namespace platform {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackTwipsPerPixel = 15.0; // 96 DPI

// Logical DPI is what Windows used for twips: 96 DPI gives 15 twips per pixel. Without a
// screen (tests, no display yet) the classic value holds.
double fromDpi(double dpi) {
    if (!(dpi > 1.0))
        return kFallbackTwipsPerPixel;
    return kTwipsPerInch / dpi;
}

// The screen may only be asked on the user-interface thread. Picture decoding on the
// thread pool (metafile headers) gets the value that thread saw last.
std::atomic<double> g_lastX{kFallbackTwipsPerPixel};
std::atomic<double> g_lastY{kFallbackTwipsPerPixel};

bool onGuiThread(QCoreApplication* app) {
    return app && QThread::currentThread() == app->thread();
}

double perPixel(bool x) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!onGuiThread(app))
        return (x ? g_lastX : g_lastY).load(std::memory_order_relaxed);
    QScreen* s = qobject_cast<QGuiApplication*>(app) ? QGuiApplication::primaryScreen() : nullptr;
    const double v = s ? fromDpi(x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY())
                       : kFallbackTwipsPerPixel;
    (x ? g_lastX : g_lastY).store(v, std::memory_order_relaxed);
    return v;
}

} // namespace

double twipsPerPixelX() {
    return perPixel(true);
}
double twipsPerPixelY() {
    return perPixel(false);
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelX()));
}
int twipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixelY()));
}
double pixelsToTwipsX(int px) {
    return px * twipsPerPixelX();
}
double pixelsToTwipsY(int px) {
    return px * twipsPerPixelY();
}

QRect twipsToPixels(double left, double top, double width, double height) {
    return QRect(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                 twipsToPixelsY(height));
}

} // namespace platform
