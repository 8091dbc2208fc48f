// The message box is Windows' own, modal to the whole program as on the other platforms.
#include "platform/controls/messagebox.h"

#include <QElapsedTimer>
#include <QStringList>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>
#undef MessageBox

namespace {

struct SeenBox {
    QStringList texts;   // static texts
    QStringList buttons; // button captions
    bool icon = false;   // an icon control that shows an icon
};

BOOL CALLBACK child(HWND w, LPARAM p) {
    auto* seen = reinterpret_cast<SeenBox*>(p);
    wchar_t cls[32] = {}, text[256] = {};
    ::GetClassNameW(w, cls, 32);
    ::GetWindowTextW(w, text, 256);
    const QString name = QString::fromWCharArray(cls).toLower();
    if (!::IsWindowVisible(w))
        return TRUE;
    if (name == QLatin1String("button"))
        seen->buttons << QString::fromWCharArray(text);
    else if (name == QLatin1String("static") &&
             (::GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen->icon = seen->icon || ::SendMessageW(w, STM_GETICON, 0, 0) != 0;
    else if (name == QLatin1String("static") && text[0])
        seen->texts << QString::fromWCharArray(text);
    return TRUE;
}

HWND topLevel(const wchar_t* title, bool visible) {
    return ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                             40, 40, 200, 120, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

} // namespace

TEST(Win32MessageBox, TitleTextOneOkButtonAndIconWhileEveryWindowOfTheProgramWaits) {
    const HWND main = topLevel(L"main", true);
    const HWND hidden = topLevel(L"hidden", false);
    ASSERT_TRUE(main && hidden);
    ::EnableWindow(hidden, FALSE); // a window the program disabled itself stays so
    // Another thread reads the box and the program's windows while it is up, and presses OK.
    SeenBox drive;
    bool mainEnabled = true;
    std::thread reader([&] {
        QElapsedTimer clock;
        clock.start();
        HWND box = nullptr;
        while (drive.buttons.isEmpty() && clock.elapsed() < 15000) {
            ::Sleep(20);
            box = ::FindWindowW(L"#32770", L"ドライブエラー");
            drive = SeenBox{};
            if (box)
                ::EnumChildWindows(box, child, reinterpret_cast<LPARAM>(&drive));
        }
        mainEnabled = ::IsWindowEnabled(main) != FALSE;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform::systemMessageBox().show(nullptr, QStringLiteral("ディスクを\rセットして\r\n下さい"),
                                      QStringLiteral("ドライブエラー"),
                                      platform::MessageBox::Icon::Critical);
    reader.join();
    EXPECT_EQ(drive.texts, QStringList{QStringLiteral("ディスクを\r\nセットして\r\n下さい")});
    EXPECT_EQ(drive.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(drive.icon);
    EXPECT_FALSE(mainEnabled) << "a window of the program took clicks";
    EXPECT_TRUE(::IsWindowEnabled(main)) << "afterwards the windows take clicks again";
    EXPECT_FALSE(::IsWindowEnabled(hidden));
    for (HWND w : {main, hidden})
        ::DestroyWindow(w);
}
