// The companion programs on a real X display: the platform's program service starts the
// real clipboard viewer, finds and raises windows by caption and closes the viewer with its
// keys; then the real organiser drives the viewer and the capture saver from its buttons.

#include "platform/programs.h"
#include "support/testfolder.h"
#include "tools/gifwriter.h"

#include "e2esupport.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace e2e;

const QString kViewer = QStringLiteral("クリップボード ビューア");

QColor centreColour(const Found& w) {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(w.id).toImage();
    return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 16 && std::abs(a.green() - b.green()) < 16 &&
           std::abs(a.blue() - b.blue()) < 16;
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
        // Leave no viewer behind for the next test.
        if (findWindow(kViewer))
            xclick({QStringLiteral("close"), kViewer});
        eventually([] { return !findWindow(kViewer); }, 3000);
    }
    platform::Programs& programs = platform::systemPrograms();
};

TEST_F(CompanionsE2E, ViewerStartsWithoutFocusShowsTheClipboardAndClosesOnItsKeys) {
    auto main = ownWindow(QStringLiteral("E2E organiser"));
    ASSERT_TRUE(
        programs.start(QStringLiteral("CLIPBRD.EXE"), platform::WindowStyle::NormalNoFocus));
    ASSERT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(300);
    EXPECT_EQ(xclick({QStringLiteral("active")}).value_or(QString()),
              QStringLiteral("E2E organiser"))
        << "style 4 keeps the focus with the starting program";

    // A picture put on the clipboard by this process shows in the viewer, fitted.
    QImage red(64, 40, QImage::Format_RGB32);
    red.fill(QColor(220, 20, 20));
    QApplication::clipboard()->setImage(red);
    ASSERT_TRUE(programs.activate(kViewer, false));
    EXPECT_EQ(xclick({QStringLiteral("active")}).value_or(QString()), kViewer);
    const auto viewer = findWindow(kViewer);
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(eventually([&] { return near(centreColour(*viewer), QColor(220, 20, 20)); }))
        << qPrintable(centreColour(*viewer).name());

    // Text replaces the picture.
    QApplication::clipboard()->setText(QStringLiteral("テキスト"));
    EXPECT_TRUE(eventually([&] { return !near(centreColour(*viewer), QColor(220, 20, 20)); }));

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
    ASSERT_TRUE(eventually([&] {
        return xclick({QStringLiteral("state"), QStringLiteral("E2E other")}) ==
               QStringLiteral("iconic");
    }));
    auto* edit = new QLineEdit(exact.get());
    edit->show();
    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption"), false));
    edit->setFocus();
    EXPECT_TRUE(programs.activate(QStringLiteral("E2E other"), true));
    QTest::qWait(500);
    EXPECT_EQ(xclick({QStringLiteral("state"), QStringLiteral("E2E other")}),
              QStringLiteral("iconic"));
    EXPECT_TRUE(other->isMinimized());
    // Keys for the minimised window must not land in the window that kept the focus.
    EXPECT_EQ(programs.sendKeys(QStringLiteral("+{F10}FX"), false).error, platform::Error::Busy);
    QTest::qWait(300);
    EXPECT_EQ(edit->text(), QString());
    ASSERT_TRUE(programs.activate(QStringLiteral("E2E caption"), false));
    EXPECT_TRUE(programs.sendKeys(QStringLiteral("ok"), false));
    EXPECT_TRUE(eventually([&] { return edit->text() == QStringLiteral("ok"); }));
}

TEST_F(CompanionsE2E, KeysReachTheActiveWindowAndUnknownKeysSendNothing) {
    auto main = ownWindow(QStringLiteral("E2E keys"));
    auto* edit = new QLineEdit(main.get());
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(programs.sendKeys(QStringLiteral("a+b7"), false));
    EXPECT_TRUE(eventually([&] { return edit->text() == QStringLiteral("aB7"); }))
        << qPrintable(edit->text());

    EXPECT_FALSE(programs.sendKeys(QStringLiteral("+"), false));
    EXPECT_FALSE(programs.sendKeys(QStringLiteral("c{F13}"), false));
    EXPECT_FALSE(programs.sendKeys(QStringLiteral("c{NOPE}"), false));
    QTest::qWait(300);
    EXPECT_EQ(edit->text(), QStringLiteral("aB7"));
}

// The real organiser with the real viewer and capture saver, driven by clicks at the
// layout's positions (twips / 15 = pixels at 96 DPI; the client area lies below the menu).
class OrganiserE2E : public CompanionsE2E {
protected:
    QString organiserCaption = QStringLiteral("    画像整理ツール　 [Tarvo  V1.4 ]");
    QProcess organiser;
    testing_support::TestFolder dir;
    QRect client;

    void SetUp() override {
        CompanionsE2E::SetUp();
        if (!QFile::exists(kBin + QStringLiteral("/tarvo104")) ||
            !QFile::exists(kBin + QStringLiteral("/Mirok101")))
            FAIL() << "tarvo104 or Mirok101 not built";
    }
    void TearDown() override {
        for (const QString& c : {QStringLiteral("Mirok101"), kViewer})
            if (findWindow(c))
                xclick({QStringLiteral("close"), c});
        if (organiser.state() != QProcess::NotRunning) {
            organiser.kill();
            organiser.waitForFinished(3000);
        }
        CompanionsE2E::TearDown();
    }

