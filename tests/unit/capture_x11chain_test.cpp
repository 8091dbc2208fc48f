// The platform's viewer chain on Linux: a joined window hears of every clipboard change through
// its installed procedure, and nothing once it has left. Offscreen, Qt's in-process clipboard
// raises the same change signal that XFixes raises on a display.
#include "platform/viewerchain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<std::uint32_t> seen;
platform::WndProc previous = nullptr;

platform::LResult TARVO_WNDPROC_CC recorder(platform::WindowHandle w, std::uint32_t msg,
                                            platform::WParam wp, platform::LParam lp) {
    seen.push_back(msg);
    return platform::systemViewerChain().CallWindowProcA(previous, w, msg, wp, lp);
}

TEST(X11ViewerChain, ChangesReachTheHookedProcedureWhileJoined) {
    platform::ViewerChain& chain = platform::systemViewerChain();
    QWidget window;
    const platform::WindowHandle h = chain.windowHandle(&window);
    ASSERT_NE(h, 0u);
    seen.clear();

    EXPECT_EQ(chain.SetClipboardViewer(h), 0u); // no other viewer follows on X11
    QGuiApplication::clipboard()->setText(QStringLiteral("before the hook"));
    EXPECT_TRUE(seen.empty()); // the window's own procedure had it

    previous = chain.SetWindowLongA(h, platform::GWL_WNDPROC, &recorder);
    ASSERT_NE(previous, nullptr);
    QGuiApplication::clipboard()->setText(QStringLiteral("one"));
    QGuiApplication::clipboard()->setText(QStringLiteral("two"));
    EXPECT_EQ(seen,
              (std::vector<std::uint32_t>{platform::WM_DRAWCLIPBOARD, platform::WM_DRAWCLIPBOARD}));

    // Left, with the procedure still hooked: a change must no longer reach it.
    chain.ChangeClipboardChain(h, 0);
    QGuiApplication::clipboard()->setText(QStringLiteral("after leaving"));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(chain.SetWindowLongA(h, platform::GWL_WNDPROC, previous), &recorder);
    EXPECT_EQ(chain.SetWindowLongA(h, 0, &recorder), nullptr); // only GWL_WNDPROC is known
}

} // namespace
