// Without a display server of ours to ask, Qt's own choice of plugin is kept; a DISPLAY that is
// set is taken to answer, and only a start with no display at all is stopped with a message.

#include "platform/display.h"

namespace platform {

void choosePlatformPlugin() {}

QString startupDisplayProblem() {
    const QString display = qEnvironmentVariable("DISPLAY");
    return displayProblem(qEnvironmentVariable("QT_QPA_PLATFORM"),
                          qEnvironmentVariable("WAYLAND_DISPLAY"), display, !display.isEmpty());
}

} // namespace platform
