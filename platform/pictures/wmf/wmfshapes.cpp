// Lines, polygons and the rectangle-based shapes of the metafile.
#include "wmfplayer.h"

#include <cmath>
#include <numbers>

namespace platform::wmf {

namespace {
enum ArcKind { Arc, Pie, Chord };

double angleOf(QPointF p, const QRectF& box) {
    const QPointF c = box.center();
    const double rx = qMax(box.width() / 2, 1e-9);
    const double ry = qMax(box.height() / 2, 1e-9);
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180.0 / std::numbers::pi;
}
} // namespace

QRectF Player::readRect(const Record& r, int firstWord) const {
    // bottom, right, top, left
    const double bottom = r.w(firstWord);
    const double right = r.w(firstWord + 1);
    const double top = r.w(firstWord + 2);
    const double left = r.w(firstWord + 3);
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

QPainterPath Player::readPolygon(const Record& r, qsizetype at, int count) const {
    QPainterPath path;
    for (int k = 0; k < count; ++k) {
        const QPointF p(r.i16(at + qsizetype(k) * 4), r.i16(at + qsizetype(k) * 4 + 2));
        if (k == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

void Player::drawPath(const QPainterPath& logical, bool fill) {
    if (!spend(logical.boundingRect(), logical.elementCount()))
        return;
    // Drawn in device pixels, so that hatch patterns and thin pens keep their pixel size
    // at any scale.
    const QTransform t = transform();
    QPainterPath path = t.map(logical);
    path.setFillRule(dc_.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    applyClip();
    painter_.resetTransform();
    applyRop();
    if (fill && dc_.brush.style != BS_NULL) {
        if (dc_.brush.style == BS_HATCHED && dc_.bkMode == OPAQUE)
            painter_.fillPath(path, dc_.bkColor);
        painter_.fillPath(path, currentBrush());
    }
    QPen pen = currentPen();
    if (pen.style() == Qt::NoPen)
        return;
    if (!pen.isCosmetic()) {
        pen.setWidthF(pen.widthF() * (std::abs(t.m11()) + std::abs(t.m22())) / 2);
        painter_.strokePath(path, pen);
        return;
    }
    // A one-pixel line covers the pixels whose corner its points name, as the system draws
    // it, not half of the two rows or columns on either side of that corner.
    painter_.strokePath(path.translated(0.5, 0.5), pen);
}

void Player::arcRecord(const Record& r, int kind) {
    const QRectF box = readRect(r, 4);
    const QPointF start(r.w(3), r.w(2));
    const QPointF end(r.w(1), r.w(0));
    const double a0 = angleOf(start, box);
    double sweep = angleOf(end, box) - a0;
    if (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    if (kind == Pie) {
        path.moveTo(box.center());
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        if (kind == Chord)
            path.closeSubpath();
    }
    drawPath(path, kind != Arc);
}

bool Player::shapeRecord(const Record& r) {
    switch (r.function) {
    case META_LINETO: {
        const QPointF to(r.w(1), r.w(0));
        QPainterPath path(dc_.position);
        path.lineTo(to);
        dc_.position = to;
        drawPath(path, false);
        return true;
    }
    case META_POLYLINE:
    case META_POLYGON: {
        // The point count is bounded by what the record holds.
        const int count = int(qMin<qsizetype>(r.u16(0), (r.size - 2) / 4));
        if (count < 2)
            return true;
        QPainterPath path = readPolygon(r, 2, count);
        if (r.function == META_POLYGON)
            path.closeSubpath();
        drawPath(path, r.function == META_POLYGON);
        return true;
    }
    case META_POLYPOLYGON: {
        const int polygons = r.u16(0);
        qsizetype at = 2 + qsizetype(polygons) * 2;
        if (at > r.size)
            return true;
        QPainterPath path;
        for (int k = 0; k < polygons; ++k) {
            const int count = r.u16(2 + qsizetype(k) * 2);
            if (at + qsizetype(count) * 4 > r.size)
                break;
            QPainterPath part = readPolygon(r, at, count);
            part.closeSubpath();
            path.addPath(part);
            at += qsizetype(count) * 4;
        }
        drawPath(path, true);
        return true;
    }
    case META_RECTANGLE: {
        QPainterPath path;
        path.addRect(readRect(r, 0));
        drawPath(path, true);
        return true;
    }
    case META_ROUNDRECT: {
        QPainterPath path;
        path.addRoundedRect(readRect(r, 2), std::abs(r.w(1)) / 2.0, std::abs(r.w(0)) / 2.0);
        drawPath(path, true);
        return true;
    }
    case META_ELLIPSE: {
        QPainterPath path;
        path.addEllipse(readRect(r, 0));
        drawPath(path, true);
        return true;
    }
    case META_ARC:
        arcRecord(r, Arc);
        return true;
    case META_PIE:
        arcRecord(r, Pie);
        return true;
    case META_CHORD:
        arcRecord(r, Chord);
        return true;
    case META_SETPIXEL: {
        const QPointF p = transform().map(QPointF(r.w(3), r.w(2)));
        if (!spend(QRectF(QPointF(r.w(3), r.w(2)), QSizeF(1, 1)), 1))
            return true;
        applyClip();
        painter_.resetTransform();
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.fillRect(QRectF(std::floor(p.x()), std::floor(p.y()), 1, 1),
                          readColor(r, 0, dc_.palette));
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform::wmf
