// tarvo104.exe under Wine with its companions CLIPBRD.EXE and Mirok101.exe, driven through
// user32 as a user and other programs would.
#include "support/testfolder.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>

#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>
#include <windows.h>

namespace {

const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
const QString kViewer = QStringLiteral("クリップボード ビューア");
const QString kSaver = QStringLiteral("Mirok101");

template <class F> bool waitFor(F done, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

QString captionOf(HWND w) {
    wchar_t title[256] = {};
    ::GetWindowTextW(w, title, 256);
    return QString::fromWCharArray(title);
}

std::string foreground() {
    return captionOf(::GetForegroundWindow()).toStdString();
}

// The visible top-level windows whose caption begins with caption.
std::vector<HWND> windowsCalled(const QString& caption) {
    using Search = std::pair<QString, std::vector<HWND>>;
    Search search{caption, {}};
    ::EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (::IsWindowVisible(w) && captionOf(w).startsWith(s->first))
                s->second.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND windowCalled(const QString& caption) {
    const auto all = windowsCalled(caption);
    return all.empty() ? nullptr : all.front();
}

// tarvo104.exe started in a folder with real windows (the test runs offscreen).
struct Organiser {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;

    bool start(const QString& folder) {
        ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
        std::wstring command =
            QDir::toNativeSeparators(QStringLiteral("\"" TARVO_BIN_DIR "/tarvo104.exe\""))
                .toStdWString();
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                QDir::toNativeSeparators(folder).toStdWString().c_str(), &si,
                                &pi) &&
               waitFor([&] { return (main = windowCalled(kOrganiser)); });
    }
    bool ended(DWORD ms) const { return ::WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    ~Organiser() {
        if (!pi.hProcess)
            return;
        if (!ended(0))
            ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    // A click given to the main window itself (others may cover it) at the middle of a
    // control placed in twips in the lowest 344 pixels of its client area.
    void click(int left, int top, int width, int height) const {
        RECT r{};
        ::GetClientRect(main, &r);
        const LPARAM at =
            MAKELPARAM((left + width / 2) / 15, r.bottom - 344 + (top + height / 2) / 15);
        ::PostMessageW(main, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(main, WM_LBUTTONUP, 0, at);
    }
    void clickCell(int cell) const { click(90 + 1560 * cell, 30, 1455, 1455); }
    void end() const { click(7704, 4500, 480, 252); }
};

bool bringToFront(HWND w) {
    return waitFor(
        [&] {
            ::SetForegroundWindow(w);
            return waitFor([&] { return ::GetForegroundWindow() == w; }, 200);
        },
        10000);
}

// Presses the capture saver's Run button, which has the focus; Run minimises the window.
bool pressRun(HWND saver) {
    return waitFor(
        [&] {
            if (!::IsIconic(saver) && bringToFront(saver)) {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = VK_SPACE;
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                ::SendInput(2, in, sizeof(INPUT));
            }
            return waitFor([&] { return ::IsIconic(saver) != FALSE; }, 1000);
        },
        30000);
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

const QRgb kGreen = qRgb(20, 160, 40);

} // namespace

TEST(OrganiserWin, ViewerAndSaverFollowTheButtonsAndTheClickedPictureOutlivesTheProgram) {
    testing_support::TestFolder dir;
    dir.writePicture(QStringLiteral("a.bmp"), 60, 45, QColor(kGreen));
    Organiser organiser;
    ASSERT_TRUE(organiser.start(dir.path()));
    const HWND main = organiser.main;
    ASSERT_TRUE(bringToFront(main));

    // 画像表示: our CLIPBRD.EXE opens, the organiser keeps the focus.
    organiser.click(5910, 2175, 945, 300);
    HWND viewer = nullptr;
    ASSERT_TRUE(waitFor([&] { return (viewer = windowCalled(kViewer)); })) << "no CLIPBRD.EXE";
    EXPECT_TRUE(waitFor([&] { return ::GetForegroundWindow() == main; }, 3000)) << foreground();

    // The mirok icon starts the saver; its Run button minimises it.
    organiser.click(1080, 4620, 510, 510);
    HWND saver = nullptr;
    ASSERT_TRUE(waitFor([&] { return (saver = windowCalled(kSaver)); })) << foreground();
    ASSERT_TRUE(pressRun(saver));

    // A click on cell 0's picture: the viewer comes forward showing it.
    ASSERT_TRUE(bringToFront(main)) << foreground();
    organiser.clickCell(0);
    EXPECT_TRUE(waitFor([&] { return ::GetForegroundWindow() == viewer; })) << foreground();
    EXPECT_TRUE(waitFor([&] { return middleOf(viewer) == kGreen; }, 15000))
        << "the viewer shows " << std::hex << middleOf(viewer);

    // The icon again finds the running saver: it stays minimised, and no second one starts.
    organiser.click(1080, 4620, 510, 510);
    EXPECT_FALSE(
        waitFor([&] { return windowsCalled(kSaver).size() != 1 || !::IsIconic(saver); }, 1500));

    // 画像表示 again closes the viewer with its keys (the organiser in front may hand it the
    // focus).
    ASSERT_TRUE(bringToFront(main)) << foreground();
    organiser.click(5910, 2175, 945, 300);
    EXPECT_TRUE(waitFor([] { return windowCalled(kViewer) == nullptr; })) << foreground();

    // Four more selections a third of a second apart: the saver saves each picture once, in
    // order, and reports nothing as missed.
    const QRgb colours[] = {kGreen, qRgb(200, 30, 30), qRgb(30, 30, 200), qRgb(200, 200, 30),
                            qRgb(30, 200, 200)};
    for (int k = 1; k <= 4; ++k)
        dir.writePicture(QStringLiteral("b%1.bmp").arg(k), 50 + k, 40, QColor(colours[k]));
    ASSERT_TRUE(bringToFront(main)) << foreground();
    organiser.click(135, 4725, 720, 360); // 再表示 lists the new pictures
    for (int k = 1; k <= 4; ++k) {
        ::Sleep(300);
        organiser.clickCell(k);
    }
    const QString last = dir.file(QStringLiteral("SAVE05.bmp"));
    ASSERT_TRUE(waitFor([&] { return QImage(last).width() == 54; }, 15000))
        << "not saved whole; the saver says " << captionOf(saver).toStdString();
    for (int k = 0; k < 5; ++k) {
        const QImage got(dir.file(QStringLiteral("SAVE0%1.bmp").arg(k + 1)));
        EXPECT_EQ(got.size(), k == 0 ? QSize(60, 45) : QSize(50 + k, 40)) << k;
        EXPECT_EQ(got.pixel(10, 10), colours[k]) << k;
    }
    EXPECT_FALSE(
        waitFor([&] { return captionOf(saver).contains(QStringLiteral("取り込めません")); }, 1500))
        << captionOf(saver).toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("SAVE*")}).size(), 5);

    // With the saver closed, a click offers cell 0's picture to be made when asked for; after
    // END it is on the clipboard, made, with no reader having asked for it.
    for (HWND w : windowsCalled(kSaver))
        ::PostMessageW(w, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([] { return windowCalled(kSaver) == nullptr; }));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    ASSERT_TRUE(bringToFront(main)) << foreground();
    ASSERT_TRUE(waitFor([&] {
        organiser.clickCell(0);
        return waitFor([] { return ::IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 1000);
    }));
    organiser.end();
    ASSERT_TRUE(organiser.ended(10000));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE h = ::GetClipboardData(CF_DIB);
    ASSERT_NE(h, nullptr) << "the picture went with the program";
    const auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(h));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->biWidth, 60);
    EXPECT_EQ(std::abs(info->biHeight), 45);
    ::GlobalUnlock(h);
    ::CloseClipboard();
}
