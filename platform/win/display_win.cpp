// Windows always has its desktop: Qt's own plugin is kept and nothing stops the start.

#include "platform/display.h"

namespace platform {

void choosePlatformPlugin() {}

QString startupDisplayProblem() {
    return {};
}

} // namespace platform
