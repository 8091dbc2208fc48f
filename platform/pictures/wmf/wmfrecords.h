#pragma once
// Record numbers of the 16-bit Windows metafile format and a bounds-checked little-endian
// view of one record's parameters. Parameters are read through the view only, so a record
// that is shorter than its kind expects reads zeros instead of running past the file.

#include <QtGlobal>
#include <cstdint>

namespace platform::wmf {

enum Func : quint16 {
    META_EOF = 0x0000,
    META_REALIZEPALETTE = 0x0035,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPALETTE = 0x00F7,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
};

// One record: its function and its parameter bytes (after the 6-byte record head).
struct Record {
    quint16 function = 0;
    const uchar* params = nullptr;
    qsizetype size = 0; // parameter bytes

    quint16 u16(qsizetype at) const {
        if (at < 0 || at + 2 > size)
            return 0;
        return quint16(params[at] | (params[at + 1] << 8));
    }
    qint16 i16(qsizetype at) const { return qint16(u16(at)); }
    quint32 u32(qsizetype at) const { return u16(at) | (quint32(u16(at + 2)) << 16); }
    // Parameter word n (the format's own unit).
    qint16 w(int n) const { return i16(qsizetype(n) * 2); }
    bool has(qsizetype bytes) const { return bytes >= 0 && bytes <= size; }
};

inline quint16 readU16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 readU32(const uchar* p) {
    return readU16(p) | (quint32(readU16(p + 2)) << 16);
}

} // namespace platform::wmf
