// A message box is modal to the whole program, as on the other platforms: while it asks,
// no window of the program takes a click, not only the one it belongs to. Real windows
// (Qt's Windows platform), read from another thread as another program would.
#include "platform/controls/messagebox.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>
#undef MessageBox

TEST(Win32MessageBox, EveryWindowOfTheProgramWaitsForTheBox) {
    QWidget main, dialog, hidden;
    main.setWindowTitle(QStringLiteral("main"));
    dialog.setWindowTitle(QStringLiteral("dialog"));
    main.setGeometry(40, 40, 200, 120);
    dialog.setGeometry(300, 40, 200, 120);
    main.show();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const HWND hMain = reinterpret_cast<HWND>(main.winId());
    const HWND hDialog = reinterpret_cast<HWND>(dialog.winId());
    const HWND hHidden = reinterpret_cast<HWND>(hidden.winId()); // never shown

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
        mainEnabled = ::IsWindowEnabled(hMain) != FALSE;
        dialogEnabled = ::IsWindowEnabled(hDialog) != FALSE;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform::systemMessageBox().show(&dialog, QStringLiteral("ディスクをセットして下さい"),
                                      QStringLiteral("ドライブエラー"),
                                      platform::MessageBox::Icon::Critical);
    reader.join();
    ASSERT_TRUE(found) << "no message box titled ドライブエラー";
    EXPECT_FALSE(dialogEnabled) << "the window the box belongs to took clicks";
    EXPECT_FALSE(mainEnabled) << "another window of the program took clicks";
    // Afterwards every window takes clicks again, and a hidden one was left as it was.
    EXPECT_TRUE(::IsWindowEnabled(hMain));
    EXPECT_TRUE(::IsWindowEnabled(hDialog));
    EXPECT_TRUE(::IsWindowEnabled(hHidden));
}
