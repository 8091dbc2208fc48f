// clipkeeper: a clipboard manager for the e2e tests, as desktops run one. It owns the
// CLIPBOARD_MANAGER selection; when the program that owns the clipboard ends and asks it to
// SAVE_TARGETS, it fetches every target the clipboard offers, takes the clipboard over and
// serves what it kept from then on. Prints "ready" once it is the manager, and "kept N" after
// a save. Targets that come in pieces (INCR) are not kept: the tests use small pictures.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* c = nullptr;
xcb_window_t win = XCB_NONE;
xcb_atom_t kClipboard, kManager, kSaveTargets, kTargets, kMultiple, kTimestamp, kIncr, kKeep;

struct Data {
    xcb_atom_t type = XCB_NONE;
    uint8_t format = 8;
    std::vector<uint8_t> bytes;
};
std::map<xcb_atom_t, Data> kept;

// The owner's answer to a request of ours; the owner is ending and asks nothing of us meanwhile.
bool fetch(xcb_atom_t target, Data& out) {
    xcb_convert_selection(c, win, kClipboard, target, kKeep, XCB_CURRENT_TIME);
    xcb_flush(c);
    xcb_generic_event_t* ev = nullptr;
    while ((ev = xcb_wait_for_event(c)) && (ev->response_type & 0x7F) != XCB_SELECTION_NOTIFY)
        free(ev);
    const bool answered = ev && reinterpret_cast<xcb_selection_notify_event_t*>(ev)->property;
    free(ev);
    xcb_get_property_reply_t* p =
        answered
            ? xcb_get_property_reply(
                  c, xcb_get_property(c, 1, win, kKeep, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x3FFFFFFF),
                  nullptr)
            : nullptr;
    const bool whole = p && p->type != kIncr && p->type != XCB_NONE;
    if (whole) {
        const auto* v = static_cast<const uint8_t*>(xcb_get_property_value(p));
        out = {p->type, p->format, {v, v + xcb_get_property_value_length(p)}};
    }
    free(p);
    return whole;
}

void answer(const xcb_selection_request_event_t* r, xcb_atom_t property) {
    xcb_selection_notify_event_t ev{};
    ev.response_type = XCB_SELECTION_NOTIFY;
    ev.time = r->time;
    ev.requestor = r->requestor;
    ev.selection = r->selection;
    ev.target = r->target;
    ev.property = property;
    xcb_send_event(c, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_flush(c);
}

void save(const xcb_selection_request_event_t* r) {
    kept.clear();
    Data targets;
    if (fetch(kTargets, targets) && targets.format == 32) {
        std::vector<xcb_atom_t> list(targets.bytes.size() / 4);
        std::memcpy(list.data(), targets.bytes.data(), list.size() * 4);
        for (xcb_atom_t t : list) {
            Data d;
            if (t != kTargets && t != kMultiple && t != kTimestamp && t != kSaveTargets &&
                fetch(t, d))
                kept[t] = std::move(d);
        }
    }
    if (!kept.empty())
        xcb_set_selection_owner(c, win, kClipboard, XCB_CURRENT_TIME);
    answer(r, kept.empty() ? xcb_atom_t{XCB_NONE} : r->property);
    std::printf("kept %zu\n", kept.size());
    std::fflush(stdout);
}

void serve(const xcb_selection_request_event_t* r) {
    const xcb_atom_t property = r->property == XCB_NONE ? r->target : r->property;
    Data d;
    if (r->selection == kClipboard && !kept.empty() && r->target == kTargets) {
        std::vector<xcb_atom_t> list{kTargets};
        for (const auto& entry : kept)
            list.push_back(entry.first);
        d = {XCB_ATOM_ATOM, 32, std::vector<uint8_t>(list.size() * 4)};
        std::memcpy(d.bytes.data(), list.data(), d.bytes.size());
    } else if (r->selection == kClipboard && kept.count(r->target)) {
        d = kept[r->target];
    } else {
        return answer(r, XCB_NONE);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, property, d.type, d.format,
                        static_cast<uint32_t>(d.bytes.size() / (d.format / 8)), d.bytes.data());
    answer(r, property);
}

} // namespace

int main() {
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    win = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, win, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    for (auto [a, name] : {std::pair{&kClipboard, "CLIPBOARD"},
                           {&kManager, "CLIPBOARD_MANAGER"},
                           {&kSaveTargets, "SAVE_TARGETS"},
                           {&kTargets, "TARGETS"},
                           {&kMultiple, "MULTIPLE"},
                           {&kTimestamp, "TIMESTAMP"},
                           {&kIncr, "INCR"},
                           {&kKeep, "CLIPKEEPER_DATA"}}) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
        *a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
    }
    xcb_set_selection_owner(c, win, kManager, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, kManager), nullptr);
    const bool ours = owner && owner->owner == win;
    free(owner);
    if (!ours)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    while (xcb_generic_event_t* ev = xcb_wait_for_event(c)) {
        const uint8_t type = ev->response_type & 0x7F;
        const auto* r = reinterpret_cast<xcb_selection_request_event_t*>(ev);
        if (type == XCB_SELECTION_REQUEST && r->selection == kManager && r->target == kSaveTargets)
            save(r);
        else if (type == XCB_SELECTION_REQUEST)
            serve(r);
        else if (type == XCB_SELECTION_CLEAR &&
                 reinterpret_cast<xcb_selection_clear_event_t*>(ev)->selection == kClipboard)
            kept.clear();
        free(ev);
    }
    return 0;
}
