// tarvo104.exe under Wine: the picture a click offered for later rendering is still on the
// clipboard after END, with no reader having asked for it in between.
#include <QImage>
#include <QTemporaryDir>
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
