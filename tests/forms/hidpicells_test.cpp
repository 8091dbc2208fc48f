// On a screen scaled by 2 the cells show thumbnails decoded at the device pixels they cover,
// not 1× thumbnails enlarged, and the list window's small images are averaged down to theirs. The
// scale is the process's own (QT_SCALE_FACTOR=2, set by the test entry that runs these); in a
// run at the ordinary scale they are skipped.
#include "organiser/listwindow/lform.h"
#include "platform/pictures/pictureloader.h"
#include "support/organiserfixture.h"

#include <QPainter>

using namespace testing_support;
using namespace tarvo;

namespace {

// Fine stripes that a 1× decode, enlarged, cannot keep.
QImage stripes(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int x = 0; x < w; x += 10)
        p.fillRect(x, 0, 5, h, Qt::black), p.fillRect(x + 5, 0, 5, h, Qt::white);
    return img;
}

int largestDifference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

class HiDpiCells : public OrganiserTest {
protected:
    void SetUp() override {
        if (qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2"))
            GTEST_SKIP() << "runs on a screen scaled by 2 (QT_SCALE_FACTOR=2)";
        OrganiserTest::SetUp();
    }
};

} // namespace

TEST_F(HiDpiCells, ACellShowsTheDecodeAtItsDevicePixels) {
    stripes(970, 485).save(dir.file(QStringLiteral("wide.bmp")), "BMP");
    start();
    view()->show();
    ASSERT_DOUBLE_EQ(view()->devicePixelRatioF(), 2.0);

    PictureView* cell = view()->Image1(0);
    ASSERT_TRUE(cell->hasPicture());
    // The layout is unchanged: 97 × 48 (or 49) logical pixels, the cell's twips.
    EXPECT_EQ(cell->width(), 97);
    const auto device = platform::loadThumbnail(dir.file(QStringLiteral("wide.bmp")),
                                                QSizeF(m().CellWidth, m().CellHeight) * 2);
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(cell->picture().size(), device->image.size());
    EXPECT_EQ(cell->picture().width(), 194);

    // What the screen shows of the cell is that decode, pixel for pixel (within rounding).
    const QImage shown = cell->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(cell->width() * 2, cell->height() * 2));
    const QImage expected =
        device->image.convertToFormat(QImage::Format_RGB32)
            .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LE(largestDifference(shown, expected), 24);
    // A 1× decode enlarged is visibly different on these stripes.
    const auto single = platform::loadThumbnail(dir.file(QStringLiteral("wide.bmp")),
                                                QSizeF(m().CellWidth, m().CellHeight));
    ASSERT_TRUE(single.has_value());
    const QImage enlarged =
        single->image.convertToFormat(QImage::Format_RGB32)
            .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GT(largestDifference(shown, enlarged), 60);

    // The list window's small image is that picture averaged down to its own device pixels,
    // not sampled: the stripes, about 3.5 to a device pixel there, become greys around the
    // middle instead of black and white bands.
    press("Small_Com");
    PictureView* small = org->lform()->Limage(0);
    ASSERT_TRUE(small->hasPicture());
    const QImage smallShown = small->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(smallShown.size(), small->size() * 2);
    int darkest = 255, lightest = 0;
    for (int y = 4; y < smallShown.height() - 4; ++y)
        for (int x = 4; x < smallShown.width() - 4; ++x) { // inside the border
            darkest = std::min(darkest, qGray(smallShown.pixel(x, y)));
            lightest = std::max(lightest, qGray(smallShown.pixel(x, y)));
        }
    EXPECT_GT(darkest, 40);
    EXPECT_LT(lightest, 215);
}
