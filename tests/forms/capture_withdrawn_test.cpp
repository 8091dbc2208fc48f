// The saver and an offer it cannot read: a picture its owner takes back, or replaces with a
// newer one, is no loss and is not reported; a bitmap still offered and still unreadable a
// moment later is.
#include "capture/form1.h"
#include "capture/module1.h"
#include "support/fakes.h"
#include "support/fakeviewerchain.h"
#include "support/testfolder.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using capture::Form1;
using capture::module1;

namespace {

QImage picture(QColor c) {
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

} // namespace

TEST(CaptureWithdrawnOffer, OnlyABitmapStillUnreadableLaterIsReportedMissed) {
    testing_support::TestFolder dir;
    testing_support::CurrentDir cwd(dir.path());
    module1() = {};
    testing_support::FakeViewerChain chain;
    testing_support::FakeClipboard clip;
    Form1 form(chain, clip, [] {});
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    auto waitPast = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QTest::qWait(20);
    };
    const struct {
        const char* what;
        // After the unreadable offer: the owner takes it back, offers a newer picture, or
        // leaves it as it is.
        int then;
        int after; // milliseconds between the offer and what its owner then does
        int missed;
        QStringList files;
    } cases[] = {
        {"withdrawn", 0, 0, 0, {}},
        {"withdrawn once its decode failed", 0, 150, 0, {}},
        {"replaced by a newer picture", 1, 0, 0, {QStringLiteral("SAVE01.bmp")}},
        {"left unreadable", 2, 0, 1, {QStringLiteral("SAVE01.bmp")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clip.clear();
        clip.addImage(picture(Qt::red));
        clip.unreadable = true;
        chain.clipboardChanged();
        waitPast(c.after);
        if (c.then == 0) {
            clip.clear();
            chain.clipboardChanged();
        } else if (c.then == 1) {
            clip.clear();
            clip.addImage(picture(Qt::green));
            chain.clipboardChanged();
        }
        // What must not happen can only be waited out: past the moment the saver gives an
        // owner to settle its offer.
        waitPast(800);
        EXPECT_EQ(module1().MissedNotices, c.missed);
        EXPECT_EQ(form.failure().isEmpty(), c.missed == 0);
        EXPECT_EQ(dir.names(), c.files);
    }
    module1() = {};
}
