#pragma once
// Text of the metafile: strings in the code page of their font's character set, and the
// fonts they are drawn in.

#include "wmfdc.h"

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QPolygonF>
#include <QString>

namespace platform::wmf {

enum Charset { ANSI_CHARSET = 0, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128 };

// Decodes bytes written in the code page of a font character set (SHIFTJIS is CP932).
QString decodeAnsi(const QByteArray& bytes, int charset);
// Byte length of each character of bytes: two for the lead byte of a double-byte code page.
QList<int> characterLengths(const QByteArray& bytes, int charset);
// The font for a logical font at an em height and average character width in pixels (a
// width of zero keeps the font's own proportions).
QFont makeFont(const LogFont& font, double emPixels, double widthPixels);
// The em height in pixels of a logical font whose units are ky pixels: a negative height is
// the character height, a positive one the cell height (ascent and descent); zero gives
// fallback.
double fontEmPixels(const LogFont& font, double ky, double fallback);
// The corners of the box a string covers, in logical units of one pixel: its advance (from
// the spacing array when there is one, else from the font and the character extra) and the
// font's ascent and descent, placed by the text alignment and turned by the font's
// escapement about ref. Empty for a font too large to measure.
QPolygonF textOutline(const LogFont& font, int textAlign, int charExtra, QPointF ref,
                      const QByteArray& text, const QList<int>& dx);

} // namespace platform::wmf
