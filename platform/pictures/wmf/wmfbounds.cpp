#include "wmfbounds.h"

#include "wmftext.h"

#include <cmath>

namespace platform::wmf {

namespace {

void addPoint(Bounds& b, int x, int y) {
    if (b.empty) {
        b = {false, x, y, x, y};
        return;
    }
    b.left = qMin(b.left, x);
    b.top = qMin(b.top, y);
    b.right = qMax(b.right, x);
    b.bottom = qMax(b.bottom, y);
}

// A rectangle stored as bottom, right, top, left from word n.
void addBox(const Record& r, int n, Bounds& bounds) {
    addPoint(bounds, r.w(n + 3), r.w(n + 2));
    addPoint(bounds, r.w(n + 1), r.w(n));
}

void addPoints(const Record& r, qsizetype at, qsizetype count, Bounds& bounds) {
    count = qMin(count, (r.size - at) / 4);
    for (qsizetype k = 0; k < count; ++k)
        addPoint(bounds, r.i16(at + k * 4), r.i16(at + k * 4 + 2));
}

} // namespace

void addRecordBounds(const Record& r, Bounds& bounds) {
    switch (r.function) {
    case META_RECTANGLE:
    case META_ELLIPSE:
        addBox(r, 0, bounds);
        break;
    case META_ROUNDRECT:
        addBox(r, 2, bounds);
        break;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        addBox(r, 4, bounds);
        break;
    case META_MOVETO:
    case META_LINETO:
        addPoint(bounds, r.w(1), r.w(0));
        break;
    case META_POLYGON:
    case META_POLYLINE:
        addPoints(r, 2, r.u16(0), bounds);
        break;
    case META_POLYPOLYGON: {
        const int polygons = r.u16(0);
        qsizetype total = 0;
        for (int k = 0; k < polygons; ++k)
            total += r.u16(2 + qsizetype(k) * 2);
        addPoints(r, 2 + qsizetype(polygons) * 2, total, bounds);
        break;
    }
    case META_EXTTEXTOUT:
        addPoint(bounds, r.w(1), r.w(0));
        break;
    case META_PATBLT:
        addPoint(bounds, r.w(5), r.w(4));
        addPoint(bounds, r.w(5) + r.w(3), r.w(4) + r.w(2));
        break;
    case META_STRETCHDIB:
        addPoint(bounds, r.w(10), r.w(9));
        addPoint(bounds, r.w(10) + r.w(8), r.w(9) + r.w(7));
        break;
    case META_DIBSTRETCHBLT:
        if (r.size > 22) {
            addPoint(bounds, r.w(9), r.w(8));
            addPoint(bounds, r.w(9) + r.w(7), r.w(8) + r.w(6));
        }
        break;
    case META_DIBBITBLT:
        if (r.size > 18) {
            addPoint(bounds, r.w(7), r.w(6));
            addPoint(bounds, r.w(7) + r.w(5), r.w(6) + r.w(4));
        }
        break;
    default:
        break;
    }
}

void DrawnArea::add(const Record& r) {
    switch (r.function) {
    case META_CREATEFONTINDIRECT:
        objects_.add(readFont(r));
        return;
    case META_CREATEPENINDIRECT:
    case META_CREATEBRUSHINDIRECT:
    case META_CREATEPALETTE:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEREGION:
        // Only fonts matter here; the others keep the slots of later objects right.
        objects_.add(std::monostate{});
        return;
    case META_SELECTOBJECT:
        if (const GdiObject* object = objects_.at(r.u16(0)))
            if (const auto* font = std::get_if<LogFont>(object))
                font_ = *font;
        return;
    case META_DELETEOBJECT:
        objects_.remove(r.u16(0));
        return;
    case META_SETTEXTALIGN:
        textAlign_ = r.u16(0);
        return;
    case META_SETTEXTCHAREXTRA:
        charExtra_ = r.w(0);
        return;
    case META_MOVETO:
    case META_LINETO:
        position_ = QPointF(r.w(1), r.w(0));
        break;
    case META_TEXTOUT: {
        const qsizetype count = qMin<qsizetype>(r.u16(0), qMax<qsizetype>(0, r.size - 2));
        const QByteArray text(reinterpret_cast<const char*>(r.params + 2), count);
        const qsizetype at = 2 + ((count + 1) & ~qsizetype(1));
        addText(QPointF(r.i16(at + 2), r.i16(at)), text, {});
        return;
    }
    case META_EXTTEXTOUT: {
        constexpr int kOpaque = 0x2, kClipped = 0x4, kGlyphIndex = 0x10, kPdy = 0x2000;
        const int options = r.u16(6);
        qsizetype at = 8;
        if (options & (kOpaque | kClipped)) {
            if (options & kOpaque) // the rectangle is painted whatever the text
                addBox(r, 4, bounds_);
            at = 16;
        }
        addPoint(bounds_, r.w(1), r.w(0));
        if (options & kGlyphIndex)
            return;
        const qsizetype count = qMin<qsizetype>(r.u16(4), qMax<qsizetype>(0, r.size - at));
        const QByteArray text(reinterpret_cast<const char*>(r.params + at), count);
        at += (count + 1) & ~qsizetype(1);
        QList<int> dx;
        const int step = (options & kPdy) ? 4 : 2;
        if (count > 0 && r.has(at + count * step))
            for (qsizetype k = 0; k < count; ++k)
                dx.append(r.i16(at + k * step));
        addText(QPointF(r.w(1), r.w(0)), text, dx);
        return;
    }
    default:
        break;
    }
    addRecordBounds(r, bounds_);
}

void DrawnArea::addText(QPointF ref, const QByteArray& text, const QList<int>& dx) {
    constexpr int kUpdateCp = 1;
    if (textAlign_ & kUpdateCp)
        ref = position_;
    addPoint(bounds_, int(ref.x()), int(ref.y()));
    // Measuring costs a font look-up; a crafted file of endless strings is measured only so
    // far, and its later strings count by their reference points.
    if (text.isEmpty() || measured_ >= kMeasuredBytes)
        return;
    measured_ += text.size() + 256;
    const QPolygonF outline = textOutline(font_, textAlign_, charExtra_, ref, text, dx);
    if (outline.size() < 2)
        return;
    // Far beyond any picture's size the box says nothing more; the clamp keeps it an int.
    auto clamped = [](double v) { return int(qBound(-1e6, v, 1e6)); };
    const QRectF box = outline.boundingRect();
    addPoint(bounds_, clamped(std::floor(box.left())), clamped(std::floor(box.top())));
    addPoint(bounds_, clamped(std::ceil(box.right())), clamped(std::ceil(box.bottom())));
    if (textAlign_ & kUpdateCp)
        position_ = ref + (outline[1] - outline[0]);
}

} // namespace platform::wmf
