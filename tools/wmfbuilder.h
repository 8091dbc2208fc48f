#pragma once
// Builds Windows metafiles byte by byte for tests, fuzz seeds, benchmarks and samples.
// Coordinates are logical units; records are written as the format lays them out
// (parameters in reverse order), so the tests read like the drawing they make.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

namespace wmftest {

enum : quint32 {
    SRCCOPY = 0x00CC0020,
    SRCAND = 0x008800C6,
    SRCPAINT = 0x00EE0086,
    PATCOPY = 0x00F00021,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062
};

class WmfBuilder {
public:
    // A placeable header with the bounding box and units per inch; plain without it.
    WmfBuilder& placeable(int left, int top, int right, int bottom, int unitsPerInch);
    // Declared object table size; by default the number of objects the records create.
    WmfBuilder& objects(int count);

    WmfBuilder& record(quint16 function, const QList<int>& words);
    WmfBuilder& recordBytes(quint16 function, const QByteArray& params);

    WmfBuilder& setMapMode(int mode);
    WmfBuilder& setWindowOrg(int x, int y);
    WmfBuilder& setWindowExt(int x, int y);
    WmfBuilder& setViewportOrg(int x, int y);
    WmfBuilder& setViewportExt(int x, int y);
    WmfBuilder& saveDc();
    WmfBuilder& restoreDc(int which);

    WmfBuilder& createPen(int style, int width, QColor color);
    WmfBuilder& createBrush(int style, QColor color, int hatch = 0);
    // face: bytes in the character set's code page.
    WmfBuilder& createFont(int height, int charset, const QByteArray& face, int weight = 400,
                           int escapement = 0);
    WmfBuilder& createPalette(const QList<QColor>& colors);
    WmfBuilder& selectObject(int index);
    WmfBuilder& selectPalette(int index);
    WmfBuilder& deleteObject(int index);

    WmfBuilder& setTextColor(QColor color);
    WmfBuilder& setBkColor(QColor color);
    WmfBuilder& setBkMode(int mode);
    WmfBuilder& setPolyFillMode(int mode);
    WmfBuilder& setRop2(int rop);
    WmfBuilder& setTextAlign(int align);
    WmfBuilder& setStretchBltMode(int mode);

    WmfBuilder& moveTo(int x, int y);
    WmfBuilder& lineTo(int x, int y);
    WmfBuilder& polyline(const QList<QPoint>& points);
    WmfBuilder& polygon(const QList<QPoint>& points);
    WmfBuilder& polyPolygon(const QList<QList<QPoint>>& polygons);
    WmfBuilder& rectangle(int left, int top, int right, int bottom);
    WmfBuilder& roundRect(int left, int top, int right, int bottom, int w, int h);
    WmfBuilder& ellipse(int left, int top, int right, int bottom);
    // kind: 0x0817 arc, 0x081A pie, 0x0830 chord.
    WmfBuilder& arcLike(quint16 kind, QRect box, QPoint start, QPoint end);

    WmfBuilder& textOut(int x, int y, const QByteArray& text);
    WmfBuilder& extTextOut(int x, int y, const QByteArray& text, int options = 0, QRect rect = {},
                           const QList<int>& dx = {});
    WmfBuilder& intersectClipRect(int left, int top, int right, int bottom);
    WmfBuilder& excludeClipRect(int left, int top, int right, int bottom);

    WmfBuilder& stretchDib(QRect dest, const QImage& image, quint32 rop = SRCCOPY);
    WmfBuilder& dibStretchBlt(QRect dest, const QImage& image, quint32 rop = SRCCOPY);
    WmfBuilder& dibBitBlt(QPoint dest, const QImage& image, quint32 rop = SRCCOPY);
    WmfBuilder& patBlt(QRect dest, quint32 rop);

    // The metafile with its end record.
    QByteArray build() const;
    // The metafile without an end record, for damaged-file tests.
    QByteArray buildWithoutEof() const;

    // A 24-bit bottom-up device-independent bitmap of image.
    static QByteArray dib(const QImage& image);
    // A bitmap header that states a size without the pixels behind it.
    static QByteArray dibHeader(int width, int height, int bitCount);

private:
    QByteArray assemble(bool withEof) const;

    QByteArray records_;
    bool placeable_ = false;
    int box_[4] = {0, 0, 0, 0};
    int inch_ = 0;
    int objects_ = -1;
    int created_ = 0;
    quint32 maxRecord_ = 3;
};

// Typical metafiles, for the samples, the fuzz seeds and the benchmarks. detail repeats the
// drawing's motifs: at 1 a shapes drawing has about three hundred records.
QByteArray shapesDrawing(int detail = 1);
QByteArray clipArt();
QByteArray japaneseLabel();

} // namespace wmftest
