// No viewer chain to join: joining is refused (no window follows, no procedure is installed)
// and no clipboard change is ever delivered. Messages sent to a window reach nothing.

#include "platform/viewerchain.h"

#include <QWidget>

namespace platform {
namespace {

class NoViewerChain final : public ViewerChain {
public:
    WindowHandle windowHandle(QWidget* w) override {
        return w ? static_cast<WindowHandle>(w->window()->winId()) : 0;
    }
    bool watchesOtherPrograms() override { return false; }
    WindowHandle SetClipboardViewer(WindowHandle) override { return 0; }
    bool ChangeClipboardChain(WindowHandle, WindowHandle) override { return false; }
    LResult SendMessageA(WindowHandle, std::uint32_t, WParam, LParam) override { return 0; }
    WndProc SetWindowLongA(WindowHandle, int, WndProc) override { return nullptr; }
    LResult CallWindowProcA(WndProc prev, WindowHandle window, std::uint32_t msg, WParam wParam,
                            LParam lParam) override {
        return prev ? prev(window, msg, wParam, lParam) : 0;
    }
};

} // namespace

ViewerChain& systemViewerChain() {
    static NoViewerChain chain;
    return chain;
}

} // namespace platform
