#include "pictureview.h"

#include "platform/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarvo {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setPicture(const QImage& image, QSizeF naturalTwips) {
    m_image = image;
    m_reduced = QImage();
    m_natural = naturalTwips;
    if (!m_stretch && !naturalTwips.isEmpty()) {
        resize(platform::twipsToPixelsX(naturalTwips.width()),
               platform::twipsToPixelsY(naturalTwips.height()));
    }
    update();
}

void PictureView::setPicture(const QImage& image) {
    setPicture(image, QSizeF(platform::pixelsToTwipsX(image.width()),
                             platform::pixelsToTwipsY(image.height())));
}

void PictureView::clearPicture() {
    m_image = QImage();
    m_reduced = QImage();
    m_natural = QSizeF();
    m_source.clear();
    update();
}

void PictureView::setStretch(bool on) {
    m_stretch = on;
    update();
}

void PictureView::setBorder(bool on) {
    m_border = on;
    update();
}

double PictureView::leftTwips() const {
    return platform::pixelsToTwipsX(x());
}
double PictureView::topTwips() const {
    return platform::pixelsToTwipsY(y());
}
double PictureView::widthTwips() const {
    return platform::pixelsToTwipsX(width());
}
double PictureView::heightTwips() const {
    return platform::pixelsToTwipsY(height());
}
void PictureView::setLeftTwips(double v) {
    move(platform::twipsToPixelsX(v), y());
}
void PictureView::setTopTwips(double v) {
    move(x(), platform::twipsToPixelsY(v));
}
void PictureView::setWidthTwips(double v) {
    resize(std::max(1, platform::twipsToPixelsX(v)), height());
}
void PictureView::setHeightTwips(double v) {
    resize(width(), std::max(1, platform::twipsToPixelsY(v)));
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_image.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), shownImage());
    }
    if (m_border) {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

const QImage& PictureView::shownImage() {
    // The painter's smooth transform blends only neighbouring pixels: a picture shown at a
    // fraction of its size (a cell's thumbnail in the list window) is averaged down once to
    // the device pixels the view covers, so it stays sharp without shimmer at any scale.
    const qreal dpr = devicePixelRatioF();
    const QSize device(qMax(1, qRound(width() * dpr)), qMax(1, qRound(height() * dpr)));
    if (m_image.width() < device.width() * 2 && m_image.height() < device.height() * 2)
        return m_image;
    if (m_reduced.isNull() || m_reduced.size() != device) {
        m_reduced = m_image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_reduced.setDevicePixelRatio(dpr);
    }
    return m_reduced;
}

void PictureView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

ShapeFrame::ShapeFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeFrame::setBorderWidth(int w) {
    m_borderWidth = w;
    update();
}

void ShapeFrame::setBorderVisible(bool on) {
    m_borderVisible = on;
    update();
}

void ShapeFrame::setFill(bool on, QColor colour) {
    m_fill = on;
    if (colour.isValid())
        m_fillColour = colour;
    update();
}

void ShapeFrame::setBorderColour(QColor c) {
    m_borderColour = c;
    update();
}

void ShapeFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_fill)
        p.fillRect(rect(), m_fillColour);
    if (m_borderVisible && m_borderWidth > 0) {
        // The border lies inside the shape's area, as a Windows inside-frame pen does.
        const int w = m_borderWidth;
        p.setPen(Qt::NoPen);
        p.setBrush(m_borderColour);
        const QRect r = rect();
        p.drawRect(QRect(r.left(), r.top(), r.width(), w));
        p.drawRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w));
        p.drawRect(QRect(r.left(), r.top(), w, r.height()));
        p.drawRect(QRect(r.right() - w + 1, r.top(), w, r.height()));
    }
}

} // namespace tarvo
