// The companion operations against a simulated desktop: the programs started and with which
// style, the windows activated, the keys sent, what the user is told, ClipboardViewerOpen.

#include "organiser/companions/companions.h"
#include "support/organiserfixture.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <functional>

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
    QWidget decoy;

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
    // The calls made since the last look, as "Start CLIPBRD.EXE 4" (the style), "Activate
    // caption 0" and "Keys +{F10}FX 1" (whether it waits), "Restore caption".
    QStringList calls() {
        static const char* const kinds[] = {"Start", "Activate", "Restore", "Keys"};
        QStringList out;
        for (const auto& c : programs.calls) {
            QString s = QLatin1String(kinds[int(c.kind)]) + QLatin1Char(' ') + c.text;
            if (c.kind == Kind::Start)
                s += QStringLiteral(" %1").arg(c.style);
            else if (c.kind != Kind::Restore)
                s += QStringLiteral(" %1").arg(int(c.wait));
            out << s;
        }
        programs.calls.clear();
        return out;
    }
};

const QString kRestoreViewer = QStringLiteral("Restore クリップボード ビューア");
const QString kStartViewer = QStringLiteral("Start CLIPBRD.EXE 4");
const QStringList kCloseViewer{kRestoreViewer, QStringLiteral("Keys +{F10}FX 0")};

TEST_F(CompanionsTest, EachPressClosesTheOpenViewerOrStartsOneWithoutTheFocus) {
    const auto none = [] {};
    const auto byHand = [&] { programs.closeByHand(kViewer); };
    const auto minimise = [&] {
        programs.minimised.append(kViewer);
        programs.active = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
    };
    const auto keysFail = [&] { programs.failKeys = true; };
    const auto keysWork = [&] { programs.failKeys = false; };
    const auto cannotStart = [&] { programs.programs.clear(); };
    // Before the press, then the calls, ClipboardViewerOpen and viewer windows after it
    // (-1: not checked).
    const struct {
        const char* what;
        std::function<void()> before;
        QStringList calls;
        int open, windows;
    } presses[] = {
        {"start", none, {kStartViewer}, 1, 1},
        {"close", none, kCloseViewer, 0, 0},
        {"start again", none, {kStartViewer}, 1, 1},
        {"closed by hand: replaced, no keys", byHand, {kRestoreViewer, kStartViewer}, 1, 1},
        {"close the new one", none, kCloseViewer, 0, 0},
        {"start", none, {kStartViewer}, 1, 1},
        {"minimised: restored and closed", minimise, kCloseViewer, 0, 0},
        {"start", none, {kStartViewer}, 1, 1},
        {"keys fail: a new viewer", keysFail, kCloseViewer + QStringList{kStartViewer}, 1, 2},
        {"close", keysWork, kCloseViewer, 0, 1},
        {"cannot start: no retry within the press", cannotStart, {kStartViewer}, 0, 1},
        {"tried again by the next press", none, {kStartViewer}, 0, 1},
    };
    for (const auto& p : presses) {
        p.before();
        calls();
        decoy.show();
        decoy.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&decoy));
        tarvo::ToggleClipboardViewer(*org);
        EXPECT_EQ(calls(), p.calls) << p.what;
        EXPECT_EQ(open(), p.open) << p.what;
        EXPECT_EQ(programs.windowCount(kViewer), p.windows) << p.what;
        if (p.open == 1) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(org->imgView(), 2000))
                << p.what << ": the focus goes back to ImgView";
        }
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, EndClosesTheOpenViewerWaitingAndEndsWithoutKeysWhenItIsGone) {
    EXPECT_FALSE(tarvo::CloseClipboardViewer(*org, true));
    EXPECT_EQ(calls(), QStringList{kRestoreViewer});
    tarvo::ToggleClipboardViewer(*org);
    programs.closeByHand(kViewer);
    programs.active = QStringLiteral("an editor");
    calls();
    press("EndBottun");
    EXPECT_EQ(calls(), QStringList{kRestoreViewer});
    EXPECT_EQ(programs.active, QStringLiteral("an editor")) << "no keys to another window";
    EXPECT_EQ(endCalls, 1);
    tarvo::ToggleClipboardViewer(*org);
    calls();
    press("EndBottun");
    EXPECT_EQ(calls(), (QStringList{kRestoreViewer, QStringLiteral("Keys +{F10}FX 1")}));
    EXPECT_EQ(programs.windowCount(kViewer), 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompanionsTest, SaverFoundIsStartedWithTheFocusARunningOneActivatedAMissingOneAskedFor) {
    for (testing_support::TestFolder* where : {&dir, &beside}) { // current folder, organiser's
        where->write(QStringLiteral("Mirok101"), "program");
        tarvo::StartCaptureSaver(*org);
        EXPECT_EQ(calls(), (QStringList{QStringLiteral("Activate Mirok101 1"),
                                        QStringLiteral("Start mirok101.exe 1")}));
        EXPECT_EQ(programs.active, kSaver);
        QFile::remove(where->file(QStringLiteral("Mirok101")));
        programs.closeByHand(kSaver);
    }
    programs.windows << kSaver;
    programs.minimised << kSaver;
    tarvo::StartCaptureSaver(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate Mirok101 1")});
    EXPECT_EQ(programs.windowCount(kSaver), 1) << "no second copy";
    EXPECT_NE(programs.active, kSaver) << "a minimised saver stays minimised";
    EXPECT_TRUE(box.shown.empty());

    programs.closeByHand(kSaver);
    QDir(dir.path()).mkdir(QStringLiteral("Mirok101")); // a folder is not the program
    tarvo::StartCaptureSaver(*org);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("Activate Mirok101 1")});
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, kSaverMissing);
    EXPECT_TRUE(box.shown[0].title.isEmpty());
    EXPECT_EQ(box.shown[0].parent, org->imgView());

    QDir(dir.path()).rmdir(QStringLiteral("Mirok101"));
    dir.write(QStringLiteral("Mirok101"), "not a program");
    programs.programs.erase(QStringLiteral("mirok101.exe"));
    tarvo::StartCaptureSaver(*org);
    ASSERT_EQ(box.shown.size(), 2u) << "found but not startable: told";
    EXPECT_NE(box.shown[1].text, kSaverMissing);
    EXPECT_EQ(endCalls, 0);
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
