// Form1 offscreen: Run and Exit, the switch, and the files each clipboard change leaves in the
// current folder, also when the clipboard cannot be read, and what the window then tells.
#include "capture/form1.h"
#include "capture/module1.h"
#include "platform/clipboard.h"
#include "support/fakes.h"
#include "support/fakeviewerchain.h"
#include "support/testfolder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using capture::Form1;
using capture::module1;

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

QImage picture(QColor c) {
    QImage img(6, 4, QImage::Format_RGB32);
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
    // Another program puts something on the clipboard; its owner may fail to make the bitmap.
    void copyPicture(const QImage& img, bool unreadable = false) {
        clipboard.clear();
        clipboard.addImage(img);
        clipboard.unreadable = unreadable;
        chain.clipboardChanged();
    }
    void copyText(const QString& t) {
        clipboard.clear();
        clipboard.addText(t);
        chain.clipboardChanged();
    }
    QImage saved(const char* name) {
        return QImage(dir.file(QLatin1String(name))).convertToFormat(QImage::Format_RGB32);
    }

    testing_support::TestFolder dir;
    testing_support::CurrentDir cwd;
    testing_support::FakeViewerChain chain;
    Clipboard clipboard;
    int ended = 0;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, EnterRunsOnceMinimisesAndSavesEachLaterBitmapOnce) {
    EXPECT_EQ(chain.joins, 0);            // nothing is watched before Run
    clipboard.addImage(picture(Qt::red)); // there before Run: not saved
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
    EXPECT_EQ(saved("SAVE01.bmp"), picture(Qt::green));
    copyText(QStringLiteral("hello")); // text is ignored, the count stays
    control<QLineEdit>("Text2")->setText(QStringLiteral("ABC"));
    copyPicture(picture(Qt::blue));
    copyPicture(picture(Qt::green)); // a picture that follows another is new again
    EXPECT_EQ(dir.names(), (QStringList{QStringLiteral("ABC02.bmp"), QStringLiteral("ABC03.bmp"),
                                        QStringLiteral("SAVE01.bmp")}));
    EXPECT_EQ(saved("ABC02.bmp"), picture(Qt::blue));
}

TEST_F(Form1Test, MissedNoticesAFailedSaveAndTheSwitchAreShownUntilTheNextSuccess) {
    click("Command1");
    auto* prefix = control<QLineEdit>("Text2");
    auto* state = control<QLineEdit>("Text5");
    // An owner that does not answer: each notice is lost, counted and shown.
    clipboard.busy = true;
    clipboard.addImage(picture(Qt::green));
    chain.clipboardChanged();
    chain.clipboardChanged();
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("取り込めません(2件)")));
    EXPECT_TRUE(dir.names().isEmpty());
    clipboard.busy = false;

    prefix->setText(QStringLiteral("nofolder/SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_TRUE(state->text().startsWith(QStringLiteral("保存できません")));
    EXPECT_TRUE(state->text().contains(QStringLiteral("nofolder/SAVE01.bmp")));
    copyText(QStringLiteral("text changes nothing"));
    // Switched off nothing is saved; the caption keeps the report while the switch shows its
    // state in Text5.
    click("Command3");
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("ON"));
    EXPECT_EQ(state->text(), QStringLiteral("おやすみ中"));
    copyPicture(picture(Qt::green));
    EXPECT_TRUE(dir.names().isEmpty());
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Mirok101 - ")));
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("nofolder/SAVE01.bmp")));
    click("Command3");
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("OFF"));

    // The picture that could not be saved is not taken for saved: copied again, it is.
    prefix->setText(QStringLiteral("SAVE"));
    copyPicture(picture(Qt::red));
    EXPECT_EQ(dir.names(), QStringList{QStringLiteral("SAVE02.bmp")});
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Mirok101"));
    EXPECT_EQ(state->text(), QStringLiteral("お仕事中"));
}

// A picture its owner takes back, or replaces with a newer one, is no loss and is not
// reported; a bitmap still offered and still unreadable a moment later is.
TEST_F(Form1Test, OnlyABitmapStillUnreadableLaterIsReportedMissed) {
    click("Command1");
    const struct {
        const char* what;
        int then;  // what the owner does next: 0 takes it back, 1 offers a newer one, 2 nothing
        int after; // milliseconds between the offer and what its owner then does
        QStringList files;
    } cases[] = {
        {"withdrawn", 0, 0, {}},
        {"withdrawn once its decode failed", 0, 150, {}},
        {"replaced by a newer picture", 1, 0, {QStringLiteral("SAVE01.bmp")}},
        {"left unreadable", 2, 0, {QStringLiteral("SAVE01.bmp")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        copyPicture(picture(Qt::red), true);
        QTest::qWait(c.after);
        if (c.then == 0) {
            clipboard.clear();
            chain.clipboardChanged();
        } else if (c.then == 1) {
            copyPicture(picture(Qt::green));
        }
        QTest::qWait(800); // past the moment the saver gives an owner to settle its offer
        const bool missed = c.then == 2; // and counted once: the others are no loss
        EXPECT_EQ(
            control<QLineEdit>("Text5")->text().startsWith(QStringLiteral("取り込めません(1件)")),
            missed);
        EXPECT_EQ(form->failure().isEmpty(), !missed);
        EXPECT_EQ(dir.names(), c.files);
    }
}

TEST_F(Form1Test, ClosingLeavesTheChainAndEndsOnceAndExitBeforeRunTouchesNothing) {
    auto other = chain.addOtherViewer();
    click("Command1");
    form->close(); // the close box: same as Exit
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(chain.head(), other);
    click("Command2"); // the program has ended: nothing more
    EXPECT_EQ(ended, 1);

    const int leaves = chain.leaves, hooks = chain.hooks;
    Form1 second(chain, clipboard, [this] { ++ended; });
    QTest::mouseClick(second.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(chain.leaves, leaves);
    EXPECT_EQ(chain.hooks, hooks);
}

} // namespace
