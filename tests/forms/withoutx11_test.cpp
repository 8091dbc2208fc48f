// The real platform services where Qt runs without X11 (here offscreen, as on Wayland without
// XWayland): operations on other programs' windows fail as unsupported instead of crashing,
// the clipboard probe does not wait, the capture saver says in its window that it cannot
// watch, and the organiser's companion buttons run their failure actions.
#include "capture/form1.h"
#include "capture/module1.h"
#include "platform/clipboard.h"
#include "platform/clipboardprobe.h"
#include "platform/programs.h"
#include "platform/viewerchain.h"
#include "support/organiserfixture.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace testing_support;
using platform::Error;

namespace {

class WithoutX11 : public OrganiserTest {
protected:
    void SetUp() override { ASSERT_NE(QGuiApplication::platformName(), QLatin1String("xcb")); }
};

TEST_F(WithoutX11, CaptureSaverSaysItCannotWatchAndStillRunsAndEnds) {
    CurrentDir here(dir.path());
    capture::module1() = {};
    int ended = 0;
    capture::Form1 form(platform::systemViewerChain(), platform::systemClipboard(),
                        [&] { ++ended; });
    form.show();
    EXPECT_TRUE(form.findChild<QLineEdit*>(QStringLiteral("Text5"))
                    ->text()
                    .startsWith(QStringLiteral("クリップボードを監視できません")));
    EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("Mirok101 - ")));

    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(dir.names().isEmpty());
    capture::module1() = {};
}

TEST_F(WithoutX11, WindowOperationsFailAsUnsupportedAndTheCompanionsFallBack) {
    platform::Programs& programs = platform::systemPrograms();
    EXPECT_EQ(programs.activate(QStringLiteral("Mirok101"), true).error, Error::Unsupported);
    EXPECT_EQ(programs.restore(QStringLiteral("クリップボード ビューア")).error,
              Error::Unsupported);
    EXPECT_EQ(programs.sendKeys(QStringLiteral("+{F10}FX"), true).error, Error::Unsupported);
    EXPECT_TRUE(platform::detail::clipboardOwnerAnswers(200)); // nothing to ask: the read decides
    EXPECT_FALSE(platform::systemViewerChain().watchesOtherPrograms());

    writePictures(2);
    start(); // the organiser's own programs service: the system's
    // The viewer counts as open, but it cannot be found: a thumbnail click still copies, and
    // the flag says it is closed, so the next "画像表示" starts one.
    m().ClipboardViewerOpen = 1;
    clickPicture(1);
    EXPECT_EQ(m().ClipboardViewerOpen, 0);
    ASSERT_TRUE(clip.image.has_value());

    // END with the flag set: closing the viewer fails, the organiser ends all the same.
    m().ClipboardViewerOpen = 1;
    press("EndBottun");
    EXPECT_EQ(endCalls, 1);
}

} // namespace
