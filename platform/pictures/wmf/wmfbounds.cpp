#include "wmfbounds.h"

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

} // namespace platform::wmf
