// Other programs' windows on X11: found by caption through the window manager's client list
// (_NET_CLIENT_LIST, _NET_WM_NAME) or, with no window manager, the window tree and WM_NAME;
// activated with _NET_ACTIVE_WINDOW or by raising and focusing; keys sent with XTest.
// Whether X11 is there is decided at run time: on another Qt platform (offscreen tests,
// Wayland) every window operation fails with Error::Unsupported.

#include "keysend_x11.h"
#include "keystrokes.h"
#include "programlookup.h"
#include "programs.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {

namespace {

// How long the organiser waits for another program's window or the window manager.
constexpr int kFocusWaitMs = 1000;
constexpr int kGoneWaitMs = 2000;
constexpr int kPollMs = 10;

constexpr uint32_t kIconicState = 3; // ICCCM WM_STATE

template <typename T> using Reply = std::unique_ptr<T, decltype(&free)>;
template <typename T> Reply<T> reply(T* r) {
    return Reply<T>(r, &free);
}

// The X connection of the running Qt application and the atoms in use. Made per call: the
// atoms are cached by xcb and the window manager may come and go.
class X11 {
public:
    explicit X11(xcb_connection_t* c) : m_c(c) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(c, &m_ewmh);
        m_ewmhOk = xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr) != 0;
        auto r = reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 8, "WM_STATE"), nullptr));
        m_wmState = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    ~X11() {
        if (m_ewmhOk)
            xcb_ewmh_connection_wipe(&m_ewmh);
    }
    X11(const X11&) = delete;
    X11& operator=(const X11&) = delete;

    bool ok() const { return m_ewmhOk; }
    xcb_connection_t* c() const { return m_c; }

    // True when an EWMH window manager runs (its check window points at itself).
    bool hasWindowManager() {
        xcb_window_t w = XCB_NONE;
        if (!xcb_ewmh_get_supporting_wm_check_reply(
                &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, m_root), &w, nullptr))
            return false;
        xcb_window_t self = XCB_NONE;
        return xcb_ewmh_get_supporting_wm_check_reply(
                   &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, w), &self, nullptr) &&
               self == w;
    }

    // Top-level client windows, topmost first.
    std::vector<xcb_window_t> clients(bool wm) {
        std::vector<xcb_window_t> out;
        if (wm) {
            xcb_ewmh_get_windows_reply_t list;
            if (xcb_ewmh_get_client_list_stacking_reply(
                    &m_ewmh, xcb_ewmh_get_client_list_stacking(&m_ewmh, 0), &list, nullptr) ||
                xcb_ewmh_get_client_list_reply(&m_ewmh, xcb_ewmh_get_client_list(&m_ewmh, 0), &list,
                                               nullptr)) {
                out.assign(list.windows, list.windows + list.windows_len);
                xcb_ewmh_get_windows_reply_wipe(&list);
                std::reverse(out.begin(), out.end());
            }
            if (!out.empty())
                return out;
        }
        // No client list: the viewable children of the root, or the client inside a frame.
        const std::vector<xcb_window_t> tops = children(m_root);
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
            if (!viewable(*it))
                continue;
            if (!caption(*it).isEmpty() || hasWmState(*it)) {
                out.push_back(*it);
                continue;
            }
            for (xcb_window_t inner : children(*it))
                if (hasWmState(inner))
                    out.push_back(inner);
        }
        return out;
    }

    QString caption(xcb_window_t w) {
        xcb_ewmh_get_utf8_strings_reply_t name;
        if (xcb_ewmh_get_wm_name_reply(&m_ewmh, xcb_ewmh_get_wm_name(&m_ewmh, w), &name, nullptr)) {
            QString s = QString::fromUtf8(name.strings, static_cast<qsizetype>(name.strings_len));
            xcb_ewmh_get_utf8_strings_reply_wipe(&name);
            return s;
        }
        xcb_icccm_get_text_property_reply_t text;
        if (!xcb_icccm_get_wm_name_reply(m_c, xcb_icccm_get_wm_name(m_c, w), &text, nullptr))
            return {};
        const auto len = static_cast<qsizetype>(text.name_len);
        QString s = text.encoding == m_ewmh.UTF8_STRING ? QString::fromUtf8(text.name, len)
                                                        : QString::fromLatin1(text.name, len);
        xcb_icccm_get_text_property_reply_wipe(&text);
        return s;
    }

    // The window captioned exactly caption, else the first whose caption begins with it.
    xcb_window_t find(const QString& caption, bool wm) {
        xcb_window_t prefix = XCB_NONE;
        for (xcb_window_t w : clients(wm)) {
            const QString name = this->caption(w);
            if (name == caption)
                return w;
            if (prefix == XCB_NONE && name.startsWith(caption))
                prefix = w;
        }
        return prefix;
    }

    bool minimised(xcb_window_t w) {
        xcb_ewmh_get_atoms_reply_t states;
        if (xcb_ewmh_get_wm_state_reply(&m_ewmh, xcb_ewmh_get_wm_state(&m_ewmh, w), &states,
                                        nullptr)) {
            const bool hidden =
                std::find(states.atoms, states.atoms + states.atoms_len,
                          m_ewmh._NET_WM_STATE_HIDDEN) != states.atoms + states.atoms_len;
            xcb_ewmh_get_atoms_reply_wipe(&states);
            if (hidden)
                return true;
        }
        if (m_wmState == XCB_ATOM_NONE)
            return false;
        auto r = reply(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, m_wmState, m_wmState, 0, 2), nullptr));
        if (!r || xcb_get_property_value_length(r.get()) < 4)
            return false;
        return *static_cast<const uint32_t*>(xcb_get_property_value(r.get())) == kIconicState;
    }

    void requestActivation(xcb_window_t w, bool wm) {
        if (wm) {
            // Source "pager": a request on the user's behalf, which window managers obey
            // without their focus-stealing rules.
            xcb_ewmh_request_change_active_window(&m_ewmh, 0, w, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                                  XCB_CURRENT_TIME, XCB_NONE);
        } else {
            const uint32_t above = XCB_STACK_MODE_ABOVE;
            xcb_configure_window(m_c, w, XCB_CONFIG_WINDOW_STACK_MODE, &above);
            xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
        }
        xcb_flush(m_c);
    }

    // The focus window and its ancestors up to the root.
    std::vector<xcb_window_t> focusChain() {
        std::vector<xcb_window_t> chain;
        auto f = reply(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        if (!f || f->focus == XCB_NONE || f->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
            return chain;
        xcb_window_t w = f->focus;
        for (int depth = 0; depth < 32 && w != XCB_NONE && w != m_root; ++depth) {
            chain.push_back(w);
            auto t = reply(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), nullptr));
            if (!t)
                break;
            w = t->parent;
        }
        return chain;
    }

    bool focusWithin(const std::vector<xcb_window_t>& windows) {
        const std::vector<xcb_window_t> chain = focusChain();
        return std::any_of(chain.begin(), chain.end(), [&](xcb_window_t w) {
            return std::find(windows.begin(), windows.end(), w) != windows.end();
        });
    }

    // Gone: destroyed or no longer mapped.
    bool exists(xcb_window_t w) {
        auto a =
            reply(xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr));
        return a && a->map_state != XCB_MAP_STATE_UNMAPPED;
    }

    void map(xcb_window_t w) {
        xcb_map_window(m_c, w);
        xcb_flush(m_c);
    }

    void roundTrip() { free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

private:
    std::vector<xcb_window_t> children(xcb_window_t w) {
        auto t = reply(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), nullptr));
        if (!t)
            return {};
        const xcb_window_t* kids = xcb_query_tree_children(t.get());
        return {kids, kids + xcb_query_tree_children_length(t.get())};
    }
    bool viewable(xcb_window_t w) {
        auto a =
            reply(xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    bool hasWmState(xcb_window_t w) {
        if (m_wmState == XCB_ATOM_NONE)
            return false;
        auto r = reply(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, m_wmState, m_wmState, 0, 0), nullptr));
        return r && r->type == m_wmState;
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root = XCB_NONE;
    xcb_ewmh_connection_t m_ewmh{};
    bool m_ewmhOk = false;
    xcb_atom_t m_wmState = XCB_ATOM_NONE;
};

