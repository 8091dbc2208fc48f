#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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

QScreen* primary() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::primaryScreen();
}

} // namespace

double twipsPerPixelX() {
    QScreen* s = primary();
    return s ? fromDpi(s->logicalDotsPerInchX()) : kFallbackTwipsPerPixel;
}

double twipsPerPixelY() {
    QScreen* s = primary();
    return s ? fromDpi(s->logicalDotsPerInchY()) : kFallbackTwipsPerPixel;
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

void placeTwips(QWidget* w, double left, double top, double width, double height) {
    if (w)
        w->setGeometry(twipsToPixels(left, top, width, height));
}

void setClientTwips(QWidget* window, double width, double height) {
    if (window)
        window->resize(twipsToPixelsX(width), twipsToPixelsY(height));
}

} // namespace platform
