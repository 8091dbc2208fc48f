#include "wmfplayer.h"

#include <cmath>

namespace platform::wmf {

namespace {
constexpr size_t kMaxSavedStates = 1024;
} // namespace

Player::Player(const QByteArray& bytes, const Layout& layout, QImage& target)
    : bytes_(bytes), layout_(layout), target_(target), objects_(layout.objectCount) {
    // The picture's frame is the starting window; the metafile's own window records take
    // over from it, and whatever window is current is mapped onto the whole image.
    dc_.windowOrg = layout.frame.topLeft();
    dc_.windowExt = QSizeF(layout.frame.width(), layout.frame.height());
    dc_.mapMode = layout.mapMode;
    if (layout.windowOnDrawing) {
        dc_.windowOrg = layout.drawnWindowOrg;
        dc_.windowExt = QSizeF(layout.drawnWindowExt);
    }
    // Work allowed: a few hundred fills of the whole image plus a fixed allowance, enough
    // for any drawing and a bound on crafted files that repeat huge shapes.
    budget_ = 256.0 * target.width() * target.height() + 32e6;
}

void Player::play() {
    painter_.begin(&target_);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    RecordCursor cursor(bytes_, layout_);
    Record r;
    while (!exhausted_ && cursor.next(r))
        dispatch(r);
    painter_.end();
}

void Player::dispatch(const Record& r) {
    if (stateRecord(r) || objectRecord(r) || clipRecord(r))
        return;
    if (dc_.rop2 == R2_NOP && r.function != META_EXTTEXTOUT && r.function != META_TEXTOUT) {
        if (r.function == META_LINETO)
            dc_.position = QPointF(r.w(1), r.w(0));
        return;
    }
    if (shapeRecord(r) || bitmapRecord(r) || textRecord(r))
        return;
    // Anything else (escapes, records for the old device-dependent bitmaps, regions) is
    // skipped by its size.
}

bool Player::stateRecord(const Record& r) {
    auto extOk = [](qint16 v) { return v != 0; };
    switch (r.function) {
    case META_SETWINDOWORG:
        if (!layout_.windowOnDrawing)
            dc_.windowOrg = QPointF(r.w(1), r.w(0));
        return true;
    case META_OFFSETWINDOWORG:
        dc_.windowOrg += QPointF(r.w(1), r.w(0));
        return true;
    case META_SETWINDOWEXT:
        if (extOk(r.w(0)) && extOk(r.w(1)) && !layout_.windowOnDrawing)
            dc_.windowExt = QSizeF(r.w(1), r.w(0));
        return true;
    case META_SCALEWINDOWEXT:
        // yDenom, yNum, xDenom, xNum
        if (r.w(0) && r.w(1) && r.w(2) && r.w(3))
            dc_.windowExt = QSizeF(dc_.windowExt.width() * r.w(3) / r.w(2),
                                   dc_.windowExt.height() * r.w(1) / r.w(0));
        return true;
    case META_SETVIEWPORTORG:
        dc_.viewportOrg = QPointF(r.w(1), r.w(0));
        if (!viewportOrgSeen_)
            viewportRefOrg_ = dc_.viewportOrg;
        viewportOrgSeen_ = true;
        return true;
    case META_OFFSETVIEWPORTORG:
        dc_.viewportOrg += QPointF(r.w(1), r.w(0));
        return true;
    case META_SETVIEWPORTEXT:
        if (extOk(r.w(0)) && extOk(r.w(1))) {
            dc_.viewportExt = QSizeF(r.w(1), r.w(0));
            dc_.viewportExtSet = true;
            if (!viewportExtSeen_)
                viewportRefExt_ = dc_.viewportExt;
            viewportExtSeen_ = true;
        }
        return true;
    case META_SCALEVIEWPORTEXT:
        if (dc_.viewportExtSet && r.w(0) && r.w(1) && r.w(2) && r.w(3))
            dc_.viewportExt = QSizeF(dc_.viewportExt.width() * r.w(3) / r.w(2),
                                     dc_.viewportExt.height() * r.w(1) / r.w(0));
        return true;
    case META_SETMAPMODE:
        dc_.mapMode = r.u16(0);
        return true;
    case META_SAVEDC:
        if (saved_.size() < kMaxSavedStates)
            saved_.push_back(dc_);
        return true;
    case META_RESTOREDC: {
        const int n = r.w(0);
        const qsizetype level = n < 0 ? qsizetype(saved_.size()) + n : n - 1;
        if (level >= 0 && level < qsizetype(saved_.size())) {
            dc_ = saved_[size_t(level)];
            saved_.resize(size_t(level));
        }
        return true;
    }
    case META_SETTEXTCOLOR:
        dc_.textColor = readColor(r, 0, dc_.palette);
        return true;
    case META_SETBKCOLOR:
        dc_.bkColor = readColor(r, 0, dc_.palette);
        return true;
    case META_SETBKMODE:
        dc_.bkMode = r.u16(0);
        return true;
    case META_SETPOLYFILLMODE:
        dc_.polyFillMode = r.u16(0);
        return true;
    case META_SETROP2:
        dc_.rop2 = r.u16(0);
        return true;
    case META_SETSTRETCHBLTMODE:
        dc_.stretchMode = r.u16(0);
        return true;
    case META_SETTEXTALIGN:
        dc_.textAlign = r.u16(0);
        return true;
    case META_SETTEXTCHAREXTRA:
        dc_.charExtra = r.w(0);
        return true;
    case META_MOVETO:
        dc_.position = QPointF(r.w(1), r.w(0));
        return true;
    default:
        return false;
    }
}

bool Player::objectRecord(const Record& r) {
    switch (r.function) {
    case META_CREATEPENINDIRECT:
        objects_.add(readPen(r, dc_.palette));
        return true;
    case META_CREATEBRUSHINDIRECT:
        objects_.add(readBrush(r, dc_.palette));
        return true;
    case META_CREATEFONTINDIRECT:
        objects_.add(readFont(r));
        return true;
    case META_CREATEPALETTE:
        objects_.add(readPalette(r));
        return true;
    case META_DIBCREATEPATTERNBRUSH:
        return bitmapRecord(r);
    case META_CREATEPATTERNBRUSH:
    case META_CREATEREGION:
        // Not drawn with, but they take a slot like any other object.
        objects_.add(std::monostate{});
        return true;
    case META_SELECTOBJECT: {
        const GdiObject* object = objects_.at(r.u16(0));
        if (!object)
            return true;
        if (const auto* pen = std::get_if<LogPen>(object))
            dc_.pen = *pen;
        else if (const auto* brush = std::get_if<LogBrush>(object))
            dc_.brush = *brush;
        else if (const auto* font = std::get_if<LogFont>(object))
            dc_.font = *font;
        return true;
    }
    case META_SELECTPALETTE: {
        const GdiObject* object = objects_.at(r.u16(0));
        if (const auto* palette = object ? std::get_if<LogPalette>(object) : nullptr)
            dc_.palette = *palette;
        return true;
    }
    case META_REALIZEPALETTE:
        return true;
    case META_DELETEOBJECT:
        objects_.remove(r.u16(0));
        return true;
    default:
        return false;
    }
}

bool Player::clipRecord(const Record& r) {
    const QRect whole(QPoint(0, 0), target_.size());
    switch (r.function) {
    case META_INTERSECTCLIPRECT: {
        const QRect rect = deviceRect(readRect(r, 0)).toRect();
        dc_.clip = dc_.clipped ? dc_.clip.intersected(rect) : QRegion(rect & whole);
        dc_.clipped = true;
        return true;
    }
    case META_EXCLUDECLIPRECT: {
        const QRect rect = deviceRect(readRect(r, 0)).toRect();
        dc_.clip = (dc_.clipped ? dc_.clip : QRegion(whole)).subtracted(rect);
        dc_.clipped = true;
        return true;
    }
    case META_OFFSETCLIPRGN: {
        const QTransform t = transform();
        dc_.clip.translate(qRound(r.w(1) * t.m11()), qRound(r.w(0) * t.m22()));
        return true;
    }
    case META_SELECTCLIPREGION:
        // Regions are not kept; selecting one (usually the null region) lifts the clip.
        dc_.clipped = false;
        dc_.clip = QRegion();
        return true;
    default:
        return false;
    }
}

QTransform Player::transform() const {
    const QSizeF out = target_.size();
    const QSizeF& we = dc_.windowExt;
    double kx = out.width() / we.width();
    double ky = out.height() / we.height();
    double ox = 0;
    double oy = 0;
    if (dc_.viewportExtSet && viewportExtSeen_) {
        // The first viewport the metafile sets stands for the whole image.
        const double ux = out.width() / viewportRefExt_.width();
        const double uy = out.height() / viewportRefExt_.height();
        kx = dc_.viewportExt.width() / we.width() * ux;
        ky = dc_.viewportExt.height() / we.height() * uy;
        ox = (dc_.viewportOrg.x() - viewportRefOrg_.x()) * ux;
        oy = (dc_.viewportOrg.y() - viewportRefOrg_.y()) * uy;
    } else {
        ox = (dc_.viewportOrg.x() - viewportRefOrg_.x()) * kx;
        oy = (dc_.viewportOrg.y() - viewportRefOrg_.y()) * ky;
    }
    return QTransform(kx, 0, 0, ky, ox - dc_.windowOrg.x() * kx, oy - dc_.windowOrg.y() * ky);
}

QRectF Player::deviceRect(const QRectF& logical) const {
    return transform().mapRect(logical.normalized());
}

void Player::applyClip() {
    if (dc_.clipped) {
        painter_.resetTransform();
        painter_.setClipRegion(dc_.clip);
    } else {
        painter_.setClipping(false);
    }
}

void Player::applyRop() {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (dc_.rop2) {
    case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_MASKPEN:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case R2_MERGEPEN:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case R2_NOTCOPYPEN:
        mode = QPainter::RasterOp_NotSource;
        break;
    default:
        break;
    }
    painter_.setCompositionMode(mode);
}

QPen Player::currentPen() const {
    const LogPen& p = dc_.pen;
    if (p.style == PS_NULL)
        return Qt::NoPen;
    QColor color = p.color;
    if (dc_.rop2 == R2_BLACK)
        color = Qt::black;
    else if (dc_.rop2 == R2_WHITE)
        color = Qt::white;
    const QTransform t = transform();
    const double scale = (std::abs(t.m11()) + std::abs(t.m22())) / 2;
    QPen pen(color);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (p.width * scale < 1.5) {
        // Thin pens are one device pixel, as the system draws them at any scale; only they
        // carry dash styles.
        pen.setWidth(0);
        pen.setCosmetic(true);
        static const Qt::PenStyle dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine};
        if (p.style >= PS_SOLID && p.style <= PS_DASHDOTDOT)
            pen.setStyle(dashes[p.style]);
    } else {
        pen.setWidthF(p.width);
    }
    return pen;
}