// The Qt application's own X connection, or null when Qt does not run on X11.
xcb_connection_t* qtConnection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::vector<xcb_window_t> ownWindows() {
    std::vector<xcb_window_t> ids;
    const QWindowList windows = QGuiApplication::allWindows();
    for (QWindow* w : windows)
        if (w->handle())
            ids.push_back(static_cast<xcb_window_t>(w->winId()));
    return ids;
}

// Polls until done() holds or ms have passed; true when it held.
template <typename F> bool waitFor(int ms, F done) {
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (done())
            return true;
        if (t.elapsed() >= ms)
            return false;
        QThread::msleep(kPollMs);
    }
}

class X11Programs : public Programs {
public:
    Result start(const QString& name, WindowStyle style) override {
        return startProgram(name, style);
    }

    QStringList searchPaths(const QString& name) override { return programSearchPaths(name); }

    Result activate(const QString& caption, bool wait) override {
        return activateWindow(caption, wait, false);
    }

    Result restore(const QString& caption) override { return activateWindow(caption, false, true); }

    Result sendKeys(const QString& keys, bool wait) override {
        const auto strokes = parseKeyStrokes(keys);
        if (!strokes)
            return Result::failure(Error::Unsupported, keys);
        xcb_connection_t* c = qtConnection();
        if (!c)
            return Result::failure(Error::Unsupported, QStringLiteral("no X11 display"));
        X11 x(c);
        // Keys meant for a window left minimised would reach whichever window has the
        // focus, quite possibly our own: send none.
        if (m_minimisedTarget != XCB_NONE && !x.focusWithin({m_minimisedTarget}))
            return Result::failure(Error::Busy, QStringLiteral("the window is minimised"));
        const std::vector<xcb_window_t> target = x.focusChain();
        if (Result typed = typeKeyStrokes(c, *strokes); !typed)
            return typed;
        x.roundTrip(); // the server has taken every key
        if (wait && !target.empty()) {
            // Processed: the window they went to has acted on them, which for the closing
            // keys means it is gone. Bounded, since other keys need not close anything.
            const xcb_window_t top = target.back();
            waitFor(kGoneWaitMs, [&] { return !x.exists(top); });
        }
        return Result::success();
    }

private:
    Result activateWindow(const QString& caption, bool wait, bool restoreMinimised) {
        xcb_connection_t* c = qtConnection();
        if (!c)
            return Result::failure(Error::Unsupported, QStringLiteral("no X11 display"));
        X11 x(c);
        if (!x.ok())
            return Result::failure(Error::Unsupported, QStringLiteral("no X11 display"));
        m_minimisedTarget = XCB_NONE;
        if (wait) {
            // Give the click that started this its chance to bring our own window forward;
            // going on without it is harmless.
            const std::vector<xcb_window_t> own = ownWindows();
            waitFor(kFocusWaitMs, [&] { return x.focusWithin(own); });
        }
        const bool wm = x.hasWindowManager();
        const xcb_window_t w = x.find(caption, wm);
        if (w == XCB_NONE)
            return Result::failure(Error::NotFound, caption);
        if (x.minimised(w)) {
            if (!restoreMinimised) {
                // The one asked for, but it stays as it is: activating through the window
                // manager would restore it.
                m_minimisedTarget = w;
                return Result::success();
            }
            // The window manager restores an iconic window it is asked to activate; without
            // one, mapping the window again is what restores it.
            if (!wm)
                x.map(w);
        }
        x.requestActivation(w, wm);
        // Keys sent next must reach that window, so the activation has to have happened.
        if (!waitFor(kFocusWaitMs, [&] { return x.focusWithin({w}); }))
            return Result::failure(Error::Busy, caption);
        return Result::success();
    }

    // The window the last activation found minimised and left so.
    xcb_window_t m_minimisedTarget = XCB_NONE;
};

} // namespace

Programs& systemPrograms() {
    static X11Programs programs;
    return programs;
}

QString paintMissingMessage() {
    return installPaintMessage();
}

} // namespace platform
