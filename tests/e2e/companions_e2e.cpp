// The real organiser on an X display drives the real clipboard viewer and capture saver from
// its buttons, through the platform's program service.

#include "platform/programs.h"
#include "tools/gifwriter.h"

#include "e2esupport.h"
#include <QApplication>
#include <QClipboard>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

using namespace e2e;

const QString kViewer = QStringLiteral("クリップボード ビューア");
const QString kSaver = QStringLiteral("Mirok101");

bool viewerShows(QColor c) {
    const auto viewer = findWindow(kViewer);
    const QImage shot =
        viewer ? QGuiApplication::primaryScreen()->grabWindow(viewer->id).toImage() : QImage();
    const QColor at = shot.isNull() ? QColor() : shot.pixelColor(shot.rect().center());
    return std::abs(at.red() - c.red()) < 16 && std::abs(at.green() - c.green()) < 16 &&
           std::abs(at.blue() - c.blue()) < 16;
}

// A GIF of the picture with one colour transparent (a graphic control block before the image).
QByteArray transparentGif(const QImage& picture, QRgb transparent) {
    QByteArray gif = tools::encodeGif(picture);
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const int index = static_cast<int>(indexed.colorTable().indexOf(transparent));
    const qsizetype image = 6 + 7 + 3 * 256; // signature, screen, colour table
    const char control[] = {'\x21', '\xF9', 4, 1, 0, 0, static_cast<char>(index), 0};
    gif.insert(image, control, sizeof control);
    return gif;
}

TEST(CompanionsE2E, ViewerShowsTheSelectedPictureWhichTheRunningSaverSavesWithItsTransparency) {
    // Our programs are found through PATH, as an installed organiser would find them.
    qputenv("PATH", (kBin + QLatin1Char(':') + qEnvironmentVariable("PATH")).toLocal8Bit());
    platform::Programs& programs = platform::systemPrograms();
    // Green with a transparent right quarter, as a GIF.
    testing_support::TestFolder dir;
    const QColor green(20, 160, 40);
    QImage picture(48, 36, QImage::Format_RGB32);
    picture.fill(green);
    for (int y = 0; y < 36; ++y)
        for (int x = 36; x < 48; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 255));
    dir.write(QStringLiteral("a.gif"), transparentGif(picture, qRgb(255, 0, 255)));
    const QImage expected = QImage(dir.file(QStringLiteral("a.gif")))
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(qAlpha(expected.pixel(40, 10)), 0) << "the test's GIF has no transparency";
    Program organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));

    // 画像表示: the viewer opens, the organiser keeps the focus.
    ASSERT_TRUE(clickMain(5910, 2175, 945, 300));
    ASSERT_TRUE(settled(kViewer));
    EXPECT_TRUE(activeCaption().startsWith(kOrganiser));

    // The mirok icon starts the capture saver; its Run button minimises it.
    const auto mirokIcon = [] { return clickMain(1080, 4620, 510, 510); };
    ASSERT_TRUE(mirokIcon());
    ASSERT_TRUE(settled(kSaver));
    ASSERT_TRUE(clickIn(kSaver, 213, 2640, 2520, 735, 495));
    ASSERT_TRUE(eventually([] { return iconic(kSaver); }));

    // A click on the picture: the viewer comes to the front with it; the saver saves it whole.
    ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
    EXPECT_TRUE(eventually([] { return activeCaption().startsWith(kViewer); }));
    EXPECT_TRUE(eventually([&] { return viewerShows(green); }));
    ASSERT_EQ(settledNames(dir).filter(QStringLiteral("SAVE")),
              QStringList{QStringLiteral("SAVE01.bmp")})
        << "one selection, one capture file";
    EXPECT_EQ(QImage(dir.file(QStringLiteral("SAVE01.bmp")))
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied),
              expected);
    // Text from another program replaces the picture in the viewer.
    QApplication::clipboard()->setText(QStringLiteral("テキスト"));
    EXPECT_TRUE(eventually([&] { return !viewerShows(green); }));

    // The mirok icon again: the minimised saver stays minimised, no second one starts, and
    // keys meant for it are not sent to whichever window has the focus.
    ASSERT_TRUE(programs.activate(kOrganiser, false));
    ASSERT_TRUE(mirokIcon());
    EXPECT_FALSE(eventually([&] { return !shown(kSaver) || !iconic(kSaver); }, 1000));
    ASSERT_TRUE(programs.activate(kSaver, false));
    EXPECT_EQ(programs.sendKeys(QStringLiteral("+{F10}FX"), false).error, platform::Error::Busy);
    EXPECT_TRUE(iconic(kSaver));
    EXPECT_EQ(programs.activate(QStringLiteral("E2E nowhere"), false).error,
              platform::Error::NotFound);

    // END (the organiser brought in front of the viewer) closes the viewer, then ends.
    ASSERT_TRUE(programs.activate(kOrganiser, false));
    ASSERT_TRUE(clickMain(7704, 4500, 480, 252));
    EXPECT_TRUE(organiser.process.waitForFinished(10000));
    EXPECT_EQ(organiser.process.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(findWindow(kViewer));
    EXPECT_EQ(settledNames(dir).filter(QStringLiteral("SAVE")).size(), 1) << "text gave a file";
    closeWindow(kSaver);
}

} // namespace