    void startOrganiser() {
        organiser.setWorkingDirectory(dir.path());
        organiser.start(kBin + QStringLiteral("/tarvo104"), {});
        ASSERT_TRUE(organiser.waitForStarted());
        ASSERT_TRUE(eventually([&] { return findWindow(organiserCaption).has_value(); }));
        QTest::qWait(500);
        const QRect r = findWindow(organiserCaption)->rect;
        // The menu bar takes what the window has above the 344-pixel client area.
        client = QRect(r.left(), r.bottom() + 1 - 344, 554, 344);
    }
    // Clicks the middle of a control placed at left, top, width, height twips.
    void clickAt(const QRect& area, int left, int top, int width, int height) {
        const int x = area.left() + (left + width / 2) / 15;
        const int y = area.top() + (top + height / 2) / 15;
        xclick({QStringLiteral("click"), QString::number(x), QString::number(y)});
        QTest::qWait(300);
    }
    // The mirok icon starts the capture saver with the focus; its Run button starts saving
    // and minimises it.
    void startSaver() {
        clickAt(client, 1080, 4620, 510, 510);
        ASSERT_TRUE(eventually([] { return findWindow(QStringLiteral("Mirok101")).has_value(); }));
        QTest::qWait(500);
        const auto saver = findWindow(QStringLiteral("Mirok101"));
        ASSERT_TRUE(saver);
        const QRect saverClient(saver->rect.left(), saver->rect.bottom() + 1 - 213, 309, 213);
        clickAt(saverClient, 2640, 2520, 735, 495);
        ASSERT_TRUE(eventually([] {
            return xclick({QStringLiteral("state"), QStringLiteral("Mirok101")}) ==
                   QStringLiteral("iconic");
        }));
    }
    // A click on the picture of one of the five cells of the top row.
    void selectTopCell(int i) {
        static constexpr int kLeft[] = {90, 1650, 3210, 4755, 6360};
        clickAt(client, kLeft[i], 30, 1455, 1455);
    }
    QStringList settledNames() { return e2e::settledNames(dir); }
};

// A picture whose pixels differ from each other and from those of another seed.
QImage pattern(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         qRgb((x * 5 + seed * 50) % 256, (y * 7 + seed * 31) % 256,
                              (x + y + seed * 17) % 256));
    return img;
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

