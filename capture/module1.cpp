#include "module1.h"

namespace capture {

Module1& module1() {
    static Module1 state;
    return state;
}

void JoinViewerChain() {
    Module1& m = module1();
    if (!m.Chain || !m.Form1Window || m.Joined)
        return; // a second hook would make CaptureWndProc call itself
    // Join before hooking: the notice the platform sends while joining reaches the window's own
    // procedure, so what is on the clipboard already is not saved.
    m.NextViewer = m.Chain->SetClipboardViewer(m.Form1Window);
    m.Joined = true;
    m.PrevWndProc = m.Chain->SetWindowLongA(m.Form1Window, platform::GWL_WNDPROC, CaptureWndProc);
    m.Hooked = true;
}

void LeaveViewerChain() {
    Module1& m = module1();
    if (!m.Chain)
        return;
    if (m.Joined) {
        m.Chain->ChangeClipboardChain(m.Form1Window, m.NextViewer);
        m.Joined = false;
    }
    if (m.Hooked) {
        m.Chain->SetWindowLongA(m.Form1Window, platform::GWL_WNDPROC, m.PrevWndProc);
        m.Hooked = false;
    }
}

platform::LResult TARVO_WNDPROC_CC CaptureWndProc(platform::WindowHandle window, std::uint32_t msg,
                                                  platform::WParam wParam,
                                                  platform::LParam lParam) {
    Module1& m = module1();
    if (msg == platform::WM_DRAWCLIPBOARD) {
        if (m.CaptureOn == 1 && m.CaptureClipboard)
            m.CaptureClipboard();
        if (m.NextViewer != 0)
            m.Chain->SendMessageA(m.NextViewer, platform::WM_DRAWCLIPBOARD, wParam, lParam);
    } else if (msg == platform::WM_CHANGECBCHAIN) {
        if (static_cast<platform::WindowHandle>(wParam) == m.NextViewer)
            m.NextViewer = static_cast<platform::WindowHandle>(lParam);
        else if (m.NextViewer != 0)
            m.Chain->SendMessageA(m.NextViewer, platform::WM_CHANGECBCHAIN, wParam, lParam);
    }
    return m.Chain->CallWindowProcA(m.PrevWndProc, window, msg, wParam, lParam);
}

} // namespace capture
