#pragma once
// A simulated clipboard viewer chain with user32's behaviour; other programs' viewers forward
// notices and repair their own link, so tests see whether a notice travels the whole chain.

#include "platform/viewerchain.h"

#include <QWidget>
#include <map>
#include <stdexcept>

namespace testing_support {

class FakeViewerChain final : public platform::ViewerChain {
public:
    using WindowHandle = platform::WindowHandle;
    struct Window {
        platform::WndProc proc = nullptr;
        WindowHandle next = 0; // an other viewer's own link
    };

    FakeViewerChain() { s_current = this; }
    ~FakeViewerChain() override { s_current = nullptr; }

    int joins = 0, leaves = 0, hooks = 0;

    bool watchesOtherPrograms() override { return true; }

    WindowHandle windowHandle(QWidget* w) override {
        auto it = m_handles.find(w);
        if (it != m_handles.end())
            return it->second;
        WindowHandle h = newWindow(false);
        m_handles[w] = h;
        return h;
    }

    WindowHandle addOtherViewer() {
        WindowHandle h = newWindow(true);
        m_windows[h].next = SetClipboardViewer(h);
        --joins;
        return h;
    }
    void clipboardChanged() {
        if (m_head)
            SendMessageA(m_head, platform::WM_DRAWCLIPBOARD, 0, 0);
    }

    WindowHandle head() const { return m_head; }

    WindowHandle SetClipboardViewer(WindowHandle window) override {
        ++joins;
        WindowHandle old = m_head;
        m_head = window;
        SendMessageA(window, platform::WM_DRAWCLIPBOARD, 0, 0);
        return old;
    }

    bool ChangeClipboardChain(WindowHandle remove, WindowHandle next) override {
        ++leaves;
        if (remove == m_head) {
            m_head = next;
            return true;
        }
        if (m_head)
            SendMessageA(m_head, platform::WM_CHANGECBCHAIN, remove, platform::LParam(next));
        return true;
    }

    platform::LResult SendMessageA(WindowHandle target, std::uint32_t msg, platform::WParam w,
                                   platform::LParam l) override {
        auto it = m_windows.find(target);
        if (it == m_windows.end())
            throw std::logic_error("message sent to a window that does not exist");
        if (++m_depth > 64)
            throw std::logic_error("messages go round in a loop");
        platform::LResult r = it->second.proc(target, msg, w, l);
        --m_depth;
        return r;
    }

    platform::WndProc SetWindowLongA(WindowHandle window, int index,
                                     platform::WndProc proc) override {
        ++hooks;
        if (index != platform::GWL_WNDPROC)
            return nullptr;
        platform::WndProc old = m_windows.at(window).proc;
        m_windows.at(window).proc = proc;
        return old;
    }

    platform::LResult CallWindowProcA(platform::WndProc prev, WindowHandle window,
                                      std::uint32_t msg, platform::WParam w,
                                      platform::LParam l) override {
        return prev ? prev(window, msg, w, l) : 0;
    }

private:
    WindowHandle newWindow(bool other) {
        WindowHandle h = m_nextHandle;
        m_nextHandle += 0x10;
        m_windows[h].proc = other ? &viewerProc : &ownProc;
        return h;
    }

    static platform::LResult TARVO_WNDPROC_CC ownProc(WindowHandle, std::uint32_t, platform::WParam,
                                                      platform::LParam) {
        return 0;
    }

    static platform::LResult TARVO_WNDPROC_CC viewerProc(WindowHandle h, std::uint32_t msg,
                                                         platform::WParam w, platform::LParam l) {
        FakeViewerChain& c = *s_current;
        Window& me = c.m_windows.at(h);
        if (msg == platform::WM_DRAWCLIPBOARD) {
            if (me.next)
                c.SendMessageA(me.next, msg, w, l);
        } else if (msg == platform::WM_CHANGECBCHAIN) {
            if (WindowHandle(w) == me.next)
                me.next = WindowHandle(l);
            else if (me.next)
                c.SendMessageA(me.next, msg, w, l);
        }
        return 0;
    }

    inline static FakeViewerChain* s_current = nullptr;
    std::map<QWidget*, WindowHandle> m_handles;
    std::map<WindowHandle, Window> m_windows;
    WindowHandle m_head = 0;
    WindowHandle m_nextHandle = 0x1000;
    int m_depth = 0;
};

} // namespace testing_support
