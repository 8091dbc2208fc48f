// tarvo104.exe under Wine with its companions, as a user drives it: "画像表示" starts our
// CLIPBRD.EXE from the program's folder, the mirok icon starts
// Mirok101.exe by name, a click on a picture brings the viewer forward by its caption with
// the picture, which the running saver writes beside it; the icon again only finds the
// saver, and "画像表示" again closes the viewer with its keys.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

namespace {

using namespace wine_e2e;

const QString kOrganiser = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
const QString kViewer = QStringLiteral("クリップボード ビューア");
const QString kSaver = QStringLiteral("Mirok101");

// The client point at the middle of a control placed at left, top, width, height twips in
// the lowest h pixels of w's client area (the menu bar is above them).
POINT controlCentre(HWND w, int h, int left, int top, int width, int height) {
    RECT r{};
    ::GetClientRect(w, &r);
    return POINT{(left + width / 2) / 15, r.bottom - h + (top + height / 2) / 15};
}

class OrganiserWin : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PROCESS_INFORMATION organiser{};
    HWND main = nullptr;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QImage green(60, 45, QImage::Format_RGB32);
        green.fill(qRgb(20, 160, 40));
        ASSERT_TRUE(green.save(dir.filePath(QStringLiteral("a.bmp"))));
        // The programs need real windows; this test itself runs offscreen.
        ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
        const QString exe = QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR "/tarvo104.exe"));
        std::wstring command = L"\"" + exe.toStdWString() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     QDir::toNativeSeparators(dir.path()).toStdWString().c_str(),
                                     &si, &organiser));
        ASSERT_TRUE(waitFor([&] {
            main = windowCalled(kOrganiser, true, organiser.dwProcessId);
            return main != nullptr;
        }));
        QThread::msleep(800);
    }
    void TearDown() override {
        for (const QString& c : {kSaver, kViewer})
            for (HWND w : windowsCalled(c))
                ::PostMessageW(w, WM_CLOSE, 0, 0);
        if (organiser.hProcess) {
            if (::WaitForSingleObject(organiser.hProcess, 0) != WAIT_OBJECT_0)
                ::TerminateProcess(organiser.hProcess, 1);
            ::CloseHandle(organiser.hProcess);
            ::CloseHandle(organiser.hThread);
        }
    }
    // A click on a control of the main window, given to the window itself: other windows
    // may cover it, and the window manager decides which window is in front.
    void clickMain(int left, int top, int width, int height) {
        const POINT p = controlCentre(main, 344, left, top, width, height);
        const LPARAM at = MAKELPARAM(p.x, p.y);
        ::PostMessageW(main, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(main, WM_LBUTTONUP, 0, at);
        QThread::msleep(500);
    }
    bool bringToFront(HWND w) {
        return waitFor(
            [&] {
                ::SetForegroundWindow(w);
                QThread::msleep(200);
                return ::GetForegroundWindow() == w;
            },
            10000);
    }
    QString foreground() const { return captionOf(::GetForegroundWindow()); }
    // Every visible top-level window, for a failure's message.
    static std::string windowList() {
        std::string out;
        for (HWND w : windowsCalled(QString(), true)) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            RECT r{};
            ::GetWindowRect(w, &r);
            out += "\n  [" + captionOf(w).toStdString() + "] pid " + std::to_string(pid) +
                   (::IsIconic(w) ? " iconic" : "") + " at " + std::to_string(r.left) + "," +
                   std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                   std::to_string(r.bottom - r.top);
        }
        return out;
    }
};

TEST_F(OrganiserWin, ViewerAndSaverFollowTheButtonsAndASelection) {
    // 画像表示: our CLIPBRD.EXE opens.
    clickMain(5910, 2175, 945, 300);
    ASSERT_TRUE(waitFor([] { return windowCalled(kViewer) != nullptr; }))
        << "CLIPBRD.EXE did not open";
    QThread::msleep(500);

    // The mirok icon starts the saver; its Run button has the focus and minimises it.
    clickMain(1080, 4620, 510, 510);
    ASSERT_TRUE(waitFor([] { return windowCalled(kSaver) != nullptr; }))
        << "Mirok101.exe did not start; in front: " << foreground().toStdString();
    const HWND saver = windowCalled(kSaver);
    ASSERT_TRUE(waitFor(
        [&] {
            if (::IsIconic(saver))
                return true;
            if (bringToFront(saver))
                tap(VK_SPACE);
            QThread::msleep(300);
            return bool(::IsIconic(saver));
        },
        30000));

    // A click on cell 0's picture: the viewer comes forward, the saver writes the picture.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground().toStdString();
    clickMain(90, 30, 1455, 1455);
    EXPECT_TRUE(waitFor([&] { return foreground() == kViewer; })) << foreground().toStdString();
    const QString saved = dir.filePath(QStringLiteral("SAVE01.bmp"));
    ASSERT_TRUE(waitFor([&] { return QImage(saved).width() == 60; })) << "no SAVE01.bmp";
    const QImage picture(saved);
    EXPECT_EQ(picture.size(), QSize(60, 45));
    EXPECT_EQ(picture.pixel(30, 22), qRgb(20, 160, 40));

    // The icon again finds the running saver: it stays minimised, and no second one starts.
    clickMain(1080, 4620, 510, 510);
    QThread::msleep(1500);
    EXPECT_EQ(windowsCalled(kSaver).size(), 1u);
    EXPECT_TRUE(::IsIconic(saver));

    // 画像表示 again closes the viewer with its keys. A user's click makes the organiser the
    // active program first, which lets it hand the focus on to the viewer.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground().toStdString();
    clickMain(5910, 2175, 945, 300);
    EXPECT_TRUE(waitFor([] { return windowCalled(kViewer) == nullptr; }))
        << "the viewer is still open; in front: " << foreground().toStdString() << windowList();

    // END: the organiser ends.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground().toStdString();
    clickMain(7704, 4500, 480, 252);
    EXPECT_EQ(::WaitForSingleObject(organiser.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("SAVE02.bmp"))));
}

} // namespace
