// Fonts and the text records.
#include "wmftext.h"

#include "wmfplayer.h"

#include <QFontMetricsF>
#include <QTransform>
#include <cmath>

namespace platform::wmf {

namespace {

enum TextAlign { TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum TextOptions { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_PDY = 0x2000 };

// Installed fonts that stand in for the Windows Japanese faces, tried after the face's own
// name (which the application's font substitutions may already map).
QStringList familiesFor(const LogFont& f) {
    QStringList families{f.face};
    const QString face = f.face.toLower();
    const bool japanese = f.charset == SHIFTJIS_CHARSET || face.contains(u"ゴシック") ||
                          face.contains(u"明朝") || face.contains(u"gothic") ||
                          face.contains(u"mincho");
    if (japanese) {
        const bool proportional =
            face.contains(u"ｐ") || face.contains(u"ms p") || face.contains(u"ms ui");
        const bool mincho = face.contains(u"明朝") || face.contains(u"mincho");
        if (mincho)
            families << (proportional ? QStringLiteral("IPAPMincho") : QStringLiteral("IPAMincho"));
        families << (proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic"));
    }
    return families;
}

} // namespace

QFont makeFont(const LogFont& f, double emPixels, double widthPixels) {
    QFont font;
    font.setFamilies(familiesFor(f));
    font.setPixelSize(qMax(1, int(std::lround(emPixels))));
    const int weight = f.weight <= 0 ? 400 : qBound(100, f.weight, 900);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    if (widthPixels > 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        if (average > 0)
            font.setStretch(qBound(1, int(std::lround(widthPixels / average * 100)), 4000));
    }
    return font;
}

double fontEmPixels(const LogFont& f, double ky, double fallback) {
    if (f.height < 0)
        return -f.height * ky;
    if (f.height > 0) {
        const QFontMetricsF fm(makeFont(f, 100, 0));
        return f.height * ky * 100 / qMax(1.0, fm.ascent() + fm.descent());
    }
    return fallback;
}

QPolygonF textOutline(const LogFont& f, int textAlign, int charExtra, QPointF ref,
                      const QByteArray& text, const QList<int>& dx) {
    const double em = fontEmPixels(f, 1, 12);
    if (!(em > 0) || em > 32768)
        return {};
    QFont font = makeFont(f, em, qMin(std::abs(f.width), 32768));
    if (charExtra && dx.isEmpty())
        font.setLetterSpacing(QFont::AbsoluteSpacing, charExtra);
    const QFontMetricsF fm(font);
    double width = 0;
    if (!dx.isEmpty()) {
        for (int advance : dx)
            width += advance;
    } else {
        width = fm.horizontalAdvance(decodeAnsi(text, f.charset));
    }
    double x = 0;
    if ((textAlign & TA_CENTER) == TA_CENTER)
        x = -width / 2;
    else if (textAlign & TA_RIGHT)
        x = -width;
    double baseline = fm.ascent();
    if ((textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (textAlign & TA_BOTTOM)
        baseline = -fm.descent();
    const QRectF box(x, baseline - fm.ascent(), width, fm.ascent() + fm.descent());
    QTransform turn;
    turn.translate(ref.x(), ref.y());
    turn.rotate(-f.escapement / 10.0);
    return turn.map(QPolygonF(box));
}

void Player::drawText(QPointF ref, const QByteArray& text, const QList<int>& dx, int options,
                      const QRectF& rect) {
    const QTransform t = transform();
    const double kx = std::abs(t.m11());
    const double ky = std::abs(t.m22());
    const LogFont& lf = dc_.font;
    const bool updateCp = dc_.textAlign & TA_UPDATECP;
    if (updateCp)
        ref = dc_.position;

    // Height: negative is the character (em) height, positive the cell height; nothing
    // states a default, so zero is taken as twelve pixels of the picture's natural size.
    const double em =
        fontEmPixels(lf, ky, 12.0 * target_.height() * 15 / qMax(1.0, layout_.twips.height()));
    // Glyphs many times the picture's size show nothing recognisable and are slow to make.
    const int side = qMax(target_.width(), target_.height());
    if (!(em > 0) || em > 4.0 * side + 64)
        return;
    QFont font = makeFont(lf, em, qMin(std::abs(lf.width) * kx, 8.0 * side + 64));
    if (dc_.charExtra && dx.isEmpty())
        font.setLetterSpacing(QFont::AbsoluteSpacing, dc_.charExtra * kx);
    const QFontMetricsF fm(font);

    // Characters and their advances: from the spacing array when there is one (one entry
    // per byte, so a double-byte character takes the sum of two), else from the font.
    QStringList chars;
    QList<double> advances;
    double width = 0;
    if (!dx.isEmpty()) {
        qsizetype pos = 0;
        for (int len : characterLengths(text, lf.charset)) {
            chars << decodeAnsi(text.mid(pos, len), lf.charset);
            double advance = 0;
            for (int k = 0; k < len && pos + k < dx.size(); ++k)
                advance += dx[pos + k];
            advances << advance * kx;
            width += advance * kx;
            pos += len;
        }
    } else {
        chars << decodeAnsi(text, lf.charset);
        width = fm.horizontalAdvance(chars.front());
    }
    if (!spend(t.inverted().mapRect(QRectF(t.map(ref), QSizeF(width, fm.height()))),
               text.size() * 16 + 2000))
        return;

    applyClip();
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRectF box = deviceRect(rect);
    if (options & ETO_OPAQUE)
        painter_.fillRect(box, dc_.bkColor);
    if (options & ETO_CLIPPED)
        painter_.setClipRect(box, dc_.clipped ? Qt::IntersectClip : Qt::ReplaceClip);

    painter_.translate(t.map(ref));
    painter_.rotate(-lf.escapement / 10.0);
    double x = 0;
    if ((dc_.textAlign & TA_CENTER) == TA_CENTER)
        x = -width / 2;
    else if (dc_.textAlign & TA_RIGHT)
        x = -width;
    double baseline = fm.ascent();
    if ((dc_.textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (dc_.textAlign & TA_BOTTOM)
        baseline = -fm.descent();
    if (dc_.bkMode == OPAQUE && !(options & ETO_OPAQUE))
        painter_.fillRect(QRectF(x, baseline - fm.ascent(), width, fm.ascent() + fm.descent()),
                          dc_.bkColor);
    painter_.setFont(font);
    painter_.setPen(dc_.textColor);
    if (advances.isEmpty()) {
        painter_.drawText(QPointF(x, baseline), chars.front());
    } else {
        for (qsizetype k = 0; k < chars.size(); ++k) {
            painter_.drawText(QPointF(x, baseline), chars[k]);
            x += advances[k];
        }
    }
    painter_.resetTransform();
    if (updateCp)
        dc_.position.rx() += width / qMax(kx, 1e-9);
}

bool Player::textRecord(const Record& r) {
    switch (r.function) {
    case META_TEXTOUT: {
        const qsizetype count = qMin<qsizetype>(r.u16(0), qMax<qsizetype>(0, r.size - 2));
        const QByteArray text(reinterpret_cast<const char*>(r.params + 2), count);
        const qsizetype at = 2 + ((count + 1) & ~qsizetype(1));
        drawText(QPointF(r.i16(at + 2), r.i16(at)), text, {}, 0, {});
        return true;
    }
    case META_EXTTEXTOUT: {
        const QPointF ref(r.w(1), r.w(0));
        const int options = r.u16(6);
        if (options & ETO_GLYPH_INDEX) // glyph numbers of a font we do not have
            return true;
        qsizetype at = 8;
        QRectF rect;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            rect = QRectF(QPointF(r.i16(8), r.i16(10)), QPointF(r.i16(12), r.i16(14)));
            at = 16;
        }
        const qsizetype count = qMin<qsizetype>(r.u16(4), qMax<qsizetype>(0, r.size - at));
        const QByteArray text(reinterpret_cast<const char*>(r.params + at), count);
        at += (count + 1) & ~qsizetype(1);
        QList<int> dx;
        const int step = (options & ETO_PDY) ? 4 : 2;
        if (count > 0 && r.has(at + count * step)) {
            dx.reserve(count);
            for (qsizetype k = 0; k < count; ++k)
                dx.append(r.i16(at + k * step));
        }
        drawText(ref, text, dx, options, rect);
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform::wmf
