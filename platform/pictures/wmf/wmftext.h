#pragma once
// Text of the metafile: strings in the code page of their font's character set, and the
// fonts they are drawn in.

#include "wmfdc.h"

#include <QByteArray>
#include <QFont>
#include <QList>
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

} // namespace platform::wmf
