#include "keystrokes.h"

namespace platform {

namespace {

bool readBraced(const QString& name, KeyStroke& k) {
    const QString upper = name.toUpper();
    if (upper.size() >= 2 && upper.front() == QLatin1Char('F')) {
        bool ok = false;
        const int n = upper.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12 && upper.mid(1) == QString::number(n)) {
            k.function = n;
            return true;
        }
    }
    if (upper == QLatin1String("ENTER"))
        k.named = KeyStroke::Named::Enter;
    else if (upper == QLatin1String("ESC"))
        k.named = KeyStroke::Named::Escape;
    else if (upper == QLatin1String("TAB"))
        k.named = KeyStroke::Named::Tab;
    else if (upper == QLatin1String("BS"))
        k.named = KeyStroke::Named::Backspace;
    else if (upper == QLatin1String("DEL"))
        k.named = KeyStroke::Named::Delete;
    else
        return false;
    return true;
}

} // namespace

std::optional<std::vector<KeyStroke>> parseKeyStrokes(const QString& keys) {
    std::vector<KeyStroke> strokes;
    KeyStroke next;
    bool pendingModifier = false;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == QLatin1Char('+') || c == QLatin1Char('^') || c == QLatin1Char('%')) {
            (c == QLatin1Char('+')   ? next.shift
             : c == QLatin1Char('^') ? next.control
                                     : next.alt) = true;
            pendingModifier = true;
            continue;
        }
        if (c == QLatin1Char('{')) {
            const qsizetype close = keys.indexOf(QLatin1Char('}'), i + 1);
            if (close < 0 || !readBraced(keys.mid(i + 1, close - i - 1), next))
                return std::nullopt;
            i = close;
        } else if (c == QLatin1Char('~')) {
            next.named = KeyStroke::Named::Enter;
        } else if (c.unicode() < 128 && c.isLetterOrNumber()) {
            next.character = c.toLower();
        } else {
            return std::nullopt;
        }
        strokes.push_back(next);
        next = KeyStroke{};
        pendingModifier = false;
    }
    if (pendingModifier)
        return std::nullopt;
    return strokes;
}

} // namespace platform
