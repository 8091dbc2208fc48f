#include "wmfheader.h"

#include "platform/pictures/pictureloader.h"
#include "platform/twips.h"
#include "wmfbitmap.h"
#include "wmfbounds.h"

#include <cmath>
#include <cstdlib>

namespace platform::wmf {

namespace {

constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;

bool fail(Result* why, Error e, const char* text) {
    if (why)
        *why = Result::failure(e, QString::fromLatin1(text));
    return false;
}

// Object indices a record refers to must lie inside the table the header declares.
bool objectIndexOk(const Record& r, int objectCount) {
    switch (r.function) {
    case META_SELECTOBJECT:
    case META_DELETEOBJECT:
    case META_SELECTPALETTE:
    case META_SELECTCLIPREGION:
        return r.size >= 2 && r.u16(0) < objectCount;
    default:
        return true;
    }
}

// Bitmap records carry a device-independent bitmap after a fixed number of parameter
// words; its header is checked here so that giant or truncated bitmaps fail early.
bool bitmapOk(const Record& r, Result* why) {
    qsizetype offset = -1;
    bool palColors = false;
    switch (r.function) {
    case META_STRETCHDIB:
        offset = 22;
        palColors = r.u16(4) == 1;
        break;
    case META_DIBSTRETCHBLT:
        if (r.size > 22)
            offset = 20;
        break;
    case META_DIBBITBLT:
        if (r.size > 18)
            offset = 16;
        break;
    case META_DIBCREATEPATTERNBRUSH:
        offset = 4;
        palColors = r.u16(2) == 1;
        break;
    default:
        return true;
    }
    if (offset < 0)
        return true;
    if (offset >= r.size)
        return fail(why, Error::Corrupt, "bitmap record without its bitmap");
    return parseDib(r.params + offset, r.size - offset, palColors, why).has_value();
}

// One axis of a window, from origin and signed extent, and the range drawn on that axis:
// the drawing's range replaces the window's when it lies beside it, shifted past one end and
// short of the other, and is no longer than the window. Gives the origin and signed extent
// to use, or nothing when the window stays.
std::optional<std::pair<int, int>> axisOnDrawing(int org, int ext, int drawnMin, int drawnMax) {
    const int low = qMin(org, org + ext);
    const int high = qMax(org, org + ext);
    const int drawn = drawnMax - drawnMin;
    if (drawn <= 0 || drawn > high - low)
        return std::nullopt;
    const bool pastHigh = drawnMin > low && drawnMax > high;
    const bool pastLow = drawnMin < low && drawnMax < high;
    if (!pastHigh && !pastLow)
        return std::nullopt;
    return ext >= 0 ? std::pair(drawnMin, drawn) : std::pair(drawnMax, -drawn);
}

bool sizeOk(QSizeF twips, Result* why) {
    if (!(twips.width() > 0 && twips.height() > 0))
        return fail(why, Error::Corrupt, "metafile states no size");
    const double w = twips.width() / twipsPerPixelX();
    const double h = twips.height() / twipsPerPixelY();
    if (w > kMaxPictureSide || h > kMaxPictureSide || w * h > double(kMaxPicturePixels))
        return fail(why, Error::TooLarge, "metafile states an absurd size");
    return true;
}

} // namespace

double unitsPerInch(int mapMode) {
    switch (mapMode) {
    case MM_LOMETRIC:
        return 254.0;
    case MM_HIMETRIC:
        return 2540.0;
    case MM_LOENGLISH:
        return 100.0;
    case MM_HIENGLISH:
        return 1000.0;
    case MM_TWIPS:
        return 1440.0;
    default:
        return 96.0;
    }
}

std::optional<Layout> parseLayout(const QByteArray& bytes, Result* why) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    Layout layout;
    qsizetype pos = 0;

