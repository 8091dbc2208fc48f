// The real Mirok101 on an X display, its Run button clicked as a person would, saving the
// pictures other processes put on the clipboard: this test process, and one that hangs.

#include "e2esupport.h"
#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

namespace {

using namespace e2e;

const QString kCaption = QStringLiteral("Mirok101");

// Pictures of different seeds (below 256) differ in every pixel.
QImage picture(int seed) {
    QImage img(90, 60, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y,
                         qRgb((x + seed * 13) % 256, (y * 2 + seed * 29) % 256, seed * 47 % 256));
    return img;
}

QString saveName(qsizetype n) {
    return QStringLiteral("SAVE%1.bmp").arg(n, 2, 10, QLatin1Char('0'));
}

TEST(CaptureE2E, SavesEachLaterPictureOnceInOrderPastTextAndAHungOwnerAndEndsWhenClosed) {
    testing_support::TestFolder dir;
    Program saver;
    ASSERT_TRUE(saver.start(QStringLiteral("Mirok101"), dir.path(), kCaption));
    const auto saved = [&](qsizetype n) {
        return QImage(dir.file(saveName(n))).convertToFormat(QImage::Format_RGB32);
    };
    QClipboard* board = QApplication::clipboard();
    board->setImage(picture(1)); // there before Run: not saved

    // Run starts saving and minimises the window.
    ASSERT_TRUE(clickIn(kCaption, 213, 2640, 2520, 735, 495));
    ASSERT_TRUE(eventually([] { return iconic(kCaption); })) << "Run did not minimise the window";

    // An owner that never answers (Qt alone would wait 5 s for it), then a picture of ours.
    testing_support::TestFolder input;
    picture(2).save(input.file(QStringLiteral("hung.png")));
    QProcess hung;
    hung.start(kBin + QStringLiteral("/clipput"),
               {QStringLiteral("--image"), input.file(QStringLiteral("hung.png")),
                QStringLiteral("--stall")});
    ASSERT_TRUE(eventually([&] { return hung.canReadLine(); })) << "clipput took no clipboard";
    board->setImage(picture(3));
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(eventually([&] { return dir.exists(saveName(1)); }));
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(saved(1), picture(3));
    board->setText(QStringLiteral("only words"));
    ASSERT_EQ(settledNames(dir), QStringList{saveName(1)}) << "text or a hung owner gave a file";

    // Bursts of distinct pictures, some emptying the clipboard before each: files numbered on
    // without a gap, each a later picture than the file before, the last one among them.
    struct Burst {
        int count, perSecond;
        bool emptied, whole;
    };
    for (const Burst b : {Burst{10, 5, false, true}, Burst{20, 40, false, false},
                          Burst{6, 3, true, true}, Burst{20, 28, true, false}}) {
        SCOPED_TRACE(testing::Message() << b.count << " at " << b.perSecond << "/s");
        const qsizetype before = dir.names().size();
        testing_support::TestFolder refs;
        QStringList args{QStringLiteral("--burst"), refs.path(), QString::number(b.count),
                         QString::number(b.perSecond)};
        if (b.emptied)
            args << QStringLiteral("--clear");
        QProcess burst;
        burst.start(kBin + QStringLiteral("/clipput"), args);
        QByteArray said;
        ASSERT_TRUE(eventually(
            [&] { return (said += burst.readAllStandardOutput()).contains("done"); }, 15000));
        const qsizetype files = settledNames(dir).size() - before;
        if (b.whole) {
            EXPECT_EQ(files, b.count);
        }
        ASSERT_LE(files, b.count);
        int previous = 0;
        for (qsizetype n = before + 1; n <= before + files; ++n) {
            const QImage got = saved(n);
            int which = b.count + 1;
            for (int i = 1; i <= b.count && which > b.count; ++i)
                if (got ==
                    QImage(refs.file(QStringLiteral("burst%1.png").arg(i, 2, 10, QLatin1Char('0'))))
                        .convertToFormat(QImage::Format_RGB32))
                    which = i;
            ASSERT_TRUE(which > previous && which <= b.count)
                << saveName(n).toStdString() << " holds picture " << which;
            previous = which;
        }
        EXPECT_EQ(previous, b.count) << "the last picture of the burst is saved";
    }

    closeWindow(kCaption);
    ASSERT_TRUE(saver.process.waitForFinished(5000));
    EXPECT_EQ(saver.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.process.exitCode(), 0);
}

} // namespace
