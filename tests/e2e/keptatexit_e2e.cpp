// The clicked picture stays pasteable after the organiser ends (END or the close box) when the
// desktop runs a clipboard manager: it is handed over as the organiser goes.

#include "e2esupport.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(KeptAtExit, TheClickedPictureIsHandedToTheClipboardManagerWhenTheOrganiserEnds) {
    QClipboard* board = QApplication::clipboard();
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "the close box" : "END");
        testing_support::TestFolder dir;
        QImage picture(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                picture.setPixel(x, y, qRgb(x * 4, y * 5, closeBox ? 200 : 30));
        ASSERT_TRUE(picture.save(dir.file(QStringLiteral("a.bmp")), "BMP"));
        Program keeper;
        keeper.process.start(kBin + QStringLiteral("/clipkeeper"), {});
        ASSERT_TRUE(keeper.process.waitForReadyRead(10000));
        ASSERT_EQ(keeper.process.readLine().trimmed(), "ready");
        Program organiser;
        ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));
        ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
        ASSERT_TRUE(eventually([&] {
            const QMimeData* offer = board->mimeData();
            return offer && offer->formats().contains(QStringLiteral("image/png"));
        })) << "the click did not take the clipboard";
        if (closeBox)
            closeWindow(kOrganiser);
        else
            ASSERT_TRUE(clickMain(7704, 4500, 480, 252)); // END
        ASSERT_TRUE(organiser.process.waitForFinished(10000));
        ASSERT_TRUE(keeper.process.waitForReadyRead(5000)) << "nothing was handed over";
        EXPECT_NE(keeper.process.readLine().trimmed(), "kept 0");
        const QImage pasted = qvariant_cast<QImage>(board->mimeData()->imageData());
        ASSERT_FALSE(pasted.isNull()) << "the clipboard is empty after the organiser ended";
        EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32), picture);
    }
}

} // namespace
