#pragma once
// The area a record draws on, in logical units: the size of a plain metafile that never
// states its window is the union of what it draws.

#include "wmfdc.h"
#include "wmfrecords.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRect>

namespace platform::wmf {

// Corners of what was drawn, in logical units.
struct Bounds {
    bool empty = true;
    int left = 0, top = 0, right = 0, bottom = 0;
    // Origin and extent: the right and bottom corner is where drawing ends.
    QRect rect() const { return QRect(QPoint(left, top), QSize(right - left, bottom - top)); }
};

// Adds the corners of what r draws on (if it draws) to bounds; text counts by its
// reference point only.
void addRecordBounds(const Record& r, Bounds& bounds);

// The area a metafile's records draw on with the extent of its text: follows the fonts the
// records create and select, the text alignment and the character spacing, so that a string
// counts with the box it covers in its font.
class DrawnArea {
public:
    explicit DrawnArea(int objectCount) : objects_(objectCount) {}
    void add(const Record& r);
    const Bounds& bounds() const { return bounds_; }

private:
    void addText(QPointF ref, const QByteArray& text, const QList<int>& dx);

    Bounds bounds_;
    ObjectTable objects_;
    LogFont font_;
    int textAlign_ = 0;
    int charExtra_ = 0;
    QPointF position_;
    static constexpr qsizetype kMeasuredBytes = 1 << 20;
    qsizetype measured_ = 0; // text measured so far, with an allowance for each string
};

} // namespace platform::wmf
