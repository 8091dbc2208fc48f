// The message box of Windows itself: MessageBoxW with one OK button, the given title (the
// program's name when none is given) and icon, modal to the window it belongs to.
#include "platform/controls/messagebox.h"

#include <QApplication>
#include <QWidget>
#include <windows.h>
#undef MessageBox // the macro would rename our class

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
        // Without an owner window the box is modal to the whole task, as the application
        // modal box of the other platforms is.
        const UINT modality = hwnd ? MB_APPLMODAL : MB_TASKMODAL;
        ::MessageBoxW(hwnd, reinterpret_cast<const wchar_t*>(shown.utf16()),
                      reinterpret_cast<const wchar_t*>(caption.utf16()),
                      MB_OK | iconFlag(icon) | modality | MB_SETFOREGROUND);
    }
};

} // namespace

MessageBox& systemMessageBox() {
    static Win32MessageBox box;
    return box;
}

} // namespace platform
