#pragma once
// Layout in twips (1/1440 inch), converted with the screen's logical DPI: 15 twips per pixel
// at 96 DPI.

#include <QRect>
#include <QSizeF>

namespace platform {

double twipsPerPixelX();
double twipsPerPixelY();
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int px);
double pixelsToTwipsY(int px);
QRect twipsToPixels(double left, double top, double width, double height);

} // namespace platform
