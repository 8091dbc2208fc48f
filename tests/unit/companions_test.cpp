// The companion operations against a simulated desktop: which programs are started with
// which style, which windows are activated, which keys are sent, what the user is told and
// what ClipboardViewerOpen holds afterwards.

#include "organiser/companions/companions.h"
#include "support/organiserfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using testing_support::FakeMessageBox;
using testing_support::FakePrograms;
using Kind = FakePrograms::Call::Kind;

namespace {

const QString kViewer = QStringLiteral("クリップボード ビューア");
const QString kSaver = QStringLiteral("Mirok101");
const QString kSaverMissing =
    QStringLiteral("Tarvo と同じフォルダに　Mirok101.exe をおいてください。");

class CompanionsTest : public testing_support::OrganiserTest {
protected:
    testing_support::TestFolder beside; // plays the organiser's own folder
    FakePrograms programs;
    int& ends = endCalls;

    void SetUp() override {
        programs.programs = {{QStringLiteral("CLIPBRD.EXE"), kViewer},
                             {QStringLiteral("mirok101.exe"), kSaver},
                             {QStringLiteral("MSPAINT.EXE"), QStringLiteral("kolourpaint")}};
        programs.paths = {dir.file(QStringLiteral("Mirok101")),
                          beside.file(QStringLiteral("Mirok101"))};
        programsService = &programs;
        start();
        org->imgView()->show();
    }

    std::int16_t open() { return org->m().ClipboardViewerOpen; }
    // The calls made since the last look, as "Start CLIPBRD.EXE 4", "Activate caption 0",
    // "Keys +{F10}FX 1".
    QStringList calls() {
        QStringList out;
        for (const auto& c : programs.calls) {
            switch (c.kind) {
            case Kind::Start:
                out << QStringLiteral("Start %1 %2").arg(c.text).arg(c.style);
                break;
            case Kind::Activate:
                out << QStringLiteral("Activate %1 %2").arg(c.text).arg(int(c.wait));
                break;
            case Kind::Restore:
                out << QStringLiteral("Restore %1").arg(c.text);
                break;
            case Kind::SendKeys:
                out << QStringLiteral("Keys %1 %2").arg(c.text).arg(int(c.wait));
                break;
            }
        }
        programs.calls.clear();
        return out;
    }
    const QStringList closeViewer{QStringLiteral("Restore クリップボード ビューア"),
                                  QStringLiteral("Keys +{F10}FX 0")};
    const QStringList startViewer{QStringLiteral("Start CLIPBRD.EXE 4")};

    // Another window of ours takes the focus, so that giving it back can be seen.
    void focusElsewhere() {
        decoy.show();
        decoy.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&decoy));
    }
    bool mainHasFocus() { return QTest::qWaitForWindowActive(org->imgView(), 2000); }
    QWidget decoy;
};

TEST_F(CompanionsTest, PressesStartCloseAndStartTheViewerKeepingTheFocus) {
    focusElsewhere();
    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), startViewer);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(programs.windowCount(kViewer), 1);
    EXPECT_TRUE(mainHasFocus()) << "the focus goes back to ImgView";

    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), closeViewer);
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(programs.windowCount(kViewer), 0);

    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), startViewer);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(programs.windowCount(kViewer), 1);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, ViewerClosedByHandIsReplacedByOnePressWithoutKeys) {
    tarvo::ToggleClipboardViewer(*org);
    programs.closeByHand(kViewer);
    calls();
    focusElsewhere();

    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), (QStringList{QStringLiteral("Restore クリップボード ビューア"),
                                    QStringLiteral("Start CLIPBRD.EXE 4")}));
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(programs.windowCount(kViewer), 1);
    EXPECT_TRUE(mainHasFocus());

    tarvo::ToggleClipboardViewer(*org); // the next press closes the new one
    EXPECT_EQ(calls(), closeViewer);
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, MinimisedViewerIsClosedByOnePressAndTheNextStartsOne) {
    tarvo::ToggleClipboardViewer(*org);
    programs.minimised.append(kViewer);
    programs.active = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
    calls();

    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), closeViewer) << "restored, then closed by its keys; nothing started";
    EXPECT_EQ(programs.windowCount(kViewer), 0);
    EXPECT_EQ(open(), 0);

    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), startViewer);
    EXPECT_EQ(programs.windowCount(kViewer), 1);
    EXPECT_EQ(open(), 1);
}

TEST_F(CompanionsTest, KeysThatFailStartTheToggleOverWithANewViewer) {
    tarvo::ToggleClipboardViewer(*org);
    calls();
    programs.failKeys = true;
    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), closeViewer + startViewer);
    EXPECT_EQ(open(), 1);
}

TEST_F(CompanionsTest, ViewerThatCannotStartIsTriedAgainOnlyByTheNextPress) {
    programs.programs.clear();
    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), startViewer) << "no retry within the press";
    EXPECT_EQ(open(), 0);
    tarvo::ToggleClipboardViewer(*org);
    EXPECT_EQ(calls(), startViewer);
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(box.shown.empty()) << "no message";
}

