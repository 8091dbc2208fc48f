// The picture the user clicked stays pasteable after the organiser ends, by END or by the
// close box, when the desktop runs a clipboard manager: the organiser hands it over as it
// goes, and another program reads it, pixel for pixel, from the manager afterwards.

#include "e2esupport.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(KeptAtExit, TheClickedPictureIsHandedToTheClipboardManagerWhenTheOrganiserEnds) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "the close box" : "END");
        testing_support::TestFolder dir;
        const QImage picture = pattern(64, 48, closeBox ? 1 : 2);
        ASSERT_TRUE(picture.save(dir.file(QStringLiteral("a.bmp")), "BMP"));
        Program keeper;
        keeper.process.start(kBin + QStringLiteral("/clipkeeper"), {});
        ASSERT_TRUE(keeper.process.waitForReadyRead(10000));
        ASSERT_EQ(keeper.process.readLine().trimmed(), "ready");
        Program organiser;
        ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));
        ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
        ASSERT_TRUE(eventually([] {
            const auto formats =
                runHelper(QStringLiteral("clipget"), {QStringLiteral("--formats")});
            return formats && formats->contains(QStringLiteral("image/png"));
        })) << "the click did not take the clipboard";
        if (closeBox)
            ASSERT_TRUE(xclick({QStringLiteral("close"), kOrganiser}));
        else
            ASSERT_TRUE(clickMain(7704, 4500, 480, 252)); // END
        ASSERT_TRUE(organiser.process.waitForFinished(10000));
        ASSERT_TRUE(keeper.process.waitForReadyRead(5000)) << "nothing was handed over";
        EXPECT_NE(keeper.process.readLine().trimmed(), "kept 0");
        const QString out = dir.file(QStringLiteral("pasted.png"));
        ASSERT_TRUE(runHelper(QStringLiteral("clipget"), {QStringLiteral("--image"), out}))
            << "the clipboard is empty after the organiser ended";
        EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), picture);
    }
}

} // namespace
