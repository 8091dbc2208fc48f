#pragma once
// The drawing state of a metafile player: the graphics objects a metafile creates (pens,
// brushes, fonts, palettes), its object table, and the device-context values that SaveDC
// and RestoreDC keep.

#include "wmfrecords.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace platform::wmf {

enum PenStyle { PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME };
enum BrushStyle { BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN, BS_INDEXED, BS_DIBPATTERN };
enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum PolyFillMode { ALTERNATE = 1, WINDING = 2 };
enum StretchMode { BLACKONWHITE = 1, WHITEONBLACK, COLORONCOLOR, HALFTONE };
enum Rop2 {
    R2_BLACK = 1,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_MASKPEN = 9,
    R2_NOP = 11,
    R2_NOTCOPYPEN = 4,
    R2_COPYPEN = 13,
    R2_MERGEPEN = 15,
    R2_WHITE = 16
};

struct LogPen {
    int style = PS_SOLID;
    int width = 0; // logical units; 0 is one device pixel
    QColor color = Qt::black;
};

struct LogBrush {
    int style = BS_SOLID;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern; // BS_DIBPATTERN
};

struct LogFont {
    int height = 0; // logical units; negative: character height, positive: cell height
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int charset = 0;
    QString face;
};

struct LogPalette {
    QList<QColor> colors;
};

// An object-table slot holds one of these; monostate marks objects that are kept only so
// that the indices of later objects stay right (regions, old-style pattern brushes).
using GdiObject = std::variant<std::monostate, LogPen, LogBrush, LogFont, LogPalette>;

class ObjectTable {
public:
    explicit ObjectTable(int size) : slots_(size_t(size)) {}
    // Puts the object into the lowest free slot; a full table drops it, as the system does.
    void add(GdiObject object);
    const GdiObject* at(int index) const;
    void remove(int index);

private:
    std::vector<std::optional<GdiObject>> slots_;
};

struct DcState {
    QPointF windowOrg;
    QSizeF windowExt{1, 1};
    QPointF viewportOrg;
    QSizeF viewportExt{1, 1};
    bool viewportExtSet = false;
    int mapMode = 1;

    LogPen pen;
    LogBrush brush;
    LogFont font;
    LogPalette palette;

    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = OPAQUE;
    int polyFillMode = ALTERNATE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int textAlign = 0;
    int charExtra = 0;
    QPointF position; // current position, logical

    bool clipped = false;
    QRegion clip; // device pixels
};

// Colour of a COLORREF at byte offset at; palette-index colours resolve through palette.
QColor readColor(const Record& r, qsizetype at, const LogPalette& palette);

// Object records decoded into their objects.
LogPen readPen(const Record& r, const LogPalette& palette);
LogBrush readBrush(const Record& r, const LogPalette& palette);
LogFont readFont(const Record& r);
LogPalette readPalette(const Record& r);

} // namespace platform::wmf
