// tarvo104.exe under Wine as a Windows user meets it: Ctrl+N puts the selected file's path
// with "\" on the clipboard; "画像表示" opens our CLIPBRD.EXE beside the organiser, which
// keeps the focus; the viewer shows the picture a click selects (the organiser's picture
// offered for rendering on request), read from the screen.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

namespace {

using namespace wine_e2e;

const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
const QString kViewer = QStringLiteral("クリップボード ビューア");

QString clipboardText() {
    QString text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* w = static_cast<const wchar_t*>(::GlobalLock(h))) {
            text = QString::fromWCharArray(w);
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return text;
}

// The colour on the screen at the middle of w's client area.
QRgb middleOf(HWND w) {
    RECT r{};
    ::GetClientRect(w, &r);
    POINT p{r.right / 2, r.bottom / 2};
    ::ClientToScreen(w, &p);
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Posts a click at the middle of a control of the main window placed in twips (the client
// area's lowest 344 pixels are the form, the menu bar is above them).
void clickControl(HWND main, int left, int top, int width, int height) {
    RECT r{};
    ::GetClientRect(main, &r);
    const LPARAM at = MAKELPARAM((left + width / 2) / 15, r.bottom - 344 + (top + height / 2) / 15);
    ::PostMessageW(main, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(main, WM_LBUTTONUP, 0, at);
}

} // namespace

TEST(OrganiserDesktop, BackslashPathViewerBesideWithoutFocusShowsTheSelectedPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (auto [name, colour] :
         {std::pair{"a.bmp", qRgb(20, 160, 40)}, {"b.bmp", qRgb(30, 60, 200)}}) {
        QImage picture(60, 45, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(dir.filePath(QString::fromLatin1(name))));
    }
    ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
    const QString exe = QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR "/tarvo104.exe"));
    std::wstring command = L"\"" + exe.toStdWString() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION organiser{};
    const QString folder = QDir::toNativeSeparators(dir.path());
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.toStdWString().c_str(), &si, &organiser));
    HWND main = nullptr;
    ASSERT_TRUE(
        waitFor([&] { return (main = windowCalled(kOrganiser, true, organiser.dwProcessId)); }));

    // Ctrl+N with cell 0 selected at start: the path as cmd.exe and Explorer write it.
    ASSERT_TRUE(waitFor([&] {
        ::SetForegroundWindow(main);
        return ::GetForegroundWindow() == main;
    }));
    QThread::msleep(500);
    INPUT keys[4] = {};
    for (INPUT& k : keys)
        k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = keys[2].ki.wVk = 'N';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, keys, sizeof(INPUT));
    const QString expected = folder + QStringLiteral("\\a.bmp");
    EXPECT_TRUE(waitFor([&] { return clipboardText() == expected; }, 10000))
        << "clipboard: " << clipboardText().toStdString() << ", expected "
        << expected.toStdString();

    // 画像表示 opens the viewer; a click on cell 1 puts b.bmp on the clipboard, and the viewer
    // shows its blue.
    clickControl(main, 5910, 2175, 945, 300);
    HWND viewer = nullptr;
    ASSERT_TRUE(waitFor([&] { return (viewer = windowCalled(kViewer)); }))
        << "CLIPBRD.EXE did not open";
    // Window style 4: the organiser keeps the focus (or has it back at once), and the viewer
    // does not cover it.
    QThread::msleep(1500);
    EXPECT_TRUE(waitFor([&] { return ::GetForegroundWindow() == main; }, 3000))
        << "in front: " << captionOf(::GetForegroundWindow()).toStdString();
    RECT mainFrame{}, viewerFrame{}, overlap{};
    ::GetWindowRect(main, &mainFrame);
    ::GetWindowRect(viewer, &viewerFrame);
    EXPECT_FALSE(::IntersectRect(&overlap, &mainFrame, &viewerFrame))
        << "the viewer at " << viewerFrame.left << "," << viewerFrame.top
        << " covers the organiser at " << mainFrame.left << "," << mainFrame.top << "-"
        << mainFrame.right << "," << mainFrame.bottom;
    clickControl(main, 1650, 30, 1455, 1455);
    EXPECT_TRUE(waitFor([&] { return middleOf(viewer) == qRgb(30, 60, 200); }, 15000))
        << "the viewer shows " << std::hex << middleOf(viewer);

    ::PostMessageW(viewer, WM_CLOSE, 0, 0);
    ::TerminateProcess(organiser.hProcess, 0);
    ::CloseHandle(organiser.hProcess);
    ::CloseHandle(organiser.hThread);
}
