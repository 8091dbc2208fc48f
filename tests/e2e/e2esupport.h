#pragma once
// What the end-to-end tests share: the built programs; other programs' windows found on the X
// display and driven with XTest, as a user's pointer would, over a connection of this
// process's own; and waits that keep serving this process's events (it may own the clipboard).

#include "support/testfolder.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <cstring>
#include <optional>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace e2e {

inline const QString kBin = QStringLiteral(TARVO_BIN_DIR);
inline const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");

template <typename F> bool eventually(F done, int ms = 8000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(50);
    }
    return true;
}

namespace x {

inline xcb_connection_t* c() {
    static xcb_connection_t* const conn = xcb_connect(nullptr, nullptr);
    return conn;
}
inline xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(c())).data->root;
}
// A round trip: the server has dealt with everything sent before.
inline void sync() {
    free(xcb_get_input_focus_reply(c(), xcb_get_input_focus(c()), nullptr));
}
inline xcb_atom_t atom(const char* name) {
    auto* r = xcb_intern_atom_reply(
        c(), xcb_intern_atom(c(), 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return a;
}
inline QByteArray property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
    auto* r =
        xcb_get_property_reply(c(), xcb_get_property(c(), 0, w, prop, type, 0, 4096), nullptr);
    QByteArray out;
    if (r && r->type != XCB_ATOM_NONE)
        out = QByteArray(static_cast<const char*>(xcb_get_property_value(r)),
                         xcb_get_property_value_length(r));
    free(r);
    return out;
}
inline QString caption(xcb_window_t w) {
    const QByteArray net = property(w, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    return QString::fromUtf8(net.isEmpty() ? property(w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY) : net);
}
// The windows the window manager manages, shown or minimised, topmost first.
inline std::vector<xcb_window_t> managed() {
    const QByteArray list = property(root(), atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    std::vector<xcb_window_t> out(size_t(list.size()) / 4);
    std::memcpy(out.data(), list.constData(), out.size() * 4);
    return {out.rbegin(), out.rend()};
}
inline void fake(uint8_t type, uint8_t button, QPoint at = {}) {
    xcb_test_fake_input(c(), type, button, XCB_CURRENT_TIME,
                        type == XCB_MOTION_NOTIFY ? root() : xcb_window_t{XCB_NONE},
                        static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), 0);
    xcb_flush(c());
}

} // namespace x

// The managed windows captioned exactly caption, else those whose caption begins with it.
inline std::vector<xcb_window_t> windowsCalled(const QString& caption, bool exactOnly = false) {
    std::vector<xcb_window_t> exact, prefix;
    for (xcb_window_t w : x::managed())
        if (const QString name = x::caption(w); name.startsWith(caption))
            (name == caption ? exact : prefix).push_back(w);
    return exact.empty() && !exactOnly ? prefix : exact;
}

struct Found {
    xcb_window_t id = 0;
    QRect rect; // client area in screen coordinates
};

inline std::optional<Found> findWindow(const QString& caption) {
    const auto found = windowsCalled(caption);
    if (found.empty())
        return std::nullopt;
    const xcb_window_t w = found.front();
    auto* g = xcb_get_geometry_reply(x::c(), xcb_get_geometry(x::c(), w), nullptr);
    auto* t = xcb_translate_coordinates_reply(
        x::c(), xcb_translate_coordinates(x::c(), w, x::root(), 0, 0), nullptr);
    std::optional<Found> out;
    if (g && t)
        out = Found{w, QRect(t->dst_x, t->dst_y, g->width, g->height)};
    free(g);
    free(t);
    return out;
}

// Exactly one shown window has exactly this caption.
inline bool shown(const QString& caption) {
    return windowsCalled(caption, true).size() == 1;
}

inline bool iconic(const QString& caption) {
    const auto found = windowsCalled(caption);
    const QByteArray s = found.empty()
                             ? QByteArray()
                             : x::property(found.front(), x::atom("WM_STATE"), x::atom("WM_STATE"));
    return s.size() >= 4 && qFromUnaligned<quint32>(s.constData()) == 3; // IconicState
}

// The caption of the window the window manager has made active.
inline QString activeCaption() {
    const QByteArray w = x::property(x::root(), x::atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return w.size() == 4 ? x::caption(qFromUnaligned<xcb_window_t>(w.constData())) : QString();
}

// Presses the first button at from, moves the pointer there in steps and lets go (a click
// when to is from).
inline void drag(QPoint from, QPoint to) {
    x::fake(XCB_MOTION_NOTIFY, 0, from);
    QThread::msleep(50);
    x::fake(XCB_BUTTON_PRESS, 1);
    if (to != from) {
        QThread::msleep(50);
        for (int k = 1; k <= 10; ++k) {
            x::fake(XCB_MOTION_NOTIFY, 0, from + (to - from) * k / 10);
            QThread::msleep(20);
        }
        QThread::msleep(50);
    }
    x::fake(XCB_BUTTON_RELEASE, 1);
    x::sync();
}

// Asks the window to close, as its close box does (WM_DELETE_WINDOW).
inline void closeWindow(const QString& caption) {
    const auto found = windowsCalled(caption);
    if (found.empty())
        return;
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = found.front();
    ev.type = x::atom("WM_PROTOCOLS");
    ev.data.data32[0] = x::atom("WM_DELETE_WINDOW");
    xcb_send_event(x::c(), 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<char*>(&ev));
    x::sync();
}

// The client area of the window captioned exactly caption once the window manager has placed
// it for good (the same in three looks 100 ms apart); nothing when it is not shown.
inline std::optional<QRect> settled(const QString& caption) {
    std::optional<QRect> last;
    int same = 0;
    eventually([&] {
        QTest::qWait(100);
        const auto now = shown(caption) ? findWindow(caption) : std::nullopt;
        same = now && last && now->rect == *last ? same + 1 : 0;
        last = now ? std::optional<QRect>(now->rect) : std::nullopt;
        return same >= 2;
    });
    return same >= 2 ? last : std::nullopt;
}

// Clicks the middle of a control placed at left, top, width, height twips in the lowest
// formHeight pixels of the client area of the window captioned caption (a menu bar may be
// above them); the organiser's main form is 344 pixels high.
inline bool clickIn(const QString& caption, int formHeight, int left, int top, int width,
                    int height) {
    const auto w = findWindow(caption);
    if (w) {
        const QPoint at(w->rect.left() + (left + width / 2) / 15,
                        w->rect.bottom() + 1 - formHeight + (top + height / 2) / 15);
        drag(at, at);
    }
    return w.has_value();
}
inline bool clickMain(int left, int top, int width, int height) {
    return clickIn(kOrganiser, 344, left, top, width, height);
}

// One of the built programs, started in a folder; QProcess kills it at the end if still running.
struct Program {
    QProcess process;
    // Starts it and waits until its window captioned caption is placed.
    bool start(const QString& name, const QString& folder, const QString& caption = kOrganiser) {
        process.setWorkingDirectory(folder);
        process.start(kBin + QLatin1Char('/') + name, {});
        return process.waitForStarted(10000) && settled(caption).has_value();
    }
};

// Waits until the names of the folder's files have not changed for a second (at most 10 s)
// and answers them: whoever was writing there has stopped.
inline QStringList settledNames(const testing_support::TestFolder& folder) {
    QStringList last = folder.names();
    QElapsedTimer still, total;
    still.start();
    total.start();
    while (still.elapsed() < 1000 && total.elapsed() < 10000) {
        QTest::qWait(100);
        if (const QStringList now = folder.names(); now != last) {
            last = now;
            still.restart();
        }
    }
    return last;
}

} // namespace e2e
