#pragma once
// Plays the records of a validated metafile onto a QImage: the record walker, the mapping
// from the metafile's logical space to the image, and the drawing, bitmap and text records
// (each group in its own source file).

#include "platform/result.h"
#include "wmfdc.h"
#include "wmfheader.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <vector>

namespace platform::wmf {

class Player {
public:
    // target must be a valid image filled with the background; layout from parseLayout.
    Player(const QByteArray& bytes, const Layout& layout, QImage& target);
    void play();
    // True when the drawing budget ran out and the rest of the records were left undrawn.
    bool exhausted() const { return exhausted_; }

private:
    void dispatch(const Record& r);
    bool stateRecord(const Record& r);
    bool objectRecord(const Record& r);
    bool clipRecord(const Record& r);
    bool shapeRecord(const Record& r);
    bool bitmapRecord(const Record& r);
    bool textRecord(const Record& r);

    // Mapping and painter set-up.
    QTransform transform() const;
    QRectF deviceRect(const QRectF& logical) const;
    void applyClip();
    void applyRop();
    QPen currentPen() const;
    QBrush currentBrush() const;
    // Spends drawing work for something covering the logical rectangle; false once the
    // budget is spent.
    bool spend(const QRectF& logicalBounds, qsizetype points);

    // Shapes.
    void drawPath(const QPainterPath& path, bool fill);
    QPainterPath readPolygon(const Record& r, qsizetype at, int count) const;
    QRectF readRect(const Record& r, int firstWord) const;
    void arcRecord(const Record& r, int kind);

    // Bitmaps.
    void blit(const Record& r, quint32 rop, QRectF dest, QRectF source, qsizetype dibAt,
              bool palColors);
    void patBlt(quint32 rop, const QRectF& dest);

    // Text.
    void drawText(QPointF ref, const QByteArray& text, const QList<int>& dx, int options,
                  const QRectF& rect);

    const QByteArray& bytes_;
    const Layout& layout_;
    QImage& target_;
    QPainter painter_;
    DcState dc_;
    std::vector<DcState> saved_;
    ObjectTable objects_;
    QPointF viewportRefOrg_;
    QSizeF viewportRefExt_;
    bool viewportOrgSeen_ = false;
    bool viewportExtSeen_ = false;
    double budget_ = 0;
    bool exhausted_ = false;
};

} // namespace platform::wmf
