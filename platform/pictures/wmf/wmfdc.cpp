#include "wmfdc.h"

#include "wmftext.h"

namespace platform::wmf {

void ObjectTable::add(GdiObject object) {
    for (auto& slot : slots_) {
        if (!slot) {
            slot = std::move(object);
            return;
        }
    }
}

const GdiObject* ObjectTable::at(int index) const {
    if (index < 0 || size_t(index) >= slots_.size() || !slots_[size_t(index)])
        return nullptr;
    return &*slots_[size_t(index)];
}

void ObjectTable::remove(int index) {
    if (index >= 0 && size_t(index) < slots_.size())
        slots_[size_t(index)].reset();
}

QColor readColor(const Record& r, qsizetype at, const LogPalette& palette) {
    const quint32 ref = r.u32(at);
    if ((ref >> 24) == 1) { // PALETTEINDEX
        const int index = int(ref & 0xFFFF);
        return index < palette.colors.size() ? palette.colors[index] : QColor(Qt::black);
    }
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

LogPen readPen(const Record& r, const LogPalette& palette) {
    LogPen pen;
    pen.style = r.u16(0) & 0x0F;
    pen.width = qAbs(r.i16(2));
    pen.color = readColor(r, 6, palette);
    return pen;
}

LogBrush readBrush(const Record& r, const LogPalette& palette) {
    LogBrush brush;
    brush.style = r.u16(0);
    brush.color = readColor(r, 2, palette);
    brush.hatch = r.u16(6);
    return brush;
}

LogFont readFont(const Record& r) {
    LogFont font;
    font.height = r.i16(0);
    font.width = r.i16(2);
    font.escapement = r.i16(4);
    font.weight = r.i16(8);
    font.italic = r.has(11) && r.params[10];
    font.underline = r.has(12) && r.params[11];
    font.strikeout = r.has(13) && r.params[12];
    font.charset = r.has(14) ? r.params[13] : 0;
    QByteArray face;
    for (qsizetype k = 18; k < r.size && k < 18 + 32 && r.params[k]; ++k)
        face.append(char(r.params[k]));
    font.face = decodeAnsi(face, font.charset);
    return font;
}

LogPalette readPalette(const Record& r) {
    LogPalette palette;
    const int count = qMin<int>(r.u16(2), int((r.size - 4) / 4));
    for (int k = 0; k < count; ++k) {
        const qsizetype at = 4 + qsizetype(k) * 4;
        palette.colors.append(QColor(r.params[at], r.params[at + 1], r.params[at + 2]));
    }
    return palette;
}

} // namespace platform::wmf
