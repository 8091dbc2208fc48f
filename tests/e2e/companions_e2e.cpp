// The companion programs on a real X display: the platform's program service starts the
// real clipboard viewer by name, finds and raises windows by caption and closes the viewer
// with its keys; then the real organiser drives the viewer and the capture saver from its
// buttons.

#include "platform/programs.h"
#include "support/testfolder.h"
#include "tools/gifwriter.h"

#include "e2esupport.h"
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace e2e;

const QString kViewer = QStringLiteral("クリップボード ビューア");
const QString kSaver = QStringLiteral("Mirok101");

QColor centreColour(const Found& w) {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(w.id).toImage();
    return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 16 && std::abs(a.green() - b.green()) < 16 &&
           std::abs(a.blue() - b.blue()) < 16;
}

bool viewerShows(QColor c) {
    const auto viewer = findWindow(kViewer);
    return viewer && near(centreColour(*viewer), c);
}

bool active(const QString& caption) {
    return xclick({QStringLiteral("active")}).value_or(QString()).startsWith(caption);
}

// A window of this test process, playing the organiser's window.
std::unique_ptr<QWidget> ownWindow(const QString& caption) {
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(caption);
    w->resize(200, 120);
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    return w;
}

class CompanionsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QLatin1String("xcb"));
        // Our programs are found through PATH, as an installed organiser would find them.
        qputenv("PATH", (kBin + QLatin1Char(':') + qEnvironmentVariable("PATH")).toLocal8Bit());
    }
    void TearDown() override {
        // Leave no viewer or saver behind for the next test.
        for (const QString& c : {kSaver, kViewer})
            if (findWindow(c))
                xclick({QStringLiteral("close"), c});
        eventually([] { return !findWindow(kViewer) && !findWindow(kSaver); }, 3000);
    }
    platform::Programs& programs = platform::systemPrograms();
};

TEST_F(CompanionsE2E, ViewerStartsWithoutFocusShowsTheClipboardAndClosesOnItsKeys) {
    auto main = ownWindow(QStringLiteral("E2E organiser"));
    ASSERT_TRUE(
        programs.start(QStringLiteral("CLIPBRD.EXE"), platform::WindowStyle::NormalNoFocus));
    ASSERT_TRUE(settled(kViewer));
    EXPECT_TRUE(active(QStringLiteral("E2E organiser")))
        << "style 4 keeps the focus with the starting program";

    // A picture put on the clipboard by this process shows in the viewer, fitted; text
    // replaces it.
    QImage red(64, 40, QImage::Format_RGB32);
    red.fill(QColor(220, 20, 20));
    QApplication::clipboard()->setImage(red);
    ASSERT_TRUE(programs.activate(kViewer, false));
    EXPECT_TRUE(active(kViewer));
    EXPECT_TRUE(eventually([] { return viewerShows(QColor(220, 20, 20)); }));
    QApplication::clipboard()->setText(QStringLiteral("テキスト"));
    EXPECT_TRUE(eventually([] { return !viewerShows(QColor(220, 20, 20)); }));

    // Shift+F10 opens its menu, F the File menu, X its Exit: the viewer goes away, and the
    // waiting send returns only then.
    ASSERT_TRUE(programs.activate(kViewer, false));
    ASSERT_TRUE(programs.sendKeys(QStringLiteral("+{F10}FX"), true));
    EXPECT_FALSE(findWindow(kViewer)) << "gone when the waiting send returns";
}

TEST_F(CompanionsE2E, ActivationFindsExactCaptionsFirstAndLeavesMinimisedWindowsMinimised) {
    auto longer = ownWindow(QStringLiteral("E2E caption and more"));
    auto exact = ownWindow(QStringLiteral("E2E caption"));
    auto other = ownWindow(QStringLiteral("E2E other"));

    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption"), false));
    EXPECT_TRUE(eventually([&] { return QApplication::activeWindow() == exact.get(); }));
    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption and"), false));
    EXPECT_TRUE(eventually([&] { return QApplication::activeWindow() == longer.get(); }));
    EXPECT_EQ(programs.activate(QStringLiteral("E2E nowhere"), false).error,
              platform::Error::NotFound);

    // Minimising needs a window manager.
    if (!qEnvironmentVariableIsEmpty("TARVO_NO_WM"))
        return;
    other->showMinimized();
    const auto iconic = [] {
        return xclick({QStringLiteral("state"), QStringLiteral("E2E other")}) ==
               QStringLiteral("iconic");
    };
    ASSERT_TRUE(eventually(iconic));
    auto* edit = new QLineEdit(exact.get());
    edit->show();
    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption"), false));
    edit->setFocus();
    EXPECT_TRUE(programs.activate(QStringLiteral("E2E other"), true));
    EXPECT_TRUE(iconic());
    EXPECT_TRUE(other->isMinimized());
    // Keys for the minimised window must not land in the window that kept the focus; keys
    // for the active one arrive, shifted where asked.
    EXPECT_EQ(programs.sendKeys(QStringLiteral("+{F10}FX"), false).error, platform::Error::Busy);
    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption"), false));
    EXPECT_TRUE(programs.sendKeys(QStringLiteral("a+b7"), false));
    EXPECT_TRUE(eventually([&] { return edit->text() == QStringLiteral("aB7"); }))
        << qPrintable(edit->text());
}

