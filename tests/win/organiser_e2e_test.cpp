// tarvo104.exe under Wine with its companions, as a user drives it: "画像表示" starts our
// CLIPBRD.EXE from the program's folder beside the organiser, which keeps the focus; the
// mirok icon starts Mirok101.exe by name; a click on a picture brings the viewer forward by
// its caption with the picture (offered for rendering on request, read from the screen),
// which the running saver writes beside it; the icon again only finds the saver, and
// "画像表示" again closes the viewer with its keys; quick selections are each saved, none
// reported missed. And the picture a click offered for later rendering is still on the
// clipboard after END, with no reader having asked for it.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <windows.h>

#include "winsupport.h"

namespace {

using namespace wine_e2e;

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

// A folder holding a.bmp, 60 x 45 pixels of green.
bool greenPicture(const QTemporaryDir& dir) {
    QImage green(60, 45, QImage::Format_RGB32);
    green.fill(qRgb(20, 160, 40));
    return dir.isValid() && green.save(dir.filePath(QStringLiteral("a.bmp")));
}

std::string foreground() {
    return captionOf(::GetForegroundWindow()).toStdString();
}

} // namespace

TEST(OrganiserWin, ViewerAndSaverFollowTheButtonsAndASelection) {
    QTemporaryDir dir;
    ASSERT_TRUE(greenPicture(dir));
    Started organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104.exe"), dir.path(), kOrganiser));
    const HWND main = organiser.window;
    ASSERT_TRUE(bringToFront(main));

    // 画像表示: our CLIPBRD.EXE opens beside the organiser; window style 4 leaves the focus
    // with the organiser (or gives it back at once).
    clickMain(main, 5910, 2175, 945, 300);
    HWND viewer = nullptr;
    ASSERT_TRUE(waitFor([&] { return (viewer = windowCalled(kViewer)); }))
        << "CLIPBRD.EXE did not open";
    EXPECT_TRUE(waitFor([&] { return ::GetForegroundWindow() == main; }, 3000))
        << "in front: " << foreground();
    RECT mainFrame{}, viewerFrame{}, overlap{};
    ::GetWindowRect(main, &mainFrame);
    ::GetWindowRect(viewer, &viewerFrame);
    EXPECT_FALSE(::IntersectRect(&overlap, &mainFrame, &viewerFrame))
        << "the viewer at " << viewerFrame.left << "," << viewerFrame.top
        << " covers the organiser at " << mainFrame.left << "," << mainFrame.top;

    // The mirok icon starts the saver; its Run button has the focus and minimises it.
    clickMain(main, 1080, 4620, 510, 510);
    HWND saver = nullptr;
    ASSERT_TRUE(waitFor([&] { return (saver = windowCalled(kSaver)); }))
        << "Mirok101.exe did not start; in front: " << foreground();
    ASSERT_TRUE(pressRun(saver));

    // A click on cell 0's picture: the viewer comes forward showing it, the saver writes it.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground();
    clickMain(main, 90, 30, 1455, 1455);
    EXPECT_TRUE(waitFor([&] { return ::GetForegroundWindow() == viewer; })) << foreground();
    EXPECT_TRUE(waitFor([&] { return middleOf(viewer) == qRgb(20, 160, 40); }, 15000))
        << "the viewer shows " << std::hex << middleOf(viewer);
    const QString saved = dir.filePath(QStringLiteral("SAVE01.bmp"));
    ASSERT_TRUE(waitFor([&] { return QImage(saved).width() == 60; })) << "no SAVE01.bmp";
    EXPECT_EQ(QImage(saved).size(), QSize(60, 45));
    EXPECT_EQ(QImage(saved).pixel(30, 22), qRgb(20, 160, 40));

    // The icon again finds the running saver: it stays minimised, and no second one starts.
    clickMain(main, 1080, 4620, 510, 510);
    EXPECT_FALSE(
        waitFor([&] { return windowsCalled(kSaver).size() != 1 || !::IsIconic(saver); }, 1500));

    // 画像表示 again closes the viewer with its keys. A user's click makes the organiser the
    // active program first, which lets it hand the focus on to the viewer.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground();
    clickMain(main, 5910, 2175, 945, 300);
    EXPECT_TRUE(waitFor([] { return windowCalled(kViewer) == nullptr; }))
        << "the viewer is still open; in front: " << foreground();

    // Four quick selections, a third of a second apart: each picture is saved, in order, and
    // the saver reports nothing as missed.
    const QRgb colours[] = {qRgb(200, 30, 30), qRgb(30, 30, 200), qRgb(200, 200, 30),
                            qRgb(30, 200, 200)};
    for (int k = 0; k < 4; ++k) {
        QImage picture(50 + k, 40, QImage::Format_RGB32);
        picture.fill(colours[k]);
        ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("b%1.bmp").arg(k))));
    }
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground();
    clickMain(main, 135, 4725, 720, 360); // 再表示 lists the new pictures
    const int left[] = {1650, 3210, 4755, 6360};
    for (int k = 0; k < 4; ++k) {
        ::Sleep(300);
        clickMain(main, left[k], 30, 1455, 1455);
    }
    const QString last = dir.filePath(QStringLiteral("SAVE05.bmp"));
    ASSERT_TRUE(waitFor([&] { return QImage(last).width() == 53; }, 15000))
        << "the burst was not saved whole; the saver says " << captionOf(saver).toStdString();
    for (int k = 0; k < 4; ++k) {
        const QImage got(dir.filePath(QStringLiteral("SAVE0%1.bmp").arg(k + 2)));
        EXPECT_EQ(got.size(), QSize(50 + k, 40)) << k;
        EXPECT_EQ(got.pixel(10, 10), colours[k]) << k;
    }
    EXPECT_FALSE(
        waitFor([&] { return captionOf(saver).contains(QStringLiteral("取り込めません")); }, 1500))
        << captionOf(saver).toStdString();

    // END: the organiser ends; the saver wrote nothing more.
    ASSERT_TRUE(bringToFront(main)) << "in front: " << foreground();
    clickMain(main, 7704, 4500, 480, 252);
    EXPECT_TRUE(organiser.ended(10000));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("SAVE06.bmp"))));
    for (HWND w : windowsCalled(kSaver))
        ::PostMessageW(w, WM_CLOSE, 0, 0);
}

TEST(OrganiserEndWin, TheClickedPictureOutlivesTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(greenPicture(dir));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();

    Started organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104.exe"), dir.path(), kOrganiser));
    // The picture in cell 0; the offer is there at once (asking whether it is there renders
    // nothing).
    ASSERT_TRUE(waitFor([&] {
        clickMain(organiser.window, 91, 31, 1453, 1453);
        return waitFor([] { return ::IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 1000);
    }));
    clickMain(organiser.window, 7704, 4500, 480, 252); // END
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
