// Form1 offscreen: its designed state, the switch, Run and Exit, and the files each clipboard
// change leaves in the current folder.
#include "capture/form1.h"
#include "capture/module1.h"
#include "platform/clipboard.h"
#include "support/fakeviewerchain.h"
#include "support/testfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using capture::Form1;
using capture::module1;
using testing_support::CurrentDir;
using testing_support::FakeViewerChain;
using testing_support::TestFolder;

namespace {

// The clipboard as another program left it.
class FakeClipboard final : public platform::Clipboard {
public:
    std::optional<QImage> image;
    std::optional<QString> textData;
    bool busy = false;
    int reads = 0;

    platform::Result clear() override {
        image.reset();
        textData.reset();
        return {};
    }
    platform::Result addImage(const QImage& img) override {
        image = img;
        return {};
    }
    platform::Result addText(const QString& t) override {
        textData = t;
        return {};
    }
    bool hasBitmap() override { return !busy && image.has_value(); }
    std::optional<QImage> bitmap() override { return busy ? std::nullopt : image; }
    std::optional<QString> text() override { return textData; }
    platform::Result readBitmap(QImage& out) override {
        ++reads;
        if (busy)
            return platform::Result::failure(platform::Error::Busy, QStringLiteral("no answer"));
        if (!image)
            return platform::Result::failure(platform::Error::NotFound, QStringLiteral("none"));
        out = *image;
        return {};
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
    FakeClipboard clipboard;
    int ended = 0;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, OpensInItsDesignedState) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mirok101"));
    EXPECT_EQ(control<QLabel>("Label1")->text(),
              QStringLiteral("このツールは実行中の画面をファイル化します"));
    EXPECT_EQ(control<QPushButton>("Command1")->text(), QStringLiteral("実行"));
    EXPECT_EQ(control<QPushButton>("Command2")->text(), QStringLiteral("終了"));
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("OFF"));
    EXPECT_TRUE(control<QPushButton>("Command3")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("SAVE"));
    EXPECT_EQ(control<QLineEdit>("Text5")->text(), QStringLiteral(" お休みボタン"));
    EXPECT_TRUE(control<QPlainTextEdit>("Text1")->toPlainText().contains(
        QStringLiteral("\u3000Alt + PrintScreen => ｱｸﾃｨﾌﾞ画面のみ")));
    EXPECT_TRUE(control<QPlainTextEdit>("Text4")->toPlainText().contains(
        QStringLiteral(" 終了は必ず右の")));
    EXPECT_EQ(background("Text1"), QColor(0xFF, 0xFF, 0xC0));
    EXPECT_EQ(background("Text4"), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_FALSE(control<QWidget>("Image1")->isVisible());
    EXPECT_EQ(module1().CaptureOn, 1);
    // Nothing is watched before Run.
    EXPECT_EQ(chain.joins, 0);
    EXPECT_EQ(chain.hooks, 0);
}

TEST_F(Form1Test, SwitchNamesTheNextActionAndShowsTheState) {
    click("Command3");
    EXPECT_EQ(module1().CaptureOn, 0);
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("ON"));
    EXPECT_EQ(control<QLineEdit>("Text5")->text(), QStringLiteral("おやすみ中"));
    EXPECT_FALSE(control<QLineEdit>("Text5")->hasFrame());
    EXPECT_EQ(background("Text5"), form->palette().color(QPalette::Button));

    click("Command3");
    EXPECT_EQ(module1().CaptureOn, 1);
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("OFF"));
    EXPECT_EQ(control<QLineEdit>("Text5")->text(), QStringLiteral("お仕事中"));
    EXPECT_TRUE(control<QLineEdit>("Text5")->hasFrame());
    EXPECT_EQ(background("Text5"), QColor(0xFF, 0xC0, 0xFF));
}

