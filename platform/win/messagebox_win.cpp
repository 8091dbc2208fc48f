// The message box of Windows itself: MessageBoxW with one OK button, the given title (the
// program's name when none is given) and icon, modal to the whole program as the box of the
// other platforms is: every window of the program waits until it is dismissed.
#include "platform/controls/messagebox.h"

#include <QApplication>
#include <QWidget>
#include <vector>
#include <windows.h>
#undef MessageBox // the macro would rename our class

#include "messagebox_win.h"

namespace platform {

namespace {

UINT iconFlag(MessageBox::Icon icon) {
    switch (icon) {
    case MessageBox::Icon::Critical:
        return MB_ICONERROR;
    case MessageBox::Icon::Warning:
        return MB_ICONWARNING;
    case MessageBox::Icon::Information:
        return MB_ICONINFORMATION;
    case MessageBox::Icon::None:
        break;
    }
    return 0;
}

// MessageBoxW disables only its owner window: the program's other windows (a dialog, the
// memo window, the main window behind a dialog) would still take clicks while the box asks
// for an answer. They are disabled for as long as the box is up and given back afterwards.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner) : m_owner(owner) {
        ::EnumThreadWindows(::GetCurrentThreadId(), visit, reinterpret_cast<LPARAM>(this));
        for (HWND w : m_disabled)
            ::EnableWindow(w, FALSE);
    }
    ~OtherWindowsDisabled() {
        for (HWND w : m_disabled)
            ::EnableWindow(w, TRUE);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK visit(HWND w, LPARAM self) {
        auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
        if (w != me->m_owner && ::IsWindowVisible(w) && ::IsWindowEnabled(w))
            me->m_disabled.push_back(w);
        return TRUE;
    }
    HWND m_owner;
    std::vector<HWND> m_disabled;
};

class Win32MessageBox final : public MessageBox {
public:
    void show(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        // A line ends with CR LF in a message box; texts may come with LF or CR alone.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const QString caption = title.isEmpty() ? QApplication::applicationDisplayName() : title;
        QWidget* owner = parent ? parent->window() : QApplication::activeWindow();
        HWND hwnd = owner && owner->isVisible() ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
        win::programModalBox(hwnd, reinterpret_cast<const wchar_t*>(shown.utf16()),
                             reinterpret_cast<const wchar_t*>(caption.utf16()),
                             MB_OK | iconFlag(icon) | MB_SETFOREGROUND);
    }
};

} // namespace

int win::programModalBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    // The owner is disabled by the box itself, the other windows here.
    const OtherWindowsDisabled others(owner);
    return ::MessageBoxW(owner, text, caption, flags | (owner ? MB_APPLMODAL : MB_TASKMODAL));
}

MessageBox& systemMessageBox() {
    static Win32MessageBox box;
    return box;
}

} // namespace platform
