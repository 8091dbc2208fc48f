// The window manager places a new window and decides its focus here; the viewer leaves both
// to it.
#include "platform/activewindow.h"

namespace platform {

std::optional<ActiveWindow> activeWindowOfAnotherProgram() {
    return std::nullopt;
}

bool reactivate(const ActiveWindow&) {
    return false;
}

} // namespace platform
