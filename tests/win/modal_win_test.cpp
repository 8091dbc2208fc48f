// A message box is modal to the whole program, as on the other platforms: while it asks, no
// window of the program takes a click, not only the one it belongs to. Two real windows of
// this thread, read from another thread as another program would.
#include "platform/win/messagebox_win.h"

#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

HWND topLevel(const wchar_t* title, bool visible) {
    return ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                             40, 40, 200, 120, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

} // namespace

TEST(Win32MessageBox, EveryWindowOfTheProgramWaitsForTheBox) {
    const HWND main = topLevel(L"main", true);
    const HWND dialog = topLevel(L"dialog", true);
    const HWND hidden = topLevel(L"hidden", false);
    ASSERT_TRUE(main && dialog && hidden);
    ::EnableWindow(hidden, FALSE); // a window the program disabled itself stays so

    std::atomic<bool> found{false}, mainEnabled{true}, dialogEnabled{true};
    std::thread reader([&] {
        QElapsedTimer clock;
        clock.start();
        HWND box = nullptr;
        while (!box && clock.elapsed() < 15000) {
            box = ::FindWindowW(L"#32770", L"ドライブエラー");
            if (!box)
                ::Sleep(50);
        }
        if (!box)
            return;
        ::Sleep(200);
        found = true;
        mainEnabled = ::IsWindowEnabled(main) != FALSE;
        dialogEnabled = ::IsWindowEnabled(dialog) != FALSE;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform::win::programModalBox(dialog, L"ディスクをセットして下さい", L"ドライブエラー",
                                   MB_OK | MB_ICONERROR);
    reader.join();
    ASSERT_TRUE(found) << "no message box titled ドライブエラー";
    EXPECT_FALSE(dialogEnabled) << "the window the box belongs to took clicks";
    EXPECT_FALSE(mainEnabled) << "another window of the program took clicks";
    // Afterwards the windows take clicks again; the one disabled before stays disabled.
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_FALSE(::IsWindowEnabled(hidden));
    for (HWND w : {main, dialog, hidden})
        ::DestroyWindow(w);
}
