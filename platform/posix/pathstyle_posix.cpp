// Paths on a POSIX system: "/" between folders, any name without "/" and NUL.
#include "platform/pathrules.h"

namespace platform {

PathStyle nativePathStyle() {
    return PathStyle::Posix;
}

} // namespace platform
