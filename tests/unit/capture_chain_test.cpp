// The capture saver's chain procedure on a simulated chain of several viewers: notices travel
// the whole chain, repairs keep it whole, and leaving undoes what joining did.
#include "capture/module1.h"
#include "support/fakeviewerchain.h"

#include <gtest/gtest.h>

using capture::module1;
using platform::WM_CHANGECBCHAIN;
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

TEST_F(CaptureChain, ChangesAfterTheJoinAreSavedAndPassedAlongTheChainSwitchedOffOrNot) {
    auto a = chain.addOtherViewer();
    capture::JoinViewerChain(); // form -> a
    EXPECT_EQ(module1().NextViewer, a);
    EXPECT_EQ(chain.head(), form);
    EXPECT_EQ(saves, 0); // the join's own notice: what was there before is not saved

    chain.clipboardChanged();
    for (int off : {0, 2}) { // only exactly 1 means save
        module1().CaptureOn = off;
        chain.clipboardChanged();
    }
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(chain.window(a).draws, 3);
    // Every message, the chain's included, also reaches the window's own procedure.
    EXPECT_EQ(chain.window(form).drawsSeen(), 4);
    EXPECT_EQ(capture::CaptureWndProc(form, 0x0010, 7, 9), FakeViewerChain::kOwnResult);
    EXPECT_EQ(chain.window(form).ownProcLog.back().wParam, 7u);
}

TEST_F(CaptureChain, AViewerLeavingIsPassedOnOrRepairedAndLeavingOurselvesKeepsTheChainWhole) {
    auto a = chain.addOtherViewer();
    auto b = chain.addOtherViewer();
    auto c = chain.addOtherViewer();
    capture::JoinViewerChain(); // form -> c -> b -> a
    chain.removeOtherViewer(a); // b must learn that a, its next, left
    EXPECT_EQ(chain.window(c).ownProcLog.back().msg, WM_CHANGECBCHAIN);
    EXPECT_EQ(chain.window(b).next, 0u);

    chain.removeOtherViewer(c); // ours to repair, and nobody further down hears of it
    EXPECT_EQ(module1().NextViewer, b);
    for (const auto& msg : chain.window(b).ownProcLog)
        EXPECT_NE(msg.wParam, c);
    chain.clipboardChanged();
    EXPECT_EQ(chain.window(b).draws, 1);
    EXPECT_EQ(chain.window(c).draws, 0);
    EXPECT_EQ(saves, 1);

    auto d = chain.addOtherViewer(); // d -> form -> b; leaving in the middle: d -> b
    capture::LeaveViewerChain();
    EXPECT_EQ(chain.window(d).next, b);
    EXPECT_EQ(chain.window(form).proc, FakeViewerChain::ownProcedure());
    chain.clipboardChanged();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(chain.window(b).draws, 2);
}

TEST_F(CaptureChain, AloneAndJoinedTwiceItHooksOnceAndForwardsNothing) {
    capture::JoinViewerChain();
    capture::JoinViewerChain();
    EXPECT_EQ(chain.joins, 1);
    EXPECT_EQ(chain.hooks, 1);
    EXPECT_EQ(module1().NextViewer, 0u);
    // The fake throws for a message to a window that does not exist (such as 0) or in a loop.
    EXPECT_NO_THROW(chain.clipboardChanged());
    EXPECT_NO_THROW(capture::CaptureWndProc(form, WM_CHANGECBCHAIN, 0x5555, 0));
    EXPECT_EQ(saves, 1);
}

} // namespace