QBrush Player::currentBrush() const {
    const LogBrush& b = dc_.brush;
    QColor color = b.color;
    if (dc_.rop2 == R2_BLACK)
        color = Qt::black;
    else if (dc_.rop2 == R2_WHITE)
        color = Qt::white;
    switch (b.style) {
    case BS_SOLID:
        return QBrush(color);
    case BS_HATCHED: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                 Qt::FDiagPattern, Qt::BDiagPattern,
                                                 Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(color, b.hatch >= 0 && b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern);
    }
    case BS_DIBPATTERN:
    case BS_PATTERN:
        if (!b.pattern.isNull())
            return QBrush(b.pattern);
        return QBrush(color);
    default:
        return Qt::NoBrush;
    }
}

bool Player::spend(const QRectF& logicalBounds, qsizetype points) {
    // Filling costs the covered pixels; tracing the outline costs its length, also where
    // the shape lies far outside the picture.
    const QRectF device = deviceRect(logicalBounds);
    const QRectF area = device.intersected(QRectF(QPointF(), target_.size()));
    budget_ -= area.width() * area.height() + (device.width() + device.height()) * 20 +
               double(points) * 4 + 16;
    if (budget_ < 0)
        exhausted_ = true;
    return !exhausted_;
}

} // namespace platform::wmf
