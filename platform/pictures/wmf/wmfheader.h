#pragma once
// Header reading and validation of a metafile: the optional placeable header, the standard
// header, and one cheap pass over every record that checks sizes, object indices and bitmap
// headers, so that a damaged file is refused before anything is drawn or allocated for it.

#include "platform/result.h"
#include "wmfrecords.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <optional>

namespace platform::wmf {

inline constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
// More records than any drawing needs; the cap keeps a crafted file from running long.
inline constexpr int kMaxRecords = 1'000'000;
// Object table entries; real metafiles use a few dozen.
inline constexpr int kMaxObjects = 16384;

enum MapMode {
    MM_TEXT = 1,
    MM_LOMETRIC,
    MM_HIMETRIC,
    MM_LOENGLISH,
    MM_HIENGLISH,
    MM_TWIPS,
    MM_ISOTROPIC,
    MM_ANISOTROPIC
};

struct Layout {
    bool placeable = false;
    QRect frame; // the picture's logical rectangle (bounding box or window)
    double unitsPerInch = 0;
    qsizetype firstRecord = 0;
    int objectCount = 0;
    int recordCount = 0;
    int mapMode = MM_TEXT;
    QSizeF twips; // natural size
    // A drawing that lies beside the window its records set (past one edge, short of the
    // opposite one, and no larger) is shown through this window instead, the drawing's own
    // extent, with the extent's signs of the window it replaces.
    bool windowOnDrawing = false;
    QPoint drawnWindowOrg;
    QSize drawnWindowExt;
};

// Logical units per inch of a mapping mode; the scalable modes and MM_TEXT count as 96.
double unitsPerInch(int mapMode);

// Parses and validates the whole metafile.
std::optional<Layout> parseLayout(const QByteArray& bytes, Result* why);

// Walks the records of a validated metafile, up to (not including) the end record.
class RecordCursor {
public:
    RecordCursor(const QByteArray& bytes, const Layout& layout)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), size_(bytes.size()),
          pos_(layout.firstRecord) {}
    bool next(Record& out);

private:
    const uchar* data_;
    qsizetype size_;
    qsizetype pos_;
};

} // namespace platform::wmf
