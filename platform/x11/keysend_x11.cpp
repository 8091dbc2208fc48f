#include "keysend_x11.h"

#include <QThread>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

constexpr int kKeyGapMs = 15;

uint32_t keysymOf(const KeyStroke& k) {
    if (k.function)
        return 0xffbe + static_cast<uint32_t>(k.function - 1); // XK_F1 onwards
    switch (k.named) {
    case KeyStroke::Named::Enter:
        return 0xff0d;
    case KeyStroke::Named::Escape:
        return 0xff1b;
    case KeyStroke::Named::Tab:
        return 0xff09;
    case KeyStroke::Named::Backspace:
        return 0xff08;
    case KeyStroke::Named::Delete:
        return 0xffff;
    case KeyStroke::Named::None:
        break;
    }
    return k.character.unicode(); // Latin letters and digits: keysym = code point
}

constexpr uint32_t kShiftL = 0xffe1, kControlL = 0xffe3, kAltL = 0xffe9;

// The keyboard's keycode for each keysym, from the server's current mapping.
class KeyMap {
public:
    explicit KeyMap(xcb_connection_t* c) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        m_min = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        m_map = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, m_min, static_cast<uint8_t>(count)), nullptr);
    }
    ~KeyMap() { free(m_map); }
    KeyMap(const KeyMap&) = delete;
    KeyMap& operator=(const KeyMap&) = delete;

    xcb_keycode_t code(uint32_t keysym) const {
        if (!m_map || m_map->keysyms_per_keycode == 0)
            return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(m_map);
        const int n = xcb_get_keyboard_mapping_keysyms_length(m_map);
        for (int i = 0; i < n; ++i)
            if (syms[i] == keysym)
                return static_cast<xcb_keycode_t>(m_min + i / m_map->keysyms_per_keycode);
        return 0;
    }

private:
    xcb_keycode_t m_min = 0;
    xcb_get_keyboard_mapping_reply_t* m_map = nullptr;
};

} // namespace

Result typeKeyStrokes(xcb_connection_t* c, const std::vector<KeyStroke>& strokes) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_test_id);
    if (!ext || !ext->present)
        return Result::failure(Error::Unsupported, QStringLiteral("no XTest"));
    const KeyMap map(c);
    // Every key must be on the keyboard before any is sent.
    for (const KeyStroke& k : strokes)
        if (!map.code(keysymOf(k)))
            return Result::failure(Error::Unsupported, QStringLiteral("key not on the keyboard"));

    auto fake = [c](uint8_t type, xcb_keycode_t code) {
        xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    };
    for (const KeyStroke& k : strokes) {
        std::vector<xcb_keycode_t> mods;
        if (k.shift)
            mods.push_back(map.code(kShiftL));
        if (k.control)
            mods.push_back(map.code(kControlL));
        if (k.alt)
            mods.push_back(map.code(kAltL));
        mods.erase(std::remove(mods.begin(), mods.end(), 0), mods.end());
        for (xcb_keycode_t m : mods)
            fake(XCB_KEY_PRESS, m);
        const xcb_keycode_t code = map.code(keysymOf(k));
        fake(XCB_KEY_PRESS, code);
        fake(XCB_KEY_RELEASE, code);
        for (auto it = mods.rbegin(); it != mods.rend(); ++it)
            fake(XCB_KEY_RELEASE, *it);
        xcb_flush(c);
        // A little time between keys, as typing gives: a menu that one key opens is then
        // up before the next key comes.
        QThread::msleep(kKeyGapMs);
    }
    return Result::success();
}

} // namespace platform
