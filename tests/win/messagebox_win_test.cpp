// The message box is Windows' own: MessageBoxW with the title, the text with its line breaks,
// one OK button and the icon asked for, modal to the whole program as on the other platforms.
// Read from another thread as another program would.
#include "platform/controls/messagebox.h"
#include "platform/win/messagebox_win.h"

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>
#undef MessageBox

namespace {

struct SeenBox {
    bool found = false;
    QStringList texts;   // static texts
    QStringList buttons; // button captions
    bool icon = false;   // an icon control that shows an icon
};

BOOL CALLBACK child(HWND w, LPARAM p) {
    auto* seen = reinterpret_cast<SeenBox*>(p);
    wchar_t cls[32] = {}, text[256] = {};
    ::GetClassNameW(w, cls, 32);
    ::GetWindowTextW(w, text, 256);
    const QString name = QString::fromWCharArray(cls);
    if (!::IsWindowVisible(w))
        return TRUE;
    if (name.compare(QLatin1String("Button"), Qt::CaseInsensitive) == 0) {
        seen->buttons << QString::fromWCharArray(text);
    } else if (name.compare(QLatin1String("Static"), Qt::CaseInsensitive) == 0) {
        if ((::GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen->icon = seen->icon || ::SendMessageW(w, STM_GETICON, 0, 0) != 0;
        else if (text[0])
            seen->texts << QString::fromWCharArray(text);
    }
    return TRUE;
}

// Runs show on this thread while another finds the box by its dialog class and title, reads
// it (and calls also while it is up) and presses OK.
SeenBox showAndRead(
    const std::function<void()>& show, const QString& title,
    const std::function<void()>& also = [] {}) {
    SeenBox seen;
    std::thread reader([&] {
        QElapsedTimer clock;
        clock.start();
        HWND box = nullptr;
        while (!box && clock.elapsed() < 15000) {
            box = ::FindWindowW(L"#32770", title.toStdWString().c_str());
            if (!box)
                ::Sleep(50);
        }
        if (!box)
            return;
        // Read once it is laid out and shown: its button is visible.
        while (seen.buttons.isEmpty() && clock.elapsed() < 15000) {
            seen = SeenBox{};
            ::EnumChildWindows(box, child, reinterpret_cast<LPARAM>(&seen));
            ::Sleep(20);
        }
        seen.found = true;
        also();
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    show();
    reader.join();
    return seen;
}

HWND topLevel(const wchar_t* title, bool visible) {
    return ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                             40, 40, 200, 120, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

} // namespace

TEST(Win32MessageBox, TitleTextOneOkButtonAndIcon) {
    const QString title = QStringLiteral("ドライブエラー");
    const SeenBox drive = showAndRead(
        [&] {
            platform::systemMessageBox().show(nullptr, QStringLiteral("ディスクをセットして下さい"),
                                              title, platform::MessageBox::Icon::Critical);
        },
        title);
    ASSERT_TRUE(drive.found) << "no message box titled ドライブエラー";
    EXPECT_EQ(drive.texts, QStringList{QStringLiteral("ディスクをセットして下さい")});
    EXPECT_EQ(drive.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(drive.icon);

    // No title: the program's name; no icon: none shown. CR alone breaks lines as CR LF does.
    const QString old = QApplication::applicationDisplayName();
    QApplication::setApplicationDisplayName(QStringLiteral("tarvo104"));
    const SeenBox plain = showAndRead(
        [] {
            platform::systemMessageBox().show(nullptr, QStringLiteral("一行目\r二行目\r\n三行目"),
                                              QString(), platform::MessageBox::Icon::None);
        },
        QStringLiteral("tarvo104"));
    QApplication::setApplicationDisplayName(old);
    ASSERT_TRUE(plain.found) << "no message box titled tarvo104";
    EXPECT_EQ(plain.texts, QStringList{QStringLiteral("一行目\r\n二行目\r\n三行目")});
    EXPECT_EQ(plain.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_FALSE(plain.icon);
}

TEST(Win32MessageBox, EveryWindowOfTheProgramWaitsForTheBox) {
    const HWND main = topLevel(L"main", true);
    const HWND dialog = topLevel(L"dialog", true);
    const HWND hidden = topLevel(L"hidden", false);
    ASSERT_TRUE(main && dialog && hidden);
    ::EnableWindow(hidden, FALSE); // a window the program disabled itself stays so
    bool mainEnabled = true, dialogEnabled = true;
    const SeenBox seen = showAndRead(
        [&] {
            platform::win::programModalBox(dialog, L"ディスクをセットして下さい", L"ドライブエラー",
                                           MB_OK | MB_ICONERROR);
        },
        QStringLiteral("ドライブエラー"),
        [&] {
            mainEnabled = ::IsWindowEnabled(main) != FALSE;
            dialogEnabled = ::IsWindowEnabled(dialog) != FALSE;
        });
    ASSERT_TRUE(seen.found) << "no message box titled ドライブエラー";
    EXPECT_FALSE(dialogEnabled) << "the window the box belongs to took clicks";
    EXPECT_FALSE(mainEnabled) << "another window of the program took clicks";
    // Afterwards the windows take clicks again; the one disabled before stays disabled.
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_FALSE(::IsWindowEnabled(hidden));
    for (HWND w : {main, dialog, hidden})
        ::DestroyWindow(w);
}