TEST_F(Form1Test, RunJoinsOnceMinimisesAndSavesOnlyLaterBitmaps) {
    clipboard.addImage(picture(Qt::red)); // there before Run: not saved
    click("Command1");
    EXPECT_FALSE(control<QPushButton>("Command1")->isEnabled());
    EXPECT_TRUE(form->isMinimized());
    EXPECT_EQ(chain.head(), chain.windowHandle(form.get()));
    click("Command1"); // disabled: nothing happens
    EXPECT_EQ(chain.joins, 1);
    EXPECT_TRUE(dir.names().isEmpty());

    copyPicture(picture(Qt::green));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(Qt::green));
    EXPECT_EQ(form->lastPicture(), picture(Qt::green));

    copyText(QStringLiteral("hello")); // text is ignored, the count stays
    control<QLineEdit>("Text2")->setText(QStringLiteral("ABC"));
    copyPicture(picture(Qt::blue));
    control<QLineEdit>("Text2")->clear();
    copyPicture(picture(Qt::yellow));
    EXPECT_EQ(dir.names(), (QStringList{QStringLiteral("03.bmp"), QStringLiteral("ABC02.bmp"),
                                        QStringLiteral("SAVE01.bmp")}));
    EXPECT_EQ(saved(QStringLiteral("ABC02.bmp")), picture(Qt::blue));
}

TEST_F(Form1Test, SwitchedOffNothingIsSavedAndNumberingContinues) {
    click("Command1");
    copyPicture(picture(Qt::red));
    click("Command3");
    copyPicture(picture(Qt::green));
    copyPicture(picture(Qt::green, 3, 3));
    EXPECT_EQ(module1().SaveCount, 1);
    click("Command3");
    copyPicture(picture(Qt::blue));
    EXPECT_EQ(dir.names(),
              (QStringList{QStringLiteral("SAVE01.bmp"), QStringLiteral("SAVE02.bmp")}));
    EXPECT_EQ(saved(QStringLiteral("SAVE02.bmp")), picture(Qt::blue));
}

TEST_F(Form1Test, EachDistinctBitmapIsSavedOnceHoweverManyNoticesReadIt) {
    click("Command1");
    // Emptied, then the picture put: the first notice is handled when the picture is there.
    clipboard.clear();
    clipboard.addImage(picture(Qt::red));
    chain.clipboardChanged();
    chain.clipboardChanged();
    copyText(QStringLiteral("words")); // no bitmap: nothing
    copyPicture(picture(Qt::red));     // the same picture again: saved already
    copyPicture(picture(Qt::green));
    copyPicture(picture(Qt::red)); // a picture that follows another is new again
    EXPECT_EQ(dir.names(), (QStringList{QStringLiteral("SAVE01.bmp"), QStringLiteral("SAVE02.bmp"),
                                        QStringLiteral("SAVE03.bmp")}));
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(Qt::red));
    EXPECT_EQ(saved(QStringLiteral("SAVE02.bmp")), picture(Qt::green));
    EXPECT_EQ(saved(QStringLiteral("SAVE03.bmp")), picture(Qt::red));
}

TEST_F(Form1Test, HundredthIsZeroZeroAndTheNextOverwritesTheFirst) {
    click("Command1");
    for (int i = 1; i <= 101; ++i)
        copyPicture(picture(QColor(i, 255 - i, 7), 2, 2));
    EXPECT_EQ(dir.names().size(), 100);
    EXPECT_EQ(saved(QStringLiteral("SAVE00.bmp")), picture(QColor(100, 155, 7), 2, 2));
    EXPECT_EQ(saved(QStringLiteral("SAVE01.bmp")), picture(QColor(101, 154, 7), 2, 2));
    EXPECT_EQ(saved(QStringLiteral("SAVE99.bmp")), picture(QColor(99, 156, 7), 2, 2));
}

