// Form1 offscreen: its designed state, the switch, Run and Exit, and the files each clipboard
// change leaves in the current folder.
#include "capture/form1.h"
#include "capture/module1.h"
#include "platform/clipboard.h"
#include "support/fakes.h"
#include "support/fakeviewerchain.h"
#include "support/testfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using capture::Form1;
using capture::module1;
using testing_support::CurrentDir;
using testing_support::FakeViewerChain;
using testing_support::TestFolder;

namespace {

// The clipboard as another program left it, and an owner that does not answer.
class Clipboard final : public testing_support::FakeClipboard {
public:
    bool busy = false;
    platform::Result readBitmap(QImage& out) override {
        if (busy)
            return platform::Result::failure(platform::Error::Busy, QStringLiteral("no answer"));
        return FakeClipboard::readBitmap(out);
    }
};

QImage picture(QColor c, int w = 6, int h = 4) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    return img;
}

class Form1Test : public ::testing::Test {
protected:
    Form1Test() : cwd(dir.path()) {
        module1() = {};
        form = std::make_unique<Form1>(chain, clipboard, [this] { ++ended; });
        form->show();
    }
    ~Form1Test() override {
        form.reset();
        module1() = {};
    }
    template <typename T> T* control(const char* name) {
        T* w = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    // Another program puts something on the clipboard.
    void copyPicture(const QImage& img) {
        clipboard.clear();
        clipboard.addImage(img);
        chain.clipboardChanged();
    }
    void copyText(const QString& t) {
        clipboard.clear();
        clipboard.addText(t);
        chain.clipboardChanged();
    }
    QColor background(const char* name) {
        return control<QWidget>(name)->palette().color(QPalette::Base);
    }
    QImage saved(const QString& name) {
        return QImage(dir.file(name)).convertToFormat(QImage::Format_RGB32);
    }

    TestFolder dir;
    CurrentDir cwd;
    FakeViewerChain chain;
    Clipboard clipboard;
    int ended = 0;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, OpensInItsDesignedState) {
    const struct {
        const char* name;
        QString text;
    } texts[] = {{"Label1", QStringLiteral("このツールは実行中の画面をファイル化します")},
                 {"Command1", QStringLiteral("実行")},
                 {"Command2", QStringLiteral("終了")},
                 {"Command3", QStringLiteral("OFF")},
                 {"Text2", QStringLiteral("SAVE")},
                 {"Text5", QStringLiteral(" お休みボタン")},
                 {"Text1", QStringLiteral("\u3000Alt + PrintScreen => ｱｸﾃｨﾌﾞ画面のみ")},
                 {"Text4", QStringLiteral(" 終了は必ず右の")}};
    for (const auto& t : texts) {
        QWidget* w = control<QWidget>(t.name);
        ASSERT_NE(w, nullptr);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w))
            EXPECT_TRUE(edit->toPlainText().contains(t.text)) << t.name;
        else
            EXPECT_EQ(w->property("text").toString(), t.text) << t.name;
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mirok101"));
    EXPECT_EQ(background("Text1"), QColor(0xFF, 0xFF, 0xC0));
    EXPECT_EQ(background("Text4"), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_FALSE(control<QWidget>("Image1")->isVisible());
    EXPECT_EQ(chain.joins, 0); // nothing is watched before Run
    EXPECT_EQ(chain.hooks, 0);
}

TEST_F(Form1Test, EnterRunsOnceMinimisesAndSavesEachLaterBitmapOnce) {
    clipboard.addImage(picture(Qt::red)); // there before Run: not saved
    // The window opens with the focus on Run.
    ASSERT_EQ(form->focusWidget(), control<QPushButton>("Command1"));
    QTest::keyClick(form->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(control<QPushButton>("Command1")->isEnabled());
    EXPECT_TRUE(form->isMinimized());
    EXPECT_EQ(chain.head(), chain.windowHandle(form.get()));
    click("Command1"); // disabled: nothing happens
    EXPECT_EQ(chain.joins, 1);
    EXPECT_TRUE(dir.names().isEmpty());

    copyPicture(picture(Qt::green));
    chain.clipboardChanged(); // the same picture read again: saved already
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(Qt::green));
    EXPECT_EQ(form->lastPicture(), picture(Qt::green));

    copyText(QStringLiteral("hello")); // text is ignored, the count stays
    control<QLineEdit>("Text2")->setText(QStringLiteral("ABC"));
    copyPicture(picture(Qt::blue));
    control<QLineEdit>("Text2")->clear();
    copyPicture(picture(Qt::green)); // a picture that follows another is new again
    EXPECT_EQ(dir.names(), (QStringList{QStringLiteral("03.bmp"), QStringLiteral("ABC02.bmp"),
                                        QStringLiteral("SAVE01.bmp")}));
    EXPECT_EQ(saved(QStringLiteral("ABC02.bmp")), picture(Qt::blue));
    EXPECT_EQ(saved(QStringLiteral("03.bmp")), picture(Qt::green));
}

TEST_F(Form1Test, SwitchShowsTheStateAndSwitchedOffNothingIsSaved) {
    click("Command1");
    auto* button = control<QPushButton>("Command3");
    auto* state = control<QLineEdit>("Text5");
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(module1().CaptureOn, 0);
    EXPECT_EQ(button->text(), QStringLiteral("ON"));
    EXPECT_EQ(state->text(), QStringLiteral("おやすみ中"));
    EXPECT_FALSE(state->hasFrame());
    EXPECT_EQ(background("Text5"), form->palette().color(QPalette::Button));
    copyPicture(picture(Qt::green));
    EXPECT_TRUE(dir.names().isEmpty());

    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(module1().CaptureOn, 1);
    EXPECT_EQ(button->text(), QStringLiteral("OFF"));
    EXPECT_EQ(state->text(), QStringLiteral("お仕事中"));
    EXPECT_TRUE(state->hasFrame());
    EXPECT_EQ(background("Text5"), QColor(0xFF, 0xC0, 0xFF));
    copyPicture(picture(Qt::blue));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

TEST_F(Form1Test, MissedNoticesAndAFailedSaveAreShownUntilTheNextSuccess) {
    click("Command1");
    auto* prefix = control<QLineEdit>("Text2");
    auto* state = control<QLineEdit>("Text5");
    // An owner that does not answer: each notice is lost, counted and shown.
    clipboard.busy = true;
    clipboard.addImage(picture(Qt::green));
    chain.clipboardChanged();
    chain.clipboardChanged();
    EXPECT_EQ(module1().MissedNotices, 2);
    EXPECT_TRUE(state->text().contains(QStringLiteral("2")));
    EXPECT_TRUE(dir.names().isEmpty());
    clipboard.busy = false;

    prefix->setText(QStringLiteral("nofolder/SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("保存できません")));
    EXPECT_TRUE(state->text().contains(QStringLiteral("nofolder/SAVE01.bmp")));
    copyText(QStringLiteral("text changes nothing"));
    // The caption keeps the report, also after the switch has taken Text5 over.
    click("Command3");
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Mirok101 - ")));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("nofolder/SAVE01.bmp")));
    click("Command3");

    // The picture that could not be saved is not taken for saved: copied again, it is.
    prefix->setText(QStringLiteral("SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE02.bmp")});
    EXPECT_TRUE(form->failure().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mirok101"));
    EXPECT_EQ(state->text(), QStringLiteral("お仕事中"));
}

TEST_F(Form1Test, ClosingLeavesTheChainAndEndsOnceAndExitBeforeRunTouchesNothing) {
    auto other = chain.addOtherViewer();
    click("Command1");
    form->close(); // the close box: same as Exit
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.head(), other);
    click("Command2"); // the program has ended: nothing more
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.leaves, 1);
    copyPicture(picture(Qt::red));
    EXPECT_TRUE(dir.names().isEmpty());

    const int leaves = chain.leaves, hooks = chain.hooks;
    Form1 second(chain, clipboard, [this] { ++ended; });
    QTest::mouseClick(second.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(chain.leaves, leaves);
    EXPECT_EQ(chain.hooks, hooks);
}

} // namespace
