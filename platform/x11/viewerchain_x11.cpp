// X11 has no viewer chain. A joined window is told of every change of the CLIPBOARD selection
// (Qt watches it with XFixes and raises QClipboard::dataChanged), delivered to the window's
// installed procedure as WM_DRAWCLIPBOARD, as the chain would deliver it on Windows.

#include "platform/viewerchain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <map>
#include <vector>

namespace platform {
namespace {

// The procedure every window has before a hook: Qt handles the window's own events, and the
// chain messages need nothing of it.
LResult TARVO_WNDPROC_CC ownProcedure(WindowHandle, std::uint32_t, WParam, LParam) {
    return 0;
}

class X11ViewerChain final : public ViewerChain {
public:
    WindowHandle windowHandle(QWidget* w) override {
        return w ? static_cast<WindowHandle>(w->window()->winId()) : 0;
    }

    bool watchesOtherPrograms() override {
        // Qt watches the CLIPBOARD selection with XFixes on its X connection only; on another
        // platform (Wayland without XWayland, offscreen) changes of other programs are not
        // heard while the window is not focused, which a minimised saver never is.
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return QGuiApplication::platformName() == QLatin1String("xcb") && x11 && x11->connection();
    }

    WindowHandle SetClipboardViewer(WindowHandle window) override {
        if (!window)
            return 0;
        m_viewers.push_back(window);
        if (!m_watch)
            m_watch = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                                       [this] { clipboardChanged(); });
        return 0; // no other viewer follows
    }

    bool ChangeClipboardChain(WindowHandle remove, WindowHandle) override {
        std::erase(m_viewers, remove);
        if (m_viewers.empty() && m_watch) {
            QObject::disconnect(m_watch);
            m_watch = {};
        }
        return true;
    }

    LResult SendMessageA(WindowHandle target, std::uint32_t msg, WParam wParam,
                         LParam lParam) override {
        auto it = m_procs.find(target);
        WndProc proc = it != m_procs.end() ? it->second : ownProcedure;
        return proc(target, msg, wParam, lParam);
    }

    WndProc SetWindowLongA(WindowHandle window, int index, WndProc proc) override {
        if (index != GWL_WNDPROC || !window || !proc)
            return nullptr;
        auto it = m_procs.find(window);
        WndProc old = it != m_procs.end() ? it->second : ownProcedure;
        m_procs[window] = proc;
        return old;
    }

    LResult CallWindowProcA(WndProc prev, WindowHandle window, std::uint32_t msg, WParam wParam,
                            LParam lParam) override {
        return prev ? prev(window, msg, wParam, lParam) : 0;
    }

private:
    void clipboardChanged() {
        // One notice at a time, as a window's message queue would hand them out: a change that
        // arrives while a notice is being handled is delivered right after it.
        ++m_pending;
        if (m_delivering)
            return;
        m_delivering = true;
        while (m_pending > 0) {
            --m_pending;
            const std::vector<WindowHandle> viewers = m_viewers;
            for (WindowHandle v : viewers)
                SendMessageA(v, WM_DRAWCLIPBOARD, 0, 0);
        }
        m_delivering = false;
    }

    std::vector<WindowHandle> m_viewers;
    std::map<WindowHandle, WndProc> m_procs;
    QMetaObject::Connection m_watch;
    int m_pending = 0;
    bool m_delivering = false;
};

} // namespace

ViewerChain& systemViewerChain() {
    static X11ViewerChain chain;
    return chain;
}

} // namespace platform
