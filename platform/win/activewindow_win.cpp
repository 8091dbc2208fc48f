// The window in front when this program started, by GetForegroundWindow, and the focus
// handed back to it with SetForegroundWindow, which Windows allows the program in front.
#include "platform/activewindow.h"

#include <windows.h>

namespace platform {

std::optional<ActiveWindow> activeWindowOfAnotherProgram() {
    HWND w = ::GetForegroundWindow();
    if (w)
        w = ::GetAncestor(w, GA_ROOTOWNER);
    DWORD pid = 0;
    if (!w || !::GetWindowThreadProcessId(w, &pid) || pid == ::GetCurrentProcessId())
        return std::nullopt;
    RECT r{};
    if (!::GetWindowRect(w, &r))
        return std::nullopt;
    return ActiveWindow{reinterpret_cast<quintptr>(w),
                        QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1))};
}

bool reactivate(const ActiveWindow& w) {
    HWND h = reinterpret_cast<HWND>(w.handle);
    return ::IsWindow(h) && ::SetForegroundWindow(h);
}

} // namespace platform
