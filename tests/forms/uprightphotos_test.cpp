// Photos with an EXIF orientation tag show upright in the cell and on the clipboard in their
// natural size; the file itself stays as it was.
#include "support/organiserfixture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

using namespace testing_support;
using namespace tarvo;

namespace {

// The stored picture: four quadrants of clearly different colours, wider than high.
constexpr int kW = 800, kH = 400;
const QColor kQuadrant[2][2] = {{QColor(230, 20, 20), QColor(20, 200, 20)},
                                {QColor(20, 20, 230), QColor(240, 240, 30)}}; // [row][column]

// The stored colour an upright point (as fractions) comes from, for each of the eight tag
// values as the EXIF standard defines them.
QColor storedColour(int orientation, double ux, double uy) {
    const bool turned = orientation >= 5;
    double a = turned ? uy : ux, b = turned ? ux : uy;
    if (orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8)
        a = 1 - a;
    if (orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7)
        b = 1 - b;
    return kQuadrant[b < 0.5 ? 0 : 1][a < 0.5 ? 0 : 1];
}

// A JPEG with an APP1 segment holding a big-endian TIFF directory with the orientation only.
QByteArray taggedJpeg(int orientation) {
    QImage img(kW, kH, QImage::Format_RGB32);
    QPainter p(&img);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            p.fillRect(c * kW / 2, r * kH / 2, kW / 2, kH / 2, kQuadrant[r][c]);
    p.end();
    QByteArray jpeg;
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buf, "jpeg").write(img));
    const QByteArray body =
        QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) +
        char(orientation) + QByteArray(6, '\0');
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

// Every quadrant's centre of image shows the stored colour the tag maps it to.
void expectUpright(const QImage& image, int orientation) {
    for (double uy : {0.25, 0.75})
        for (double ux : {0.25, 0.75}) {
            const QColor want = storedColour(orientation, ux, uy);
            const QColor got = image.pixelColor(int(ux * image.width()), int(uy * image.height()));
            EXPECT_LT(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                          std::abs(got.blue() - want.blue()),
                      60)
                << "orientation " << orientation << " at " << ux << "," << uy;
        }
}

} // namespace

TEST_F(OrganiserTest, EveryOrientationShowsUprightInCellOnClipboardAndInItsNaturalSize) {
    for (int o = 1; o <= 8; ++o)
        dir.write(QStringLiteral("o%1.jpg").arg(o), taggedJpeg(o));
    const QByteArray sixBefore = dir.read(QStringLiteral("o6.jpg"));
    start();
    view()->show();
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const bool turned = o >= 5;
        PictureView* cell = view()->Image1(o - 1);
        ASSERT_TRUE(cell->hasPicture());
        EXPECT_EQ(cell->width() < cell->height(), turned);
        EXPECT_EQ(cell->picture().width() < cell->picture().height(), turned);
        expectUpright(cell->picture(), o);
        clickPicture(o - 1);
        ASSERT_TRUE(clip.image.has_value());
        EXPECT_EQ(clip.image->size(), turned ? QSize(kH, kW) : QSize(kW, kH));
        expectUpright(*clip.image, o);
    }
    EXPECT_EQ(dir.read(QStringLiteral("o6.jpg")), sixBefore);
}
