// tarvo104.exe under Wine: the picture a click offered for later rendering is still on the
// clipboard after END, with no reader having asked for it in between.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

using namespace wine_e2e;

TEST(OrganiserEndWin, TheClickedPictureOutlivesTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage green(60, 45, QImage::Format_RGB32);
    green.fill(qRgb(20, 160, 40));
    ASSERT_TRUE(green.save(dir.filePath(QStringLiteral("a.bmp"))));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();

    ::SetEnvironmentVariableW(L"QT_QPA_PLATFORM", nullptr);
    const QString exe = QDir::toNativeSeparators(QStringLiteral(TARVO_BIN_DIR "/tarvo104.exe"));
    std::wstring command = L"\"" + exe.toStdWString() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION organiser{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 QDir::toNativeSeparators(dir.path()).toStdWString().c_str(), &si,
                                 &organiser));
    HWND main = nullptr;
    ASSERT_TRUE(waitFor([&] {
        main = windowCalled(QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]"), true,
                            organiser.dwProcessId);
        return main != nullptr;
    }));
    // A control's middle, in the lowest 344 pixels of the client area (the menu bar is above).
    auto clickAt = [&](int left, int top, int width, int height) {
        RECT r{};
        ::GetClientRect(main, &r);
        const LPARAM at =
            MAKELPARAM((left + width / 2) / 15, r.bottom - 344 + (top + height / 2) / 15);
        ::PostMessageW(main, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(main, WM_LBUTTONUP, 0, at);
    };
    // The picture in cell 0; the offer is there at once (asking whether it is there renders
    // nothing).
    ASSERT_TRUE(waitFor([&] {
        clickAt(91, 31, 1453, 1453);
        return waitFor([] { return ::IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 1000);
    }));
    clickAt(7704, 4500, 480, 252); // END
    ASSERT_EQ(::WaitForSingleObject(organiser.hProcess, 10000), WAIT_OBJECT_0);
    ::CloseHandle(organiser.hProcess);
    ::CloseHandle(organiser.hThread);

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