    if (size >= 4 && readU32(data) == kPlaceableKey) {
        if (size < kPlaceableSize + kHeaderSize)
            return fail(why, Error::Corrupt, "metafile header is cut short"), std::nullopt;
        const int left = qint16(readU16(data + 6));
        const int top = qint16(readU16(data + 8));
        const int right = qint16(readU16(data + 10));
        const int bottom = qint16(readU16(data + 12));
        const int inch = readU16(data + 14);
        if (inch == 0)
            return fail(why, Error::Corrupt, "metafile states no units per inch"), std::nullopt;
        layout.placeable = true;
        layout.frame = QRect(QPoint(left, top), QSize(right - left, bottom - top));
        layout.unitsPerInch = inch;
        pos = kPlaceableSize;
    }
    if (size - pos < kHeaderSize)
        return fail(why, Error::Corrupt, "not a metafile"), std::nullopt;
    const uchar* head = data + pos;
    const quint16 type = readU16(head);
    const quint16 headerWords = readU16(head + 2);
    const quint16 version = readU16(head + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return fail(why, Error::Corrupt, "not a metafile"), std::nullopt;
    layout.objectCount = readU16(head + 10);
    if (layout.objectCount > kMaxObjects)
        return fail(why, Error::TooLarge, "metafile declares too many objects"), std::nullopt;
    pos += kHeaderSize;
    layout.firstRecord = pos;

    // A plain metafile takes its size from the window extent it sets, in its mapping mode.
    bool haveMapMode = false;
    bool haveExt = false;
    bool haveOrg = false;
    QPoint windowOrg;
    QSize windowExt;
    DrawnArea drawn(layout.objectCount);
    // Everything drawn, and whether the window is set more than once or the viewport at all,
    // when logical units would not stay one space through the file.
    Bounds allDrawn;
    int windowOrgRecords = 0;
    int windowExtRecords = 0;
    bool otherMapping = false;
    bool sawEof = false;
    while (pos + 6 <= size) {
        const quint32 words = readU32(data + pos);
        if (words < 3)
            return fail(why, Error::Corrupt, "metafile record has no size"), std::nullopt;
        if (words > quint32((size - pos) / 2))
            return fail(why, Error::Corrupt, "metafile record runs past the file"), std::nullopt;
        if (++layout.recordCount > kMaxRecords)
            return fail(why, Error::TooLarge, "metafile has too many records"), std::nullopt;
        Record r;
        r.function = readU16(data + pos + 4);
        r.params = data + pos + 6;
        r.size = qsizetype(words) * 2 - 6;
        if (r.function == META_EOF) {
            sawEof = true;
            break;
        }
        if (!objectIndexOk(r, layout.objectCount))
            return fail(why, Error::Corrupt, "metafile refers to a missing object"), std::nullopt;
        if (!bitmapOk(r, why))
            return std::nullopt;
        if (r.function == META_SETMAPMODE && !haveMapMode) {
            layout.mapMode = r.u16(0);
            haveMapMode = true;
        } else if (r.function == META_SETWINDOWEXT && !haveExt) {
            windowExt = QSize(r.w(1), r.w(0));
            haveExt = true;
        } else if (r.function == META_SETWINDOWORG && !haveOrg) {
            windowOrg = QPoint(r.w(1), r.w(0));
            haveOrg = true;
        }
        switch (r.function) {
        case META_SETWINDOWORG:
            ++windowOrgRecords;
            break;
        case META_SETWINDOWEXT:
            ++windowExtRecords;
            break;
        case META_OFFSETWINDOWORG:
        case META_SCALEWINDOWEXT:
        case META_SETVIEWPORTORG:
        case META_SETVIEWPORTEXT:
        case META_OFFSETVIEWPORTORG:
        case META_SCALEVIEWPORTEXT:
            otherMapping = true;
            break;
        default:
            break;
        }
        if (!haveExt && !layout.placeable) // the size of a plain metafile without a window
            drawn.add(r);
        addRecordBounds(r, allDrawn);
        pos += qsizetype(words) * 2;
    }
    if (!sawEof)
        return fail(why, Error::Corrupt, "metafile has no end record"), std::nullopt;

    if (!layout.placeable) {
        // Without a window, the picture is what the records draw on.
        layout.frame = haveExt ? QRect(windowOrg, windowExt) : drawn.bounds().rect();
        layout.unitsPerInch = unitsPerInch(layout.mapMode);
    }
    // The window the drawing is seen through: the one the records set, else the frame.
    if (windowOrgRecords <= 1 && windowExtRecords <= 1 && !otherMapping && !allDrawn.empty) {
        const QPoint org = haveOrg ? windowOrg : layout.frame.topLeft();
        const QSize ext = haveExt ? windowExt : layout.frame.size();
        const auto x = axisOnDrawing(org.x(), ext.width(), allDrawn.left, allDrawn.right);
        const auto y = axisOnDrawing(org.y(), ext.height(), allDrawn.top, allDrawn.bottom);
        if (x || y) {
            layout.windowOnDrawing = true;
            layout.drawnWindowOrg = QPoint(x ? x->first : org.x(), y ? y->first : org.y());
            layout.drawnWindowExt =
                QSize(x ? x->second : ext.width(), y ? y->second : ext.height());
        }
    }
    layout.twips = QSizeF(std::abs(layout.frame.width()) * 1440.0 / layout.unitsPerInch,
                          std::abs(layout.frame.height()) * 1440.0 / layout.unitsPerInch);
    if (!sizeOk(layout.twips, why))
        return std::nullopt;
    return layout;
}

bool RecordCursor::next(Record& out) {
    if (pos_ + 6 > size_)
        return false;
    const quint32 words = readU32(data_ + pos_);
    if (words < 3 || words > quint32((size_ - pos_) / 2))
        return false;
    out.function = readU16(data_ + pos_ + 4);
    if (out.function == META_EOF)
        return false;
    out.params = data_ + pos_ + 6;
    out.size = qsizetype(words) * 2 - 6;
    pos_ += qsizetype(words) * 2;
    return true;
}

} // namespace platform::wmf