TEST_F(Form1Test, FailedSaveIsShownUntilTheNextSuccessAndWatchingGoesOn) {
    click("Command1");
    auto* prefix = control<QLineEdit>("Text2");
    auto* state = control<QLineEdit>("Text5");
    prefix->setText(QStringLiteral("nofolder/SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_TRUE(state->text().contains(QStringLiteral("nofolder/SAVE01.bmp")))
        << state->text().toStdString();
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("保存できません")));
    EXPECT_FALSE(form->failure().isEmpty());

    copyText(QStringLiteral("text changes nothing"));
    EXPECT_FALSE(form->failure().isEmpty());
    // The caption keeps the report, also after the switch has taken Text5 over.
    click("Command3");
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Mirok101 - ")));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("nofolder/SAVE01.bmp")));
    click("Command3");

    // The picture that could not be saved is not taken for saved: copied again, it is.
    prefix->setText(QStringLiteral("SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE02.bmp")});
    EXPECT_EQ(saved(QStringLiteral("SAVE02.bmp")), picture(Qt::red));
    EXPECT_TRUE(form->failure().isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mirok101"));
    EXPECT_EQ(state->text(), QStringLiteral("お仕事中"));
    EXPECT_EQ(ended, 0);
}

TEST_F(Form1Test, UnansweredClipboardIsCountedAndShown) {
    click("Command1");
    clipboard.busy = true;
    clipboard.addImage(picture(Qt::red));
    chain.clipboardChanged();
    chain.clipboardChanged();
    EXPECT_EQ(module1().MissedNotices, 2);
    EXPECT_EQ(module1().SaveCount, 0);
    EXPECT_TRUE(control<QLineEdit>("Text5")->text().contains(QStringLiteral("2")));
    EXPECT_TRUE(dir.names().isEmpty());
    clipboard.busy = false;
    chain.clipboardChanged();
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

TEST_F(Form1Test, ExitAndClosingLeaveTheChainAndEnd) {
    auto other = chain.addOtherViewer();
    click("Command1");
    form->close(); // the close box: same as Exit
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.head(), other);
    EXPECT_EQ(chain.window(chain.windowHandle(form.get())).proc, FakeViewerChain::ownProcedure());
    click("Command2"); // the program has ended: nothing more
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.leaves, 1);
    copyPicture(picture(Qt::red));
    EXPECT_TRUE(dir.names().isEmpty());
    EXPECT_EQ(chain.window(other).draws, 1);
}

TEST_F(Form1Test, ExitBeforeRunTouchesNothing) {
    chain.addOtherViewer();
    click("Command2");
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.leaves, 0);
    EXPECT_EQ(chain.hooks, 0);
    EXPECT_EQ(chain.window(chain.windowHandle(form.get())).proc, FakeViewerChain::ownProcedure());
}

} // namespace

TEST_F(Form1Test, EnterOnTheFocusedButtonPressesIt) {
    // The window opens with the focus on Run: Enter starts watching.
    ASSERT_EQ(form->focusWidget(), control<QPushButton>("Command1"));
    QTest::keyClick(form->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(chain.joins, 1);
    EXPECT_TRUE(form->isMinimized());
    EXPECT_FALSE(control<QPushButton>("Command1")->isEnabled());
    QTest::keyClick(control<QPushButton>("Command1"), Qt::Key_Return); // disabled now
    EXPECT_EQ(chain.joins, 1);

    // The switch answers Enter and Space alike.
    QTest::keyClick(control<QPushButton>("Command3"), Qt::Key_Return);
    EXPECT_EQ(module1().CaptureOn, 0);
    QTest::keyClick(control<QPushButton>("Command3"), Qt::Key_Space);
    EXPECT_EQ(module1().CaptureOn, 1);
    copyPicture(picture(Qt::green));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE01.bmp")});
}

TEST(Form1WithoutWatch, SaysAtOnceThatItCannotWatchTheClipboard) {
    TestFolder dir;
    CurrentDir cwd(dir.path());
    module1() = {};
    FakeViewerChain chain;
    chain.watches = false;
    FakeClipboard clipboard;
    {
        Form1 form(chain, clipboard, [] {});
        form.show();
        auto* text5 = form.findChild<QLineEdit*>(QStringLiteral("Text5"));
        ASSERT_NE(text5, nullptr);
        const QString said =
            QStringLiteral("クリップボードを監視できません (X11 に接続していません)");
        EXPECT_EQ(text5->text(), said);
        EXPECT_EQ(form.failure(), said);
        // The organiser still finds the window by the beginning of its caption.
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Mirok101 - ") + said);
        EXPECT_EQ(chain.joins, 0);
    }
    module1() = {};
}
