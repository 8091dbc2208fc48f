#pragma once
// The clipboard viewer chain and window-procedure hook, shaped like the user32 calls that
// implement them on Windows (SetClipboardViewer, ChangeClipboardChain, SendMessageA,
// SetWindowLongA, CallWindowProcA). Handles and message parameters are pointer-sized integers
// so that a Win32 back end can pass HWND, WPARAM, LPARAM and WNDPROC through unchanged.
//
// On X11 there is no chain: joining listens to changes of the CLIPBOARD selection, the joined
// window is the only viewer (SetClipboardViewer answers 0), and every change is delivered to
// the window's installed procedure as WM_DRAWCLIPBOARD.

#include <cstdint>

class QWidget;

namespace platform {

using WindowHandle = std::uintptr_t; // HWND; 0 is no window
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

#if defined(_WIN32) && !defined(_WIN64)
#define TARVO_WNDPROC_CC __stdcall
#else
#define TARVO_WNDPROC_CC
#endif

// A window procedure, as SetWindowLongA installs it and CallWindowProcA calls it.
using WndProc = LResult(TARVO_WNDPROC_CC*)(WindowHandle, std::uint32_t, WParam, LParam);

inline constexpr int GWL_WNDPROC = -4;
inline constexpr std::uint32_t WM_DRAWCLIPBOARD = 0x0308;
inline constexpr std::uint32_t WM_CHANGECBCHAIN = 0x030D;

class ViewerChain {
public:
    virtual ~ViewerChain() = default;

    // The handle by which the other calls know w's top-level window.
    virtual WindowHandle windowHandle(QWidget* w) = 0;

    // Whether a joined window hears of clipboard changes made by other programs. Without the
    // display's selection watch (no X11) the calls still work, but only this program's own
    // changes are delivered.
    virtual bool watchesOtherPrograms() { return true; }

    // Adds window at the head of the chain; answers the window that was first until now
    // (the one that now follows window), 0 when there was none.
    virtual WindowHandle SetClipboardViewer(WindowHandle window) = 0;
    // Takes remove out of the chain; next is the window that followed it.
    virtual bool ChangeClipboardChain(WindowHandle remove, WindowHandle next) = 0;
    // Delivers a message to target's current procedure and returns once it has been handled.
    virtual LResult SendMessageA(WindowHandle target, std::uint32_t msg, WParam wParam,
                                 LParam lParam) = 0;
    // With index GWL_WNDPROC, installs proc as window's procedure; answers the previous one.
    virtual WndProc SetWindowLongA(WindowHandle window, int index, WndProc proc) = 0;
    virtual LResult CallWindowProcA(WndProc prev, WindowHandle window, std::uint32_t msg,
                                    WParam wParam, LParam lParam) = 0;
};

// The platform's chain: X11 selection watch on Linux, user32 on Windows.
ViewerChain& systemViewerChain();

} // namespace platform
