// The capture saver's chain procedure on a simulated chain of several viewers: notices travel
// the whole chain, repairs keep it whole, and leaving undoes exactly what joining did.
#include "capture/module1.h"
#include "support/fakeviewerchain.h"

#include <gtest/gtest.h>

using capture::module1;
using platform::WM_CHANGECBCHAIN;
using platform::WM_DRAWCLIPBOARD;
using testing_support::FakeViewerChain;

namespace {

class CaptureChain : public ::testing::Test {
protected:
    void SetUp() override {
        module1() = {};
        form = chain.addWindow();
        auto& m = module1();
        m.Chain = &chain;
        m.Form1Window = form;
        m.CaptureOn = 1;
        m.CaptureClipboard = [this] { ++saves; };
    }
    void TearDown() override { module1() = {}; }

    FakeViewerChain chain;
    FakeViewerChain::WindowHandle form = 0;
    int saves = 0;
};

TEST_F(CaptureChain, JoiningDoesNotSaveWhatIsAlreadyThere) {
    auto a = chain.addOtherViewer();
    auto b = chain.addOtherViewer(); // chain: b -> a
    capture::JoinViewerChain();      // chain: form -> b -> a

    EXPECT_EQ(module1().NextViewer, b);
    EXPECT_EQ(chain.head(), form);
    // The notice sent while joining reached the window's own procedure only.
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(chain.window(form).drawsSeen(), 1);
    EXPECT_EQ(chain.window(b).draws, 0);
    EXPECT_EQ(module1().PrevWndProc, FakeViewerChain::ownProcedure());
    (void)a;
}

TEST_F(CaptureChain, EveryChangeIsSavedAndPassedAlongTheChain) {
    auto a = chain.addOtherViewer();
    auto b = chain.addOtherViewer();
    capture::JoinViewerChain();

    chain.clipboardChanged();
    chain.clipboardChanged();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(chain.window(b).draws, 2);
    EXPECT_EQ(chain.window(a).draws, 2);
    // Every message, the chain's included, also reaches the window's own procedure.
    EXPECT_EQ(chain.window(form).drawsSeen(), 3);
    EXPECT_EQ(capture::CaptureWndProc(form, 0x0010, 7, 9), FakeViewerChain::kOwnResult);
    EXPECT_EQ(chain.window(form).ownProcLog.back().msg, 0x0010u);
    EXPECT_EQ(chain.window(form).ownProcLog.back().wParam, 7u);
}

TEST_F(CaptureChain, SwitchedOffNothingIsSavedButNoticesStillTravel) {
    auto a = chain.addOtherViewer();
    capture::JoinViewerChain();
    module1().CaptureOn = 0;
    chain.clipboardChanged();
    module1().CaptureOn = 2; // only exactly 1 means save
    chain.clipboardChanged();
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(chain.window(a).draws, 2);
    EXPECT_EQ(chain.window(form).drawsSeen(), 3);
    module1().CaptureOn = 1;
    chain.clipboardChanged();
    EXPECT_EQ(saves, 1);
}

TEST_F(CaptureChain, LastViewerForwardsNothing) {
    capture::JoinViewerChain();
    EXPECT_EQ(module1().NextViewer, 0u);
    // The fake throws when a message goes to a window that does not exist (such as 0).
    EXPECT_NO_THROW(chain.clipboardChanged());
    EXPECT_EQ(saves, 1);
    EXPECT_NO_THROW(capture::CaptureWndProc(form, WM_CHANGECBCHAIN, 0x5555, 0));
    EXPECT_EQ(module1().NextViewer, 0u);
}

TEST_F(CaptureChain, RepairWhenTheNextViewerLeaves) {
    auto a = chain.addOtherViewer();
    auto b = chain.addOtherViewer();
    capture::JoinViewerChain(); // form -> b -> a
    chain.removeOtherViewer(b);
    EXPECT_EQ(module1().NextViewer, a);
    // The repair ends with us: nobody further down hears of b.
    for (const auto& msg : chain.window(a).ownProcLog)
        EXPECT_NE(msg.msg, WM_CHANGECBCHAIN);

    chain.clipboardChanged();
    EXPECT_EQ(chain.window(a).draws, 1);
    EXPECT_EQ(chain.window(b).draws, 0);
    EXPECT_EQ(saves, 1);
}

TEST_F(CaptureChain, AnotherViewerLeavingIsPassedOnUnchanged) {
    auto a = chain.addOtherViewer();
    auto b = chain.addOtherViewer();
    auto c = chain.addOtherViewer();
    capture::JoinViewerChain(); // form -> c -> b -> a
    chain.removeOtherViewer(a); // b must learn that a, its next, left
    EXPECT_EQ(module1().NextViewer, c);
    ASSERT_FALSE(chain.window(c).ownProcLog.empty());
    const auto& seen = chain.window(c).ownProcLog.back();
    EXPECT_EQ(seen.msg, WM_CHANGECBCHAIN);
    EXPECT_EQ(seen.wParam, a);
    EXPECT_EQ(seen.lParam, 0);
    EXPECT_EQ(chain.window(b).next, 0u);

    chain.clipboardChanged();
    EXPECT_EQ(chain.window(c).draws, 1);
    EXPECT_EQ(chain.window(b).draws, 1);
    EXPECT_EQ(chain.window(a).draws, 0);
}

TEST_F(CaptureChain, LeavingKeepsTheChainWholeAndRestoresTheProcedure) {
    auto a = chain.addOtherViewer();
    capture::JoinViewerChain();      // form -> a
    auto d = chain.addOtherViewer(); // d -> form -> a
    chain.clipboardChanged();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(chain.window(a).draws, 1);

    capture::LeaveViewerChain(); // d -> a
    EXPECT_EQ(chain.window(d).next, a);
    EXPECT_EQ(chain.window(form).proc, FakeViewerChain::ownProcedure());
    chain.clipboardChanged();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(chain.window(d).draws, 2);
    EXPECT_EQ(chain.window(a).draws, 2);

    // Leaving twice (Exit, then the window closing) changes nothing more.
    const int leaves = chain.leaves, hooks = chain.hooks;
    capture::LeaveViewerChain();
    EXPECT_EQ(chain.leaves, leaves);
    EXPECT_EQ(chain.hooks, hooks);
}

TEST_F(CaptureChain, ASecondJoinDoesNotHookTwice) {
    capture::JoinViewerChain();
    capture::JoinViewerChain();
    EXPECT_EQ(chain.joins, 1);
    EXPECT_EQ(chain.hooks, 1);
    chain.clipboardChanged(); // would recurse without end if hooked onto itself
    EXPECT_EQ(saves, 1);
}

} // namespace
