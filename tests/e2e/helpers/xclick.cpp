// xclick: looks at and drives other programs' windows on the X display for the e2e tests.
//   xclick find CAPTION     prints "id x y width height" of the window captioned CAPTION
//                           (exact, else the first that begins with it); exit 1 if none
//   xclick count CAPTION    prints how many windows carry exactly that caption
//   xclick state CAPTION    prints "iconic" or "normal"
//   xclick active           prints the caption of the window holding the focus
//   xclick click X Y        clicks the left button at root position X, Y (XTest)
//   xclick close CAPTION    asks the window to close (WM_DELETE_WINDOW)
//   xclick drag X1 Y1 X2 Y2 drags with the left button from one root position to the other
// Windows are found anywhere in the window tree, with or without a window manager.

#include <QString>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

xcb_connection_t* c = nullptr;
xcb_window_t root = XCB_NONE;

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return a;
}

QByteArray property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 4096), nullptr);
    QByteArray out;
    if (r && r->type != XCB_ATOM_NONE)
        out = QByteArray(static_cast<const char*>(xcb_get_property_value(r)),
                         xcb_get_property_value_length(r));
    free(r);
    return out;
}

QString caption(xcb_window_t w) {
    const QByteArray net = property(w, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    if (!net.isEmpty())
        return QString::fromUtf8(net);
    return QString::fromUtf8(property(w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY));
}

bool shown(xcb_window_t w) {
    xcb_get_window_attributes_reply_t* a =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    free(a);
    const xcb_atom_t wmState = atom("WM_STATE");
    return viewable || !property(w, wmState, wmState).isEmpty();
}

bool iconic(xcb_window_t w) {
    const xcb_atom_t wmState = atom("WM_STATE");
    const QByteArray s = property(w, wmState, wmState);
    uint32_t state = 0;
    if (s.size() >= 4)
        memcpy(&state, s.constData(), 4);
    return state == 3;
}

void collect(xcb_window_t w, std::vector<xcb_window_t>& out) {
    xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
    if (!t)
        return;
    const xcb_window_t* kids = xcb_query_tree_children(t);
    const int n = xcb_query_tree_children_length(t);
    for (int i = n - 1; i >= 0; --i) { // topmost first
        out.push_back(kids[i]);
        collect(kids[i], out);
    }
    free(t);
}

std::vector<xcb_window_t> named(const QString& text, bool exactOnly) {
    std::vector<xcb_window_t> all, exact, prefix;
    collect(root, all);
    for (xcb_window_t w : all) {
        const QString name = caption(w);
        if (name.isEmpty() || !shown(w))
            continue;
        if (name == text)
            exact.push_back(w);
        else if (!exactOnly && name.startsWith(text))
            prefix.push_back(w);
    }
    return exact.empty() ? prefix : exact;
}

int find(const QString& text) {
    const auto found = named(text, false);
    if (found.empty())
        return 1;
    const xcb_window_t w = found.front();
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr);
    if (!g || !t)
        return 1;
    printf("%u %d %d %d %d\n", w, t->dst_x, t->dst_y, g->width, g->height);
    free(g);
    free(t);
    return 0;
}

int active() {
    xcb_get_input_focus_reply_t* f = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    xcb_window_t w = f ? f->focus : xcb_window_t{XCB_NONE};
    free(f);
    while (w != XCB_NONE && w != root && w != XCB_INPUT_FOCUS_POINTER_ROOT) {
        const QString name = caption(w);
        if (!name.isEmpty()) {
            printf("%s\n", name.toUtf8().constData());
            return 0;
        }
        xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
        w = t ? t->parent : xcb_window_t{XCB_NONE};
        free(t);
    }
    return 1;
}

int click(int x, int y) {
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, static_cast<int16_t>(x),
                        static_cast<int16_t>(y), 0);
    xcb_flush(c);
    QThread::msleep(50);
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return 0;
}

// Presses the first button at x1, y1, moves the pointer in steps to x2, y2 and lets go, as a
// user drags a window by its title bar.
int drag(int x1, int y1, int x2, int y2) {
    auto moveTo = [](int x, int y) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root,
                            static_cast<int16_t>(x), static_cast<int16_t>(y), 0);
        xcb_flush(c);
        QThread::msleep(20);
    };
    moveTo(x1, y1);
    QThread::msleep(50);
    xcb_test_fake_input(c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
    QThread::msleep(50);
    constexpr int kSteps = 10;
    for (int k = 1; k <= kSteps; ++k)
        moveTo(x1 + (x2 - x1) * k / kSteps, y1 + (y2 - y1) * k / kSteps);
    QThread::msleep(50);
    xcb_test_fake_input(c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return 0;
}

int closeWindow(const QString& text) {
    const auto found = named(text, false);
    if (found.empty())
        return 1;
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = found.front();
    ev.type = atom("WM_PROTOCOLS");
    ev.data.data32[0] = atom("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, found.front(), XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<char*>(&ev));
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) || argc < 2) {
        fprintf(stderr, "usage: xclick find|count|state|active|click|drag|close ...\n");
        return 2;
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const QString cmd = QString::fromUtf8(argv[1]);
    const QString arg = argc > 2 ? QString::fromUtf8(argv[2]) : QString();
    int rc = 2;
    if (cmd == QLatin1String("find"))
        rc = find(arg);
    else if (cmd == QLatin1String("count"))
        printf("%d\n", int(named(arg, true).size())), rc = 0;
    else if (cmd == QLatin1String("state")) {
        const auto found = named(arg, false);
        rc = found.empty() ? 1 : (printf("%s\n", iconic(found.front()) ? "iconic" : "normal"), 0);
    } else if (cmd == QLatin1String("active"))
        rc = active();
    else if (cmd == QLatin1String("click") && argc > 3)
        rc = click(atoi(argv[2]), atoi(argv[3]));
    else if (cmd == QLatin1String("drag") && argc > 5)
        rc = drag(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    else if (cmd == QLatin1String("close"))
        rc = closeWindow(arg);
    xcb_disconnect(c);
    return rc;
}