TEST_F(OrganiserE2E, ViewerShowsTheSelectedPictureWhichTheRunningSaverSaves) {
    dir.writePicture(QStringLiteral("a.bmp"), 60, 45, QColor(20, 160, 40));
    ASSERT_NO_FATAL_FAILURE(startOrganiser());

    // 画像表示: the viewer opens, the organiser keeps the focus.
    clickAt(client, 5910, 2175, 945, 300);
    ASSERT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(500);
    EXPECT_TRUE(
        xclick({QStringLiteral("active")}).value_or(QString()).startsWith(organiserCaption));

    ASSERT_NO_FATAL_FAILURE(startSaver());

    // A click on cell 0's picture: the viewer comes to the front with the picture, and the
    // saver writes it as SAVE01.bmp in the organiser's folder.
    clickAt(client, 90, 30, 1455, 1455);
    EXPECT_TRUE(eventually([] { return xclick({QStringLiteral("active")}) == kViewer; }));
    const auto viewer = findWindow(kViewer);
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(eventually([&] { return near(centreColour(*viewer), QColor(20, 160, 40)); }));
    ASSERT_TRUE(eventually([&] { return dir.exists(QStringLiteral("SAVE01.bmp")); }));
    QTest::qWait(300);
    const QImage saved(dir.file(QStringLiteral("SAVE01.bmp")));
    EXPECT_EQ(saved.size(), QSize(60, 45));
    if (!saved.isNull()) {
        EXPECT_TRUE(near(saved.pixelColor(30, 22), QColor(20, 160, 40)));
    }

    // The mirok icon again: the minimised saver stays minimised, and no second one starts.
    clickAt(client, 1080, 4620, 510, 510);
    QTest::qWait(1000);
    EXPECT_EQ(xclick({QStringLiteral("count"), QStringLiteral("Mirok101")}), QStringLiteral("1"));
    EXPECT_EQ(xclick({QStringLiteral("state"), QStringLiteral("Mirok101")}),
              QStringLiteral("iconic"));

    // END closes the viewer the organiser started, then the organiser ends. The viewer may
    // cover the button, so the organiser comes to the front first.
    ASSERT_TRUE(programs.activate(organiserCaption, false));
    clickAt(client, 7704, 4500, 480, 252);
    EXPECT_TRUE(organiser.state() == QProcess::NotRunning || organiser.waitForFinished(10000));
    EXPECT_EQ(organiser.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(findWindow(kViewer));
}

TEST_F(OrganiserE2E, SecondPressClosesTheViewerAndThirdStartsItAgain) {
    ASSERT_NO_FATAL_FAILURE(startOrganiser());
    clickAt(client, 5910, 2175, 945, 300);
    ASSERT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(500);
    clickAt(client, 5910, 2175, 945, 300);
    EXPECT_TRUE(eventually([] { return !findWindow(kViewer); }));
    clickAt(client, 5910, 2175, 945, 300);
    EXPECT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(500);
    // Closed by hand, then pressed: a new viewer at once, no keys for anyone.
    xclick({QStringLiteral("close"), kViewer});
    ASSERT_TRUE(eventually([] { return !findWindow(kViewer); }));
    clickAt(client, 5910, 2175, 945, 300);
    EXPECT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    EXPECT_EQ(organiser.state(), QProcess::Running);
}

TEST_F(OrganiserE2E, MinimisedViewerIsClosedByOnePressAndTheNextStartsOne) {
    if (!qEnvironmentVariableIsEmpty("TARVO_NO_WM"))
        GTEST_SKIP() << "minimising needs a window manager";
    ASSERT_NO_FATAL_FAILURE(startOrganiser());
    clickAt(client, 5910, 2175, 945, 300);
    ASSERT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(300);
    xclick({QStringLiteral("iconify"), kViewer});
    ASSERT_TRUE(eventually([] {
        return xclick({QStringLiteral("state"), kViewer}) == QStringLiteral("iconic");
    }));

    ASSERT_TRUE(programs.activate(organiserCaption, false));
    clickAt(client, 5910, 2175, 945, 300);
    EXPECT_TRUE(eventually([] { return !findWindow(kViewer); }))
        << "one press closes the minimised viewer";
    QTest::qWait(500);
    EXPECT_EQ(xclick({QStringLiteral("count"), kViewer}), QStringLiteral("0"))
        << "and starts no second one";

    clickAt(client, 5910, 2175, 945, 300);
    EXPECT_TRUE(eventually([] { return findWindow(kViewer).has_value(); }));
    QTest::qWait(500);
    EXPECT_EQ(xclick({QStringLiteral("count"), kViewer}), QStringLiteral("1"));
}

// Each selection empties the clipboard and then puts the picture: two change notices, one
// capture file, with the selected picture's pixels.
TEST_F(OrganiserE2E, FiveSelectionsGiveFiveCaptureFilesOfTheFivePictures) {
    std::vector<QImage> pictures;
    for (int i = 0; i < 5; ++i) {
        pictures.push_back(pattern(60, 45, i + 1));
        ASSERT_TRUE(pictures.back().save(dir.file(QStringLiteral("p%1.bmp").arg(i)), "BMP"));
    }
    ASSERT_NO_FATAL_FAILURE(startOrganiser());
    ASSERT_NO_FATAL_FAILURE(startSaver());

    for (int i = 0; i < 5; ++i) {
        selectTopCell(i);
        const QString name = QStringLiteral("SAVE%1.bmp").arg(i + 1, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(eventually([&] { return dir.exists(name); })) << qPrintable(name);
    }
    const QStringList names = settledNames();
    QStringList captures;
    for (const QString& n : names)
        if (n.startsWith(QLatin1String("SAVE")))
            captures << n;
    ASSERT_EQ(captures.size(), 5) << qPrintable(captures.join(QLatin1Char(' ')));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QImage(dir.file(captures[i])).convertToFormat(QImage::Format_RGB32),
                  pictures[static_cast<size_t>(i)])
            << qPrintable(captures[i]);
}

TEST_F(OrganiserE2E, TransparentGifIsSavedWithItsTransparency) {
    // Left half opaque pattern, right half one colour that the GIF makes transparent.
    QImage picture = pattern(48, 36, 3);
    const QRgb hole = qRgb(255, 0, 255);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = picture.width() / 2; x < picture.width(); ++x)
            picture.setPixel(x, y, hole);
    dir.write(QStringLiteral("clear.gif"), transparentGif(picture, hole));
    const QImage shown(dir.file(QStringLiteral("clear.gif")));
    ASSERT_TRUE(shown.hasAlphaChannel()) << "the test's GIF has no transparency";
    ASSERT_EQ(qAlpha(shown.pixel(40, 10)), 0);

    ASSERT_NO_FATAL_FAILURE(startOrganiser());
    ASSERT_NO_FATAL_FAILURE(startSaver());
    selectTopCell(0);
    ASSERT_TRUE(eventually([&] { return dir.exists(QStringLiteral("SAVE01.bmp")); }));
    QTest::qWait(300);
    const QImage saved =
        QImage(dir.file(QStringLiteral("SAVE01.bmp"))).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(saved.size(), picture.size());
    const QImage expected = shown.convertToFormat(QImage::Format_ARGB32);
    int transparent = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const QRgb got = saved.pixel(x, y);
            const QRgb want = expected.pixel(x, y);
            ASSERT_EQ(qAlpha(got), qAlpha(want)) << x << "," << y;
            if (qAlpha(want) == 255)
                ASSERT_EQ(got, want) << x << "," << y;
            else
                ++transparent;
        }
    EXPECT_EQ(transparent, 24 * 36);
}

} // namespace
