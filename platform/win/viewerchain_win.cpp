// The user32 clipboard viewer chain itself: the window joins the chain that every other viewer
// on the desktop is in, and its procedure is replaced with SetWindowLongPtrW, so the chain
// messages (and every other message) pass through the installed procedure first.
#include "platform/viewerchain.h"

#include <QWidget>
#include <windows.h>

namespace platform {

namespace {

HWND hwnd(WindowHandle h) {
    return reinterpret_cast<HWND>(h);
}

class Win32ViewerChain final : public ViewerChain {
public:
    WindowHandle windowHandle(QWidget* w) override {
        return w ? static_cast<WindowHandle>(w->window()->winId()) : 0;
    }
    WindowHandle SetClipboardViewer(WindowHandle window) override {
        return reinterpret_cast<WindowHandle>(::SetClipboardViewer(hwnd(window)));
    }
    bool ChangeClipboardChain(WindowHandle remove, WindowHandle next) override {
        return ::ChangeClipboardChain(hwnd(remove), hwnd(next)) != FALSE;
    }
    LResult SendMessageA(WindowHandle target, std::uint32_t msg, WParam wParam,
                         LParam lParam) override {
        return ::SendMessageW(hwnd(target), msg, wParam, lParam);
    }
    // Qt's windows are Unicode windows; the W calls keep them so (an A call would turn the
    // window's messages into ANSI ones and garble the captions).
    WndProc SetWindowLongA(WindowHandle window, int index, WndProc proc) override {
        if (index != GWL_WNDPROC || !window || !proc)
            return nullptr;
        LONG_PTR old =
            ::SetWindowLongPtrW(hwnd(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        return reinterpret_cast<WndProc>(old);
    }
    LResult CallWindowProcA(WndProc prev, WindowHandle window, std::uint32_t msg, WParam wParam,
                            LParam lParam) override {
        if (!prev)
            return 0;
        // WndProc takes the handle as an integer, WNDPROC as a pointer: on x86-64 both travel
        // in the same register, so the call is the one the system makes.
        const auto proc = reinterpret_cast<WNDPROC>(reinterpret_cast<void (*)()>(prev));
        return ::CallWindowProcW(proc, hwnd(window), msg, wParam, lParam);
    }
};

} // namespace

ViewerChain& systemViewerChain() {
    static Win32ViewerChain chain;
    return chain;
}

} // namespace platform
