// Before the application starts: whether the X server of DISPLAY answers, so that a Wayland
// session takes XWayland only when it is there, and a program started without any display
// says so instead of being aborted by Qt.

#include "platform/display.h"

#include <xcb/xcb.h>

namespace platform {

namespace {

bool x11Reachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

} // namespace

void choosePlatformPlugin() {
    const QString chosen = preferredQpaPlatform(
        qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("WAYLAND_DISPLAY"),
        qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("DISPLAY"));
    // A DISPLAY whose server does not answer is left to Qt, which then takes Wayland.
    if (!chosen.isEmpty() && (chosen != QLatin1String("xcb") || x11Reachable()))
        qputenv("QT_QPA_PLATFORM", chosen.toUtf8());
}

QString startupDisplayProblem() {
    return displayProblem(qEnvironmentVariable("QT_QPA_PLATFORM"),
                          qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY"),
                          x11Reachable());
}

} // namespace platform
