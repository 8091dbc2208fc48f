#include "placement.h"

#include "platform/twips.h"

#include <QWidget>

namespace platform {

void placeTwips(QWidget* w, double left, double top, double width, double height) {
    if (w)
        w->setGeometry(twipsToPixels(left, top, width, height));
}

void setClientTwips(QWidget* window, double width, double height) {
    if (window)
        window->resize(twipsToPixelsX(width), twipsToPixelsY(height));
}

} // namespace platform
