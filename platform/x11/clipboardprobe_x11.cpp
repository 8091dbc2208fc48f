// Asks the CLIPBOARD owner for its list of formats (TARGETS) on a connection of our own and
// waits a bounded time for the answer. The property that receives the answer is deleted again.

#include "platform/clipboardprobe.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <xcb/xcb.h>

namespace platform::detail {
namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

struct Probe {
    xcb_connection_t* conn = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t clipboard = 0, targets = 0, property = 0;

    bool open() {
        if (conn)
            return !xcb_connection_has_error(conn);
        conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn))
            return false;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
        window = xcb_generate_id(conn);
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        clipboard = internAtom(conn, "CLIPBOARD");
        targets = internAtom(conn, "TARGETS");
        property = internAtom(conn, "TARVO_CLIPBOARD_PROBE");
        return clipboard && targets && property;
    }

    bool ownerAnswers(int timeoutMs) {
        // A late answer to an earlier probe that timed out must not count for this one.
        while (xcb_generic_event_t* stale = xcb_poll_for_event(conn))
            std::free(stale);
        xcb_delete_property(conn, window, property);
        xcb_convert_selection(conn, window, clipboard, targets, property, XCB_CURRENT_TIME);
        xcb_flush(conn);
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(conn)) {
                const bool answer =
                    (e->response_type & 0x7f) == XCB_SELECTION_NOTIFY &&
                    reinterpret_cast<xcb_selection_notify_event_t*>(e)->requestor == window;
                std::free(e);
                if (answer) {
                    xcb_delete_property(conn, window, property);
                    xcb_flush(conn);
                    return true;
                }
            }
            if (xcb_connection_has_error(conn))
                return true; // cannot tell; let the read itself decide
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                return false;
            pollfd p{xcb_get_file_descriptor(conn), POLLIN, 0};
            ::poll(&p, 1, int(left));
        }
    }
};

} // namespace

bool clipboardOwnerAnswers(int timeoutMs) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    static Probe probe;
    if (!probe.open())
        return true;
    return probe.ownerAnswers(timeoutMs);
}

} // namespace platform::detail
