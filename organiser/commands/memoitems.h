#pragma once
// The memo file's item syntax. Items are separated by commas and line ends (CR LF, a lone
// LF as written on Linux, or a lone CR). An unquoted item runs to the next comma or line
// end; an item that begins with a double quote runs to the next double quote, may hold
// commas and line ends, and loses its quotes. Blanks are kept. Nothing when a quote is
// never closed.

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvo {

std::optional<QStringList> parseMemoItems(const QString& content);
// The memo text shown for a memo file: every item followed by CR LF.
std::optional<QString> memoTextFromFile(const QString& content);
// The memo name of a picture: its name up to and including the first ".", then "TXT".
// sea.jpg → sea.TXT, a.b.jpg → a.TXT, README → TXT.
QString memoNameFor(const QString& pictureName);

} // namespace tarvo