TEST_F(CompanionsTest, RaisingActivatesTheViewerOnlyWhileItIsOpenAndForgetsItQuietly) {
    EXPECT_TRUE(tarvo::RaiseClipboardViewer(*org));
    EXPECT_TRUE(calls().isEmpty()) << "no viewer started, nothing to raise";

    tarvo::ToggleClipboardViewer(*org);
    programs.active = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
    calls();
    EXPECT_TRUE(tarvo::RaiseClipboardViewer(*org));
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate クリップボード ビューア 0")});
    EXPECT_EQ(programs.active, kViewer);
    EXPECT_EQ(open(), 1);

    programs.closeByHand(kViewer);
    EXPECT_FALSE(tarvo::RaiseClipboardViewer(*org));
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate クリップボード ビューア 0")});
    EXPECT_EQ(open(), 0);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(tarvo::RaiseClipboardViewer(*org));
    EXPECT_TRUE(calls().isEmpty()) << "forgotten: no further activation";
}

TEST_F(CompanionsTest, EndClosesTheOpenViewerWaitingThenEnds) {
    tarvo::ToggleClipboardViewer(*org);
    calls();
    auto* end = org->imgView()->findChild<QPushButton*>(QStringLiteral("EndBottun"));
    ASSERT_NE(end, nullptr);
    end->click();
    EXPECT_EQ(calls(), (QStringList{QStringLiteral("Restore クリップボード ビューア"),
                                    QStringLiteral("Keys +{F10}FX 1")}));
    EXPECT_EQ(programs.windowCount(kViewer), 0);
    EXPECT_EQ(ends, 1);
}

TEST_F(CompanionsTest, EndWithTheViewerGoneSendsNoKeysAndStillEnds) {
    tarvo::ToggleClipboardViewer(*org);
    programs.closeByHand(kViewer);
    programs.active = QStringLiteral("an editor");
    calls();
    auto* end = org->imgView()->findChild<QPushButton*>(QStringLiteral("EndBottun"));
    ASSERT_NE(end, nullptr);
    end->click();
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Restore クリップボード ビューア")});
    EXPECT_EQ(programs.active, QStringLiteral("an editor")) << "no keys to another window";
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, EndWithoutAViewerTouchesNoWindow) {
    auto* end = org->imgView()->findChild<QPushButton*>(QStringLiteral("EndBottun"));
    ASSERT_NE(end, nullptr);
    end->click();
    EXPECT_TRUE(calls().isEmpty());
    EXPECT_EQ(ends, 1);
}

TEST_F(CompanionsTest, CloseReportsTheMissingViewerWithoutSendingKeys) {
    EXPECT_FALSE(tarvo::CloseClipboardViewer(*org, true));
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Restore クリップボード ビューア")});
}

TEST_F(CompanionsTest, RunningSaverIsOnlyActivatedEvenWhenMinimised) {
    programs.windows << kSaver;
    programs.minimised << kSaver;
    tarvo::StartCaptureSaver(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate Mirok101 1")});
    EXPECT_EQ(programs.windowCount(kSaver), 1) << "no second copy";
    EXPECT_NE(programs.active, kSaver) << "a minimised saver stays minimised";
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, SaverFoundInTheCurrentFolderOrBesideTheOrganiserIsStartedWithTheFocus) {
    for (testing_support::TestFolder* where : {&dir, &beside}) {
        where->write(QStringLiteral("Mirok101"), "program");
        tarvo::StartCaptureSaver(*org);
        EXPECT_EQ(calls(), (QStringList{QStringLiteral("Activate Mirok101 1"),
                                        QStringLiteral("Start mirok101.exe 1")}));
        EXPECT_EQ(programs.active, kSaver);
        EXPECT_TRUE(box.shown.empty());
        QFile::remove(where->file(QStringLiteral("Mirok101")));
        programs.closeByHand(kSaver);
    }
}

TEST_F(CompanionsTest, MissingSaverIsAskedForAndNothingStarts) {
    QDir(dir.path()).mkdir(QStringLiteral("Mirok101")); // a folder is not the program
    tarvo::StartCaptureSaver(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate Mirok101 1")});
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, kSaverMissing);
    EXPECT_TRUE(box.shown[0].title.isEmpty());
    EXPECT_EQ(box.shown[0].parent, org->imgView());
}

TEST_F(CompanionsTest, SaverFoundButNotStartableIsReportedAndTheOrganiserGoesOn) {
    dir.write(QStringLiteral("Mirok101"), "not a program");
    programs.programs.erase(QStringLiteral("mirok101.exe"));
    tarvo::StartCaptureSaver(*org);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text, kSaverMissing);
    EXPECT_EQ(ends, 0);
}

TEST_F(CompanionsTest, PaintStartsWithoutTheFocusOrTellsHowToGetOne) {
    tarvo::StartPaint(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Start MSPAINT.EXE 4")});
    EXPECT_TRUE(box.shown.empty());

    programs.programs.clear();
    tarvo::StartPaint(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Start MSPAINT.EXE 4")});
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, platform::paintMissingMessage());
    EXPECT_TRUE(box.shown[0].title.isEmpty());
}

} // namespace
