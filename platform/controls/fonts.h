#pragma once
// The Windows fonts the windows are designed with, mapped to installed Japanese fonts:
// "ＭＳ ゴシック" to IPAGothic and "ＭＳ Ｐゴシック" to IPAPGothic.

#include <QFont>
#include <QString>

namespace platform {

inline const QString kMsGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");

// Registers the substitutions once per process; call after the application object exists.
void installFontSubstitutions();
QFont designFont(const QString& family, double pointSize, bool bold = false);

} // namespace platform
