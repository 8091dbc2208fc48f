// On a screen scaled by 2 (QT_SCALE_FACTOR=2, set by the test entry that runs these; skipped
// otherwise) the cells show thumbnails decoded at the device pixels they cover.
#include "platform/pictures/pictureloader.h"
#include "support/organiserfixture.h"

#include <QPainter>

using namespace testing_support;
using namespace tarvo;

namespace {

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
    // Fine stripes that a 1× decode, enlarged, cannot keep.
    QImage stripes(970, 485, QImage::Format_RGB32);
    QPainter p(&stripes);
    for (int x = 0; x < stripes.width(); x += 10) {
        p.fillRect(x, 0, 5, stripes.height(), Qt::black);
        p.fillRect(x + 5, 0, 5, stripes.height(), Qt::white);
    }
    p.end();
    stripes.save(dir.file(QStringLiteral("wide.bmp")), "BMP");
    start();
    view()->show();
    ASSERT_DOUBLE_EQ(view()->devicePixelRatioF(), 2.0);

    PictureView* cell = view()->Image1(0);
    ASSERT_TRUE(cell->hasPicture());
    // The layout is unchanged: 97 logical pixels wide, the cell's twips; the decode 194.
    EXPECT_EQ(cell->width(), 97);
    EXPECT_EQ(cell->picture().width(), 194);
    // What the screen shows of the cell is the decode at the device size, pixel for pixel
    // (within rounding), and visibly not a 1× decode enlarged.
    const QImage shown = cell->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(cell->width() * 2, cell->height() * 2));
    auto decodedFor = [&](double scale) {
        const auto d = platform::loadThumbnail(dir.file(QStringLiteral("wide.bmp")),
                                               QSizeF(m().CellWidth, m().CellHeight) * scale);
        EXPECT_TRUE(d.has_value());
        return d ? d->image.convertToFormat(QImage::Format_RGB32)
                       .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 : QImage();
    };
    EXPECT_LE(largestDifference(shown, decodedFor(2)), 24);
    EXPECT_GT(largestDifference(shown, decodedFor(1)), 60);
}
