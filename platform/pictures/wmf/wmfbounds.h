#pragma once
// The area a record draws on, in logical units: the size of a plain metafile that never
// states its window is the union of what it draws.

#include "wmfrecords.h"

#include <QRect>

namespace platform::wmf {

// Corners of what was drawn, in logical units.
struct Bounds {
    bool empty = true;
    int left = 0, top = 0, right = 0, bottom = 0;
    // Origin and extent: the right and bottom corner is where drawing ends.
    QRect rect() const { return QRect(QPoint(left, top), QSize(right - left, bottom - top)); }
};

// Adds the corners of what r draws on (if it draws) to bounds.
void addRecordBounds(const Record& r, Bounds& bounds);

} // namespace platform::wmf
