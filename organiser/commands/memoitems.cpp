#include "memoitems.h"

namespace tarvo {

namespace {

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Consumes one line end at pos (CR LF counts as one) and returns the new position.
qsizetype skipLineEnd(const QString& s, qsizetype pos) {
    if (pos < s.size() && s[pos] == QLatin1Char('\r')) {
        ++pos;
        if (pos < s.size() && s[pos] == QLatin1Char('\n'))
            ++pos;
        return pos;
    }
    if (pos < s.size() && s[pos] == QLatin1Char('\n'))
        ++pos;
    return pos;
}

} // namespace

std::optional<QStringList> parseMemoItems(const QString& s) {
    QStringList items;
    qsizetype pos = 0;
    const qsizetype n = s.size();
    while (pos < n) {
        QString item;
        if (s[pos] == QLatin1Char('"')) {
            const qsizetype close = s.indexOf(QLatin1Char('"'), pos + 1);
            if (close < 0)
                return std::nullopt;
            item = s.mid(pos + 1, close - pos - 1);
            pos = close + 1;
            // Text between the closing quote and the separator stays with the item rather
            // than being lost.
            while (pos < n && s[pos] != QLatin1Char(',') && !isLineEnd(s[pos]))
                item += s[pos++];
        } else {
            while (pos < n && s[pos] != QLatin1Char(',') && !isLineEnd(s[pos]))
                item += s[pos++];
        }
        items << item;
        if (pos < n && s[pos] == QLatin1Char(',')) {
            ++pos;
            // A comma right before a line end or the end of the file leaves an empty item.
            if (pos >= n) {
                items << QString();
            }
        } else {
            pos = skipLineEnd(s, pos);
        }
    }
    return items;
}

std::optional<QString> memoTextFromFile(const QString& content) {
    const std::optional<QStringList> items = parseMemoItems(content);
    if (!items)
        return std::nullopt;
    QString text;
    for (const QString& item : *items)
        text += item + QStringLiteral("\r\n");
    return text;
}

QString memoNameFor(const QString& pictureName) {
    const qsizetype dot = pictureName.indexOf(QLatin1Char('.'));
    return pictureName.left(dot < 0 ? 0 : dot + 1) + QStringLiteral("TXT");
}

} // namespace tarvo
