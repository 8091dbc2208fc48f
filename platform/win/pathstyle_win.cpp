// Paths on Windows: "\" between folders, the Win32 naming rules.
#include "platform/pathrules.h"

namespace platform {

PathStyle nativePathStyle() {
    return PathStyle::Windows;
}

} // namespace platform
