#include "wmfbuilder.h"

namespace wmftest {

namespace {

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& out, quint32 v) {
    put16(out, int(v & 0xFFFF));
    put16(out, int(v >> 16));
}

quint32 colorRef(QColor c) {
    return quint32(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// A COLORREF as two parameter words.
QList<int> colorWords(QColor c) {
    const quint32 v = colorRef(c);
    return {int(v & 0xFFFF), int(v >> 16)};
}

} // namespace

WmfBuilder& WmfBuilder::placeable(int left, int top, int right, int bottom, int unitsPerInch) {
    placeable_ = true;
    box_[0] = left;
    box_[1] = top;
    box_[2] = right;
    box_[3] = bottom;
    inch_ = unitsPerInch;
    return *this;
}

WmfBuilder& WmfBuilder::objects(int count) {
    objects_ = count;
    return *this;
}

WmfBuilder& WmfBuilder::recordBytes(quint16 function, const QByteArray& params) {
    QByteArray padded = params;
    if (padded.size() % 2)
        padded.append('\0');
    const quint32 words = 3 + quint32(padded.size() / 2);
    put32(records_, words);
    put16(records_, function);
    records_.append(padded);
    maxRecord_ = qMax(maxRecord_, words);
    return *this;
}

WmfBuilder& WmfBuilder::record(quint16 function, const QList<int>& words) {
    QByteArray params;
    for (int w : words)
        put16(params, w);
    return recordBytes(function, params);
}

WmfBuilder& WmfBuilder::setMapMode(int mode) {
    return record(0x0103, {mode});
}
WmfBuilder& WmfBuilder::setWindowOrg(int x, int y) {
    return record(0x020B, {y, x});
}
WmfBuilder& WmfBuilder::setWindowExt(int x, int y) {
    return record(0x020C, {y, x});
}
WmfBuilder& WmfBuilder::setViewportOrg(int x, int y) {
    return record(0x020D, {y, x});
}
WmfBuilder& WmfBuilder::setViewportExt(int x, int y) {
    return record(0x020E, {y, x});
}
WmfBuilder& WmfBuilder::saveDc() {
    return record(0x001E, {});
}
WmfBuilder& WmfBuilder::restoreDc(int which) {
    return record(0x0127, {which});
}

WmfBuilder& WmfBuilder::createPen(int style, int width, QColor color) {
    ++created_;
    return record(0x02FA, QList<int>{style, width, 0} + colorWords(color));
}

WmfBuilder& WmfBuilder::createBrush(int style, QColor color, int hatch) {
    ++created_;
    return record(0x02FC, QList<int>{style} + colorWords(color) + QList<int>{hatch});
}

WmfBuilder& WmfBuilder::createFont(int height, int charset, const QByteArray& face, int weight,
                                   int escapement) {
    ++created_;
    QByteArray p;
    put16(p, height);
    put16(p, 0); // width
    put16(p, escapement);
    put16(p, escapement); // orientation
    put16(p, weight);
    p.append(char(0)); // italic
    p.append(char(0)); // underline
    p.append(char(0)); // strike-out
    p.append(char(charset));
    p.append(char(0)); // output precision
    p.append(char(0)); // clip precision
    p.append(char(0)); // quality
    p.append(char(0)); // pitch and family
    QByteArray name = face.left(31);
    name.append('\0');
    p.append(name);
    return recordBytes(0x02FB, p);
}

WmfBuilder& WmfBuilder::createPalette(const QList<QColor>& colors) {
    ++created_;
    QByteArray p;
    put16(p, 0x0300);
    put16(p, int(colors.size()));
    for (const QColor& c : colors) {
        p.append(char(c.red()));
        p.append(char(c.green()));
        p.append(char(c.blue()));
        p.append(char(0));
    }
    return recordBytes(0x00F7, p);
}

WmfBuilder& WmfBuilder::selectObject(int index) {
    return record(0x012D, {index});
}
WmfBuilder& WmfBuilder::selectPalette(int index) {
    return record(0x0234, {index});
}
WmfBuilder& WmfBuilder::deleteObject(int index) {
    return record(0x01F0, {index});
}
WmfBuilder& WmfBuilder::setTextColor(QColor c) {
    return record(0x0209, colorWords(c));
}
WmfBuilder& WmfBuilder::setBkColor(QColor c) {
    return record(0x0201, colorWords(c));
}
WmfBuilder& WmfBuilder::setBkMode(int mode) {
    return record(0x0102, {mode});
}
WmfBuilder& WmfBuilder::setPolyFillMode(int mode) {
    return record(0x0106, {mode});
}
WmfBuilder& WmfBuilder::setRop2(int rop) {
    return record(0x0104, {rop});
}
WmfBuilder& WmfBuilder::setTextAlign(int align) {
    return record(0x012E, {align});
}
WmfBuilder& WmfBuilder::setStretchBltMode(int mode) {
    return record(0x0107, {mode});
}
WmfBuilder& WmfBuilder::moveTo(int x, int y) {
    return record(0x0214, {y, x});
}
WmfBuilder& WmfBuilder::lineTo(int x, int y) {
    return record(0x0213, {y, x});
}

WmfBuilder& WmfBuilder::polyline(const QList<QPoint>& points) {
    QList<int> words{int(points.size())};
    for (const QPoint& p : points)
        words << p.x() << p.y();
    return record(0x0325, words);
}

WmfBuilder& WmfBuilder::polygon(const QList<QPoint>& points) {
    QList<int> words{int(points.size())};
    for (const QPoint& p : points)
        words << p.x() << p.y();
    return record(0x0324, words);
}

WmfBuilder& WmfBuilder::polyPolygon(const QList<QList<QPoint>>& polygons) {
    QList<int> words{int(polygons.size())};
    for (const auto& poly : polygons)
        words << int(poly.size());
    for (const auto& poly : polygons)
        for (const QPoint& p : poly)
            words << p.x() << p.y();
    return record(0x0538, words);
}

WmfBuilder& WmfBuilder::rectangle(int left, int top, int right, int bottom) {
    return record(0x041B, {bottom, right, top, left});
}

WmfBuilder& WmfBuilder::roundRect(int left, int top, int right, int bottom, int w, int h) {
    return record(0x061C, {h, w, bottom, right, top, left});
}

WmfBuilder& WmfBuilder::ellipse(int left, int top, int right, int bottom) {
    return record(0x0418, {bottom, right, top, left});
}

WmfBuilder& WmfBuilder::arcLike(quint16 kind, QRect box, QPoint start, QPoint end) {
    return record(kind, {end.y(), end.x(), start.y(), start.x(), box.bottom() + 1, box.right() + 1,
                         box.top(), box.left()});
}

WmfBuilder& WmfBuilder::textOut(int x, int y, const QByteArray& text) {
    QByteArray p;
    put16(p, int(text.size()));
    p.append(text);
    if (p.size() % 2)
        p.append('\0');
    put16(p, y);
    put16(p, x);
    return recordBytes(0x0521, p);
}

WmfBuilder& WmfBuilder::extTextOut(int x, int y, const QByteArray& text, int options, QRect rect,
                                   const QList<int>& dx) {
    QByteArray p;
    put16(p, y);
    put16(p, x);
    put16(p, int(text.size()));
    put16(p, options);
    if (options & 0x6) {
        put16(p, rect.left());
        put16(p, rect.top());
        put16(p, rect.right() + 1);
        put16(p, rect.bottom() + 1);
    }
    p.append(text);
    if (p.size() % 2)
        p.append('\0');
    for (int d : dx)
        put16(p, d);
    return recordBytes(0x0A32, p);
}

WmfBuilder& WmfBuilder::intersectClipRect(int left, int top, int right, int bottom) {
    return record(0x0416, {bottom, right, top, left});
}

WmfBuilder& WmfBuilder::excludeClipRect(int left, int top, int right, int bottom) {
    return record(0x0415, {bottom, right, top, left});
}

WmfBuilder& WmfBuilder::stretchDib(QRect dest, const QImage& image, quint32 rop) {
    QByteArray p;
    put32(p, rop);
    put16(p, 0); // colours are RGB
    put16(p, image.height());
    put16(p, image.width());
    put16(p, 0);
    put16(p, 0);
    put16(p, dest.height());
    put16(p, dest.width());
    put16(p, dest.top());
    put16(p, dest.left());
    p.append(dib(image));
    return recordBytes(0x0F43, p);
}

WmfBuilder& WmfBuilder::dibStretchBlt(QRect dest, const QImage& image, quint32 rop) {
    QByteArray p;
    put32(p, rop);
    put16(p, image.height());
    put16(p, image.width());
    put16(p, 0);
    put16(p, 0);
    put16(p, dest.height());
    put16(p, dest.width());
    put16(p, dest.top());
    put16(p, dest.left());
    p.append(dib(image));
    return recordBytes(0x0B41, p);
}

WmfBuilder& WmfBuilder::dibBitBlt(QPoint dest, const QImage& image, quint32 rop) {
    QByteArray p;
    put32(p, rop);
    put16(p, 0);
    put16(p, 0);
    put16(p, image.height());
    put16(p, image.width());
    put16(p, dest.y());
    put16(p, dest.x());
    p.append(dib(image));
    return recordBytes(0x0940, p);
}

WmfBuilder& WmfBuilder::patBlt(QRect dest, quint32 rop) {
    return record(0x061D, {int(rop & 0xFFFF), int(rop >> 16), dest.height(), dest.width(),
                           dest.top(), dest.left()});
}

QByteArray WmfBuilder::dibHeader(int width, int height, int bitCount) {
    QByteArray p;
    put32(p, 40);
    put32(p, quint32(width));
    put32(p, quint32(height));
    put16(p, 1);
    put16(p, bitCount);
    put32(p, 0); // BI_RGB
    put32(p, 0);
    put32(p, 2835);
    put32(p, 2835);
    put32(p, 0);
    put32(p, 0);
    return p;
}

QByteArray WmfBuilder::dib(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray p = dibHeader(image.width(), image.height(), 24);
    const int stride = (image.width() * 3 + 3) & ~3;
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row;
        for (int x = 0; x < image.width(); ++x) {
            row.append(char(qBlue(line[x])));
            row.append(char(qGreen(line[x])));
            row.append(char(qRed(line[x])));
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        p.append(row);
    }
    return p;
}

QByteArray WmfBuilder::assemble(bool withEof) const {
    QByteArray body = records_;
    if (withEof) {
        put32(body, 3);
        put16(body, 0);
    }
    QByteArray out;
    if (placeable_) {
        QByteArray head;
        put32(head, 0x9AC6CDD7);
        put16(head, 0);
        for (int v : box_)
            put16(head, v);
        put16(head, inch_);
        put32(head, 0);
        quint16 sum = 0;
        for (int k = 0; k < 20; k += 2)
            sum ^= quint16(uchar(head[k]) | (uchar(head[k + 1]) << 8));
        put16(head, sum);
        out.append(head);
    }
    put16(out, 1);      // in memory
    put16(out, 9);      // header words
    put16(out, 0x0300); // version
    put32(out, quint32(9 + body.size() / 2));
    put16(out, objects_ >= 0 ? objects_ : created_);
    put32(out, maxRecord_);
    put16(out, 0);
    out.append(body);
    return out;
}

QByteArray WmfBuilder::build() const {
    return assemble(true);
}
QByteArray WmfBuilder::buildWithoutEof() const {
    return assemble(false);
}

} // namespace wmftest

namespace wmftest {

QByteArray shapesDrawing(int detail) {
    // A 4 x 3 inch drawing in twips-like units: a backdrop, then rows of shapes in pens
    // and brushes that are created, used and deleted as drawing programs do.
    WmfBuilder b;
    b.placeable(0, 0, 5760, 4320, 1440).objects(4);
    b.setMapMode(8).setWindowOrg(0, 0).setWindowExt(5760, 4320).setBkMode(1);
    b.createBrush(0, QColor(0xF0, 0xF4, 0xFF)).selectObject(0).rectangle(0, 0, 5760, 4320);
    b.deleteObject(0);
    const QColor palette[] = {QColor(0xC0, 0x30, 0x30), QColor(0x30, 0x90, 0x40),
                              QColor(0x30, 0x50, 0xC0), QColor(0xE0, 0xA0, 0x20)};
    for (int k = 0; k < 36 * detail; ++k) {
        const int x = (k % 9) * 640 + 40;
        const int y = ((k / 9) % 4) * 1080 + 60;
        const QColor c = palette[k % 4];
        b.createPen(0, 15 + (k % 3) * 15, c.darker(150)).selectObject(0);
        if (k % 5 == 4)
            b.createBrush(2, c, k % 6).selectObject(1);
        else
            b.createBrush(0, c).selectObject(1);
        switch (k % 6) {
        case 0:
            b.rectangle(x, y, x + 560, y + 420);
            break;
        case 1:
            b.ellipse(x, y, x + 560, y + 560);
            break;
        case 2:
            b.roundRect(x, y, x + 560, y + 420, 120, 120);
            break;
        case 3:
            b.polygon({{x + 280, y}, {x + 560, y + 500}, {x, y + 500}});
            break;
        case 4:
            b.arcLike(0x081A, QRect(x, y, 560, 560), QPoint(x + 560, y + 280), QPoint(x + 280, y));
            break;
        default:
            b.polyline({{x, y + 500},
                        {x + 140, y + 100},
                        {x + 280, y + 400},
                        {x + 420, y + 50},
                        {x + 560, y + 500}});
            break;
        }
        b.moveTo(x, y + 980).lineTo(x + 560, y + 980);
        b.deleteObject(0).deleteObject(1);
    }
    return b.build();
}

QByteArray clipArt() {
    // A framed picture: a bitmap stretched into a frame of shapes, as clip-art collections
    // store photos and scanned drawings.
    QImage photo(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(40 + x * 3, 80 + y * 3, 200 - x * 2));
    WmfBuilder b;
    b.placeable(0, 0, 2000, 1600, 1000).objects(3);
    b.setWindowOrg(0, 0).setWindowExt(2000, 1600).setStretchBltMode(3);
    b.createPen(0, 40, QColor(0x60, 0x40, 0x20)).selectObject(0);
    b.createBrush(0, QColor(0xD0, 0xB0, 0x80)).selectObject(1);
    b.roundRect(0, 0, 2000, 1600, 200, 200);
    b.stretchDib(QRect(150, 150, 1700, 1100), photo);
    b.createBrush(1, Qt::black).selectObject(2).rectangle(150, 150, 1850, 1250);
    b.createBrush(0, QColor(0xF8, 0xE8, 0x40)).selectObject(1);
    b.ellipse(850, 1330, 1150, 1530);
    return b.build();
}

QByteArray japaneseLabel() {
    // "見本ラベル" in a "ＭＳ ゴシック" SHIFTJIS font, both in CP932, on a rounded plate.
    const QByteArray text("\x8c\xa9\x96\x7b\x83\x89\x83\x78\x83\x8b");
    const QByteArray face("\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
    WmfBuilder b;
    b.placeable(0, 0, 3000, 1000, 1440).objects(3);
    b.createPen(0, 30, QColor(0x20, 0x40, 0x80)).selectObject(0);
    b.createBrush(0, QColor(0xE8, 0xF0, 0xFF)).selectObject(1);
    b.roundRect(15, 15, 2985, 985, 300, 300);
    b.createFont(-480, 128, face, 700).selectObject(2);
    b.setBkMode(1).setTextColor(QColor(0x10, 0x20, 0x60)).setTextAlign(6 | 24);
    b.extTextOut(1500, 680, text, 0, {}, {480, 0, 480, 0, 480, 0, 480, 0, 480, 0});
    return b.build();
}

} // namespace wmftest
