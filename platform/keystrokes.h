#pragma once
// The key string of Programs::sendKeys, read into key strokes: "+" holds Shift, "^" Control
// and "%" Alt for the next key; "{F1}" to "{F12}", "{ENTER}", "{ESC}", "{TAB}", "{BS}" and
// "{DEL}" name keys; "~" is Enter; a letter or digit is that key (letters without Shift,
// so "F" is the F key as a menu's access key expects).

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace platform {

struct KeyStroke {
    enum class Named { None, Enter, Escape, Tab, Backspace, Delete };
    bool shift = false;
    bool control = false;
    bool alt = false;
    QChar character;  // a lower-case letter or a digit, when set
    int function = 0; // 1 to 12 for {F1} to {F12}
    Named named = Named::None;

    bool operator==(const KeyStroke&) const = default;
};

// Nothing when the string holds a key this reader does not know, or a modifier with no key
// after it: then no key at all is sent.
std::optional<std::vector<KeyStroke>> parseKeyStrokes(const QString& keys);

} // namespace platform
