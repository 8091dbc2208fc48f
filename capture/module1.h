#pragma once
// The capture saver's process-wide state and its clipboard-chain procedure. A window procedure
// is a plain function the platform calls, so the state it works on is one instance per process.

#include "platform/viewerchain.h"

#include <cstdint>
#include <functional>

namespace capture {

struct Module1 {
    platform::WindowHandle NextViewer = 0;   // the viewer after Form1; 0 when Form1 is the last
    platform::WndProc PrevWndProc = nullptr; // Form1's procedure from before the hook
    std::int16_t CaptureOn = 0;              // 1: save each bitmap; 0: rest
    // Saves since start. Wider than 16 bits, and wraps (nextSaveCount) instead of overflowing.
    std::int32_t SaveCount = 0;
    // Clipboard changes whose owner did not hand the data over in time.
    std::int32_t MissedNotices = 0;

    // What joining did, so that leaving undoes exactly that.
    bool Joined = false;
    bool Hooked = false;
    platform::WindowHandle Form1Window = 0;
    platform::ViewerChain* Chain = nullptr;
    std::function<void()> CaptureClipboard; // Form1's save step
};

Module1& module1();

// Joins the viewer chain with Form1Window, then hooks CaptureWndProc in front of its procedure.
void JoinViewerChain();
// Leaves the chain and puts Form1's own procedure back; only what was joined is undone.
void LeaveViewerChain();
platform::LResult TARVO_WNDPROC_CC CaptureWndProc(platform::WindowHandle window, std::uint32_t msg,
                                                  platform::WParam wParam, platform::LParam lParam);

} // namespace capture
