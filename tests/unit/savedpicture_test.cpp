// Which clipboard bitmaps the capture saver writes: each distinct picture once.

#include "capture/savedpicture.h"

#include <gtest/gtest.h>

namespace {

QImage filled(QRgb c, int w = 8, int h = 6, QImage::Format f = QImage::Format_ARGB32) {
    QImage img(w, h, f);
    img.fill(c);
    return img;
}

TEST(SavedPicture, NothingOnTheClipboardIsNeverSaved) {
    EXPECT_FALSE(capture::isNewCapture(QImage(), QImage()));
    EXPECT_FALSE(capture::isNewCapture(filled(qRgb(1, 2, 3)), QImage()));
    EXPECT_TRUE(capture::isNewCapture(QImage(), filled(qRgb(1, 2, 3))));
}

TEST(SavedPicture, TheSamePictureReadAgainIsNotANewCapture) {
    const QImage a = filled(qRgb(10, 20, 30));
    EXPECT_FALSE(capture::isNewCapture(a, a.copy()));
    // The same pixels decoded into another format are still the same capture.
    EXPECT_FALSE(capture::isNewCapture(a, a.convertToFormat(QImage::Format_RGB32)));
    EXPECT_FALSE(capture::isNewCapture(a, a.convertToFormat(QImage::Format_RGB888)));
}

TEST(SavedPicture, AnyDifferenceInPixelsSizeOrAlphaIsANewCapture) {
    const QImage a = filled(qRgb(10, 20, 30));
    QImage onePixel = a.copy();
    onePixel.setPixel(7, 5, qRgb(10, 20, 31));
    EXPECT_TRUE(capture::isNewCapture(a, onePixel));
    EXPECT_TRUE(capture::isNewCapture(a, filled(qRgb(10, 20, 30), 6, 8)));
    EXPECT_TRUE(capture::isNewCapture(a, filled(qRgba(10, 20, 30, 128))));
    EXPECT_TRUE(capture::isNewCapture(filled(qRgba(10, 20, 30, 128)),
                                      a.convertToFormat(QImage::Format_RGB32)));
}

} // namespace