// A GIF of the picture with the pixels of one colour transparent: a graphic control block
// naming that colour's index goes before the image.
QByteArray transparentGif(const QImage& picture, QRgb transparent) {
    QByteArray gif = tools::encodeGif(picture);
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const int index = static_cast<int>(indexed.colorTable().indexOf(transparent));
    EXPECT_GE(index, 0);
    const qsizetype image = 6 + 7 + 3 * 256; // signature, screen, colour table
    EXPECT_EQ(gif.at(image), ',');
    const char control[] = {'\x21', '\xF9', 4, 1, 0, 0, static_cast<char>(index), 0};
    gif.insert(image, control, sizeof control);
    return gif;
}

// The real organiser with the real viewer and capture saver, driven by clicks.
TEST_F(CompanionsE2E, ViewerShowsTheSelectedPictureWhichTheRunningSaverSavesWithItsTransparency) {
    // Green with a transparent right quarter, as a GIF.
    testing_support::TestFolder dir;
    const QRgb green = qRgb(20, 160, 40), hole = qRgb(255, 0, 255);
    QImage picture(48, 36, QImage::Format_RGB32);
    picture.fill(green);
    for (int y = 0; y < 36; ++y)
        for (int x = 36; x < 48; ++x)
            picture.setPixel(x, y, hole);
    dir.write(QStringLiteral("a.gif"), transparentGif(picture, hole));
    const QImage expected =
        QImage(dir.file(QStringLiteral("a.gif"))).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(qAlpha(expected.pixel(40, 10)), 0) << "the test's GIF has no transparency";
    Program organiser;
    ASSERT_TRUE(organiser.start(QStringLiteral("tarvo104"), dir.path()));

    // 画像表示: the viewer opens, the organiser keeps the focus.
    const auto viewerButton = [] { return clickMain(5910, 2175, 945, 300); };
    ASSERT_TRUE(viewerButton());
    ASSERT_TRUE(settled(kViewer));
    EXPECT_TRUE(active(kOrganiser));

    // The mirok icon starts the capture saver by name with the focus; its Run button starts
    // saving and minimises it.
    const auto mirokIcon = [] { return clickMain(1080, 4620, 510, 510); };
    ASSERT_TRUE(mirokIcon());
    ASSERT_TRUE(settled(kSaver));
    ASSERT_TRUE(clickIn(kSaver, 213, 2640, 2520, 735, 495));
    const auto saverIconic = [] {
        return xclick({QStringLiteral("state"), kSaver}) == QStringLiteral("iconic");
    };
    ASSERT_TRUE(eventually(saverIconic));

    // A click on cell 0's picture: the viewer comes to the front with the picture, and the
    // saver writes it as SAVE01.bmp in the organiser's folder, transparent where it was.
    ASSERT_TRUE(clickMain(90, 30, 1455, 1455));
    EXPECT_TRUE(eventually([] { return active(kViewer); }));
    EXPECT_TRUE(eventually([&] { return viewerShows(QColor(green)); }));
    ASSERT_EQ(settledNames(dir).filter(QStringLiteral("SAVE")),
              QStringList{QStringLiteral("SAVE01.bmp")})
        << "one selection, one capture file";
    const QImage saved =
        QImage(dir.file(QStringLiteral("SAVE01.bmp"))).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(saved.size(), picture.size());
    int transparent = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            ASSERT_EQ(qAlpha(saved.pixel(x, y)), qAlpha(expected.pixel(x, y))) << x << "," << y;
            if (qAlpha(expected.pixel(x, y)) == 255)
                ASSERT_EQ(saved.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
            else
                ++transparent;
        }
    EXPECT_EQ(transparent, 12 * 36);

    // The mirok icon again: the minimised saver stays minimised, and no second one starts.
    ASSERT_TRUE(programs.activate(kOrganiser, false));
    ASSERT_TRUE(mirokIcon());
    EXPECT_FALSE(eventually([&] { return !shown(kSaver) || !saverIconic(); }, 1000));

    // END closes the viewer the organiser started, then the organiser ends. The viewer may
    // cover the button, so the organiser comes to the front first.
    ASSERT_TRUE(programs.activate(kOrganiser, false));
    ASSERT_TRUE(clickMain(7704, 4500, 480, 252));
    EXPECT_TRUE(organiser.process.waitForFinished(10000));
    EXPECT_EQ(organiser.process.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(findWindow(kViewer));
}

} // namespace
