// The message box is Windows' own: MessageBoxW with the title, the text with its line breaks,
// one OK button and the icon asked for, read from the dialog as another program would.
#include "platform/controls/messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>
#undef MessageBox

using platform::systemMessageBox;

namespace {

struct SeenBox {
    bool found = false;
    QString title;
    QStringList texts;   // static texts
    QStringList buttons; // button captions
    bool icon = false;   // an icon control that shows an icon
};

BOOL CALLBACK child(HWND w, LPARAM p) {
    auto* seen = reinterpret_cast<SeenBox*>(p);
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    wchar_t text[256] = {};
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

// Shows a box on this thread while another finds it by its dialog class and title, reads
// it and presses OK.
SeenBox showAndRead(const QString& text, const QString& title, platform::MessageBox::Icon icon,
                    const QString& expectTitle) {
    SeenBox seen;
    std::thread reader([&] {
        QElapsedTimer clock;
        clock.start();
        HWND box = nullptr;
        const std::wstring wanted = expectTitle.toStdWString();
        while (!box && clock.elapsed() < 15000) {
            box = ::FindWindowW(L"#32770", wanted.c_str());
            if (!box)
                ::Sleep(50);
        }
        if (!box)
            return;
        ::Sleep(200); // let it finish laying out
        seen.found = true;
        wchar_t caption[128] = {};
        ::GetWindowTextW(box, caption, 128);
        seen.title = QString::fromWCharArray(caption);
        ::EnumChildWindows(box, child, reinterpret_cast<LPARAM>(&seen));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    systemMessageBox().show(nullptr, text, title, icon);
    reader.join();
    return seen;
}

} // namespace

TEST(Win32MessageBox, TitleTextOneOkButtonAndIcon) {
    const SeenBox drive =
        showAndRead(QStringLiteral("ディスクをセットして下さい"), QStringLiteral("ドライブエラー"),
                    platform::MessageBox::Icon::Critical, QStringLiteral("ドライブエラー"));
    ASSERT_TRUE(drive.found) << "no message box titled ドライブエラー";
    EXPECT_EQ(drive.title, QStringLiteral("ドライブエラー"));
    EXPECT_EQ(drive.texts, QStringList{QStringLiteral("ディスクをセットして下さい")});
    EXPECT_EQ(drive.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(drive.icon);

    // No title: the program's name; no icon: none shown. CR alone breaks lines as CR LF does.
    const QString old = QApplication::applicationDisplayName();
    QApplication::setApplicationDisplayName(QStringLiteral("tarvo104"));
    const SeenBox plain = showAndRead(QStringLiteral("一行目\r二行目\r\n三行目"), QString(),
                                      platform::MessageBox::Icon::None, QStringLiteral("tarvo104"));
    QApplication::setApplicationDisplayName(old);
    ASSERT_TRUE(plain.found) << "no message box titled tarvo104";
    EXPECT_EQ(plain.texts, QStringList{QStringLiteral("一行目\r\n二行目\r\n三行目")});
    EXPECT_EQ(plain.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_FALSE(plain.icon);
}
